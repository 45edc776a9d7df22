// Plays the steps of a movie script from a timer of the control's window, each at its
// time after LoadMovie. A step's action may run a nested message loop (a host that shows
// a message box from its FSCommand handler); the timer is armed for the following step
// before each action, so the script keeps time as a real movie would.
#pragma once

#include "movie_script.h"

#include <windows.h>

#include <cstdint>
#include <vector>

namespace standin {

class ScriptActions {
public:
    virtual void FireStep(const ScriptStep& step) = 0;
    virtual void StatsStep() = 0;
    virtual void CloseStep() = 0;

protected:
    ~ScriptActions() = default;
};

class ScriptPlayer {
public:
    static constexpr UINT_PTR kTimerId = 0x5A42;

    explicit ScriptPlayer(ScriptActions& actions) : actions_(actions) {}
    ScriptPlayer(const ScriptPlayer&) = delete;
    ScriptPlayer& operator=(const ScriptPlayer&) = delete;

    // Replaces whatever was playing; step times count from now.
    void Start(std::vector<ScriptStep> steps);
    // Steps wait while the control has no window and go on when it gets one.
    void AttachWindow(HWND window);
    void DetachWindow();
    // The window's WM_TIMER for kTimerId.
    void OnTimer();

    size_t Remaining() const { return steps_.size() - next_; }

private:
    void Arm();

    ScriptActions& actions_;
    std::vector<ScriptStep> steps_;
    size_t next_ = 0;
    std::int64_t start_ = 0;
    HWND window_ = nullptr;
};

}  // namespace standin
