// The window's endpoints and the hidden diagnostic summary.
#include "player/PlaynookAppDlg.h"
#include "settings/client_settings.h"
#include "settings/endpoints.h"
#include "winkit/application.h"

void CPlaynookAppDlg::SetupEndpoints(int line) {
    m_bFullScreen = false;
    m_bMovieReady = false;
    if (auto url = MovieUrlForLine(line)) m_strMovieUrl = *url;
    m_strUpdateUrl = kUpdaterUrl;
    m_strDownloadSourceName = kDownloadSourceValueName;
}

void CPlaynookAppDlg::ShowDiagnosticSummary() {
    CClientSettings settings;
    const std::wstring text = ComposeDiagnosticSummary(settings, m_strMovieUrl, m_strUpdateUrl, m_strDownloadSourceName);
    winkit::Application::Get()->ShowMessageBox(text, MB_OK, 0);
}
