#include "sim/model/named_objects.h"

#include "platform/constants.h"

namespace quorvel::sim {

NamedObject NamedObjects::Create(int pid, const std::string& name,
                                 const std::function<bool(int)>& alive) {
    auto it = holders_.find(name);
    if (it == holders_.end() || !alive(it->second)) {
        holders_[name] = pid;
        return {true, 0};
    }
    if (denying_.count(it->second)) return {false, platform::ERROR_ACCESS_DENIED};
    return {true, platform::ERROR_ALREADY_EXISTS};
}

void NamedObjects::HoldDenyingOthers(int pid, const std::string& name) {
    holders_[name] = pid;
    denying_.insert(pid);
}

bool NamedObjects::Own(int pid, const std::string& name, const std::function<bool(int)>& alive) {
    auto [it, made] = owners_.try_emplace(name, pid);
    if (!made && !alive(it->second)) it->second = pid;
    return it->second == pid;
}

bool NamedObjects::GiveBack(int pid, const std::string& name) {
    auto it = owners_.find(name);
    if (it == owners_.end() || it->second != pid) return false;
    owners_.erase(it);
    return true;
}

}  // namespace quorvel::sim
