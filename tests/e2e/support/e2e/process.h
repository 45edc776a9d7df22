#pragma once
// A program started for one test, ended with it: whatever happens in the test, the
// destructor leaves nothing of it running.

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "e2e/handle.h"

namespace e2e {

struct LaunchOptions {
  std::filesystem::path program;  // empty: the client
  std::wstring arguments;         // the command line after the quoted program path
  std::filesystem::path workingDir;  // empty: the program's own folder
  std::vector<std::pair<std::wstring, std::wstring>> environment;  // added to ours, or replacing

  LaunchOptions& set(std::wstring name, std::wstring value);
  // Points the stand-in control at a record file and a movie script.
  LaunchOptions& movie(const std::filesystem::path& record, const std::filesystem::path& script);
};

struct GuiObjects {
  DWORD user = 0;
  DWORD gdi = 0;
};

class Process {
 public:
  // Throws std::runtime_error when the program cannot be started.
  static Process start(const LaunchOptions& options);

  Process(Process&&) noexcept = default;
  Process& operator=(Process&&) noexcept;
  ~Process();

  DWORD pid() const { return pid_; }
  HANDLE handle() const { return process_.get(); }

  bool alive() const;
  // The exit code once the program has ended within the timeout.
  std::optional<DWORD> waitForExit(std::chrono::milliseconds timeout) const;
  std::optional<DWORD> exitCode() const;

  // GetProcessHandleCount and GetGuiResources of the child. Wine 8 answers 0 for both
  // (stubs); they count only on Windows.
  DWORD handleCount() const;
  GuiObjects guiObjects() const;

  // Ends this program only (never anything found by name); waits until it is gone.
  void terminate();

 private:
  Process(UniqueHandle process, DWORD pid) : process_(std::move(process)), pid_(pid) {}

  UniqueHandle process_;
  DWORD pid_ = 0;
};

}  // namespace e2e
