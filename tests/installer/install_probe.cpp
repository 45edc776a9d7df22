// install_probe: reads what the installer left on the machine the way Windows itself reads
// it, for installer_test.sh (wine reg query shows neither a value's byte count nor where a
// shortcut points).
//
//   install_probe value ROOT\KEY NAME…  per name "type=T size=N data=HEX" (the bytes as
//                                       stored) or "missing"
//   install_probe shortcut FILE.lnk     "target=PATH", "arguments=…", "icon=PATH,INDEX"
//   install_probe run "COMMAND LINE"    starts a program with exactly that command line (a
//                                       shell would reparse quotes and "&"), waits for it
//                                       and prints "exit=N"
//
// ROOT is HKCR, HKLM or HKCU. Exit status: 0 found (or run), 1 missing (or not started),
// 2 wrong usage.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "winkit/com_ptr.h"
#include "winkit/handles.h"

namespace {

constexpr int kFound = 0;
constexpr int kMissing = 1;
constexpr int kUsage = 2;

void PrintUtf8(std::wstring_view text) {
    if (text.empty()) return;
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                          nullptr, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

bool SplitRoot(std::wstring_view path, HKEY& root, std::wstring& subkey) {
    struct Root {
        std::wstring_view name;
        HKEY key;
    };
    static const Root kRoots[] = {
        {L"HKCR", HKEY_CLASSES_ROOT}, {L"HKLM", HKEY_LOCAL_MACHINE}, {L"HKCU", HKEY_CURRENT_USER}};
    const size_t slash = path.find(L'\\');
    if (slash == std::wstring_view::npos) return false;
    for (const Root& r : kRoots) {
        if (path.substr(0, slash) == r.name) {
            root = r.key;
            subkey.assign(path.substr(slash + 1));
            return true;
        }
    }
    return false;
}

bool PrintValue(HKEY key, const wchar_t* name) {
    DWORD type = 0;
    DWORD size = 0;
    if (!key || ::RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    std::vector<BYTE> data(size);
    if (::RegQueryValueExW(key, name, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) return false;
    std::printf("type=%lu size=%lu data=", static_cast<unsigned long>(type), static_cast<unsigned long>(size));
    for (DWORD i = 0; i < size; ++i) std::printf("%02x", data[i]);
    std::printf("\n");
    return true;
}

int PrintValues(std::wstring_view keyPath, wchar_t** names, int count) {
    HKEY root = nullptr;
    std::wstring subkey;
    if (!SplitRoot(keyPath, root, subkey)) return kUsage;
    winkit::unique_hkey key;
    ::RegOpenKeyExW(root, subkey.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, key.put());
    int status = kFound;
    for (int i = 0; i < count; ++i) {
        if (!PrintValue(key.get(), names[i])) {
            std::printf("missing\n");
            status = kMissing;
        }
    }
    return status;
}

class ComApartment {
public:
    ComApartment() noexcept : ok_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (ok_) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    explicit operator bool() const noexcept { return ok_; }

private:
    bool ok_;
};

int PrintShortcut(const wchar_t* file) {
    if (::GetFileAttributesW(file) == INVALID_FILE_ATTRIBUTES) return kMissing;
    ComApartment com;
    if (!com) return kMissing;
    winkit::com_ptr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  link.put_void())))
        return kMissing;
    winkit::com_ptr<IPersistFile> persist = link.query<IPersistFile>();
    if (!persist || FAILED(persist->Load(file, STGM_READ))) return kMissing;

    wchar_t text[MAX_PATH * 2] = {};
    int iconIndex = 0;
    if (FAILED(link->GetPath(text, MAX_PATH * 2, nullptr, SLGP_RAWPATH))) text[0] = L'\0';
    std::printf("target=");
    PrintUtf8(text);
    text[0] = L'\0';
    link->GetArguments(text, MAX_PATH * 2);
    std::printf("\narguments=");
    PrintUtf8(text);
    text[0] = L'\0';
    link->GetIconLocation(text, MAX_PATH * 2, &iconIndex);
    std::printf("\nicon=");
    PrintUtf8(text);
    std::printf(",%d\n", iconIndex);
    return kFound;
}

int RunAndWait(const wchar_t* commandLine) {
    constexpr DWORD kTimeLimitMs = 120000;
    std::wstring buffer(commandLine);  // CreateProcessW may write into it
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        std::printf("not started: error %lu\n", static_cast<unsigned long>(::GetLastError()));
        return kMissing;
    }
    winkit::unique_handle process(info.hProcess);
    winkit::unique_handle thread(info.hThread);
    if (::WaitForSingleObject(process.get(), kTimeLimitMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), 1);
        ::WaitForSingleObject(process.get(), INFINITE);
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process.get(), &code);
    std::printf("exit=%lu\n", static_cast<unsigned long>(code));
    return kFound;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // Plain "\n" line ends for the shell that reads the output.
    _setmode(_fileno(stdout), _O_BINARY);
    const std::wstring_view command = argc > 1 ? argv[1] : L"";
    int status = kUsage;
    if (command == L"value" && argc >= 4) status = PrintValues(argv[2], argv + 3, argc - 3);
    if (command == L"shortcut" && argc == 3) status = PrintShortcut(argv[2]);
    if (command == L"run" && argc == 3) status = RunAndWait(argv[2]);
    if (status == kUsage)
        std::fprintf(stderr, "usage: install_probe value ROOT\\KEY NAME | shortcut FILE.lnk | run \"COMMAND LINE\"\n");
    if (status == kMissing && command == L"shortcut") std::printf("missing\n");
    std::fflush(stdout);
    return status;
}
