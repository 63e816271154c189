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

// A press of a mouse button, single or double.
bool IsPress(std::uint32_t message) {
    return message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN ||
           message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDOWN || message == WM_MBUTTONDBLCLK;
}

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

void Desktop::PressAltF4() {
    Drive([&] {
        Window* w = Find(active_);
        // A menu's loop reads its thread's keys itself.
        if (w == nullptr || (popup_ && SameThread(active_, popup_->owner))) return;
        if (!w->proc) {
            w->typed += "<Alt+F4>";
            return;
        }
        // Keyboard input: queued for the window's thread. The context code
        // (bit 29) says Alt is down; repeat count 1, F4's scan code 0x3E.
        constexpr std::uint32_t kAltF4Flags = 0x203E0001;
        Post(active_, WM_SYSKEYDOWN, VK_F4, kAltF4Flags);
        if (waitingPid_ == 0) RunPending();
    });
}

void Desktop::TypeKey(std::uint8_t vk) {
    if (popup_ && !popup_->closed && SameThread(active_, popup_->owner)) {
        // Esc leaves the menu without a choice; its owner stays in front.
        if (vk == VK_ESCAPE) popup_->closed = true;
        return;
    }
    // A program's window here takes no typing (the dialog's keys: PressKey
    // of sim_form.h); another program's keeps what reached it.
    if (Window* w = Find(active_); w != nullptr && !w->proc) w->typed += static_cast<char>(vk);
}

bool Desktop::CloseMenuAtClickOn(Hwnd hwnd) {
    if (!popup_ || popup_->closed || !popup_->ownerInFront || hwnd == popup_->owner) return false;
    popup_->closed = true;
    return true;
}

void Desktop::ClickWindow(Hwnd hwnd) {
    if (Find(hwnd) == nullptr) throw std::logic_error("no such window");
    const bool closedAMenu = CloseMenuAtClickOn(hwnd);
    // The click activates the window as its own thread takes it
    // ("WM_MOUSEACTIVATE message"): after the menu's loop is over.
    activations_.push_back([this, hwnd] {
        if (const Window* w = Find(hwnd); w != nullptr && w->visible && w->enabled) Activate(hwnd);
    });
    if (!closedAMenu && waitingPid_ == 0) Drive([&] { RunPending(); });
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
    const Window* owner = Find(hwnd);
    const int ownerPid = owner != nullptr ? owner->pid : 0;
    const std::uint32_t callback = icon->callbackMessage;
    bool closedAMenu = false;
    for (std::uint32_t m : messages) {
        Drive([&] {
            if (IsPress(m) && taskbar_ != 0) {
                // A click on the taskbar: it closes an open menu and takes
                // the activation before the icon hears of it.
                closedAMenu = CloseMenuAtClickOn(taskbar_) || closedAMenu;
                Activate(taskbar_);
            }
            if (IsPress(m) && ownerPid != 0) {
                foreground.AllowSetForegroundWindow(kShellPid,
                                                    static_cast<std::uint32_t>(ownerPid));
            }
            SendNotify(hwnd, callback, id, m);
            // The program takes each as it comes; a wait of its, or the loop
            // of a menu this closed, once it is back in it.
            if (waitingPid_ == 0 && !closedAMenu) RunPending();
        });
    }
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
    if (shellEnded_) return 0;  // no notification area to ask
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

int Desktop::TrackPopupMenu(Hwnd owner, const std::vector<std::string>& items) {
    // One menu at a time: another fails (ERROR_POPUP_ALREADY_ACTIVE).
    if (popup_) return -1;
    seen.popups.push_back(items);
    popup_ = PopupMenu{items, owner, active_ == owner};
    // The menu goes with its loop, also where its process ends inside it.
    const platform::ScopeExit gone([this] { popup_.reset(); });
    // Modal until an item is chosen or the menu closed; the loop ends at
    // once, before what comes after in the queue (the click that closed it
    // reaching its window, say).
    while (popup_->chosen < 0 && !popup_->closed) {
        if (!RunOne() && !FireDue(Clock::kNever)) {
            throw SimStall("nothing scheduled could close the menu");
        }
    }
    return popup_->chosen;
}

}  // namespace quorvel::sim
