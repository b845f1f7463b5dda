#pragma once
// Titles of the files behind a list: the numberless list (leading track
// numbers stripped from the titles), renaming the files to the titles of a
// numberless list, and renaming the file behind the selected entry. The three
// operations are entries of the options menu.
#include "common/text.hpp"

namespace pavuto {

struct Program;

// The strip rule of the numberless list for one record (title field,
// ">" directory "<"): one leading blank or "_", then every leading
// "/", digit or ":", then one more blank or "_". The removed characters go
// back as blanks in front of the directory field, so the record keeps its
// length and field positions. `removed` is the count of characters taken;
// false when something was removed and the stripped text has no ">" (the
// record is then returned unchanged).
bool StripLeadingNumber(const Text& record, Text& result, int& removed);

// A name that can be given to a file of a directory: not empty, not all
// blanks, no "\", "/", ":", "*", "?", double quote, "<", ">", "|" and no
// control character.
bool IsPlainFileName(const Text& name);

// "Bei aktueller Liste führende Nummern entfernen.": the open list (not a
// performer list, not a numberless list) is copied to <name>_ohne Nr.pavuto
// with the leading numbers of its unmarked titles stripped, sorted, and its
// record numbers written to <name>_ohne Nr.tmp. Asks first whether the
// titles to keep are marked.
//
// When it has made the list, the browser state names it: CurrentListFile is
// <name>_ohne Nr.pavuto, PageTop 1, cursor on its first line, no marks,
// ListDisplay 0, the window loaded from its first record, and
// window.numbersStripped is set. The caller shows its page again; when the
// menu is left the browser draws the list (a rebuild loads the same window).
// When the user says no, nothing is changed.
void MakeNumberlessList(Program& p);

// Whether "Umbenennen der original Titel in veränderte Titel dieser Liste."
// is offered: numbers have been stripped in this run, or the open list's name
// contains "ohne Nr.".
bool NumberlessRenamingOffered(Program& p);

// "Umbenennen der original Titel in veränderte Titel dieser Liste.": every
// file behind the base list of the open numberless list is renamed to the
// title of its numberless record; failures are counted and shown, and a
// summary waits for a key. Returns the options menu's result: -5 when at
// least one file was renamed (the lists no longer name the files, so the
// browser closes the list), else 0. Nothing happens (0) when the open list is
// no numberless list.
int RenameToNumberlessTitles(Program& p);

// "Umbenennen des aktuell angewählten Datensatzes.": renames the file behind
// the cursor entry, in the list view or the directory view (there a list file
// together with its configuration and performer list).
//
// Returns normally when the menu shows its page again (renamed, cancelled, or
// the file was not found). When a rename cannot be made, "umbenennen nicht
// möglich." and the error text stand on the screen for 3 seconds and the
// operation throws GoOnAt{Point::OptionsMenu}: the options menu catches it and
// is left (restoring the browser's window size, OptionsResult 0); nothing on
// disk was changed. In the list view the window entry shows the new name
// (the list file itself is unchanged, so the caller redraws rather than
// reloads); in the directory view the directory has been read again.
void RenameSelectedRecord(Program& p);

}  // namespace pavuto
