#pragma once
// The options menu's dialogues of the file operations.

namespace pavuto {

struct Program;

// "Aus ausgewählten Daten Wunschliste erstellen.": asks for the wish list's
// name (row 5) and whether an existing file is overwritten (row 7). A click,
// Esc, Enter or a function key first sets no wish list.
void CreateWishList(Program& p);

// "ausgewählte Dateien kopieren nach >": reads the copy target at row 6 and
// tests it. Enter, Esc, a blank or a click clear the target and switch copy
// mode off.
void SetCopyTarget(Program& p);

}  // namespace pavuto
