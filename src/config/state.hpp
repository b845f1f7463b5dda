#pragma once
#include <array>

#include "common/text.hpp"

namespace pavuto {

// The default configuration's names table: slot 0 is the section in effect,
// slots 1..20 are filled by the choose and save dialogues.
struct ConfigState {
    std::array<Text, 21> names{};
};

// Settings read from the current list configuration.
struct ListConfigState {
    Text listFilePath;
    Text performerListPath;
    Text extension;  // Dateiendung of the list
    int MAXDL = 30;
    int MAXDLDIR = 30;
    int NURNAMENSLISTE = 1;
};

}  // namespace pavuto
