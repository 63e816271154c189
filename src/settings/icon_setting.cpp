#include "settings/icon_setting.h"

#include "platform/basic_text.h"
#include "platform/constants.h"
#include "settings/registry.h"

namespace quorvel {

double GetIconMode(platform::WinApi& api) {
    using platform::HKEY_LOCAL_MACHINE;
    if (RegValueExists(api, HKEY_LOCAL_MACHINE, kSettingsKey, kIconValue)) {
        return platform::Val(RegReadText(api, HKEY_LOCAL_MACHINE, kSettingsKey, kIconValue));
    }
    RegWriteText(api, HKEY_LOCAL_MACHINE, kSettingsKey, kIconValue, "2");
    return kDefaultIconMode;
}

void SaveIconMode(platform::WinApi& api, std::int16_t mode) {
    RegWriteText(api, platform::HKEY_LOCAL_MACHINE, kSettingsKey, kIconValue,
                 platform::Trim(platform::Str(mode)));
}

std::int16_t ToIconMode(double stored) {
    std::int16_t mode = 0;
    if (!platform::RoundToInt16(stored, mode)) return kDefaultIconMode;
    return mode >= 1 && mode <= 3 ? mode : kDefaultIconMode;
}

}  // namespace quorvel
