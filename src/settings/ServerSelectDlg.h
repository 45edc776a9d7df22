#pragma once
// The network line chooser: shows the stored line and remind flag, stores the user's
// choice on confirm and ends with the chosen line code (1-3).
#include "winkit/dialog.h"

class CServerSelectDlg : public winkit::Dialog {
public:
    explicit CServerSelectDlg(winkit::Window* parent = nullptr);

protected:
    const winkit::MessageEntry* GetMessageMap() const override;
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* msg) override;

private:
    void OnBnClickedOk();
};
