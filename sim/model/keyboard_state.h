// The keyboard twice, as Windows keeps it: the keys the user holds (the
// physical keys), and the state programs see, which sent keys change too. A
// key the user presses or lets go changes both: the state that
// GetAsyncKeyState reads at once; a program's thread sees the change
// (GetKeyState) only while one of its windows is active, so a key released
// over another program's window stays down for it. A left or right modifier
// (VK_LCONTROL...) moves its common code (VK_CONTROL) too.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <set>
#include <string>

#include "sim/model/seen.h"

namespace quorvel::sim {

class KeyboardState {
public:
    // `seen`: where the Start menus and menu bars a lone key opens are counted.
    explicit KeyboardState(Seen& seen) : seen_(seen) {}

    // `activePid`: the process whose window is active, 0 for none.
    // The user presses or lets go of a key.
    void Hold(std::uint8_t vk, bool down, int activePid);
    // A key event as the state programs see takes it.
    void Apply(std::uint8_t vk, bool down, int activePid);
    // Wine's focus event: the thread of process `pid` gets the keys
    // physically held, and so does the state programs see.
    void FollowPhysical(int pid);

    bool Down(std::uint8_t vk) const { return down_.count(vk) != 0; }
    bool AnyDown(std::initializer_list<std::uint8_t> vks) const;
    bool PhysicallyDown(std::uint8_t vk) const { return physical_.count(vk) != 0; }
    bool ThreadDown(int pid, std::uint8_t vk) const;
    // A key's name with the modifiers down before it ("Ctrl+Alt+M").
    std::string WithModifiers(std::uint8_t vk) const;

private:
    void NoteForMenus(std::uint8_t vk, bool down);

    Seen& seen_;
    std::set<std::uint8_t> down_;
    std::set<std::uint8_t> physical_;
    std::map<int, std::set<std::uint8_t>> threadDown_;
    std::set<std::uint8_t> lone_;  // a Windows key or Alt down with no key since
};

}  // namespace quorvel::sim
