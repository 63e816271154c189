// The Configure dialog's keyboard and focus, against a dialog manager: the
// simulated desktop's (host) and Windows' own (run under Wine). The dialog
// is the program's, with handlers that stand in for its own: Activate
// selects the stored mode, the buttons record that they were pressed.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "conformance/dialog_target.h"
#include "ui/dialog_views.h"
#include "ui/form_descriptions.h"

namespace quorvel::testing {
namespace {

using platform::Form;

class DialogConformance : public ::testing::Test {
protected:
    // Opens the dialog over stored mode `mode`, runs `inside` while it is
    // open, and closes it if `inside` left it open.
    void Run(int mode, const std::function<void(Form&)>& inside) {
        platform::FormEvents events;
        std::unique_ptr<Form> form;
        events.Activate = [&] {
            ++activations;
            form->control("Option1", mode).SetValue(true);
        };
        form = Dialogs().runtime().CreateForm(ConfigureDialogDescription(), events);
        Form& f = *form;
        const ConfigureDialogControls controls(f);
        f.control("Command1").Click = [&] {
            pressed += "About ";
            if (f.control("Command1").Caption() == "&About") {
                ShowAboutView(f, controls);
            } else {
                ShowConfigureView(f, controls);
            }
        };
        f.control("Command2").Click = [&] {
            pressed += "OK ";
            f.Unload();
        };
        f.control("Command3").Click = [&] {
            pressed += "Cancel ";
            f.Unload();
        };
        f.control("Command4").Click = [&] { pressed += "Exit "; };
        Dialogs().RunModal(f, [&] {
            inside(f);
            if (f.Loaded()) f.Unload();
        });
        selected = Selected(f);
    }

    static int Selected(Form& f) {
        int found = 0;
        for (int i = 1; i <= 3; ++i) {
            if (f.control("Option1", i).Value()) found = found == 0 ? i : -1;
        }
        return found;
    }

    static std::string Focus() {
        platform::Control* c = Dialogs().Focused();
        if (c == nullptr) return "<none>";
        const auto& d = c->description();
        return d.index == 0 ? d.name : d.name + "(" + std::to_string(d.index) + ")";
    }
    static std::string Option(int i) { return "Option1(" + std::to_string(i) + ")"; }

    static void Tabs(int n) {
        for (int i = 0; i < n; ++i) Dialogs().Key(kTab);
    }

