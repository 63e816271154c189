#include "settings/registry.h"

#include <array>

#include "platform/constants.h"

namespace quorvel {

namespace {

using platform::ERROR_SUCCESS;

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
    platform::Hkey key = 0;
    if (api.RegOpenKeyExA(root, path.c_str(), 0, platform::KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        return result;
    }
    std::uint32_t type = 0;
    std::uint32_t size = kReadBufferSize - 1;
    result.ok = api.RegQueryValueExA(key, name.c_str(), nullptr, &type, result.buffer.data(),
                                     &size) == ERROR_SUCCESS;
    api.RegCloseKey(key);
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
    platform::Hkey key = 0;
    if (api.RegCreateKeyA(root, path.c_str(), &key) != ERROR_SUCCESS) return;
    api.RegSetValueExA(key, name.c_str(), 0, platform::REG_SZ,
                       reinterpret_cast<const std::uint8_t*>(text.c_str()),
                       static_cast<std::uint32_t>(text.size() + 1));
    api.RegCloseKey(key);
}

}  // namespace quorvel
