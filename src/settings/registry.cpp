#include "settings/registry.h"

#include <array>

#include "platform/constants.h"

namespace quorvel {

namespace {

using platform::ERROR_SUCCESS;

// A key opened or created through the api, closed by the destructor on
// every path that leaves its scope; a key that could not be had is not
// closed.
class RegistryKey {
public:
    explicit RegistryKey(platform::WinApi& api) : api_(api) {}
    ~RegistryKey() {
        if (held_) api_.RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool Open(platform::Hkey root, const std::string& path, std::uint32_t access) {
        held_ = api_.RegOpenKeyExA(root, path.c_str(), 0, access, &key_) == ERROR_SUCCESS;
        return held_;
    }
    // Creates the key and any missing keys on its path, or opens it.
    bool Create(platform::Hkey root, const std::string& path) {
        held_ = api_.RegCreateKeyA(root, path.c_str(), &key_) == ERROR_SUCCESS;
        return held_;
    }
    platform::Hkey get() const { return key_; }

private:
    platform::WinApi& api_;
    platform::Hkey key_ = 0;
    bool held_ = false;
};

struct ReadResult {
    bool ok = false;
    std::array<std::uint8_t, kReadBufferSize> buffer{};
};

ReadResult ReadValue(platform::WinApi& api, platform::Hkey root, std::string_view keyPath,
                     std::string_view valueName) {
    ReadResult result;
    result.buffer.fill(' ');
    std::string path(keyPath);
    std::string name(valueName);
    RegistryKey key(api);
    if (!key.Open(root, path, platform::KEY_QUERY_VALUE)) return result;
    std::uint32_t type = 0;
    std::uint32_t size = kReadBufferSize - 1;
    result.ok = api.RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, result.buffer.data(),
                                     &size) == ERROR_SUCCESS;
    return result;
}

}  // namespace

bool RegValueExists(platform::WinApi& api, platform::Hkey root, std::string_view keyPath,
                    std::string_view valueName) {
    return ReadValue(api, root, keyPath, valueName).ok;
}

std::string RegReadText(platform::WinApi& api, platform::Hkey root, std::string_view keyPath,
                        std::string_view valueName) {
    ReadResult read = ReadValue(api, root, keyPath, valueName);
    if (!read.ok) return {};
    // Nothing is cut at a NUL and nothing is trimmed: callers take what they
    // need from the front.
    return std::string(read.buffer.begin(), read.buffer.end());
}

void RegWriteText(platform::WinApi& api, platform::Hkey root, std::string_view keyPath,
                  std::string_view valueName, std::string_view data) {
    std::string path(keyPath);
    std::string name(valueName);
    std::string text(data);
    RegistryKey key(api);
    if (!key.Create(root, path)) return;
    api.RegSetValueExA(key.get(), name.c_str(), 0, platform::REG_SZ,
                       reinterpret_cast<const std::uint8_t*>(text.c_str()),
                       static_cast<std::uint32_t>(text.size() + 1));
}

}  // namespace quorvel
