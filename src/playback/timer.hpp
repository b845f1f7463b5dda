#pragma once
// The shutdown timer: after a number of minutes the computer is shut down or
// hibernated. It does not run by itself: the player tests it after every
// title and before preparing the next one, and the browser on its own path.
#include <functional>

#include "common/text.hpp"

namespace pavuto {

struct Program;

// Arms the timer with the minutes text: now + the minutes (1 ... 360).
void ArmTimer(Program& p);

// The screen the timer is tested on: the player shows the minutes left at
// rows B + 3 and B + 4 (B = console rows - 5); the browser shows them with
// its menu lines (ShowTimerInBrowser).
enum class TimerScreen { Player, Browser };

// Nothing while the timer is off. Otherwise shows the minutes left, or fires
// when the time is up (also at midnight when the end lies beyond it):
// hibernation through hyb.cmd or the shutdown command, then 20 seconds of
// waiting (Esc asks whether to end the program); a shutdown ends the
// program. The exit question clears the screen: after a "no" `redraw`
// draws the caller's screen again at once. True when the question was asked.
bool TestTimer(Program& p, TimerScreen screen = TimerScreen::Player, const std::function<void()>& redraw = {});

// The minutes left at rows B + 3 and B + 4.
void ShowTimerMinutes(Program& p);

// The browser's countdown while the timer is armed: "Ende in", the minutes
// left and "Min." on row R - 2 (which the menu leaves free), from column C / 3.
void ShowTimerInBrowser(Program& p);

// "D" (minutes < 0) or "M" (minutes > 0) in the player: moves the end by
// that many minutes, keeping it 5 ... 300 minutes after the last test, and
// shows the minutes left.
void AdjustTimer(Program& p, int minutes);

// The options menu entry "Shutdown/Ruhemodus =" at row 9, column 7.
// ShowTimerMenuEntry prints it as it stands; TimerMenuEntry acts on a click
// in the entry's row at clickColumn (left of 25: next mode; 33 ... 43: five
// minutes earlier; 49 ... 64: five minutes later) and prints it.
void ShowTimerMenuEntry(Program& p);
void TimerMenuEntry(Program& p, int clickColumn);
// The text after the caption: the mode and, while armed, the minutes left.
Text TimerMenuText(Program& p);

}  // namespace pavuto
