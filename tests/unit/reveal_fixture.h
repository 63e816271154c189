// Tables of the reveal's check on desktops of their own: a case's name as a
// test's, and a world with the user's editor beside the running instance.
#pragma once

#include <cctype>
#include <string>

#include "app/app.h"
#include "unit/sim_fixture.h"

namespace quorvel::testing {

// A case's name as a test's: letters and digits only.
inline std::string CaseName(const char* name) {
    std::string out;
    for (const char* p = name; *p != '\0'; ++p) {
        if (std::isalnum(static_cast<unsigned char>(*p))) out += *p;
    }
    return out;
}

// A desktop of its own for each case of a table.
struct World : SimTest {
    using SimTest::desk, SimTest::Start, SimTest::StoreMode, SimTest::StoredMode, SimTest::lastPid,
        SimTest::instances, SimTest::Alive;
    void TestBody() override {}

    // The user's editor open, and the running instance started with both
    // icons, on a shell of `kind`.
    App* StartBesideEditor(sim::ShellKind kind) {
        desk.shell.kind = kind;
        editor = desk.CreateAppWindow("Untitled - Notepad");
        StoreMode(kBothIcons);
        return Start();
    }
    // The editor back on the screen, as the user has it before a request.
    void RestoreEditor() {
        desk.Restore(editor);
        desk.Find(editor)->visible = true;
    }
    // A click on the taskbar button, answered.
    void Click(App& app) {
        desk.ClickTaskbarButton(app.TaskbarForm().hWnd());
        desk.Run(1000);
        RestoreEditor();
    }
    Hwnd editor = 0;
};

}  // namespace quorvel::testing
