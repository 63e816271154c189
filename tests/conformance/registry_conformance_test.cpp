// Registry access and the icon-mode setting against a registry: built twice,
// against the simulated hive (host) and the real registry (Wine).
#include <gtest/gtest.h>

#include <string>

#include "conformance/registry_target.h"
#include "platform/basic_text.h"
#include "platform/constants.h"
#include "settings/icon_setting.h"
#include "settings/registry.h"

namespace quorvel::testing {
namespace {

using platform::HKEY_LOCAL_MACHINE;
constexpr const char* kTestKey = "SOFTWARE\\QuorvelConformance";

std::vector<std::uint8_t> Bytes(const std::string& s) {
    return {s.begin(), s.end()};
}

class RegistryConformance : public ::testing::Test {
protected:
    void SetUp() override {
        reg.DeleteTree(HKEY_LOCAL_MACHINE, kTestKey);
        reg.DeleteTree(HKEY_LOCAL_MACHINE, kSettingsKey);
    }
    void TearDown() override {
        reg.DeleteTree(HKEY_LOCAL_MACHINE, kTestKey);
        reg.DeleteTree(HKEY_LOCAL_MACHINE, kSettingsKey);
    }
    void Store(std::uint32_t type, const std::string& bytes, const char* name = "v") {
        reg.SetRaw(HKEY_LOCAL_MACHINE, kTestKey, name, type, Bytes(bytes));
    }
    std::string Read(const char* name = "v") {
        return RegReadText(reg.api(), HKEY_LOCAL_MACHINE, kTestKey, name);
    }
    bool Exists(const char* name = "v") {
        return RegValueExists(reg.api(), HKEY_LOCAL_MACHINE, kTestKey, name);
    }
    RegistryTarget& reg = Registry();
};

TEST_F(RegistryConformance, StoredTextReadsBackAsTheWhole33ByteBuffer) {
    Store(platform::REG_SZ, std::string("2\0", 2));
    std::string text = Read();
    ASSERT_EQ(text.size(), 33u);
    EXPECT_EQ(text, std::string("2\0", 2) + std::string(31, ' '));
    EXPECT_TRUE(Exists());
    EXPECT_EQ(platform::Val(text), 2);
}

TEST_F(RegistryConformance, DataUpTo32BytesIsPresentAndLongerIsAbsent) {
    Store(platform::REG_SZ, std::string(31, 'x') + '\0');  // 32 bytes with the NUL
    EXPECT_TRUE(Exists());
    EXPECT_EQ(Read().substr(0, 31), std::string(31, 'x'));
    Store(platform::REG_SZ, std::string(32, 'x') + '\0');  // 33 bytes
    EXPECT_FALSE(Exists());
    EXPECT_EQ(Read(), "");
}

TEST_F(RegistryConformance, TheTypeIsNotLookedAtAndRawBytesComeBack) {
    Store(platform::REG_DWORD, std::string("3\0\0\0", 4));
    EXPECT_TRUE(Exists());
    EXPECT_EQ(Read(), std::string("3\0\0\0", 4) + std::string(29, ' '));
    Store(platform::REG_BINARY, "1A");
    EXPECT_EQ(Read().substr(0, 3), "1A ");
}

TEST_F(RegistryConformance, MissingKeyOrValueReadsAsNothing) {
    EXPECT_FALSE(Exists());
    EXPECT_EQ(Read(), "");
    Store(platform::REG_SZ, std::string("1\0", 2), "other");
    EXPECT_FALSE(Exists());
    EXPECT_EQ(Read(), "");
}

TEST_F(RegistryConformance, NamesIgnoreLetterCase) {
    Store(platform::REG_SZ, std::string("3\0", 2), "Icon");
    EXPECT_EQ(RegReadText(reg.api(), HKEY_LOCAL_MACHINE, "software\\QUORVELconformance", "ICON")[0],
              '3');
}

TEST_F(RegistryConformance, WritingCreatesEveryMissingKeyAndStoresTheNul) {
    const std::string deep = std::string(kTestKey) + "\\a\\b\\c";
    RegWriteText(reg.api(), HKEY_LOCAL_MACHINE, deep, "v", "xyz");
    ASSERT_TRUE(reg.KeyExists(HKEY_LOCAL_MACHINE, deep));
    auto value = reg.GetRaw(HKEY_LOCAL_MACHINE, deep, "v");
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->type, platform::REG_SZ);
    EXPECT_EQ(value->data, Bytes(std::string("xyz\0", 4)));

