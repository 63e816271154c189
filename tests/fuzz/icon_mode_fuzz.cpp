// Fuzzes the path from the stored bytes of the setting to the mode in force:
// the registry read, Val, the 16-bit rounding and the fall-back to the
// default. Whatever is stored, the mode is 1, 2 or 3 and no key stays open.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/basic_text.h"
#include "platform/constants.h"
#include "settings/icon_setting.h"
#include "sim/backend/sim_winapi.h"
#include "sim/model/desktop.h"

using namespace quorvel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static sim::Desktop desk(false);
    static sim::SimWinApi api(desk, 1);
    // The first byte picks the value's type: the type is never looked at.
    std::uint32_t type = size > 0 && data[0] == 0xFF ? platform::REG_BINARY : platform::REG_SZ;
    desk.registry.Set(platform::HKEY_LOCAL_MACHINE, kSettingsKey, kIconValue, type,
                      std::vector<std::uint8_t>(data, data + size));
    std::int16_t mode = ToIconMode(GetIconMode(api));
    if (mode < 1 || mode > 3) __builtin_trap();
    if (desk.registry.OpenHandles() != 0) __builtin_trap();
    std::int16_t direct =
        ToIconMode(platform::Val(std::string(reinterpret_cast<const char*>(data), size)));
    if (direct < 1 || direct > 3) __builtin_trap();
    return 0;
}
