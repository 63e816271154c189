// What a user or Windows does on the simulated desktop, for the tests to
// drive: clicks on the taskbar and the notification area, the window menu,
// closing and shutting down, a new taskbar; and the notification area,
// message boxes and pop-up menus the program puts up.
#include <algorithm>
#include <stdexcept>

#include "platform/constants.h"
#include "platform/message_words.h"
#include "sim/model/desktop.h"

namespace quorvel::sim {

using namespace platform;

namespace {

std::uint32_t SystemCommandLParam(MenuChoice how, int x, int y) {
    switch (how) {
        case MenuChoice::Mouse:
            return MakeLong(x, y);
        case MenuChoice::Accelerator:
            return MakeLong(0, -1);
        case MenuChoice::Mnemonic:
            break;
    }
    return 0;
}

}  // namespace

void Desktop::ClickTaskbarButton(Hwnd hwnd) {
    // The input is the taskbar's, and the system changes the foreground.
    foreground.UserInput(kShellPid);
    foreground.SystemUnlocks();
    Drive([&] {
        Window* w = Find(hwnd);
        if (w == nullptr || !HasTaskbarButton(hwnd))
            throw std::logic_error("no such taskbar button");
        if (!w->enabled) {
            // A program showing a modal dialog brings the dialog to the front.
            for (Hwnd candidate : zOrder_) {
                const Window* c = Find(candidate);
                if (c->pid == w->pid && c->visible && c->enabled) {
                    Activate(candidate);
                    break;
                }
            }
        } else if (w->minimised && WindowsShell()) {
            // Restored, the window is activated before its WM_SIZE, and once
            // the restore is over it is given the focus, which activates it
            // again (Wine's ShowWindow): a program that handed the foreground
            // away in the meantime gets it back from the same click.
            w->minimised = false;
            Activate(hwnd);
            SendSize(hwnd, SIZE_RESTORED);
            if (const Window* again = Find(hwnd); again != nullptr && again->visible) {
                Activate(hwnd);
            }
        } else if (w->minimised) {
            // The harsh shells activate the minimised window before they have
            // it restore itself: the activation arrives while the window is
            // minimised.
            Activate(hwnd);
            if (w->proc) {
                Send(hwnd, WM_SYSCOMMAND, SC_RESTORE);
            } else {
                Restore(hwnd);
            }
            // Then it makes the window the foreground window, a step that
            // reaches the program only after it has handled the restore (as
            // Wine's taskbar does): a program that handed the foreground away
            // meanwhile is activated a second time by the same click.
            At(1, [this, hwnd] {
                if (const Window* again = Find(hwnd); again != nullptr && again->visible) {
                    Activate(hwnd);
                }
            });
        } else if (active_ == hwnd) {
            // The button of the active window minimises it.
            Minimise(hwnd);
        } else {
            Activate(hwnd);
        }
        RunPending();
    });
}

void Desktop::ChooseWindowMenu(Hwnd hwnd, const std::string& text, MenuChoice how,
                               std::uint32_t systemBits) {
    Drive([&] {
        Window* w = Find(hwnd);
        if (w == nullptr) throw std::logic_error("no such window");
        auto entry = std::find_if(w->systemMenu.begin(), w->systemMenu.end(),
                                  [&](const MenuEntry& e) { return e.text == text; });
        if (entry == w->systemMenu.end()) throw std::logic_error("no such menu entry: " + text);
        foreground.UserInput(w->pid);
        Send(hwnd, WM_SYSCOMMAND, entry->id | (systemBits & 0xF),
             SystemCommandLParam(how, user.pointerX, user.pointerY));
        RunPending();
    });
}

void Desktop::PressClose(Hwnd hwnd) {
    Drive([&] {
        Send(hwnd, WM_SYSCOMMAND, SC_CLOSE,
             SystemCommandLParam(MenuChoice::Accelerator, user.pointerX, user.pointerY));
        RunPending();
    });
}

void Desktop::CloseFromTaskManager(Hwnd hwnd) {
    Drive([&] {
        Send(hwnd, WM_CLOSE);
        RunPending();
    });
}

void Desktop::ShutDown() {
    std::vector<Hwnd> targets;
    // WM_QUERYENDSESSION goes to the top-level windows.
    for (const auto& [hwnd, w] : windows_) {
        if (w.pid != kShellPid && w.proc && !w.messageOnly) targets.push_back(hwnd);
    }
    // Windows asks only the windows still there.
    const auto there = [this](Hwnd hwnd) {
        const Window* w = Find(hwnd);
        return w != nullptr && Alive(w->pid);
    };
    bool agreed = true;
    for (Hwnd hwnd : targets) {
        if (!there(hwnd)) continue;
        Drive([&] {
            agreed = Send(hwnd, WM_QUERYENDSESSION) != 0 && agreed;
            RunPending();
        });
    }
    for (Hwnd hwnd : targets) {
        if (!there(hwnd)) continue;
        Drive([&] {
            Send(hwnd, WM_ENDSESSION, agreed ? 1 : 0);
            RunPending();
        });
    }
}

void Desktop::MouseOverTrayIcon(Hwnd hwnd, std::uint32_t id,
                                const std::vector<std::uint32_t>& messages) {
    const TrayIcon* icon = FindTrayIcon(hwnd, id);
    if (icon == nullptr) throw std::logic_error("no such notification-area icon");
    // The input is the taskbar's, and a press hands the icon's program the
    // right to set the foreground for what it asks: the "TrackPopupMenu
    // function" page has that program make its window the foreground one
    // before the menu it opens for the icon.
    foreground.UserInput(kShellPid);
    const bool press = std::any_of(messages.begin(), messages.end(), [](std::uint32_t m) {
        return m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN;
    });
    if (const Window* owner = Find(hwnd); owner != nullptr && press)
        foreground.AllowSetForegroundWindow(kShellPid, static_cast<std::uint32_t>(owner->pid));
    for (std::uint32_t m : messages) Post(hwnd, icon->callbackMessage, id, m);
    Drive([&] { RunPending(); });
}

void Desktop::ClickTrayIcon(Hwnd hwnd, std::uint32_t id, bool right) {
    if (right) {
        MouseOverTrayIcon(hwnd, id, {WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_RBUTTONUP});
    } else {
        MouseOverTrayIcon(hwnd, id, {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP});
    }
}

void Desktop::RecreateTaskbar() {
    notificationArea_.Clear();
    com_.TaskbarRecreated();
    // Broadcast: to the top-level windows.
    for (const auto& [hwnd, w] : windows_) {
        if (!w.messageOnly) PostFrom(kShellPid, hwnd, WM_TASKBARCREATED);
    }
    Drive([&] { RunPending(); });
}

void Desktop::ChooseMenuItem(const std::string& caption) {
    if (!popup_) throw std::logic_error("no pop-up menu is open");
    auto it = std::find(popup_->items.begin(), popup_->items.end(), caption);
    if (it == popup_->items.end()) throw std::logic_error("no such menu item: " + caption);
    popup_->chosen = static_cast<int>(it - popup_->items.begin());
}

std::int32_t Desktop::NotifyIcon(std::uint32_t message, const std::uint8_t* record) {
    return notificationArea_.Notify(message, record,
                                    [this](Hwnd hwnd) { return Find(hwnd) != nullptr; });
}

int Desktop::ShowMessageBox(const MessageBox& box) {
    seen.messageBoxes.push_back(box);
    if (user.messageBoxAnswers.empty()) throw SimStall("a message box nobody answers");
    int answer = user.messageBoxAnswers.front();
    user.messageBoxAnswers.pop_front();
    return answer;
}

int Desktop::TrackPopupMenu(const std::vector<std::string>& items) {
    seen.popups.push_back(items);
    popup_ = PopupMenu{items};
    // The menu is modal: it stays until an item is chosen or it is dismissed.
    int chosen = -1;
    PumpUntil([&] {
        if (popup_ && popup_->chosen < 0) return false;
        if (popup_) chosen = popup_->chosen;
        popup_.reset();
        return true;
    });
    return chosen;
}

}  // namespace quorvel::sim
