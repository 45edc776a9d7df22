// The control's window: class "ZbMovieStandin", a visible child that paints a
// recognisable background with a line of text, wants every key, takes the focus on a
// click, records the keys it receives and answers the "ZbStandinProbe" message.
#pragma once

#include <windows.h>

#include <string>

namespace standin {

// The background, so that a screenshot shows where the control is.
inline constexpr COLORREF kStandinBackground = RGB(0x3A, 0x1F, 0x5C);
inline constexpr COLORREF kStandinTextColour = RGB(0xFF, 0xD8, 0x4A);

class StandinWindowEvents {
public:
    virtual void OnWindowTimer(UINT_PTR id) = 0;
    virtual void OnWindowFocus() = 0;
    virtual void OnWindowDestroyed() = 0;

protected:
    ~StandinWindowEvents() = default;
};

class StandinWindow {
public:
    explicit StandinWindow(StandinWindowEvents& events) : events_(events) {}
    StandinWindow(const StandinWindow&) = delete;
    StandinWindow& operator=(const StandinWindow&) = delete;
    ~StandinWindow() { Destroy(); }

    bool Create(HWND parent, const RECT& rect, int objectNumber);
    void Destroy();
    HWND Handle() const { return window_; }

    void SetStatus(std::wstring text);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();

    StandinWindowEvents& events_;
    HWND window_ = nullptr;
    int objectNumber_ = 0;
    std::wstring status_;
};

}  // namespace standin
