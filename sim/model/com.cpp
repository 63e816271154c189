#include "sim/model/com.h"

namespace quorvel::sim {

bool Com::Initialise(int pid) {
    if (libraries_.count(pid) == 0) {
        ++seen_.libraryLoads["ole32.dll"];
        libraries_[pid];
    }
    return true;
}

void Com::Uninitialise(int pid) {
    auto it = libraries_.find(pid);
    if (it == libraries_.end()) return;
    // The program keeps ole32 itself; what COM loaded goes.
    it->second.clear();
}

int Com::MakeShellObject(int pid) {
    auto it = libraries_.find(pid);
    if (it == libraries_.end()) return 0;  // CO_E_NOTINITIALIZED
    if (it->second.insert("shell32.dll").second) ++seen_.libraryLoads["shell32.dll"];
    ++seen_.shellObjectsMade;
    ++seen_.shellObjectsHeld;
    shellObjects_[++lastShellObject_] = taskbars_;
    return lastShellObject_;
}

bool Com::Connected(int object) const {
    auto it = shellObjects_.find(object);
    return it != shellObjects_.end() && it->second == taskbars_;
}

void Com::Release(int object) {
    if (shellObjects_.erase(object) != 0) --seen_.shellObjectsHeld;
}

}  // namespace quorvel::sim
