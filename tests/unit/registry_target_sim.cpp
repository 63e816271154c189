// The conformance tests' registry on the host: the simulated hive.
#include "conformance/registry_target.h"
#include "sim/backend/sim_winapi.h"
#include "sim/model/desktop.h"

namespace quorvel::testing {

namespace {
class SimRegistryTarget : public RegistryTarget {
public:
    platform::WinApi& api() override { return api_; }
    void SetRaw(platform::Hkey root, const std::string& path, const std::string& name,
                std::uint32_t type, const std::vector<std::uint8_t>& data) override {
        desk_.registry.Set(root, path, name, type, data);
    }
    std::optional<RawValue> GetRaw(platform::Hkey root, const std::string& path,
                                   const std::string& name) override {
        auto value = desk_.registry.Get(root, path, name);
        if (!value) return std::nullopt;
        return RawValue{value->type, value->data};
    }
    bool KeyExists(platform::Hkey root, const std::string& path) override {
        return desk_.registry.KeyExists(root, path);
    }
    void DeleteTree(platform::Hkey root, const std::string& path) override {
        desk_.registry.DeleteKey(root, path);
    }

private:
    sim::Desktop desk_;
    sim::SimWinApi api_{desk_, 1};
};
}  // namespace

RegistryTarget& Registry() {
    static SimRegistryTarget target;
    return target;
}

}  // namespace quorvel::testing