    RegWriteText(reg.api(), HKEY_LOCAL_MACHINE, kTestKey, "empty", "");
    auto empty = reg.GetRaw(HKEY_LOCAL_MACHINE, kTestKey, "empty");
    ASSERT_TRUE(empty.has_value());
    EXPECT_EQ(empty->data, Bytes(std::string("\0", 1)));
}

TEST_F(RegistryConformance, FirstReadStoresTheDefaultAndSavedModesReadBack) {
    EXPECT_EQ(GetIconMode(reg.api()), 2);
    auto stored = reg.GetRaw(HKEY_LOCAL_MACHINE, kSettingsKey, kIconValue);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->type, platform::REG_SZ);
    EXPECT_EQ(stored->data, Bytes(std::string("2\0", 2)));

    SaveIconMode(reg.api(), 3);
    EXPECT_EQ(reg.GetRaw(HKEY_LOCAL_MACHINE, kSettingsKey, kIconValue)->data,
              Bytes(std::string("3\0", 2)));  // no leading blank
    EXPECT_EQ(GetIconMode(reg.api()), 3);
}

TEST_F(RegistryConformance, StoredTextsBecomeTheNumberAtTheirFront) {
    struct Case {
        std::string stored;
        double number;
    };
    for (const Case& c : {Case{" 3", 3}, Case{"3 ", 3}, Case{"3abc", 3}, Case{"abc", 0},
                          Case{"", 0}, Case{"2.5", 2.5}, Case{"-1", -1}}) {
        reg.SetRaw(HKEY_LOCAL_MACHINE, kSettingsKey, kIconValue, platform::REG_SZ,
                   Bytes(c.stored + '\0'));
        EXPECT_EQ(GetIconMode(reg.api()), c.number) << "stored \"" << c.stored << "\"";
    }
}

TEST_F(RegistryConformance, TooLongAValueIsReplacedByTheDefault) {
    reg.SetRaw(HKEY_LOCAL_MACHINE, kSettingsKey, kIconValue, platform::REG_SZ,
               Bytes(std::string(40, '3') + '\0'));
    EXPECT_EQ(GetIconMode(reg.api()), 2);
    EXPECT_EQ(reg.GetRaw(HKEY_LOCAL_MACHINE, kSettingsKey, kIconValue)->data,
              Bytes(std::string("2\0", 2)));
}

}  // namespace
}  // namespace quorvel::testing

namespace quorvel::testing {
namespace {

// The ANSI read of a text value ends it with a NUL when there is room, even
// when it was stored without one; the NUL does not count towards the 32 bytes.
TEST_F(RegistryConformance, TextStoredWithoutItsNulReadsBackWithOne) {
    Store(platform::REG_SZ, "2");
    std::string text = Read();
    ASSERT_EQ(text.size(), 33u);
    EXPECT_EQ(text, std::string("2\0", 2) + std::string(31, ' '));
    Store(platform::REG_SZ, std::string(32, 'x'));
    EXPECT_TRUE(Exists());
    EXPECT_EQ(Read(), std::string(33, 'x').replace(32, 1, " "));
    Store(platform::REG_SZ, std::string(33, 'x'));
    EXPECT_FALSE(Exists());
    // Other types come back exactly as stored.
    Store(platform::REG_BINARY, "2");
    EXPECT_EQ(Read().substr(0, 2), "2 ");
}

}  // namespace
}  // namespace quorvel::testing
