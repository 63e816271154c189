#include "reveal/shell_keys.h"

#include "reveal/bounds.h"
#include "reveal/trace_line.h"

namespace quorvel {

using platform::Hwnd;

bool ShellKeys::ReadyForKeys(Hwnd target) {
    platform::Runtime& rt = runtime_;
    // In front is not yet ready for keys: the window's thread hears of its
    // activation afterwards, and only that gives it the keyboard focus. Any
    // window of its thread will do: the desktop may pass its activation to a
    // window beside it that holds its icons (a WorkerW).
    rt.shell().WaitUntil([&] { return rt.shell().FocusOfThread(target) != 0; }, kReadyForKeysUs);
    rt.shell().LetThreadCatchUp(target, kCatchUpMs);
    // The layout, read from the windows before Tab goes.
    shellProcess_ = rt.shell().ProcessOf(target);
    const Hwnd taskbar =
        shellProcess_ != 0 ? rt.shell().WindowOfClass("Shell_TrayWnd", shellProcess_) : 0;
    windowsLayout_ = taskbar != 0 && rt.shell().ThreadOf(taskbar) != rt.shell().ThreadOf(target);
    if (windowsLayout_) rt.TraceNote("reveal: Windows' layout; the taskbar on a thread of its own");
    return rt.shell().SameThread(rt.shell().Foreground(), target);
}

bool ShellKeys::BeforeNextStroke(Hwnd took) {
    platform::Runtime& rt = runtime_;
    const std::uint64_t since = rt.shell().NowUs();
    // What the shell is to minimise is read before it is asked, while it
    // takes Tab: time the keys wait for anyway, within the bound.
    shown_ = rt.shell().MinimisableWindows();
    // Arrived, not only left: while the foreground passes between two
    // threads no window is in front for a moment (GetForegroundWindow
    // answers NULL "when a window is losing activation"), and a key sent
    // then reaches no window at all.
    auto arrived = [&] {
        const Hwnd inFront = rt.shell().Foreground();
        if (inFront == 0 || rt.shell().FocusOfThread(inFront) == 0) return false;
        // In Windows' layout only the taskbar's thread takes Alt+M.
        return windowsLayout_ ? rt.shell().ProcessOf(inFront) == shellProcess_ &&
                                    !rt.shell().SameThread(inFront, took)
                              : inFront != took;
    };
    auto left = [&](std::uint32_t bound) {
        const std::uint64_t spent = rt.shell().NowUs() - since;
        return spent < bound ? static_cast<std::uint32_t>(bound - spent) : 0u;
    };
    bool moved = rt.shell().WaitUntil(
        arrived, left(windowsLayout_ ? kKeyboardToTaskbarUs : kKeyboardMoveUs));
    if (!moved && !windowsLayout_ && rt.shell().Foreground() != took) {
        // The keyboard has left the shell's window and reached none yet: a
        // taskbar on a thread of its own after all, of another class than
        // Windows' (a replacement shell's). It is given as long as Windows'.
        moved = rt.shell().WaitUntil(arrived, left(kKeyboardToTaskbarUs));
    }
    TraceWith(rt,
              moved ? "reveal: the keyboard moved after" : "reveal: the keyboard stayed; waited",
              rt.shell().NowUs() - since, "us");
    if (moved) rt.shell().LetThreadCatchUp(rt.shell().Foreground(), kCatchUpMs);
    if (!moved && windowsLayout_) fair_ = false;
    // Alt+M is a menu's access key in many programs: it goes only to the
    // shell's process, looked at right before the stroke. (A window that
    // takes the foreground between this look and the key's arrival still
    // gets it: no Win32 function sends a key to one thread only.)
    const Hwnd inFront = rt.shell().Foreground();
    if (inFront == 0 || rt.shell().ProcessOf(inFront) != shellProcess_) {
        TraceWith(rt, "reveal: another program has the keyboard; no Alt+M; in front: window",
                  inFront, "");
        fair_ = false;
        return false;
    }
    return true;
}

}  // namespace quorvel
