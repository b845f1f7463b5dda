#pragma once
#include <vector>

#include "common/text.hpp"
#include "lists/state.hpp"

namespace pavuto {

struct BrowserState {
    int PageTop = 1;       // slot of the entry on the first line of the page
    int CursorOffset = 0;  // 0-based line of the cursor within the page
    // 0 = not marked, n >= 1 = the n-th marked entry; marks 1 ... MarkCounter - 1
    // are the playing order.
    std::vector<int> Marks = std::vector<int>(RecordLimit + 1, 0);
    int MarkCounter = 1;
    int ListOpen = 0;     // 1 list view, 0 directory view
    int BrowserMode = 1;  // 1 browsing, 2 editing search paths, 0 a list configuration is chosen first
    Text SelectedEntry;
    Text CurrentListFile;  // the open list, or the current path in the directory view
    Text CurrentListConfiguration;
    int SearchActive = 0;  // 1 while "weiter suchen" is offered
    int DeleteAllowed = 0;
    bool started = false;
    // The start sequence has just read the configuration section; the first
    // start of the browser uses it as read.
    bool configurationRead = false;
    Text homeDirectory;  // remembered at start-up: list configurations are created there

    // The search: the prepared text, kept for "weiter suchen", and the slot or
    // record of the last hit (0 = none).
    Text SearchTerm;
    int LastHit = 0;
    // The page of the options menu, kept between visits (0 ... 7).
    int OptionsPage = 0;
    // The side columns of the list box are a click zone (set by DrawFrames).
    bool scrollZone = false;
};

}  // namespace pavuto
