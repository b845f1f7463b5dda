#pragma once
// Search ("s", "weiter suchen") and jump by initial letters ("z").
#include "common/text.hpp"

namespace pavuto {

struct Program;

// ü ä ö Ä Ö Ü á é ú ó í become u a o A O U a e u o i (ß stays).
Text FoldAccents(const Text& text);

// The form in which the search and the jump compare texts: accents folded,
// converted for the console, upper-cased.
Text NormaliseForSearch(Program& p, const Text& text);

// Asks for the term (or shows the one kept for "weiter suchen"), searches
// from the top or after the last hit and places the hit on the page. The
// browser redraws afterwards.
void Search(Program& p);

// Any other key or click while "weiter suchen" is offered: the offer ends.
void EndSearch(Program& p);

// The jump by initial letters in a list of two pages or more. Leaves the key
// that ended it in KeyText; the browser's navigation tail follows.
void Jump(Program& p);

// " <Bksp> <Spc> 0123456789 A B C ... Z", shown from column 4.
extern const Text kLetterBar;
// The key of a click on the letter bar at a column ("" for none).
Text LetterBarKey(int column);

}  // namespace pavuto
