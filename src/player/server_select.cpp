// The network line chooser, reached by F4 and, once at start, by the remind flag.
#include "player/PlaynookAppDlg.h"
#include "settings/ServerSelectDlg.h"
#include "settings/client_settings.h"

void CPlaynookAppDlg::ShowServerSelect() {
    // The result is not read as a line: a cancelled run ends with IDCANCEL, which equals
    // the Telecom code. The choice lives in the settings.
    CServerSelectDlg chooser(this);
    chooser.DoModal();
}

void CPlaynookAppDlg::OnRemindServerSelect() {
    CClientSettings settings;
    if (settings.GetRemindServerSelect()) ShowServerSelect();
}
