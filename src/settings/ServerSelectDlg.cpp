#include "settings/ServerSelectDlg.h"

#include "resource.h"
#include "settings/client_settings.h"

namespace {
constexpr BYTE kChooserAlpha = 229;

bool IsChecked(HWND dialog, int id) {
    return ::SendMessageW(::GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetChecked(HWND dialog, int id, bool checked) {
    ::SendMessageW(::GetDlgItem(dialog, id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}
}  // namespace

CServerSelectDlg::CServerSelectDlg(winkit::Window* parent) : winkit::Dialog(IDD_SERVERSELECT_DIALOG, parent) {}

const winkit::MessageEntry* CServerSelectDlg::GetMessageMap() const {
    static constexpr winkit::MessageEntry map[] = {
        winkit::on_command<IDOK, BN_CLICKED, &CServerSelectDlg::OnBnClickedOk>,
        winkit::end_of_map,
    };
    return map;
}

BOOL CServerSelectDlg::OnInitDialog() {
    winkit::Dialog::OnInitDialog();

    const LONG exStyle = ::GetWindowLongW(hwnd_, GWL_EXSTYLE);
    ::SetWindowLongW(hwnd_, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(hwnd_, 0, kChooserAlpha, LWA_ALPHA);

    CClientSettings settings;
    switch (settings.GetSelectedServer()) {
        case Telecom:
            SetChecked(hwnd_, IDC_RADIO_TELECOM, true);
            break;
        case Unicom:
            SetChecked(hwnd_, IDC_RADIO_UNICOM, true);
            break;
        default:
            SetChecked(hwnd_, IDC_RADIO_AUTO, true);
            break;
    }
    // Checked means "do not remind me again".
    SetChecked(hwnd_, IDC_CHECK_NOREMIND, !settings.GetRemindServerSelect());
    return TRUE;
}

void CServerSelectDlg::OnBnClickedOk() {
    CClientSettings settings;
    ServerLine line;
    if (IsChecked(hwnd_, IDC_RADIO_AUTO)) line = AutoSelect;
    else if (IsChecked(hwnd_, IDC_RADIO_TELECOM)) line = Telecom;
    else if (IsChecked(hwnd_, IDC_RADIO_UNICOM)) line = Unicom;
    else return;  // nothing chosen: the dialog stays open

    settings.SetSelectedServer(line);
    settings.SetRemindServerSelect(!IsChecked(hwnd_, IDC_CHECK_NOREMIND));
    EndDialog(line);
}

BOOL CServerSelectDlg::PreTranslateMessage(MSG* msg) {
    // Only the confirm button closes the chooser: Enter and Escape do nothing.
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) return TRUE;
    return winkit::Dialog::PreTranslateMessage(msg);
}
