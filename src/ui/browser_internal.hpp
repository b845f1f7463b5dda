#pragma once
// The browser's parts as they call each other: the dispatch of one event,
// the navigation tail, marking, file information and deleting.
#include "common/text.hpp"
#include "errors/errors.hpp"

namespace pavuto {

struct Program;

// How a command goes back into the loop.
enum class Way {
    Rebuild,  // re-read the directory or reload the list window, clear, draw everything
    Redraw,   // clear in 7 on 1, discard pending input, draw everything
    Refresh,  // draw everything over the old screen
    Select,   // leave the screen: the selection (SelectedEntry) is processed
};

// Dispatches the event in KeyText and the mouse fields.
Way Dispatch(Program& p);

// Applies Up, Down, PgUp or PgDn (anything else moves nothing), makes the
// page consistent, reloads the list window when the page moved; refresh.
Way NavigationTail(Program& p, const Text& key);
// The end of the tail: the cursor kept on the entries, the window reloaded.
Way ShortTail(Program& p);

// Enter on a markable entry: mark it with the next number, or take its mark
// back and close the gap.
void ToggleMark(Program& p, int slot);
// No entry marked.
void ClearMarks(Program& p);

// Empties the window and loads it from FirstRecord.
void ReloadWindow(Program& p);

// "i" and "k".
void ShowFileInformation(Program& p);
Way DeleteEntry(Program& p);
Way KillEntry(Program& p);  // "k" while editing search paths: no question

// What a single click outside the scroll zone means.
struct ClickTarget {
    enum class Kind { None, Key, Line } kind = Kind::None;
    Text key;
};
ClickTarget ClickKey(Program& p, int row, int column);

// Handlers of the error trap for deleting and for the file information.
Continuation DeleteHandler(Program& p, const RuntimeError& e, const Text& title);
Continuation FileInformationHandler(Program& p, const RuntimeError& e);

}  // namespace pavuto
