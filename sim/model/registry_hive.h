// The simulated registry: predefined roots, keys and value names matched
// ignoring letter case, typed values kept as raw bytes.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/types.h"

namespace quorvel::sim {

struct RegistryValue {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
};

class RegistryHive {
public:
    RegistryHive();

    // Direct access for tests and set-up (no handles, no faults).
    void Set(platform::Hkey root, const std::string& path, const std::string& name,
             std::uint32_t type, std::vector<std::uint8_t> data);
    void SetText(platform::Hkey root, const std::string& path, const std::string& name,
                 const std::string& text);  // REG_SZ with its NUL
    std::optional<RegistryValue> Get(platform::Hkey root, const std::string& path,
                                     const std::string& name) const;
    bool KeyExists(platform::Hkey root, const std::string& path) const;
    void DeleteKey(platform::Hkey root, const std::string& path);

    // The registry functions, with Win32 results.
    std::int32_t Open(platform::Hkey root, const std::string& path, platform::Hkey* result);
    std::int32_t Create(platform::Hkey root, const std::string& path, platform::Hkey* result);
    std::int32_t Query(platform::Hkey key, const std::string& name, std::uint32_t* type,
                       std::uint8_t* data, std::uint32_t* size) const;
    std::int32_t SetValue(platform::Hkey key, const std::string& name, std::uint32_t type,
                          const std::uint8_t* data, std::uint32_t size);
    std::int32_t Close(platform::Hkey key);

    std::size_t OpenHandles() const { return handles_.size(); }

    // Faults: keys (by path, ignoring case) that cannot be opened or created,
    // and a store that refuses every value write.
    std::set<std::string> unopenableKeys;
    std::set<std::string> uncreatableKeys;
    bool refuseWrites = false;

private:
    struct Key {
        std::map<std::string, std::unique_ptr<Key>> subkeys;  // by lower-case name
        std::map<std::string, RegistryValue> values;          // by lower-case name
    };
    Key* Resolve(platform::Hkey root, const std::string& path, bool create);
    const Key* Resolve(platform::Hkey root, const std::string& path) const;
    Key* FromHandle(platform::Hkey key) const;

    std::map<platform::Hkey, std::unique_ptr<Key>> roots_;
    std::map<platform::Hkey, Key*> handles_;
    platform::Hkey nextHandle_ = 0x100;
};

// ASCII case folding, as the simulated registry and file system compare names.
constexpr char FoldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
std::string Lower(std::string text);

}  // namespace quorvel::sim
