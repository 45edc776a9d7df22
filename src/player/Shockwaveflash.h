#pragma once
// The hosted movie player control, driven through automation by dispatch id.
#include <string>

#include "winkit/control_window.h"

class CShockwaveflash : public winkit::ControlWindow {
public:
    // The player control's class id, as probed at start and named by the window template.
    static constexpr wchar_t kClassId[] = L"{D27CDB6E-AE6D-11CF-96B8-444553540000}";

    void SetAllowFullScreen(const std::wstring& value);  // DISPID 202, put
    void SetFlashVars(const std::wstring& value);        // DISPID 170, put
    void LoadMovie(long layer, const std::wstring& url);  // DISPID 142
    void Play();                                          // DISPID 112
    std::wstring GetVariable(const std::wstring& name);  // DISPID 152
    std::wstring CallFunction(const std::wstring& request);  // DISPID 198

    // The movie variable "$version".
    std::wstring GetFlashVersion();
    // Passes an invoke request into the movie and returns its answer.
    std::wstring CallFlashFunction(const std::wstring& request);
};
