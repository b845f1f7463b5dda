#pragma once
// The internal player: plays the titles of the playlist selection
// (auswahlliste.m3u in the temp directory) one after the other through the
// media command strings, with the previous, current and next title on the
// screen, fading on every interruption, pause, rewind and forward, volume,
// and the shutdown timer tested after every title. Each title plays from a
// work copy in the temp directory; the next one is copied while the current
// one plays.
#include <cstdint>

#include "common/text.hpp"

namespace pavuto {

struct Program;

// Plays the selection file; returns when it is exhausted or after Esc. In
// auto mode Esc ends the program instead.
void PlaySelection(Program& p);

// The player's screen: 17 rows.
inline constexpr int kPlayerRows = 17;

// The title of a full path centred for the 60 columns of a title line:
// P blanks, the file name without its last 4 characters (cut to 55), P blanks,
// P = (60 - length) / 2 rounded to the nearest whole number, halves to even.
Text CentredTitle(const Text& path);
// The alias as it stands in the commands: 8 upper-case hexadecimal digits.
Text AliasText(std::uint32_t alias);
// Full path of a work copy slot (PreviousSlot, CurrentSlot, NextSlot).
Text WorkCopyPath(const Program& p, int slot);
// The list box and the menu box of the player screen.
void DrawPlayerFrames(Program& p);

}  // namespace pavuto
