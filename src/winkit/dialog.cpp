#include "winkit/dialog.h"

#include <cstring>
#include <string>

#include "winkit/application.h"
#include "winkit/boundary.h"
#include "winkit/control_properties.h"
#include "winkit/control_site.h"
#include "winkit/dialog_template.h"
#include "winkit/ole_init.h"

namespace winkit {

namespace {
constexpr UINT kIdHelp = 0xE146;
// The initial property sets of a template's controls: resource type CTRLPROPS, same id
// as the template.
const wchar_t kControlPropertiesType[] = L"CTRLPROPS";

std::string_view resource_bytes(HINSTANCE module, const wchar_t* type, UINT id) {
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!found) return {};
    HGLOBAL loaded = ::LoadResource(module, found);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) return {};
    return {static_cast<const char*>(data), ::SizeofResource(module, found)};
}
}  // namespace

struct Dialog::PendingControl {
    DialogItemPlace place;
};

void DataExchange::Control(UINT id, ControlWindow& wrapper) { wrapper.site_ = dialog_.FindControlSite(id); }

Dialog::Dialog(UINT template_id, Window* parent) : template_id_(template_id), parent_(parent) {}

Dialog::~Dialog() {
    DestroyControls();
    if (hwnd_ && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
}

ControlSite* Dialog::FindControlSite(UINT id) const noexcept {
    for (const auto& site : sites_)
        if (site->id() == id) return site.get();
    return nullptr;
}

BOOL Dialog::OnInitDialog() {
    DataExchange dx(*this);
    DoDataExchange(dx);
    return TRUE;
}

void Dialog::DoDataExchange(DataExchange&) {}

void Dialog::OnOK() { EndDialog(IDOK); }

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

void Dialog::OnDestroy() { Default(); }

void Dialog::EndDialog(INT_PTR result) {
    ended_ = true;
    result_ = result;
    // Wake the modal loop even when this runs inside a nested loop.
    if (hwnd_) ::PostMessageW(hwnd_, WM_NULL, 0, 0);
}

INT_PTR Dialog::DoModal() {
    Application* app = Application::Get();
    const HINSTANCE module = app ? app->GetInstance() : ::GetModuleHandleW(nullptr);

    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(template_id_), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const auto* bytes = loaded ? static_cast<const uint8_t*>(::LockResource(loaded)) : nullptr;
    if (!bytes) return -1;
    auto split = split_dialog_template(bytes, ::SizeofResource(module, found));
    if (!split) return -1;

    // Without a parent the dialog belongs to the main window, as long as that is not
    // this dialog itself.
    HWND owner = parent_ ? parent_->GetSafeHwnd() : nullptr;
    if (!owner && app && app->m_pMainWnd && app->m_pMainWnd != this) owner = app->m_pMainWnd->GetSafeHwnd();
    if (owner) owner = ::GetAncestor(owner, GA_ROOT);

    std::vector<PendingControl> pending;
    for (auto& place : split->controls) pending.push_back({place});
    pending_ = &pending;
    ended_ = false;
    result_ = -1;

    // The buffer must be DWORD-aligned for the dialog manager.
    std::vector<DWORD> aligned((split->bytes.size() + 3) / 4);
    std::memcpy(aligned.data(), split->bytes.data(), split->bytes.size());
    HWND hwnd = ::CreateDialogIndirectParamW(module, reinterpret_cast<LPCDLGTEMPLATEW>(aligned.data()), owner,
                                             &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
    pending_ = nullptr;
    if (!hwnd) return -1;

    const bool owner_was_enabled = owner && ::IsWindowEnabled(owner);
    if (owner_was_enabled) ::EnableWindow(owner, FALSE);

    if (!ended_ && !::IsWindowVisible(hwnd)) ::ShowWindow(hwnd, SW_SHOWNORMAL);

    MSG msg;
    while (!ended_) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            // Leave the quit request to the loop outside.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!PreTranslateChain(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }

    // Hand the activation back to the owner before this window goes.
    if (owner_was_enabled) ::EnableWindow(owner, TRUE);
    if (::IsWindow(hwnd)) {
        ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        if (owner && ::GetActiveWindow() == hwnd) ::SetActiveWindow(owner);
        ::DestroyWindow(hwnd);
    }
    return result_;
}

bool Dialog::PreTranslateChain(MSG* msg) {
    if (!hwnd_ || !msg->hwnd) return false;
    if (msg->hwnd != hwnd_ && !::IsChild(hwnd_, msg->hwnd)) return false;
    for (HWND w = msg->hwnd; w; w = (w == hwnd_) ? nullptr : ::GetParent(w)) {
        Window* target = Window::FromHandle(w);
        if (!target) continue;
        if (guarded("PreTranslateMessage", FALSE, [&] { return target->PreTranslateMessage(msg); })) return true;
    }
    return false;
}

BOOL Dialog::PreTranslateMessage(MSG* msg) {
    if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) {
        for (const auto& site : sites_) {
            HWND control = site->control_window();
            if (control && (msg->hwnd == control || ::IsChild(control, msg->hwnd)) && site->TranslateAccelerator(msg))
                return TRUE;
        }
    }
    return ::IsDialogMessageW(hwnd_, msg);
}

LRESULT Dialog::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    LRESULT result = 0;
    if (DispatchFromMap(message, wparam, lparam, result)) {
        if (message == WM_DESTROY) DestroyControls();
        return result;
    }
    switch (message) {
        case WM_COMMAND:
            if (lparam == 0 || HIWORD(wparam) == BN_CLICKED) {
                switch (LOWORD(wparam)) {
                    case IDOK:
                        OnOK();
                        return 0;
                    case IDCANCEL:
                        OnCancel();
                        return 0;
                    case kIdHelp:
                        if (Application* app = Application::Get()) app->OnCommand(kIdHelp);
                        return 0;
                    default:
                        break;
                }
            }
            break;
        case WM_HELP:
            if (Application* app = Application::Get()) app->OnCommand(kIdHelp);
            return TRUE;
        case WM_DESTROY: {
            const LRESULT r = Default();
            DestroyControls();
            return r;
        }
        default:
            break;
    }
    return Default();
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT message, WPARAM, LPARAM lparam) noexcept {
    if (message != WM_INITDIALOG) return FALSE;
    auto* self = reinterpret_cast<Dialog*>(lparam);
    return guarded("OnInitDialog", FALSE, [&] { return self->HandleInitDialog(hwnd); });
}

