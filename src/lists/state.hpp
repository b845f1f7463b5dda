#pragma once
#include <array>
#include <vector>

#include "common/text.hpp"
#include "config/settings.hpp"

namespace pavuto {

inline constexpr int RecordLimit = 32001;
inline const Text kEmptySlot(1, '\xff');  // a slot holding the character of code 255 is empty

// The record window of the current list (or the entries of the directory
// view), index 1 ... RecordLimit. The page size PageRows is console state
// (p.con.PageRows), set with the window size.
struct RecordWindow {
    std::vector<Text> Titles = std::vector<Text>(RecordLimit + 1, kEmptySlot);
    std::vector<Text> Directories = std::vector<Text>(RecordLimit + 1);
    int FirstRecord = 1;
    int RecordCount = 0;
    int RecordLength = 0;
    int ListDisplay = 0;  // Listenanzeige: 0 all, 1 no duplicates, 2 only duplicates
    std::vector<Text> SearchPaths = std::vector<Text>(RecordLimit + 1);
    int SearchPathCount = 0;
    // Leading numbers were stripped into a numberless list in this run: the
    // options menu then offers renaming the files to its titles.
    bool numbersStripped = false;
    // Records appended to the list file by the rebuild that is running.
    long builtRecords = 0;
    // The builder's work files Titel.tmp and playlist.m3u as they are to be
    // left in the temp directory. While a rebuild runs they are kept here and
    // written when it ends: deleting and making two files for every
    // directory costs more than reading the directories.
    struct WorkFiles {
        bool deferred = false;  // a rebuild is running
        bool pending = false;   // not yet written
        bool titlesExist = false, playlistExists = false;
        Text titles, playlist;
        // The new list and performer list a rebuild appends to, beside the
        // files they replace when the rebuild is complete ("" outside one:
        // records go to the list itself).
        Text newList, newPerformers;
    } work;
};

// The sort collation table: every list sort compares through it.
using CollationTable = std::array<unsigned char, 256>;
CollationTable BuildCollationTable();

}  // namespace pavuto
