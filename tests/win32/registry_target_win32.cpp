// The conformance tests' registry under Wine: the real one.
#include <windows.h>

#include "conformance/registry_target.h"
#include "platform/win32/win32_api.h"

namespace quorvel::testing {

namespace {
HKEY Root(platform::Hkey root) {
    return reinterpret_cast<HKEY>(static_cast<UINT_PTR>(root));
}

class Win32RegistryTarget : public RegistryTarget {
public:
    platform::WinApi& api() override { return api_; }
    void SetRaw(platform::Hkey root, const std::string& path, const std::string& name,
                std::uint32_t type, const std::vector<std::uint8_t>& data) override {
        HKEY key = nullptr;
        if (RegCreateKeyExA(Root(root), path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS) {
            return;
        }
        RegSetValueExA(key, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
        RegCloseKey(key);
    }
    std::optional<RawValue> GetRaw(platform::Hkey root, const std::string& path,
                                   const std::string& name) override {
        HKEY key = nullptr;
        if (RegOpenKeyExA(Root(root), path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        RawValue value;
        DWORD type = 0;
        DWORD size = 0;
        LONG rc = RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
        if (rc == ERROR_SUCCESS) {
            value.data.resize(size);
            rc = RegQueryValueExA(key, name.c_str(), nullptr, &type, value.data.data(), &size);
            value.data.resize(size);
            value.type = type;
        }
        RegCloseKey(key);
        if (rc != ERROR_SUCCESS) return std::nullopt;
        return value;
    }
    bool KeyExists(platform::Hkey root, const std::string& path) override {
        HKEY key = nullptr;
        if (RegOpenKeyExA(Root(root), path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
            return false;
        }
        RegCloseKey(key);
        return true;
    }
    void DeleteTree(platform::Hkey root, const std::string& path) override {
        RegDeleteTreeA(Root(root), path.c_str());
        RegDeleteKeyA(Root(root), path.c_str());
    }

private:
    win32::Win32Api api_;
};
}  // namespace

RegistryTarget& Registry() {
    static Win32RegistryTarget target;
    return target;
}

}  // namespace quorvel::testing
