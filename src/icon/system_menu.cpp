#include "icon/system_menu.h"

#include "platform/constants.h"

namespace quorvel {

void RewriteSystemMenu(platform::WinApi& api, platform::Hwnd taskbarForm) {
    using namespace platform;
    Hmenu menu = api.GetSystemMenu(taskbarForm, 0);
    // Position 6 of the standard window menu is Close; its identifier stays,
    // so the renamed entry still sends the close command.
    std::uint32_t closeId = api.GetMenuItemID(menu, 6);
    api.ModifyMenuA(menu, SC_CLOSE, MF_BYCOMMAND | MF_STRING, closeId, "&Configure");
    api.DeleteMenu(menu, SC_MOVE, MF_BYCOMMAND);
    api.DeleteMenu(menu, 0, MF_BYCOMMAND);  // the first separator
}

}  // namespace quorvel
