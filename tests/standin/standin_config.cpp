#include "standin_config.h"

#include "com_util.h"
#include "text.h"

#include <cctype>
#include <vector>

namespace standin {
namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::wstring EnvironmentValue(const wchar_t* name) {
    const DWORD n = GetEnvironmentVariableW(name, nullptr, 0);
    if (n == 0) return {};
    std::wstring value(n, L'\0');
    const DWORD got = GetEnvironmentVariableW(name, value.data(), n);
    value.resize(got < n ? got : 0);
    return value;
}

std::wstring Setting(const wchar_t* envName, std::string_view iniKey) {
    std::wstring value = EnvironmentValue(envName);
    if (value.empty()) {
        if (auto ini = ReadWholeFile(ThisModuleDirectory() + L"moviestandin.ini")) {
            if (auto v = IniValue(*ini, iniKey)) value = Utf8ToWide(*v);
        }
    }
    return value.empty() ? value : ToWindowsPath(value);
}

}  // namespace

std::wstring RecordPath() { return Setting(L"ZB_STANDIN_RECORD", "record"); }
std::wstring ScriptPath() { return Setting(L"ZB_STANDIN_SCRIPT", "script"); }

std::optional<std::string> IniValue(std::string_view text, std::string_view key) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty() || line.front() == '#' || line.front() == ';') continue;
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        if (EqualsNoCase(Trim(line.substr(0, eq)), key)) return std::string(Trim(line.substr(eq + 1)));
    }
    return std::nullopt;
}

std::wstring ToWindowsPath(const std::wstring& path) {
    if (path.empty() || path.front() != L'/') return path;
    // Wine's own mapping knows every drive; without it (not Wine) fall back to Z:, the
    // drive a Wine prefix gives the Unix root.
    using DosNameFn = WCHAR*(CDECL*)(LPCSTR);
    if (HMODULE kernel = GetModuleHandleW(L"kernel32.dll")) {
        auto fn = reinterpret_cast<DosNameFn>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_dos_file_name")));
        if (fn) {
            if (WCHAR* dos = fn(WideToUtf8(path).c_str())) {
                std::wstring result(dos);
                HeapFree(GetProcessHeap(), 0, dos);
                return result;
            }
        }
    }
    std::wstring result = L"Z:" + path;
    for (wchar_t& c : result) {
        if (c == L'/') c = L'\\';
    }
    return result;
}

HMODULE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

std::wstring ThisModuleDirectory() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(ThisModule(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) {
            std::wstring path(buffer.data(), n);
            return path.substr(0, path.find_last_of(L"\\/") + 1);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::optional<std::string> ReadWholeFile(const std::wstring& path) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return std::nullopt;
    std::string content;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr) && got > 0) content.append(chunk, got);
    return content;
}

}  // namespace standin
