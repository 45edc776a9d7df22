#include "script_player.h"

#include "clock.h"

namespace standin {

void ScriptPlayer::Start(std::vector<ScriptStep> steps) {
    steps_ = std::move(steps);
    next_ = 0;
    start_ = MillisecondsSinceLoad();
    Arm();
}

void ScriptPlayer::AttachWindow(HWND window) {
    window_ = window;
    Arm();
}

void ScriptPlayer::DetachWindow() {
    if (window_) KillTimer(window_, kTimerId);
    window_ = nullptr;
}

void ScriptPlayer::Arm() {
    if (!window_) return;
    if (next_ >= steps_.size()) {
        KillTimer(window_, kTimerId);
        return;
    }
    const std::int64_t wait = start_ + steps_[next_].at - MillisecondsSinceLoad();
    SetTimer(window_, kTimerId, wait < static_cast<std::int64_t>(USER_TIMER_MINIMUM) ? USER_TIMER_MINIMUM
                                                                                    : static_cast<UINT>(wait),
             nullptr);
}

void ScriptPlayer::OnTimer() {
    if (window_) KillTimer(window_, kTimerId);
    while (window_ && next_ < steps_.size() && start_ + steps_[next_].at <= MillisecondsSinceLoad()) {
        // Copied and counted before it runs: the action may start another script or
        // re-enter here from a nested message loop.
        const ScriptStep step = steps_[next_++];
        Arm();
        switch (step.kind) {
        case StepKind::Fire: actions_.FireStep(step); break;
        case StepKind::Stats: actions_.StatsStep(); break;
        case StepKind::Close: actions_.CloseStep(); break;
        }
    }
    Arm();
}

}  // namespace standin
