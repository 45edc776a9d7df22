#pragma once
// The player window: the program's only main window, a resizable dialog whose client
// area is the hosted movie player. It owns all state of a run.
#include <windows.h>

#include <optional>
#include <string>

#include "player/Shockwaveflash.h"
#include "update/HttpDownloadJob.h"
#include "update/HttpDownloadNotification.h"
#include "winkit/dialog.h"

class CPlaynookAppDlg : public winkit::Dialog, private IHttpDownloadNotification {
public:
    CPlaynookAppDlg();
    ~CPlaynookAppDlg() override;

    void WinHelp(DWORD_PTR data, UINT command) override;

protected:
    const winkit::MessageEntry* GetMessageMap() const override;
    const winkit::EventEntry* GetEventSinkMap() const override;
    void DoDataExchange(winkit::DataExchange& dx) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnInitDialog() override;

private:
    // Message handlers.
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnSize(UINT nType, int cx, int cy);
    void OnTimer(UINT_PTR nIDEvent);
    void OnDestroy();
    // Event of the player control.
    void OnFSCommand(const winkit::EventText& command, const winkit::EventText& args);

    void InitPlayer();
    void SetupEndpoints(int line);
    void StartMovie();
    void SetFullScreen(bool on);
    void NotifyFullScreenState();
    std::wstring BuildClientEnvironment();
    void ShowDiagnosticSummary();
    // The network line chooser, over this window; the choice goes to the settings.
    void ShowServerSelect();
    // Posted at the end of initialisation: the chooser opens once if the user asked to be
    // reminded.
    void OnRemindServerSelect();

    // The download notifications.
    void OnHttpDownloadStart() override;
    void RunUpdater() override;
    void HttpDownloadError(int errorCode) override;
    void OnHttpDownloadComplete() override;

    HICON m_hIcon = nullptr;
    CShockwaveflash m_flash;
    bool m_bFullScreen = false;
    bool m_bMovieReady = false;
    DWORD m_dwSavedStyle = 0;
    WINDOWPLACEMENT m_wpSaved{};
    std::wstring m_strMovieUrl;
    std::wstring m_strUpdateUrl;
    std::wstring m_strDownloadSourceName;
    HttpDownloadJob m_downloadJob;
    std::wstring m_strUpdaterPath;
    int m_nServer = 0;
};
