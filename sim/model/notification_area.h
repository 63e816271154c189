// The shell's notification area: the icons programs put there with
// Shell_NotifyIconA, each known by its window and id.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "sim/model/desktop_types.h"
#include "sim/model/knobs.h"

namespace quorvel::sim {

class NotificationArea {
public:
    // `knobs`: the shell's refusals, the adds it still refuses counted down.
    explicit NotificationArea(TrayKnobs& knobs) : knobs_(knobs) {}

    // Shell_NotifyIconA with a NOTIFYICONDATAA of its first size (88 bytes):
    // TRUE (1) or FALSE (0). An icon is added only for a window there is
    // (`windowExists`).
    std::int32_t Notify(std::uint32_t message, const std::uint8_t* record,
                        const std::function<bool(Hwnd)>& windowExists);
    const TrayIcon* Find(Hwnd hwnd, std::uint32_t id) const;
    std::size_t Count() const { return icons_.size(); }
    // A new taskbar starts with none: each program adds its own again.
    void Clear() { icons_.clear(); }

private:
    TrayKnobs& knobs_;
    std::vector<TrayIcon> icons_;
};

}  // namespace quorvel::sim
