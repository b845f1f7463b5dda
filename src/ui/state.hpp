#pragma once
#include <vector>

#include "common/text.hpp"
#include "lists/state.hpp"

namespace pavuto {

struct BrowserState {
    int PageTop = 1;
    int CursorOffset = 0;
    std::vector<int> Marks = std::vector<int>(RecordLimit + 1, 0);
    int MarkCounter = 1;
    int ListOpen = 0;
    int BrowserMode = 1;
    Text SelectedEntry;
    Text CurrentListFile;
    Text CurrentListConfiguration;
    int SearchActive = 0;
    int DeleteAllowed = 0;
    bool started = false;
    Text homeDirectory;  // remembered at start-up: list configurations are created there
};

}  // namespace pavuto
