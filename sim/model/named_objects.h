// The kernel's namespace of named objects (CreateMutexA's names): which
// process holds each name, and whether its object refuses other users.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>

#include "sim/model/desktop_types.h"

namespace quorvel::sim {

class NamedObjects {
public:
    // An object of a process that has ended is gone (`alive` says which
    // still run): the name is free again.
    NamedObject Create(int pid, const std::string& name, const std::function<bool(int)>& alive);
    // Process `pid`, of someone this user may not touch (elevated, or
    // another user in this session), holds the name.
    void HoldDenyingOthers(int pid, const std::string& name);
    // A mutex's ownership (WaitForSingleObject with no wait, ReleaseMutex):
    // whether `pid` owns `name` now. A process that ended owning it left it
    // abandoned: the next to ask owns it.
    bool Own(int pid, const std::string& name, const std::function<bool(int)>& alive);
    bool GiveBack(int pid, const std::string& name);  // whether `pid` owned it

private:
    std::map<std::string, int> holders_;
    std::map<std::string, int> owners_;
    std::set<int> denying_;
};

}  // namespace quorvel::sim
