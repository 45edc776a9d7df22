#pragma once
// The About box, opened from the player window's system menu.
#include "winkit/dialog.h"

class CAboutDlg : public winkit::Dialog {
public:
    CAboutDlg();
};
