// The icon-mode setting on the simulated hive: faults, handles, and the mode
// put in force for whatever is stored.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "platform/constants.h"
#include "settings/icon_setting.h"
#include "settings/registry.h"
#include "sim/backend/sim_winapi.h"
#include "sim/model/desktop.h"
#include "unit/sim_fixture.h"

namespace quorvel::testing {
namespace {

using platform::Hkey;
using platform::HKEY_LOCAL_MACHINE;

// The simulated desktop's api, noting the calls the program makes on keys
// with "key" for a key that an open or a create gave it and that it has not
// closed yet, "other" for anything else: what the program passes, not how
// the simulation numbers its handles.
class KeyCalls : public sim::SimWinApi {
public:
    using sim::SimWinApi::SimWinApi;

    std::int32_t RegOpenKeyExA(Hkey root, const char* subKey, std::uint32_t options,
                               std::uint32_t access, Hkey* result) override {
        openRights.push_back(access);
        return Given(SimWinApi::RegOpenKeyExA(root, subKey, options, access, result), result);
    }
    std::int32_t RegCreateKeyA(Hkey root, const char* subKey, Hkey* result) override {
        return Given(SimWinApi::RegCreateKeyA(root, subKey, result), result);
    }
    std::int32_t RegQueryValueExA(Hkey key, const char* valueName, std::uint32_t* reserved,
                                  std::uint32_t* type, std::uint8_t* data,
                                  std::uint32_t* dataSize) override {
        onKeys.push_back("RegQueryValueExA(" + Which(key) + ", \"" + valueName + "\", " +
                         std::to_string(*dataSize) + ")");
        return SimWinApi::RegQueryValueExA(key, valueName, reserved, type, data, dataSize);
    }
    std::int32_t RegSetValueExA(Hkey key, const char* valueName, std::uint32_t reserved,
                                std::uint32_t type, const std::uint8_t* data,
                                std::uint32_t dataSize) override {
        onKeys.push_back("RegSetValueExA(" + Which(key) + ", \"" + valueName + "\", " +
                         std::to_string(type) + ", " + std::to_string(dataSize) + ")");
        return SimWinApi::RegSetValueExA(key, valueName, reserved, type, data, dataSize);
    }
    std::int32_t RegCloseKey(Hkey key) override {
        onKeys.push_back("RegCloseKey(" + Which(key) + ")");
        given_.erase(key);
        return SimWinApi::RegCloseKey(key);
    }

