// The Configure dialog's keyboard and focus, against a dialog manager: the
// simulated desktop's (host) and Windows' own (run under Wine). The dialog
// is the program's, with handlers that stand in for its own: Activate
// selects the stored mode, the buttons record that they were pressed.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "conformance/dialog_target.h"
#include "ui/dialog_views.h"
#include "ui/form_controls.h"
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
            controls_->ModeOption(mode).SetValue(true);
        };
        form = Dialogs().runtime().CreateForm(ConfigureDialogDescription(), events);
        Form& f = *form;
        const ConfigureDialogControls controls(f);
        controls_ = &controls;
        controls.viewButton.Click = [&] {
            pressed += "About ";
            if (controls.viewButton.Caption() == "&About") {
                ShowAboutView(f, controls);
            } else {
                ShowConfigureView(f, controls);
            }
        };
        controls.okButton.Click = [&] {
            pressed += "OK ";
            f.Unload();
        };
        controls.cancelButton.Click = [&] {
            pressed += "Cancel ";
            f.Unload();
        };
        controls.exitButton.Click = [&] { pressed += "Exit "; };
        Dialogs().RunModal(f, [&] {
            inside(f);
            if (f.Loaded()) f.Unload();
        });
        selected = Selected();
        controls_ = nullptr;
    }

    int Selected() const {
        int found = 0;
        for (int i = 1; i <= 3; ++i) {
            if (controls_->ModeOption(i).Value()) found = found == 0 ? i : -1;
        }
        return found;
    }

    // The focused control, by the name the program gives it.
    std::string Focus() const {
        const platform::Control* c = Dialogs().Focused();
        if (c == nullptr) return "<none>";
        const ConfigureDialogControls& d = *controls_;
        const std::pair<const platform::Control*, const char*> named[] = {
            {&d.viewButton, "viewButton"},
            {&d.okButton, "okButton"},
            {&d.cancelButton, "cancelButton"},
            {&d.exitButton, "exitButton"},
            {&d.aboutText, "aboutText"}};
        for (const auto& [control, name] : named) {
            if (c == control) return name;
        }
        for (int i = 1; i <= 3; ++i) {
            if (c == &d.ModeOption(i)) return Option(i);
        }
        return "<another control>";
    }
    static std::string Option(int i) { return "modeOption(" + std::to_string(i) + ")"; }

    static void Tabs(int n) {
        for (int i = 0; i < n; ++i) Dialogs().Key(kTab);
    }

    // The open dialog's controls, while Run runs.
    const ConfigureDialogControls* controls_ = nullptr;
    std::string pressed;
    int activations = 0;
    int selected = 0;
};

TEST_F(DialogConformance, ReactivationNeverChangesTheSelectionNorFocusesAnUncheckedOption) {
    for (int mode = 1; mode <= 3; ++mode) {
        pressed.clear();
        Run(mode, [&](Form&) {
            EXPECT_EQ(Focus(), Option(mode)) << "the group is entered at its checked option";
            for (int round = 0; round < 3; ++round) {
                for (int route = 0; route < 3; ++route) {
                    Dialogs().ActivateOtherWindow();
                    if (route == 0) Dialogs().SwitchBack();
                    if (route == 1) Dialogs().runtime().AppActivate("Configure Quorvel");
                    if (route == 2) Dialogs().ClickTitle();
                    EXPECT_EQ(Selected(), mode) << "mode " << mode << " route " << route;
                    EXPECT_EQ(Focus(), Option(mode)) << "mode " << mode << " route " << route;
                }
            }
            // The focus comes back to where the user left it.
            Tabs(2);
            ASSERT_EQ(Focus(), "okButton");
            Dialogs().ActivateOtherWindow();
            Dialogs().ClickTitle();
            EXPECT_EQ(Focus(), "okButton");
            Dialogs().Key(kEscape);
        });
        EXPECT_EQ(pressed, "Cancel ");
        EXPECT_EQ(selected, mode);
    }
}

TEST_F(DialogConformance, TheFocusFollowsAnOptionTheProgramChecks) {
    Run(2, [&](Form&) {
        Dialogs().Key(kDown);
        ASSERT_EQ(Focus(), Option(3));
        // As Activate does when it reads the stored mode again.
        controls_->ModeOption(2).SetValue(true);
        EXPECT_EQ(Focus(), Option(2));
        Dialogs().ActivateOtherWindow();
        Dialogs().SwitchBack();
        EXPECT_EQ(Selected(), 2);
        EXPECT_EQ(Focus(), Option(2));
    });
    EXPECT_EQ(activations, 1);
}

TEST_F(DialogConformance, TabAndShiftTabFollowTheTabOrderInBothViews) {
    Run(3, [&](Form&) {
        const char* configure[] = {"viewButton", "okButton", "cancelButton", "exitButton",
                                   "modeOption(3)"};
        for (const char* next : configure) {
            Dialogs().Key(kTab);
            EXPECT_EQ(Focus(), next);
        }
        Dialogs().Key(kTab, true);
        EXPECT_EQ(Focus(), "exitButton");
        Dialogs().AltKey('a');  // the About view
        ASSERT_EQ(Focus(), "viewButton");
        const char* about[] = {"okButton", "cancelButton", "exitButton", "aboutText", "viewButton"};
        for (const char* next : about) {
            Dialogs().Key(kTab);
            EXPECT_EQ(Focus(), next);
        }
        Dialogs().Key(kTab, true);
        EXPECT_EQ(Focus(), "aboutText");
        Dialogs().Key(kTab, true);
        EXPECT_EQ(Focus(), "exitButton");
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
        Run(2, [&](Form&) {
            Dialogs().AltKey('a');
            if (tabs == 4) {
                Dialogs().ClickInto(controls_->aboutText);
                ASSERT_EQ(Focus(), "aboutText");
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
        Dialogs().ClickInto(controls_->aboutText);
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
    Run(1, [&](Form&) {
        int expected[] = {2, 3, 2, 1};
        std::uint8_t keys[] = {kDown, kDown, kUp, kUp};
        for (int i = 0; i < 4; ++i) {
            Dialogs().Key(keys[i]);
            EXPECT_EQ(Focus(), Option(expected[i]));
            EXPECT_EQ(Selected(), expected[i]);
        }
        Dialogs().Key(kTab);
        Dialogs().Key(kDown);  // on a push button: not into the group
        EXPECT_EQ(Selected(), 1);
    });
}

TEST_F(DialogConformance, AccessKeysSelectAndPress) {
    Run(2, [&](Form& f) {
        Dialogs().AltKey('t');
        EXPECT_EQ(Selected(), 1);
        Dialogs().AltKey('s');
        EXPECT_EQ(Selected(), 3);
        Dialogs().AltKey('b');
        EXPECT_EQ(Selected(), 2);
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
