// Stands in for the downloaded updater in the hand-off test. It writes what it was started
// with to the file named by ZB_RECORDER_OUT, as UTF-16 lines:
//   1. its whole command line (GetCommandLineW)
//   2. its current directory
//   3. the value of ZB_RECORDER_MARK, which only an inherited environment carries
// It also writes "leak" to the handle value in ZB_RECORDER_PIPE when that is a pipe here:
// the test's pipe receives it only if the starter let the child inherit the test's handles.
// Then it stays alive until the named event in ZB_RECORDER_RELEASE is set (at most 20 s),
// so that the test can see that its starter did not wait for it.
#include <windows.h>

#include <cwchar>
#include <string>

#include "winkit/handles.h"

namespace {

std::wstring Environment(const wchar_t* name) {
  wchar_t value[1024];
  const DWORD length = ::GetEnvironmentVariableW(name, value, 1024);
  return length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring();
}

std::wstring CurrentDirectory() {
  wchar_t directory[MAX_PATH * 2];
  const DWORD length = ::GetCurrentDirectoryW(MAX_PATH * 2, directory);
  return length > 0 && length < MAX_PATH * 2 ? std::wstring(directory, length) : std::wstring();
}

void WriteToInheritedPipe() {
  const std::wstring text = Environment(L"ZB_RECORDER_PIPE");
  if (text.empty()) return;
  const auto value = static_cast<UINT_PTR>(std::wcstoull(text.c_str(), nullptr, 16));
  HANDLE pipe = reinterpret_cast<HANDLE>(value);  // not ours to close: it may be no handle at all
  if (::GetFileType(pipe) != FILE_TYPE_PIPE) return;
  DWORD written = 0;
  ::WriteFile(pipe, "leak", 4, &written, nullptr);
}

bool WriteAll(const std::wstring& path, const std::wstring& text) {
  // Written under a temporary name and renamed, so the reader never sees half of it.
  const std::wstring partial = path + L".part";
  {
    HANDLE created =
        ::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE) return false;
    const winkit::unique_handle file(created);
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (!::WriteFile(file.get(), text.data(), size, &written, nullptr) || written != size) return false;
  }
  return ::MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

}  // namespace

int main() {
  const std::wstring out = Environment(L"ZB_RECORDER_OUT");
  if (out.empty()) return 2;

  // Before the report, so that the pipe holds whatever leaked once the report is there.
  WriteToInheritedPipe();

  std::wstring report;
  report += ::GetCommandLineW();
  report += L'\n';
  report += CurrentDirectory();
  report += L'\n';
  report += Environment(L"ZB_RECORDER_MARK");
  report += L'\n';
  if (!WriteAll(out, report)) return 3;

  const std::wstring release = Environment(L"ZB_RECORDER_RELEASE");
  if (!release.empty()) {
    const winkit::unique_handle event(::OpenEventW(SYNCHRONIZE, FALSE, release.c_str()));
    if (event) ::WaitForSingleObject(event.get(), 20000);
  }
  return 0;
}
