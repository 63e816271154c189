// The registry the conformance tests run against: the simulated hive on the
// host, the real registry under Wine. The same tests run on both; where they
// disagree, the simulation is wrong.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/winapi.h"

namespace quorvel::testing {

struct RawValue {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
};

class RegistryTarget {
public:
    virtual ~RegistryTarget() = default;
    virtual platform::WinApi& api() = 0;
    virtual void SetRaw(platform::Hkey root, const std::string& path, const std::string& name,
                        std::uint32_t type, const std::vector<std::uint8_t>& data) = 0;
    virtual std::optional<RawValue> GetRaw(platform::Hkey root, const std::string& path,
                                           const std::string& name) = 0;
    virtual bool KeyExists(platform::Hkey root, const std::string& path) = 0;
    virtual void DeleteTree(platform::Hkey root, const std::string& path) = 0;
};

RegistryTarget& Registry();

}  // namespace quorvel::testing
