// The update hand-off under Wine: LaunchUpdater against real programs and paths that are
// none, watched through the process's handle count and through a recorder program that
// reports the command line, directory and environment it was started with; and the
// download-job record's construction and teardown, watched the same way.

#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "update/HttpDownloadJob.h"
#include "update/updater_launch.h"
#include "winkit/handles.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

bool IsOpenHandle(HANDLE handle) {
  DWORD flags = 0;
  return ::GetHandleInformation(handle, &flags) != FALSE;
}

// The handles this process has open, found by asking for every handle value in turn.
// GetProcessHandleCount is no help: Wine answers 0 whatever is open. Handle values are
// multiples of 4 and handed out lowest first, so a test process stays far below the end.
std::vector<HANDLE> OpenHandles() {
  constexpr UINT_PTR kLastValue = 4 * 8192;
  std::vector<HANDLE> open;
  for (UINT_PTR value = 4; value <= kLastValue; value += 4) {
    HANDLE handle = reinterpret_cast<HANDLE>(value);
    if (IsOpenHandle(handle)) open.push_back(handle);
  }
  return open;
}

fs::path ThisProgramDir() {
  wchar_t path[MAX_PATH * 2];
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
  return fs::path(std::wstring(path, length)).parent_path();
}

std::wstring CurrentDirectory() {
  wchar_t directory[MAX_PATH * 2];
  const DWORD length = ::GetCurrentDirectoryW(MAX_PATH * 2, directory);
  return std::wstring(directory, length);
}

// Ids of the running processes that this one started, of one program or of any.
std::vector<DWORD> ChildProcesses(const std::wstring& programName = {}) {
  std::vector<DWORD> children;
  HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return children;
  const winkit::unique_handle owner(snapshot);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
    if (entry.th32ParentProcessID != ::GetCurrentProcessId()) continue;
    if (programName.empty() || ::lstrcmpiW(entry.szExeFile, programName.c_str()) == 0)
      children.push_back(entry.th32ProcessID);
  }
  return children;
}

// A folder of its own for one test, removed with everything in it at the end.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::wstring& name) {
    path_ = fs::temp_directory_path() / (name + L"-" + std::to_wstring(::GetCurrentProcessId()));
    std::error_code ignored;
    fs::remove_all(path_, ignored);
    fs::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// Sets an environment variable of this process for one scope.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const wchar_t* name, const std::wstring& value) : name_(name) {
    ::SetEnvironmentVariableW(name, value.c_str());
  }
  ~ScopedEnvironment() { ::SetEnvironmentVariableW(name_, nullptr); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const wchar_t* name_;
};

class ScopedCurrentDirectory {
 public:
  explicit ScopedCurrentDirectory(const fs::path& directory) : previous_(CurrentDirectory()) {
    ::SetCurrentDirectoryW(directory.c_str());
  }
  ~ScopedCurrentDirectory() { ::SetCurrentDirectoryW(previous_.c_str()); }
  ScopedCurrentDirectory(const ScopedCurrentDirectory&) = delete;
  ScopedCurrentDirectory& operator=(const ScopedCurrentDirectory&) = delete;

 private:
  std::wstring previous_;
};

