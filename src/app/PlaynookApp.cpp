// Start-up: common controls, the player presence check, then the one run of the player
// window. InitInstance returns FALSE, so the process ends after it.
#include "app/PlaynookApp.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "app/app_config.h"
#include "app/flash_probe.h"
#include "player/PlaynookAppDlg.h"

CPlaynookAppApp theApp;

namespace {
constexpr UINT kIdHelp = 0xE146;
}

const winkit::Application::CommandEntry* CPlaynookAppApp::GetCommandMap() const {
    static constexpr CommandEntry map[] = {
        {kIdHelp, [](winkit::Application& app) { app.OnHelp(); }},
        {0, nullptr},
    };
    return map;
}

BOOL CPlaynookAppApp::InitInstance() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&controls);

    SetRegistryKey(kProfileRegistryKey);

    if (!IsFlashPlayerInstalled()) {
        ShowMessageBox(kMissingPlayerMessage, MB_OK, 0);
        ::ShellExecuteW(nullptr, L"open", kFlashPlayerDownloadPage, nullptr, nullptr, SW_SHOW);
    } else {
        CPlaynookAppDlg dlg;
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
    }
    return FALSE;
}