    std::string pressed;
    int activations = 0;
    int selected = 0;
};

TEST_F(DialogConformance, ReactivationNeverChangesTheSelectionNorFocusesAnUncheckedOption) {
    for (int mode = 1; mode <= 3; ++mode) {
        pressed.clear();
        Run(mode, [&](Form& f) {
            EXPECT_EQ(Focus(), Option(mode)) << "the group is entered at its checked option";
            for (int round = 0; round < 3; ++round) {
                for (int route = 0; route < 3; ++route) {
                    Dialogs().ActivateOtherWindow();
                    if (route == 0) Dialogs().SwitchBack();
                    if (route == 1) Dialogs().runtime().AppActivate("Configure Quorvel");
                    if (route == 2) Dialogs().ClickTitle();
                    EXPECT_EQ(Selected(f), mode) << "mode " << mode << " route " << route;
                    EXPECT_EQ(Focus(), Option(mode)) << "mode " << mode << " route " << route;
                }
            }
            // The focus comes back to where the user left it.
            Tabs(2);
            ASSERT_EQ(Focus(), "Command2");
            Dialogs().ActivateOtherWindow();
            Dialogs().ClickTitle();
            EXPECT_EQ(Focus(), "Command2");
            Dialogs().Key(kEscape);
        });
        EXPECT_EQ(pressed, "Cancel ");
        EXPECT_EQ(selected, mode);
    }
}

TEST_F(DialogConformance, TheFocusFollowsAnOptionTheProgramChecks) {
    Run(2, [&](Form& f) {
        Dialogs().Key(kDown);
        ASSERT_EQ(Focus(), Option(3));
        // As Activate does when it reads the stored mode again.
        f.control("Option1", 2).SetValue(true);
        EXPECT_EQ(Focus(), Option(2));
        Dialogs().ActivateOtherWindow();
        Dialogs().SwitchBack();
        EXPECT_EQ(Selected(f), 2);
        EXPECT_EQ(Focus(), Option(2));
    });
    EXPECT_EQ(activations, 1);
}

TEST_F(DialogConformance, TabAndShiftTabFollowTheTabOrderInBothViews) {
    Run(3, [&](Form&) {
        const char* configure[] = {"Command1", "Command2", "Command3", "Command4", "Option1(3)"};
        for (const char* next : configure) {
            Dialogs().Key(kTab);
            EXPECT_EQ(Focus(), next);
        }
        Dialogs().Key(kTab, true);
        EXPECT_EQ(Focus(), "Command4");
        Dialogs().AltKey('a');  // the About view
        ASSERT_EQ(Focus(), "Command1");
        const char* about[] = {"Command2", "Command3", "Command4", "Label1", "Command1"};
        for (const char* next : about) {
            Dialogs().Key(kTab);
            EXPECT_EQ(Focus(), next);
        }
        Dialogs().Key(kTab, true);
        EXPECT_EQ(Focus(), "Label1");
        Dialogs().Key(kTab, true);
        EXPECT_EQ(Focus(), "Command4");
    });
    EXPECT_EQ(selected, 3);
}

TEST_F(DialogConformance, EscapeFromEveryControlClosesAsCancel) {
    // Tabs from the first tab stop in the configure view.
    for (int tabs = 0; tabs <= 4; ++tabs) {
        pressed.clear();
        Run(2, [&](Form&) {
            Tabs(tabs);
            Dialogs().Key(kEscape);
        });
        EXPECT_EQ(pressed, "Cancel ") << tabs;
        EXPECT_EQ(selected, 2);
    }
    // The About view: its buttons, and the About text clicked into.
    for (int tabs = 0; tabs <= 4; ++tabs) {
        pressed.clear();
        Run(2, [&](Form& f) {
            Dialogs().AltKey('a');
            if (tabs == 4) {
                Dialogs().ClickInto(f.control("Label1"));
                ASSERT_EQ(Focus(), "Label1");
            } else {
                Tabs(tabs);
            }
            Dialogs().Key(kEscape);
        });
        EXPECT_EQ(pressed, "About Cancel ") << tabs;
        EXPECT_EQ(selected, 2);
    }
}

TEST_F(DialogConformance, EnterPressesTheFocusedButtonAndOkElsewhere) {
    Run(1, [&](Form&) { Dialogs().Key(kEnter); });  // on the option
    EXPECT_EQ(pressed, "OK ");

    pressed.clear();
    Run(1, [&](Form& f) {
        Tabs(1);
        Dialogs().Key(kEnter);  // "&About"
        EXPECT_EQ(f.Caption(), "About Quorvel");
        Tabs(3);
        Dialogs().Key(kEnter);  // "E&xit": the dialog stays
        EXPECT_TRUE(f.Loaded());
        Dialogs().ClickInto(f.control("Label1"));
        Dialogs().Key(kEnter);  // in the About text: OK
    });
    EXPECT_EQ(pressed, "About Exit OK ");

    pressed.clear();
    Run(1, [&](Form&) {
        Tabs(3);
        Dialogs().Key(kEnter);  // "&Cancel"
    });
    EXPECT_EQ(pressed, "Cancel ");
}

TEST_F(DialogConformance, ArrowKeysMoveWithinTheOptionGroup) {
    Run(1, [&](Form& f) {
        int expected[] = {2, 3, 2, 1};
        std::uint8_t keys[] = {kDown, kDown, kUp, kUp};
        for (int i = 0; i < 4; ++i) {
            Dialogs().Key(keys[i]);
            EXPECT_EQ(Focus(), Option(expected[i]));
            EXPECT_EQ(Selected(f), expected[i]);
        }
        Dialogs().Key(kTab);
        Dialogs().Key(kDown);  // on a push button: not into the group
        EXPECT_EQ(Selected(f), 1);
    });
}

TEST_F(DialogConformance, AccessKeysSelectAndPress) {
    Run(2, [&](Form& f) {
        Dialogs().AltKey('t');
        EXPECT_EQ(Selected(f), 1);
        Dialogs().AltKey('s');
        EXPECT_EQ(Selected(f), 3);
        Dialogs().AltKey('b');
        EXPECT_EQ(Selected(f), 2);
        EXPECT_EQ(Focus(), Option(2));
        Dialogs().AltKey('a');
        EXPECT_EQ(f.Caption(), "About Quorvel");
        Dialogs().AltKey('f');
        EXPECT_EQ(f.Caption(), "Configure Quorvel");
        Dialogs().AltKey('c');
    });
    EXPECT_EQ(pressed, "About About Cancel ");
    EXPECT_EQ(selected, 2);
}

}  // namespace
}  // namespace quorvel::testing
