#pragma once
#include <span>

#include "app/WindowDescription.h"

// The shell's state and its one road from platform notifications to handlers. It knows
// nothing of the platform: the Win32 layer calls it, and tests drive it directly.
namespace app {

inline constexpr int kWindowItself = -1;  // the unit argument of an event raised by a window

class Shell {
public:
    // Loading the descriptions fails (fatally) when there are none.
    void LoadDescriptions(std::span<const WindowDef> windows) noexcept;
    void ReleaseDescriptions() noexcept { windows_ = {}; }
    const WindowDef* FindDescription(int number) const noexcept;

    // The event gate: while it is up, every event is dropped.
    void HoldEvents() noexcept { ++gate_; }
    void ReleaseEvents() noexcept {
        if (gate_ > 0) --gate_;
    }
    void HoldEventsForGood() noexcept { gate_ = kForGood; }
    bool EventsHeld() const noexcept { return gate_ > 0; }

    // Runs the handler bound to the event, if any; returns whether one ran. An event from a
    // window or unit the descriptions do not know ends the process through the fatal report.
    bool RaiseEvent(int window, int unit, int event) noexcept;

    void RegisterShutdownRoutine(Handler routine) noexcept { shutdownRoutine_ = routine; }
    void RunShutdownRoutineOnce() noexcept;
    void ClearShutdownRoutine() noexcept { shutdownRoutine_ = nullptr; }

    void MarkLoopStarted() noexcept { loopStarted_ = true; }
    bool LoopStarted() const noexcept { return loopStarted_; }

private:
    static constexpr int kForGood = 1 << 30;
    std::span<const WindowDef> windows_;
    int gate_ = 0;
    bool loopStarted_ = false;
    Handler shutdownRoutine_ = nullptr;
};

}  // namespace app
