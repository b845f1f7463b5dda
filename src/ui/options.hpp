#pragma once
// The options menu: eight pages of entries in an enlarged window, driven by
// clicks; "O" leaves it.
namespace pavuto {

struct Program;

// What the browser does after the menu.
namespace options {
inline constexpr int Nothing = 0;
inline constexpr int RunNow = -6;     // run the marked entries now
inline constexpr int CloseList = -5;  // the media files behind the list changed
}  // namespace options

// Shows the menu at the page it was left on and returns OptionsResult. In
// endless playback the window stays as it is and the menu picks the random
// titles at once, as a double click on their row would.
int OptionsMenu(Program& p);

// The endless playback of a list named on the command line (/auto, /blind):
// the menu picks 10 (for more than 30 records 25) random titles, they play,
// and so on for ever.
[[noreturn]] void EndlessPlayback(Program& p);

}  // namespace pavuto
