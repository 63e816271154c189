// The shell's automation object's MinimizeAll, the reveal's way of asking
// the shell where it ignored its keys, and the COM it needs: this thread's
// apartment entered the first time the object is needed and kept for the
// process's life (leaving it unloads the libraries it loaded, shell32 and its
// own, which the next request would load again); the object made on first
// need and kept until a call fails or the taskbar is recreated.
#pragma once

namespace quorvel::platform {

// The backend's primitives: this thread's apartment entered (false when COM
// cannot be had) and left; the object made and kept by the backend (false
// when it cannot be made), its MinimizeAll (false when the call failed:
// Wine's answers E_NOTIMPL), its release.
class ComShell {
public:
    virtual bool EnterComApartment() = 0;
    virtual void LeaveComApartment() = 0;
    virtual bool MakeShellObject() = 0;
    virtual bool ShellMinimizeAll() = 0;
    virtual void ReleaseShellObject() = 0;

protected:
    ~ComShell() = default;
};

class ShellAutomation {
public:
    explicit ShellAutomation(ComShell& com) : com_(com) {}
    ShellAutomation(const ShellAutomation&) = delete;
    ShellAutomation& operator=(const ShellAutomation&) = delete;

    // False when there is no object or the call failed; true means only
    // that the shell was asked.
    bool MinimizeAll();
    // The object goes (a new taskbar: the old one's may not reach it); the
    // next need makes it anew.
    void Drop();
    // Before the process ends: the object released, COM left.
    void ReleaseAtExit();

private:
    ComShell& com_;
    enum class Apartment { NotYet, Entered, Unavailable } apartment_ = Apartment::NotYet;
    bool object_ = false;
};

}  // namespace quorvel::platform
