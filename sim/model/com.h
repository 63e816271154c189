// COM as a program's threads use it: the apartment each has entered, the
// libraries COM loaded into the process for it, and the shell's automation
// objects made there, each bound to the taskbar it was made for.
#pragma once

#include <map>
#include <set>
#include <string>

#include "sim/model/seen.h"

namespace quorvel::sim {

class Com {
public:
    // `seen`: where the libraries loaded and the objects made are counted.
    explicit Com(Seen& seen) : seen_(seen) {}

    // CoInitializeEx and CoUninitialize for a program's thread: leaving the
    // apartment unloads the libraries COM loaded for it (CoUninitialize's
    // documentation).
    bool Initialise(int pid);
    void Uninitialise(int pid);
    // CoCreateInstance of the shell's object, in an apartment entered: its id.
    int MakeShellObject(int pid);
    // Whether the object still reaches the taskbar: one made before the
    // taskbar was recreated does not reach the new one.
    bool Connected(int object) const;
    void Release(int object);
    void TaskbarRecreated() { ++taskbars_; }
    // The process has ended: its apartments with it.
    void Forget(int pid) { libraries_.erase(pid); }

private:
    Seen& seen_;
    std::map<int, std::set<std::string>> libraries_;  // by pid, for an apartment entered
    std::map<int, int> shellObjects_;                 // each live object's taskbar
    int taskbars_ = 1;                                // how many the shell has made
    int lastShellObject_ = 0;
};

}  // namespace quorvel::sim