// The recorder's report: one UTF-16 line per item, once the file is complete.
std::optional<std::vector<std::wstring>> WaitForReport(const fs::path& file, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!fs::exists(file)) {
    if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
    std::this_thread::sleep_for(20ms);
  }
  std::ifstream in(file, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
  std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(text.size() * sizeof(wchar_t)),
            reinterpret_cast<char*>(text.data()));
  std::vector<std::wstring> lines;
  size_t start = 0;
  for (size_t end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

std::wstring Lowered(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

// ---------------------------------------------------------------------------------------
// LaunchUpdater

TEST(LaunchUpdaterTest, TheTokenIsAGuidShapedTextOf36Characters) {
  const std::wstring token = kUpdaterLaunchToken;
  EXPECT_EQ(token, L"5D3B7C19-6A2E-4B71-9F04-2E6A1D8B3C70");
  EXPECT_EQ(token.size(), 36u);
}

TEST(LaunchUpdaterTest, PathsThatNameNoProgramStartNothingAndKeepNoHandle) {
  ScratchFolder scratch(L"zb-updater-none");
  const fs::path textFile = scratch.path() / L"updater.exe";
  std::ofstream(textFile) << "not a program\n";
  const struct {
    const char* what;
    std::wstring path;
  } cases[] = {
      {"an empty path, as the client always has", L""},
      {"a file that does not exist", (scratch.path() / L"missing.exe").wstring()},
      {"a folder", scratch.path().wstring()},
      {"a text file named like a program", textFile.wstring()},
  };
  // A first failing start, so that whatever the system sets up once is already there.
  LaunchUpdater(L"");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<DWORD> childrenBefore = ChildProcesses();
    const std::vector<HANDLE> handlesBefore = OpenHandles();
    EXPECT_FALSE(LaunchUpdater(c.path));
    EXPECT_EQ(OpenHandles(), handlesBefore);
    EXPECT_EQ(ChildProcesses(), childrenBefore) << "something was started";
  }
}

TEST(LaunchUpdaterTest, StartsTheUpdaterWithTheTokenAloneAndKeepsNothingOfIt) {
  const fs::path recorder = ThisProgramDir() / L"updater_recorder.exe";
  ASSERT_TRUE(fs::exists(recorder)) << recorder.string();

  ScratchFolder scratch(L"zb-updater-run");
  const fs::path workDir = scratch.path() / L"client dir";
  fs::create_directories(workDir);
  const fs::path report = scratch.path() / L"report.txt";
  const std::wstring mark = L"client environment \u7f51\u7edc " + std::to_wstring(::GetTickCount64());
  const std::wstring releaseName = L"ZbUpdaterRecorderRelease-" + std::to_wstring(::GetCurrentProcessId());

  // Holds the recorder until the test has looked at it.
  const winkit::unique_handle release(::CreateEventW(nullptr, TRUE, FALSE, releaseName.c_str()));
  ASSERT_TRUE(release);
  // An inheritable pipe end: the recorder can write into it only if handles were inherited.
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
  ASSERT_TRUE(::CreatePipe(&readEnd, &writeEnd, &inheritable, 0));
  const winkit::unique_handle pipeRead(readEnd);
  const winkit::unique_handle pipeWrite(writeEnd);
  wchar_t writeEndText[32];
  swprintf(writeEndText, 32, L"%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(writeEnd)));

  const ScopedEnvironment out(L"ZB_RECORDER_OUT", report.wstring());
  const ScopedEnvironment marked(L"ZB_RECORDER_MARK", mark);
  const ScopedEnvironment released(L"ZB_RECORDER_RELEASE", releaseName);
  const ScopedEnvironment pipe(L"ZB_RECORDER_PIPE", writeEndText);
  const ScopedCurrentDirectory inWorkDir(workDir);
  const std::wstring clientDir = CurrentDirectory();
  ASSERT_EQ(Lowered(fs::path(clientDir).filename().wstring()), L"client dir");

  const std::vector<HANDLE> handlesBefore = OpenHandles();
  const auto started = std::chrono::steady_clock::now();
  const bool launched = LaunchUpdater(recorder.wstring());
  const auto took = std::chrono::steady_clock::now() - started;
  const std::vector<HANDLE> handlesAfter = OpenHandles();

  // Whatever happens below, the recorder is let go at the end.
  struct ReleaseAtEnd {
    HANDLE event;
    ~ReleaseAtEnd() { ::SetEvent(event); }
  } releaseAtEnd{release.get()};

  ASSERT_TRUE(launched);
  // The recorder lives until it is released, so a starter that waited for it would still
  // be waiting.
  EXPECT_LT(took, 5s);
  EXPECT_EQ(handlesAfter, handlesBefore) << "a handle of the updater was kept";

  const auto lines = WaitForReport(report, 15s);
  ASSERT_TRUE(lines.has_value()) << "the recorder wrote no report";
  ASSERT_EQ(lines->size(), 3u);
  EXPECT_EQ((*lines)[0], L"5D3B7C19-6A2E-4B71-9F04-2E6A1D8B3C70") << "the whole command line";
  EXPECT_EQ(Lowered((*lines)[1]), Lowered(clientDir)) << "the current directory";
  EXPECT_EQ((*lines)[2], mark) << "the environment";

  DWORD leaked = 0;
  ASSERT_TRUE(::PeekNamedPipe(pipeRead.get(), nullptr, 0, nullptr, &leaked, nullptr));
  EXPECT_EQ(leaked, 0u) << "the updater inherited the client's handles";

  // Exactly one program was started, and it is still running: nothing waited for it.
  const std::vector<DWORD> children = ChildProcesses(L"updater_recorder.exe");
  ASSERT_EQ(children.size(), 1u);
  const winkit::unique_handle child(::OpenProcess(SYNCHRONIZE, FALSE, children.front()));
  ASSERT_TRUE(child);
  EXPECT_EQ(::WaitForSingleObject(child.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
  ::SetEvent(release.get());
  EXPECT_EQ(::WaitForSingleObject(child.get(), 10000), static_cast<DWORD>(WAIT_OBJECT_0));
}

// ---------------------------------------------------------------------------------------
// HttpDownloadJob

// Tells the test when the record deletes it, and whether the record's event was still open
// at that moment.
class RecordingWorker : public HttpDownloadWorker {
 public:
  RecordingWorker(bool& deleted, bool& eventOpenAtDeletion, HANDLE event)
      : deleted_(deleted), eventOpenAtDeletion_(eventOpenAtDeletion), event_(event) {}
  ~RecordingWorker() override {
    deleted_ = true;
    eventOpenAtDeletion_ = IsOpenHandle(event_);
  }

 private:
  bool& deleted_;
  bool& eventOpenAtDeletion_;
  HANDLE event_;
};

TEST(HttpDownloadJobTest, StartsEmptyWithASignalledManualResetEvent) {
  const HttpDownloadJob job;
  EXPECT_TRUE(job.m_strUrl.empty());
  EXPECT_TRUE(job.m_strFilePath.empty());
  EXPECT_EQ(job.m_nTotalBytes, 0);
  EXPECT_EQ(job.m_nReceivedBytes, 0);
  EXPECT_FALSE(job.m_pWorker);
  EXPECT_EQ(job.m_nState, 0);
  ASSERT_TRUE(job.m_hEvent);
  // Signalled, and still signalled after a wait has been satisfied: manual reset.
  EXPECT_EQ(::WaitForSingleObject(job.m_hEvent.get(), 0), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_EQ(::WaitForSingleObject(job.m_hEvent.get(), 0), static_cast<DWORD>(WAIT_OBJECT_0));
}

TEST(HttpDownloadJobTest, TeardownWithoutAWorkerClosesOnlyTheEvent) {
  std::optional<HttpDownloadJob> job;
  job.emplace();
  const HANDLE event = job->m_hEvent.get();
  ASSERT_TRUE(IsOpenHandle(event));
  job->m_strUrl = L"http://example.invalid/autoupdate/autoupdate.exe";
  job->m_strFilePath = L"C:\\updater.exe";

  std::vector<HANDLE> handlesLeft = OpenHandles();
  handlesLeft.erase(std::remove(handlesLeft.begin(), handlesLeft.end(), event), handlesLeft.end());
  job.reset();
  EXPECT_EQ(OpenHandles(), handlesLeft);
  EXPECT_FALSE(IsOpenHandle(event));
}

TEST(HttpDownloadJobTest, TeardownDeletesTheWorkerFirstThenClosesTheEvent) {
  bool deleted = false;
  bool eventOpenAtDeletion = false;
  std::optional<HttpDownloadJob> job;
  job.emplace();
  const HANDLE event = job->m_hEvent.get();
  job->m_pWorker = std::make_unique<RecordingWorker>(deleted, eventOpenAtDeletion, event);

  job.reset();
  EXPECT_TRUE(deleted) << "the worker was not deleted through its virtual destructor";
  EXPECT_TRUE(eventOpenAtDeletion) << "the event was closed before the worker was deleted";
  EXPECT_FALSE(IsOpenHandle(event));
}

TEST(HttpDownloadJobTest, TeardownOfARecordWithoutAnEventClosesNoHandle) {
  // A record whose event could not be made: take the event out of a new record.
  std::optional<HttpDownloadJob> job;
  job.emplace();
  const winkit::unique_handle taken(job->m_hEvent.release());
  ASSERT_TRUE(taken);

  const std::vector<HANDLE> handlesBefore = OpenHandles();
  ::SetLastError(ERROR_SUCCESS);
  job.reset();
  const DWORD lastError = ::GetLastError();
  EXPECT_EQ(OpenHandles(), handlesBefore);
  EXPECT_TRUE(IsOpenHandle(taken.get())) << "the teardown closed a handle that was not the record's";
  // Not even a CloseHandle of the null handle, which would fail and leave its trace here.
  EXPECT_EQ(lastError, static_cast<DWORD>(ERROR_SUCCESS));
}

}  // namespace
