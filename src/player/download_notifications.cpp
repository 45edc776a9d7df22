// The player window's answers to a downloader's notifications.
#include "player/PlaynookAppDlg.h"
#include "update/updater_launch.h"

void CPlaynookAppDlg::OnHttpDownloadStart() {}

void CPlaynookAppDlg::RunUpdater() { LaunchUpdater(m_strUpdaterPath); }

void CPlaynookAppDlg::HttpDownloadError(int) {}

void CPlaynookAppDlg::OnHttpDownloadComplete() {}
