// What other programs leave for the program in the random test's world: the
// icon setting as they may store it, and the files and links they plant in
// TEMP.
#include <string>

#include "platform/constants.h"
#include "settings/icon_setting.h"
#include "unit/random_world.h"

namespace quorvel::testing::randomised {

namespace {

using platform::REG_BINARY;
using platform::REG_DWORD;
using platform::REG_SZ;
constexpr std::uint32_t REG_EXPAND_SZ = 2;
constexpr std::uint32_t REG_MULTI_SZ = 7;

std::string Text(const std::string& text) {
    return text + '\0';
}

}  // namespace

// Each mode by the setting's rule, worked out by hand for its bytes; the
// program's own writes are the first three.
const std::vector<StoredSetting> kStoredSettings = {
    {"1", REG_SZ, Text("1"), 1},
    {"2", REG_SZ, Text("2"), 2},
    {"3", REG_SZ, Text("3"), 3},
    {"a blank, then 3", REG_SZ, Text(" 3"), 3},
    {"a tab, then 3", REG_SZ, Text("\t3"), 3},
    {"+3", REG_SZ, Text("+3"), 3},
    {"3abc", REG_SZ, Text("3abc"), 3},
    {"1.4", REG_SZ, Text("1.4"), 1},
    {"0.6", REG_SZ, Text("0.6"), 1},
    {"2.5, a half to the even 2", REG_SZ, Text("2.5"), 2},
    {"3.5, a half to the even 4", REG_SZ, Text("3.5"), 2},
    {"1 2, the blank skipped: 12", REG_SZ, Text("1 2"), 2},
    {"0", REG_SZ, Text("0"), 2},
    {"7", REG_SZ, Text("7"), 2},
    {"-1", REG_SZ, Text("-1"), 2},
    {"99999", REG_SZ, Text("99999"), 2},
    {"abc", REG_SZ, Text("abc"), 2},
    {"empty text", REG_SZ, Text(""), 2},
    {"no bytes at all", REG_SZ, "", 2},
    {"1 without its NUL", REG_SZ, "1", 1},
    {"32 bytes: 3 and blanks", REG_SZ, Text("3" + std::string(30, ' ')), 3},
    {"33 bytes: 3 and blanks, too long", REG_SZ, Text("3" + std::string(31, ' ')), 2},
    {"40 ones, too long", REG_SZ, Text(std::string(40, '1')), 2},
    {"REG_DWORD 3", REG_DWORD, std::string("\x03\0\0\0", 4), 2},
    {"REG_DWORD of the character 1", REG_DWORD, std::string("1\0\0\0", 4), 1},
    {"REG_BINARY 3", REG_BINARY, "3", 3},
    {"REG_BINARY FF FE", REG_BINARY, "\xFF\xFE", 2},
    {"REG_EXPAND_SZ 1", REG_EXPAND_SZ, Text("1"), 1},
    {"REG_MULTI_SZ 3", REG_MULTI_SZ, Text("3") + '\0', 3},
    {"the key deleted", 0, "", 2},
};

std::int16_t ModeOfStored(const sim::Desktop& desk) {
    const auto value = desk.registry.Get(platform::HKEY_LOCAL_MACHINE, kSettingsKey, kIconValue);
    if (!value) return -1;
    const std::string bytes(value->data.begin(), value->data.end());
    for (const StoredSetting& s : kStoredSettings) {
        if (s.type == value->type && s.bytes == bytes) return s.mode;
    }
    return -1;
}

const std::vector<Plant> kPlants = {
    {Plant::File, "a.tmp", nullptr},
    {Plant::File, "B.TMP", nullptr},
    {Plant::File, "c.tmp.txt", nullptr},
    {Plant::File, "n.tmpx", nullptr},
    {Plant::File, "sub\\d.tmp", nullptr},
    {Plant::Folder, "folder.tmp", nullptr},
    {Plant::File, "folder.tmp\\e.tmp", nullptr},
    {Plant::File, "\xE9t\xE9.tmp", nullptr},
    {Plant::Link, "f.tmp", "C:\\Documents\\letter.txt"},
    {Plant::Link, "g.tmp", "C:\\Documents"},
    {Plant::Link, "k.tmp", "C:\\Documents\\keep.tmp"},
    {Plant::Link, "l.tmp", "C:\\nowhere.txt"},
    {Plant::Link, "m.tmp", "C:\\WINDOWS\\TEMP\\sub"},
    {Plant::HardLink, "h.tmp", "C:\\Documents\\report.doc"},
    {Plant::ReadOnly, "i.tmp", nullptr},
    {Plant::Hidden, "j.tmp", nullptr},
};

}  // namespace quorvel::testing::randomised
