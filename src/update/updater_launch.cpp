#include "update/updater_launch.h"

#include <windows.h>

#include <iterator>

#include "winkit/handles.h"

bool LaunchUpdater(const std::wstring& path) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    // CreateProcessW may write into the command line, so it gets a buffer of its own.
    wchar_t commandLine[std::size(kUpdaterLaunchToken)];
    std::copy(std::begin(kUpdaterLaunchToken), std::end(kUpdaterLaunchToken), commandLine);
    if (!::CreateProcessW(path.c_str(), commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &started))
        return false;
    winkit::unique_handle process(started.hProcess);
    winkit::unique_handle thread(started.hThread);
    // The process handle first, then the thread's; the client keeps neither.
    process.reset();
    thread.reset();
    return true;
}
