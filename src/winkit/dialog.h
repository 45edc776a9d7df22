#pragma once
// Dialogs made from DIALOGEX templates in the program's resources, run modally by a loop
// of our own. Items whose window class is a class id are created as ActiveX controls at
// the items' places before OnInitDialog.
#include <windows.h>

#include <memory>
#include <vector>

#include "winkit/control_window.h"
#include "winkit/window.h"

namespace winkit {

class ControlSite;
class Dialog;

// Binds the dialog's controls to the program's wrappers during OnInitDialog.
class DataExchange {
public:
    explicit DataExchange(Dialog& dialog) : dialog_(dialog) {}
    void Control(UINT id, ControlWindow& wrapper);

private:
    Dialog& dialog_;
};

class Dialog : public Window {
public:
    Dialog(UINT template_id, Window* parent);
    ~Dialog() override;

    // Creates the dialog, runs it until EndDialog and returns its result; -1 when the
    // dialog or one of its controls could not be created.
    INT_PTR DoModal();
    void EndDialog(INT_PTR result);

    // The site of a hosted control, or null while it does not exist.
    ControlSite* FindControlSite(UINT id) const noexcept;

protected:
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(DataExchange& dx);
    virtual void OnOK();
    virtual void OnCancel();
    void OnDestroy();

    // The in-place active control first, then the dialog manager's keyboard handling.
    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    friend class DataExchange;
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept;
    BOOL HandleInitDialog(HWND hwnd);
    bool CreateControls();
    // Offers the message to PreTranslateMessage of each of our windows from its target up
    // to this dialog.
    bool PreTranslateChain(MSG* msg);
    void DestroyControls() noexcept;

    UINT template_id_;
    Window* parent_;
    bool ended_ = false;
    INT_PTR result_ = -1;
    struct PendingControl;
    std::vector<PendingControl>* pending_ = nullptr;
    std::vector<std::unique_ptr<ControlSite>> sites_;
};

}  // namespace winkit
