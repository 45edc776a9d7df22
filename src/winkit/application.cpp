#include "winkit/application.h"

#include "winkit/boundary.h"
#include "winkit/ole_init.h"
#include "winkit/window.h"

namespace winkit {
namespace {
Application* g_application = nullptr;

std::wstring module_base_name(HINSTANCE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return L"";
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        if (path.size() >= 32768) return L"";
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos && dot != 0) name.resize(dot);
    return name;
}
}  // namespace

Application::Application() noexcept { g_application = this; }

Application::~Application() {
    if (g_application == this) g_application = nullptr;
}

Application* Application::Get() noexcept { return g_application; }

BOOL Application::InitInstance() { return TRUE; }

void Application::SetRegistryKey(const wchar_t* company) { registry_key_ = company ? company : L""; }

int Application::ShowMessageBox(const std::wstring& text, UINT type, UINT) {
    if ((type & MB_ICONMASK) == 0) type |= MB_ICONEXCLAMATION;
    HWND owner = m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr;
    if (owner && !::IsWindowEnabled(owner)) owner = ::GetActiveWindow();
    return ::MessageBoxW(owner, text.c_str(), app_name_.c_str(), type);
}

const Application::CommandEntry* Application::GetCommandMap() const {
    static constexpr CommandEntry map[] = {{0, nullptr}};
    return map;
}

bool Application::OnCommand(UINT id) {
    for (const CommandEntry* e = GetCommandMap(); e && e->id; ++e) {
        if (e->id == id) {
            e->handler(*this);
            return true;
        }
    }
    return false;
}

void Application::OnHelp() {
    if (m_pMainWnd) m_pMainWnd->WinHelp(0, HELP_CONTEXT);
}

int Application::Run(HINSTANCE instance) {
    instance_ = instance;
    app_name_ = module_base_name(instance);
    const BOOL keep_running = guarded("InitInstance", FALSE, [&] { return InitInstance(); });
    int exit_code = 0;
    if (keep_running) {
        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        exit_code = static_cast<int>(msg.wParam);
    }
    end_ole();
    return exit_code;
}

}  // namespace winkit
