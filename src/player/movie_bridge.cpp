// The movie's start and the script bridge: the movie's FSCommand events in, the invoke
// requests out, and the environment report after the movie's announcement.
#include "player/PlaynookAppDlg.h"
#include "player/environment_report.h"
#include "player/environment_win32.h"
#include "player/movie_protocol.h"
#include "settings/client_settings.h"

void CPlaynookAppDlg::StartMovie() {
    m_flash.SetAllowFullScreen(std::wstring(kAllowFullScreenValue));
    const std::wstring url = FormatMovieUrl(m_strMovieUrl);
    m_flash.SetFlashVars(std::wstring(kMovieFlashVars));
    m_flash.LoadMovie(kMovieLoadLayer, url);
    m_flash.Play();
}

void CPlaynookAppDlg::OnFSCommand(const winkit::EventText& command, const winkit::EventText& args) {
    std::optional<std::wstring_view> commandText;
    std::optional<std::wstring_view> argumentText;
    if (command) commandText = *command;
    if (args) argumentText = *args;

    switch (ClassifyFSCommand(commandText, argumentText)) {
        case MovieCommand::Announce:
            m_bMovieReady = true;
            // Setting the same timer again restarts its delay: one report per arming.
            ::SetTimer(hwnd_, kEnvironmentTimerId, kEnvironmentReportDelayMs, nullptr);
            break;
        case MovieCommand::EnterFullScreen:
            SetFullScreen(true);
            break;
        case MovieCommand::LeaveFullScreen:
            SetFullScreen(false);
            break;
        case MovieCommand::Ignored:
            break;
    }
}

void CPlaynookAppDlg::OnTimer(UINT_PTR) {
    if (!m_bMovieReady) return;
    // Killed before anything can fail, so a failing report is not retried.
    ::KillTimer(hwnd_, kEnvironmentTimerId);
    const std::wstring report = BuildClientEnvironment();
    m_flash.CallFlashFunction(FormatInvokeRequest(kNotifyClientEnvironment, report));
}

std::wstring CPlaynookAppDlg::BuildClientEnvironment() {
    CClientSettings settings;
    return ComposeClientEnvironment([&] { return settings.ReadStringValue(m_strDownloadSourceName); },
                                    [] { return GetExeVersionString(); },
                                    [&] { return m_flash.GetFlashVersion(); },
                                    [] { return GetOSVersionString(); });
}
