// The conformance tests work on the program's real settings key: run on a
// user's machine, they would delete the stored icon mode. This keeps a copy
// of the whole key from before the first test and puts it back after the last.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "settings/icon_setting.h"

namespace quorvel::testing {
namespace {

struct Value {
    std::string name;
    DWORD type = 0;
    std::vector<BYTE> data;
};

struct KeyCopy {
    bool exists = false;
    std::vector<Value> values;
    std::vector<std::pair<std::string, KeyCopy>> subKeys;
};

KeyCopy Copy(HKEY parent, const std::string& path) {
    KeyCopy copy;
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return copy;
    copy.exists = true;
    DWORD subKeys = 0, longestKey = 0, values = 0, longestName = 0, longestData = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, &longestKey, nullptr, &values,
                     &longestName, &longestData, nullptr, nullptr);
    for (DWORD i = 0; i < values; ++i) {
        std::string name(longestName + 1, '\0');
        Value value;
        value.data.resize(longestData + 1);
        DWORD nameSize = longestName + 1;
        DWORD dataSize = longestData + 1;
        if (RegEnumValueA(key, i, name.data(), &nameSize, nullptr, &value.type, value.data.data(),
                          &dataSize) != ERROR_SUCCESS) {
            continue;
        }
        value.name = name.substr(0, nameSize);
        value.data.resize(dataSize);
        copy.values.push_back(std::move(value));
    }
    for (DWORD i = 0; i < subKeys; ++i) {
        std::string name(longestKey + 1, '\0');
        DWORD nameSize = longestKey + 1;
        if (RegEnumKeyExA(key, i, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr) ==
            ERROR_SUCCESS) {
            name.resize(nameSize);
            copy.subKeys.emplace_back(name, Copy(key, name));
        }
    }
    RegCloseKey(key);
    return copy;
}

void Write(HKEY parent, const std::string& path, const KeyCopy& copy) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(parent, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return;
    }
    for (const Value& v : copy.values) {
        RegSetValueExA(key, v.name.c_str(), 0, v.type, v.data.data(),
                       static_cast<DWORD>(v.data.size()));
    }
    for (const auto& [name, sub] : copy.subKeys) Write(key, name, sub);
    RegCloseKey(key);
}

class SettingsKeyGuard : public ::testing::Environment {
public:
    void SetUp() override { saved_ = Copy(HKEY_LOCAL_MACHINE, kSettingsKey); }
    void TearDown() override {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSettingsKey);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSettingsKey);
        if (saved_.exists) Write(HKEY_LOCAL_MACHINE, kSettingsKey, saved_);
    }

private:
    KeyCopy saved_;
};

const auto* const guard = ::testing::AddGlobalTestEnvironment(new SettingsKeyGuard);

}  // namespace
}  // namespace quorvel::testing