BOOL Dialog::HandleInitDialog(HWND hwnd) {
    Subclass(hwnd);
    if (!CreateControls()) {
        EndDialog(-1);
        return FALSE;
    }
    RECT before{};
    ::GetWindowRect(hwnd, &before);
    const BOOL result = OnInitDialog();
    // A dialog that its initialisation left where the template put it is centred over
    // its owner.
    RECT after{};
    ::GetWindowRect(hwnd, &after);
    if (!ended_ && ::EqualRect(&before, &after) && !::IsWindowVisible(hwnd)) CenterWindow();
    return result;
}

bool Dialog::CreateControls() {
    if (!pending_ || pending_->empty()) return true;
    ensure_ole_initialized();

    Application* app = Application::Get();
    const HINSTANCE module = app ? app->GetInstance() : ::GetModuleHandleW(nullptr);
    const auto properties = parse_control_properties(resource_bytes(module, kControlPropertiesType, template_id_));

    for (const PendingControl& item : *pending_) {
        std::wstring class_text(item.place.class_name.begin(), item.place.class_name.end());
        CLSID clsid{};
        if (FAILED(::CLSIDFromString(class_text.c_str(), &clsid))) return false;
        RECT place{item.place.x, item.place.y, item.place.x + item.place.cx, item.place.y + item.place.cy};
        ::MapDialogRect(hwnd_, &place);
        const auto found = properties.find(item.place.id);
        HRESULT failure = S_OK;
        auto site = ControlSite::Create(*this, hwnd_, item.place.id, clsid, place,
                                        found == properties.end() ? nullptr : &found->second, &failure);
        if (!site) return false;
        if (HWND control = site->control_window()) {
            // The item's own styles decide visibility and tab order like any dialog item.
            LONG_PTR style = ::GetWindowLongPtrW(control, GWL_STYLE);
            style |= (item.place.style & (WS_TABSTOP | WS_GROUP));
            ::SetWindowLongPtrW(control, GWL_STYLE, style);
        }
        sites_.push_back(std::move(site));
    }
    return true;
}

void Dialog::DestroyControls() noexcept {
    // Last created, first gone.
    while (!sites_.empty()) {
        sites_.back()->Destroy();
        sites_.pop_back();
    }
}

}  // namespace winkit
