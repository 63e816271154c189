#include "icon/tray_icon.h"

#include "icon/notify_icon_record.h"
#include "platform/errors.h"
#include "settings/icon_setting.h"

namespace quorvel {

namespace {

constexpr const char* kTip = "Show Desktop";
// At log-on the program can start before the shell takes icons: it is asked
// again every 2 seconds for 2 minutes, then the program gives up quietly.
constexpr std::uint32_t kRetryIntervalMs = 2000;
constexpr int kRetryTries = 60;

}  // namespace

TrayIcon::TrayIcon(platform::Runtime& runtime, Forms& forms, const std::int16_t& iconMode)
    : runtime_(runtime), forms_(forms), iconMode_(iconMode) {}

// The retry's timer is one-shot and set only while an icon is missing, so an
// idle program has no timer running.
void TrayIcon::Put() {
    StopRetry();
    if (DeleteThenAdd()) return;
    triesLeft_ = kRetryTries;
    retryTimer_ = runtime_.SetTimeout(kRetryIntervalMs, [this] { TryAgain(); });
}

// Only an icon this process asked for can be there: at start-up in
// taskbar-only mode there is none, and asking to remove one would need the
// host form's window (made then, and the shell's library loaded for the
// request) before the taskbar button shows.
void TrayIcon::Remove() {
    StopRetry();
    if (!asked_) return;
    DeleteTrayIcon(runtime_.api(), forms_.IconHostForm().hWnd());
    asked_ = false;
}

void TrayIcon::TaskbarRecreated() {
    if (iconMode_ == TrayOnly || iconMode_ == BothIcons) Put();
}

// Nothing is saved by skipping the request as the program ends, and no icon
// of the host form's window may outlive the process, whatever this process
// recorded: the shell would go on showing a dead one.
void TrayIcon::RemoveAtExit() {
    DeleteTrayIcon(runtime_.api(), forms_.IconHostForm().hWnd());
}

bool TrayIcon::DeleteThenAdd() {
    platform::Form& host = forms_.IconHostForm();
    bool added = false;
    asked_ = true;
    // Removed first, so that applying the mode again never leaves two (and a
    // shell that took an icon but answered too late keeps one).
    platform::ResumeNext([&] { DeleteTrayIcon(runtime_.api(), host.hWnd()); },
                         [&] {
                             added = AddTrayIcon(runtime_.api(), host.hWnd(),
                                                 forms_.TaskbarControls().picture.Picture(), kTip);
                         });
    return added;
}

void TrayIcon::StopRetry() {
    runtime_.ClearTimeout(retryTimer_);
    retryTimer_ = 0;
    triesLeft_ = 0;
}

void TrayIcon::TryAgain() {
    retryTimer_ = 0;
    if (DeleteThenAdd() || --triesLeft_ <= 0) {
        triesLeft_ = 0;
        return;
    }
    retryTimer_ = runtime_.SetTimeout(kRetryIntervalMs, [this] { TryAgain(); });
}

}  // namespace quorvel
