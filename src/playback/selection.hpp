#pragma once
// Running a selection: the marked entries become the selection file in the
// temp directory (auswahlliste.m3u for media, auswahlliste.cmd for documents
// and pictures), which goes to the internal player, the external player or
// the command interpreter. Also the bulk markings of the options menu and
// the endless random playback of auto mode.
#include "common/text.hpp"

namespace pavuto {

struct Program;

enum class SelectionKind { Batch, Playlist };

// What a run of the selection did.
enum class SelectionOutcome {
    NothingMarked,   // nothing was written or started
    Played,          // the internal player played the selection
    Started,         // a program was started for the selection
    ToCopy,          // copy mode: the selection file was written for the copy, nothing played
    NotPlayable,     // auto mode with a selection the internal player cannot play
};

inline const Text kPlaylistFile = "auswahlliste.m3u";
inline const Text kBatchFile = "auswahlliste.cmd";

// Runs the marked entries of the list view or the directory view (in list
// view with display mode 1 or 2 only the entry under the cursor). The
// selection file written for the marks is named in writtenFile.
SelectionOutcome RunSelection(Program& p, Text* writtenFile = nullptr);

// The kind of selection for the current list extension and marks. Without a
// player of its own, a playlist of the well-known media types takes the
// default player.
SelectionKind ChooseSelectionKind(Program& p);

// Moves the marks of an open numberless list onto its base list and makes
// the base list the open list, with its search paths.
void MapNumberlessMarks(Program& p);

// The bulk markings of the options menu.
// "alles Auswählen (Listen Reihenfolge)": every entry in list order.
void MarkAllInListOrder(Program& p);
// Seeds the random generator with S = month x second x hour of now and
// returns S reduced below 1001.
int SeedRandom(Program& p);
// "alles Auswählen (zufalls Reihenfolge)": every entry in random order,
// shuffled in 2 + S / 30 passes (directory view 2 + S / 20) with a progress
// display. False when Esc or a click stopped it (list view).
bool ShuffleMarks(Program& p, int S);
// "10 / 25 Titel zufällig auswählen" (count 10 or 25): marks that many titles
// in random order, keeping the rest of the order in <name>.pavuto-rnd so that
// a list is played through without repeats. False when the list is too short
// (15 / 30 records) or the shuffle was stopped.
bool MarkRandomTitles(Program& p, int count, int S);
// The random list belonging to a list file: its name in lower case + "-rnd".
Text RandomListPath(const Text& listFile);

// "Abspielprogramm (Player) vorgeben": reads the path of the external player
// at row 12 ("> _"); the first key Enter, Esc, blank or a click leaves the
// player as it was. A path that does not exist can be entered again
// (" neue eingabe J/Y ?"); any other answer keeps it.
void EnterPlayerProgram(Program& p);

// One round of the endless playback of /auto and /blind: the random titles
// the options menu marked are played by the internal player (Esc in the
// player ends the program). Where nothing is marked or nothing can be played
// it says so and waits a minute before the next round; Esc then asks
// whether to end.
void PlayEndlessRound(Program& p);

}  // namespace pavuto
