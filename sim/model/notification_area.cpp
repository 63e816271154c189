#include "sim/model/notification_area.h"

#include <algorithm>
#include <cstring>

#include "platform/constants.h"

namespace quorvel::sim {

using platform::NIF_ICON;
using platform::NIF_MESSAGE;
using platform::NIF_TIP;
using platform::NIM_ADD;
using platform::NIM_DELETE;
using platform::NIM_MODIFY;

namespace {

std::uint32_t Read32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace

std::int32_t NotificationArea::Notify(std::uint32_t message, const std::uint8_t* record,
                                      const std::function<bool(Hwnd)>& windowExists) {
    if (knobs_.refuseCalls || record == nullptr || Read32(record) != 88) return 0;
    if (message == NIM_ADD && knobs_.refuseAdds > 0) {
        --knobs_.refuseAdds;
        return 0;
    }
    TrayIcon icon;
    icon.hwnd = Read32(record + 4);
    icon.id = Read32(record + 8);
    icon.flags = Read32(record + 12);
    icon.callbackMessage = Read32(record + 16);
    icon.icon = Read32(record + 20);
    const char* tip = reinterpret_cast<const char*>(record + 24);
    icon.tip.assign(tip, strnlen(tip, 64));
    icon.record.assign(record, record + 88);
    auto existing = std::find_if(icons_.begin(), icons_.end(), [&](const TrayIcon& t) {
        return t.hwnd == icon.hwnd && t.id == icon.id;
    });
    switch (message) {
        case NIM_ADD:
            if (existing != icons_.end() || !windowExists(icon.hwnd)) return 0;
            icons_.push_back(icon);
            return 1;
        case NIM_MODIFY:
            if (existing == icons_.end()) return 0;
            if (icon.flags & NIF_MESSAGE) existing->callbackMessage = icon.callbackMessage;
            if (icon.flags & NIF_ICON) existing->icon = icon.icon;
            if (icon.flags & NIF_TIP) existing->tip = icon.tip;
            return 1;
        case NIM_DELETE:
            if (existing == icons_.end()) return 0;
            icons_.erase(existing);
            return 1;
        default:
            return 0;
    }
}

const TrayIcon* NotificationArea::Find(Hwnd hwnd, std::uint32_t id) const {
    for (const TrayIcon& t : icons_) {
        if (t.hwnd == hwnd && t.id == id) return &t;
    }
    return nullptr;
}

}  // namespace quorvel::sim
