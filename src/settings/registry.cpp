#include "settings/registry.h"

#include <array>

#include "platform/constants.h"
#include "platform/owned.h"

namespace quorvel {

namespace {

using platform::ERROR_SUCCESS;

// A key opened or created through the api, closed through it.
struct CloseKey {
    platform::WinApi* api = nullptr;
    void operator()(platform::Hkey key) const { api->RegCloseKey(key); }
};
using RegistryKey = platform::Owned<platform::Hkey, CloseKey>;

RegistryKey OpenKey(platform::WinApi& api, platform::Hkey root, const std::string& path,
                    std::uint32_t access) {
    platform::Hkey key = 0;
    if (api.RegOpenKeyExA(root, path.c_str(), 0, access, &key) != ERROR_SUCCESS) return {};
    return RegistryKey(key, CloseKey{&api});
}

// Creates the key and any missing keys on its path, or opens it.
RegistryKey CreateKey(platform::WinApi& api, platform::Hkey root, const std::string& path) {
    platform::Hkey key = 0;
    if (api.RegCreateKeyA(root, path.c_str(), &key) != ERROR_SUCCESS) return {};
    return RegistryKey(key, CloseKey{&api});
}

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
    const RegistryKey key = OpenKey(api, root, path, platform::KEY_QUERY_VALUE);
    if (!key) return result;
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
    const RegistryKey key = CreateKey(api, root, path);
    if (!key) return;
    api.RegSetValueExA(key.get(), name.c_str(), 0, platform::REG_SZ,
                       reinterpret_cast<const std::uint8_t*>(text.c_str()),
                       static_cast<std::uint32_t>(text.size() + 1));
}

}  // namespace quorvel
