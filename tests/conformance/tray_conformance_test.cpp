// The notification-area calls with the 88-byte record, against a shell:
// the simulated one (host) and Wine's (run under Wine).
#include <gtest/gtest.h>

#include "conformance/tray_target.h"
#include "icon/notify_icon_record.h"
#include "platform/constants.h"

namespace quorvel::testing {
namespace {

// NIM_MODIFY without flags succeeds exactly while the icon exists.
bool IconExists(platform::WinApi& api, platform::Hwnd window) {
    NotifyIconRecord probe{};
    probe[0] = 88;
    for (int i = 0; i < 4; ++i) probe[4 + i] = (window >> (8 * i)) & 0xFF;
    probe[8] = 1;
    return api.Shell_NotifyIconA(platform::NIM_MODIFY, probe.data()) != 0;
}

TEST(TrayConformance, AddThenDeleteWithTheRecordsOfTheProgram) {
    TrayTarget& tray = Tray();
    platform::WinApi& api = tray.api();
    platform::Hwnd window = tray.Window();
    DeleteTrayIcon(api, window);
    ASSERT_FALSE(IconExists(api, window));

    NotifyIconRecord add = BuildAddRecord(window, tray.Icon(), "Show Desktop");
    EXPECT_NE(api.Shell_NotifyIconA(platform::NIM_ADD, add.data()), 0);
    EXPECT_TRUE(IconExists(api, window));
    // A second add of the same icon is refused, and the first one stays.
    EXPECT_EQ(api.Shell_NotifyIconA(platform::NIM_ADD, add.data()), 0);
    EXPECT_TRUE(IconExists(api, window));

    NotifyIconRecord remove = BuildDeleteRecord(window);
    EXPECT_NE(api.Shell_NotifyIconA(platform::NIM_DELETE, remove.data()), 0);
    EXPECT_FALSE(IconExists(api, window));
    // Deleting a missing icon is refused.
    EXPECT_EQ(api.Shell_NotifyIconA(platform::NIM_DELETE, remove.data()), 0);
}

TEST(TrayConformance, TheProgramsOwnCallsAreSilentAboutRefusals) {
    TrayTarget& tray = Tray();
    platform::Hwnd window = tray.Window();
    DeleteTrayIcon(tray.api(), window);
    DeleteTrayIcon(tray.api(), window);  // nothing there: nothing happens
    AddTrayIcon(tray.api(), window, tray.Icon(), "Show Desktop");
    AddTrayIcon(tray.api(), window, tray.Icon(), "Show Desktop");
    EXPECT_TRUE(IconExists(tray.api(), window));
    DeleteTrayIcon(tray.api(), window);
    EXPECT_FALSE(IconExists(tray.api(), window));
}

}  // namespace
}  // namespace quorvel::testing
