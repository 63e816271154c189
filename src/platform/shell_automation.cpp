#include "platform/shell_automation.h"

namespace quorvel::platform {

bool ShellAutomation::MinimizeAll() {
    if (apartment_ == Apartment::NotYet)
        apartment_ = com_.EnterComApartment() ? Apartment::Entered : Apartment::Unavailable;
    if (apartment_ != Apartment::Entered) return false;
    if (!object_) object_ = com_.MakeShellObject();
    if (!object_) return false;
    if (com_.ShellMinimizeAll()) return true;
    // The object may belong to a shell that has gone: the next need makes it anew.
    Drop();
    return false;
}

void ShellAutomation::Drop() {
    if (object_) com_.ReleaseShellObject();
    object_ = false;
}

void ShellAutomation::ReleaseAtExit() {
    Drop();
    if (apartment_ == Apartment::Entered) com_.LeaveComApartment();
    apartment_ = Apartment::NotYet;
}

}  // namespace quorvel::platform