    std::vector<std::string> onKeys;
    std::vector<std::uint32_t> openRights;  // of each RegOpenKeyExA

private:
    std::int32_t Given(std::int32_t result, const Hkey* key) {
        if (result == platform::ERROR_SUCCESS) given_.insert(*key);
        return result;
    }
    std::string Which(Hkey key) const { return given_.count(key) ? "key" : "other"; }
    std::set<Hkey> given_;
};

class SettingsTest : public ::testing::Test {
protected:
    std::string Stored() {
        auto v = desk.registry.Get(HKEY_LOCAL_MACHINE, kSettingsKey, kIconValue);
        return v ? std::string(v->data.begin(), v->data.end()) : "<none>";
    }
    sim::Desktop desk;
    KeyCalls api{desk, 1};
};

TEST_F(SettingsTest, EveryKeyOpenedIsClosedOnEveryPath) {
    GetIconMode(api);  // missing: written
    GetIconMode(api);  // present: read
    SaveIconMode(api, 1);
    desk.registry.refuseWrites = true;
    SaveIconMode(api, 3);
    RegReadText(api, HKEY_LOCAL_MACHINE, kSettingsKey, "missing");
    desk.registry.unopenableKeys.insert(sim::Lower(kSettingsKey));
    desk.registry.uncreatableKeys.insert(sim::Lower(kSettingsKey));
    GetIconMode(api);  // neither read nor written
    EXPECT_EQ(desk.registry.OpenHandles(), 0u);
    EXPECT_GT(std::count(api.onKeys.begin(), api.onKeys.end(), "RegCloseKey(key)"), 0);
    // Only keys the program was given are closed, each once; a key it could
    // not open or create is not closed. A real registry shows nothing of a
    // close of a handle it never gave, so the calls are checked as passed.
    EXPECT_EQ(std::count(api.onKeys.begin(), api.onKeys.end(), "RegCloseKey(other)"), 0);
}

// The simulated hive grants every right, where a standard user's
// HKEY_LOCAL_MACHINE refuses all but reading: the rights the program asks
// for are the contract, so they are checked as passed.
TEST_F(SettingsTest, ReadsOpenTheKeyWithQueryRightsOnly) {
    EXPECT_FALSE(RegValueExists(api, HKEY_LOCAL_MACHINE, kSettingsKey, kIconValue));
    desk.registry.SetText(HKEY_LOCAL_MACHINE, kSettingsKey, kIconValue, kTaskbarOnly);
    EXPECT_TRUE(RegValueExists(api, HKEY_LOCAL_MACHINE, kSettingsKey, kIconValue));
    EXPECT_EQ(RegReadText(api, HKEY_LOCAL_MACHINE, kSettingsKey, kIconValue).substr(0, 2),
              AsStored(kTaskbarOnly));
    EXPECT_EQ(api.openRights, std::vector<std::uint32_t>(3, platform::KEY_QUERY_VALUE));
    EXPECT_EQ(desk.registry.OpenHandles(), 0u);
}

// The read announces 32 bytes: a value of 32 bytes with its NUL is read, one
// byte more is not (the default goes over it, as over any unreadable value).
TEST_F(SettingsTest, AValueOfUpTo32BytesIsReadALongerOneGivesTheDefault) {
    const struct {
        std::string stored;
        std::int16_t mode;
        std::string storedAfter;
    } cases[] = {
        {kBothIcons + std::string(30, ' '), BothIcons, AsStored(kBothIcons + std::string(30, ' '))},
        {kBothIcons + std::string(31, ' '), TaskbarOnly, AsStored(kTaskbarOnly)},
    };
    for (const auto& c : cases) {
        desk.registry.SetText(HKEY_LOCAL_MACHINE, kSettingsKey, kIconValue, c.stored);
        EXPECT_EQ(ToIconMode(GetIconMode(api)), c.mode) << c.stored.size() + 1 << " bytes";
        EXPECT_EQ(Stored(), c.storedAfter) << c.stored.size() + 1 << " bytes";
    }
}

TEST_F(SettingsTest, AnUnreadableKeyGivesTheDefaultWithoutCrashingTheWrite) {
    desk.registry.SetText(HKEY_LOCAL_MACHINE, kSettingsKey, kIconValue, "1");
    desk.registry.unopenableKeys.insert(sim::Lower(kSettingsKey));
    EXPECT_EQ(GetIconMode(api), TaskbarOnly);
    // The default went over the unreadable value (creating opens it for writing).
    desk.registry.unopenableKeys.clear();
    EXPECT_EQ(Stored(), AsStored(kTaskbarOnly));
}

TEST_F(SettingsTest, AStoreThatCannotBeWrittenGivesTheDefaultEveryTime) {
    desk.registry.uncreatableKeys.insert(sim::Lower(kSettingsKey));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(GetIconMode(api), TaskbarOnly);
    SaveIconMode(api, 1);
    EXPECT_EQ(GetIconMode(api), TaskbarOnly);
    EXPECT_EQ(Stored(), "<none>");
}

TEST_F(SettingsTest, AValueThatCannotBeWrittenLeavesTheOldOne) {
    SaveIconMode(api, 3);
    desk.registry.refuseWrites = true;
    SaveIconMode(api, 1);
    EXPECT_EQ(GetIconMode(api), 3);
    EXPECT_EQ(desk.registry.OpenHandles(), 0u);
}

// Whatever is stored, the program keeps a way to reach it: anything that is
// not 1, 2 or 3 once rounded puts the default in force, and stays stored.
TEST_F(SettingsTest, StoredTextsGiveTheModeInForce) {
    struct Case {
        std::string stored;
        std::int16_t mode;
    };
    for (const Case& c :
         {Case{"1", 1}, Case{"2", 2}, Case{"3", 3}, Case{" 3", 3}, Case{"3abc", 3}, Case{"1.4", 1},
          Case{"0.6", 1}, Case{"0", 2}, Case{"7", 2}, Case{"-1", 2}, Case{"2.5", 2}, Case{"3.5", 2},
          Case{"99999", 2}, Case{"abc", 2}, Case{"", 2}}) {
        desk.registry.SetText(HKEY_LOCAL_MACHINE, kSettingsKey, kIconValue, c.stored);
        EXPECT_EQ(ToIconMode(GetIconMode(api)), c.mode) << "stored \"" << c.stored << "\"";
        EXPECT_EQ(Stored(), AsStored(c.stored)) << "the stored value was changed";
    }
    desk.registry.SetText(HKEY_LOCAL_MACHINE, kSettingsKey, kIconValue, std::string(40, '1'));
    EXPECT_EQ(ToIconMode(GetIconMode(api)), TaskbarOnly);
    EXPECT_EQ(Stored(), AsStored(kTaskbarOnly));
}

// The registry roots are 32-bit values the program hands Windows; a 64-bit
// build widens them as the 64-bit headers define them, sign-extended (Wine
// compares roots by their low 32 bits, so only this shows the widening), and
// the window system's special values the same way.
TEST(HandleWidening, SpecialValuesKeepTheirMeaningInA64BitBuild) {
    const struct {
        const char* name;
        std::uint32_t value;
        std::uint64_t widened;
    } cases[] = {
        {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE, 0xFFFFFFFF80000002u},
        {"HKEY_CURRENT_USER", platform::HKEY_CURRENT_USER, 0xFFFFFFFF80000001u},
        {"HWND_NOTOPMOST", platform::HWND_NOTOPMOST, 0xFFFFFFFFFFFFFFFEu},
        {"HWND_TOP", platform::HWND_TOP, 0},
        {"HWND_BOTTOM", platform::HWND_BOTTOM, 1},
        {"an ordinary window", 0x000103A2u, 0x000103A2u},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(static_cast<std::uint64_t>(platform::WidenHandle(c.value)), c.widened) << c.name;
        EXPECT_EQ(static_cast<std::uint32_t>(platform::WidenHandle(c.value)), c.value) << c.name;
    }
}

}  // namespace
}  // namespace quorvel::testing
