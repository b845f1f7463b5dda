#pragma once
// Drawing the browser's screen: the title box, the list box with its scroll
// zone, the menu box with its lines, and the page of entries.
#include "common/text.hpp"

namespace pavuto {

struct Program;

// The list box (top row `top`: 4 in the browser, 1 in the options menu), the
// scroll zone, the title box and the menu box. KeyText "bl" or "op" leaves out
// the title box and the scroll zone. Ends with KeyText = "".
void DrawFrames(Program& p, int top = 4);

// The entries of the page in their colours, with the mark column. Without
// drawOnly it then waits for the next event (KeyText and the mouse fields).
void DrawPage(Program& p, bool drawOnly = true);

// The menu lines of the current BrowserMode (1 or 2).
void DrawMenuLines(Program& p);

// The name of the open list, or the current path, on row 2.
void DrawTitle(Program& p);

// Menus, title, frames and page. With clear (a redraw) the screen is cleared
// in 7 on 1 and pending input is discarded first; without it (a refresh) they
// are drawn over the old screen.
void DrawBrowserScreen(Program& p, bool clear);

// Helpers shared by the browser's parts.
int RoundedColumn(double value);  // to the nearest integer, halves to even
bool IsEmptyEntry(const Text& entry);  // "" or the character of code 255
// What the first line shows when there is nothing: never an entry to mark.
inline const Text kNoData = " Keine Daten";
int CursorSlot(Program& p);
const Text& EntryAt(Program& p, int slot);  // an empty slot outside 1 ... 32001
bool IsDriveEntry(const Text& entry);      // 4 characters ending in ":"
// The current directory with a final "\" ("C:\Musik\", "C:\").
Text CurrentDirectoryPath(Program& p);

}  // namespace pavuto
