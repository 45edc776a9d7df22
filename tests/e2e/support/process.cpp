#include "e2e/process.h"

#include <algorithm>
#include <cwctype>
#include <stdexcept>

#include "e2e/paths.h"
#include "e2e/text.h"

namespace e2e {

namespace {

bool sameName(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
           return std::towupper(x) == std::towupper(y);
         });
}

// Our environment with the options' variables put in; sorted, as Windows expects a block.
std::vector<wchar_t> environmentBlock(const LaunchOptions& options) {
  std::vector<std::pair<std::wstring, std::wstring>> variables;
  if (wchar_t* strings = GetEnvironmentStringsW()) {
    for (const wchar_t* entry = strings; *entry; entry += wcslen(entry) + 1) {
      std::wstring_view text(entry);
      // Entries such as "=C:=C:\" start with '=': the name runs to the next '='.
      size_t equals = text.find(L'=', 1);
      if (equals == std::wstring_view::npos) continue;
      variables.emplace_back(std::wstring(text.substr(0, equals)), std::wstring(text.substr(equals + 1)));
    }
    FreeEnvironmentStringsW(strings);
  }
  for (const auto& [name, value] : options.environment) {
    auto found = std::find_if(variables.begin(), variables.end(), [&](const auto& v) { return sameName(v.first, name); });
    if (found != variables.end()) {
      found->second = value;
    } else {
      variables.emplace_back(name, value);
    }
  }
  std::sort(variables.begin(), variables.end(), [](const auto& a, const auto& b) {
    return _wcsicmp(a.first.c_str(), b.first.c_str()) < 0;
  });
  std::vector<wchar_t> block;
  for (const auto& [name, value] : variables) {
    block.insert(block.end(), name.begin(), name.end());
    block.push_back(L'=');
    block.insert(block.end(), value.begin(), value.end());
    block.push_back(L'\0');
  }
  block.push_back(L'\0');
  return block;
}

}  // namespace

LaunchOptions& LaunchOptions::set(std::wstring name, std::wstring value) {
  environment.emplace_back(std::move(name), std::move(value));
  return *this;
}

LaunchOptions& LaunchOptions::movie(const std::filesystem::path& record, const std::filesystem::path& script) {
  set(L"ZB_STANDIN_RECORD", record.wstring());
  return set(L"ZB_STANDIN_SCRIPT", script.wstring());
}

Process Process::start(const LaunchOptions& options) {
  std::filesystem::path program = options.program.empty() ? clientExe() : options.program;
  std::filesystem::path workingDir = options.workingDir.empty() ? program.parent_path() : options.workingDir;
  std::wstring commandLine = L"\"" + program.wstring() + L"\"";
  if (!options.arguments.empty()) commandLine += L" " + options.arguments;
  std::vector<wchar_t> environment = environmentBlock(options);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                      environment.data(), workingDir.c_str(), &startup, &started)) {
    throw std::runtime_error("cannot start " + narrow(program.wstring()) + " (error " +
                             std::to_string(GetLastError()) + ")");
  }
  UniqueHandle thread(started.hThread);
  return Process(UniqueHandle(started.hProcess), started.dwProcessId);
}

Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    terminate();
    process_ = std::move(other.process_);
    pid_ = std::exchange(other.pid_, 0);
  }
  return *this;
}

Process::~Process() { terminate(); }

bool Process::alive() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

std::optional<DWORD> Process::waitForExit(std::chrono::milliseconds timeout) const {
  if (!process_) return std::nullopt;
  if (WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) return std::nullopt;
  return exitCode();
}

std::optional<DWORD> Process::exitCode() const {
  DWORD code = 0;
  if (!process_ || alive() || !GetExitCodeProcess(process_.get(), &code)) return std::nullopt;
  return code;
}

DWORD Process::handleCount() const {
  DWORD count = 0;
  if (process_) GetProcessHandleCount(process_.get(), &count);
  return count;
}

GuiObjects Process::guiObjects() const {
  if (!process_) return {};
  return {GetGuiResources(process_.get(), GR_USEROBJECTS), GetGuiResources(process_.get(), GR_GDIOBJECTS)};
}

void Process::terminate() {
  if (!alive()) return;
  TerminateProcess(process_.get(), 0xDEAD);
  WaitForSingleObject(process_.get(), 5000);
}

}  // namespace e2e
