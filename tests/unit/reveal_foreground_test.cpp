// A request whose shell's window cannot be brought forward for its keys:
// served the other ways at once, once, with no key for anyone; and the
// program's foreground calls, which never take a right from another program.
#include <algorithm>
#include <string>
#include <tuple>

#include "reveal/minimise_check.h"
#include "unit/reveal_fixture.h"

namespace quorvel::testing {
namespace {

using Way = MinimiseAllWay;
using Kind = sim::ShellKind;

bool Traced(const sim::Desktop& desk, const std::string& line) {
    return std::find(desk.seen.trace.begin(), desk.seen.trace.end(), line) != desk.seen.trace.end();
}

// Why the shell's window is not in front for the keys: Windows refused the
// foreground (a second start from a tool in the background, the user's
// editor in front); the foreground lost between the activation and Tab, to
// a program that took it, from which the program may not take it back; the
// shell's window never came forward (its thread hung).
enum class Cause { Refused, Lost, NeverCame };
const char* CauseName(Cause cause) {
    switch (cause) {
        case Cause::Refused:
            return "Refused";
        case Cause::Lost:
            return "Lost";
        case Cause::NeverCame:
            return "NeverCame";
    }
    return "?";
}

class ShellNotInFrontTest : public ::testing::TestWithParam<std::tuple<Cause, Kind>> {};

// The automation object serves where it works; where it fails (Wine's stub),
// Windows key + M, which the shells of Windows' layout take wherever the
// keyboard is. Nothing is learnt: no key had a try.
TEST_P(ShellNotInFrontTest, TheRequestIsServedOnceTheOtherWayWithNoKeyForAnyone) {
    const auto [cause, kind] = GetParam();
    const std::string name = std::string(CauseName(cause)) + " " + sim::ShellKindName(kind);
    const bool hotKey = kind == Kind::WindowsLayout || kind == Kind::WindowsLayoutWithoutAltM;
    World t;
    sim::Desktop& desk = t.desk;
    desk.shell.objectWorks = !hotKey;
    App* app = t.StartBesideEditor(kind);
    ASSERT_NE(app, nullptr) << name;
    const Hwnd taker = desk.CreateAppWindow("Messenger");
    desk.foreground.ClickWindow(t.editor);
    switch (cause) {
        case Cause::Refused:
            desk.processes.startedInBackground = true;
            EXPECT_EQ(t.Start(), nullptr) << name;
            break;
        case Cause::Lost:
            desk.TakeForegroundFromShell(taker);
            desk.ClickTaskbarButton(app->TaskbarForm().hWnd());
            break;
        case Cause::NeverCame:
            desk.shell.desktopHung = true;
            desk.ClickTaskbarButton(app->TaskbarForm().hWnd());
            break;
    }
    desk.Run(2000);
    desk.shell.desktopHung = false;
    desk.Run(1000);
    EXPECT_EQ(desk.seen.minimiseAlls, 1) << name;
    EXPECT_FALSE(desk.StillShown(t.editor)) << name;
    EXPECT_EQ(desk.seen.shellObjectCalls, 1) << name;
    EXPECT_EQ(desk.seen.winMPresses, hotKey ? 1 : 0) << name;
    EXPECT_TRUE(desk.seen.shellKeys.empty()) << name;
    EXPECT_EQ(desk.Find(t.editor)->typed, "") << name;
    EXPECT_EQ(desk.Find(taker)->typed, "") << name;
    EXPECT_EQ(app->Reveal().LearntWay(), Way::Keys) << name;
    EXPECT_TRUE(Traced(desk, cause == Cause::NeverCame
                                 ? "reveal: the shell's window never came forward; the other ways"
                                 : "reveal: Windows refused the shell's window the foreground; "
                                   "the other ways"))
        << name;
    EXPECT_TRUE(Traced(desk, "reveal: served without the shell's window in front; nothing learnt"))
        << name;
}

INSTANTIATE_TEST_SUITE_P(EachCauseAndShell, ShellNotInFrontTest,
                         ::testing::Combine(::testing::Values(Cause::Refused, Cause::Lost,
                                                              Cause::NeverCame),
                                            ::testing::ValuesIn(sim::kShellKinds)),
                         [](const auto& info) {
                             return std::string(CauseName(std::get<0>(info.param))) +
                                    sim::ShellKindName(std::get<1>(info.param));
                         });

// Windows key + M is the hot key of the shell's own taskbar: with the
// user's window in front and no taskbar of the shell's process to take it,
// it would reach that window, and is not pressed.
TEST(ShellNotInFrontTest, NoWindowsKeyMWhereNoTaskbarOfTheShellsTakesIt) {
    World t;
    sim::Desktop& desk = t.desk;
    for (Hwnd hwnd : desk.ZOrder()) {
        if (desk.Find(hwnd)->className == "Shell_TrayWnd") desk.Find(hwnd)->className = "Taskbar";
    }
    App* app = t.StartBesideEditor(Kind::WindowsLayout);
    ASSERT_NE(app, nullptr);
    desk.Find(desk.CreateAppWindow("Tray replacement"))->className = "Shell_TrayWnd";
    desk.foreground.ClickWindow(t.editor);
    desk.processes.startedInBackground = true;
    EXPECT_EQ(t.Start(), nullptr);
    desk.Run(1000);
    EXPECT_EQ(desk.seen.shellObjectCalls, 1);
    EXPECT_EQ(desk.seen.winMPresses, 0);
    EXPECT_EQ(desk.seen.minimiseAlls, 0);
    EXPECT_EQ(desk.Find(t.editor)->typed, "");
    EXPECT_TRUE(
        Traced(desk, "reveal: not served; no taskbar of the shell's takes Windows key + M"));
}

// Refused with nothing the shell would minimise, the other way is asked,
// and the request says that nothing tells whether it was served.
TEST(ShellNotInFrontTest, WithNothingToMinimiseTheOtherWaySaysSo) {
    World t;
    sim::Desktop& desk = t.desk;
    App* app = t.StartBesideEditor(Kind::WindowsLayout);
    ASSERT_NE(app, nullptr);
    desk.Minimise(t.editor);
    desk.foreground.ClickWindow(desk.CreateAppWindow("Messenger"));
    desk.Find(desk.Active())->minimiseBox = false;  // a window no shell minimises
    desk.processes.startedInBackground = true;
    EXPECT_EQ(t.Start(), nullptr);
    desk.Run(1000);
    EXPECT_TRUE(
        Traced(desk, "reveal: Windows refused the shell's window the foreground; the other ways"));
    EXPECT_TRUE(Traced(desk, "reveal: asked; no window to minimise"));
}

// The program never calls AllowSetForegroundWindow: given any process, it
// takes the right away from the program another had handed it to. A whole
// run (starts in front and in the background, clicks, the icon, its menu, a
// second start) leaves the right where the user's editor put it, with its
// helper, and the call log shows the program's foreground calls and none
// of that function.
TEST(NoRightTakenTest, AHelpersRightToTheForegroundOutlivesAWholeRun) {
    World t;
    sim::Desktop& desk = t.desk;
    desk.shell.objectWorks = true;
    App* app = t.StartBesideEditor(Kind::Windows);
    ASSERT_NE(app, nullptr);
    desk.processes.startedInBackground = true;  // the right is its only one
    const int helper = desk.NewProcess("spelling helper");
    auto grantHelper = [&] {
        desk.foreground.ClickWindow(t.editor);
        ASSERT_TRUE(desk.foreground.AllowSetForegroundWindow(desk.Find(t.editor)->pid,
                                                             static_cast<std::uint32_t>(helper)));
    };
    // The user's requests: each the user's input, which ends the helper's
    // right by itself; a second start, launched from the editor, is none.
    t.Click(*app);
    desk.ClickTrayIcon(app->IconHostForm().hWnd(), kIconId);
    desk.Run(1000);
    t.RestoreEditor();
    desk.At(10, [&] { desk.ChooseMenuItem("Show &Desktop"); });
    desk.ClickTrayIcon(app->IconHostForm().hWnd(), kIconId, true);
    desk.Run(1000);
    t.RestoreEditor();
    for (const bool background : {false, true}) {
        grantHelper();
        desk.processes.startedInBackground = background;
        EXPECT_EQ(t.Start(), nullptr);
        desk.Run(1000);
        EXPECT_TRUE(desk.foreground.MaySet(helper)) << "its right taken by a second start";
        t.RestoreEditor();
    }
    EXPECT_EQ(desk.seen.minimiseAlls, 5);
    EXPECT_EQ(desk.seen.CountCalls("AllowSetForegroundWindow"), 0u);
    EXPECT_GT(desk.seen.CountCalls("SetForegroundWindow("), 0u);
}

}  // namespace
}  // namespace quorvel::testing
