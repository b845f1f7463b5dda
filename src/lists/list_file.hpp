#pragma once
// List files: fixed-length records (title field, ">" directory "<" field,
// CR LF), read window by window by record number.
#include <vector>

#include "common/text.hpp"
#include "host/filesystem.hpp"
#include "lists/state.hpp"

namespace pavuto {

struct Program;

inline constexpr int kReachableRecords = 32000;

struct ListMeasure {
    int recordLength = 0;  // L: the first line's length + 2; 0 when no CR LF comes within 2000 bytes
    int recordCount = 0;   // N = INT(size / L), at most 32000
    std::uint64_t size = 0;
};

// Measures a list file from its first 2000 bytes and its size. More than
// 32000 records are reported on the screen (with a wait) and cut to 32000.
ListMeasure MeasureListFile(Program& p, const Text& path);

// Fills the record window of the current list file (p.browser.CurrentListFile)
// from FirstRecord in the display mode ListDisplay, and splits it into Titles
// and Directories. False when the file does not exist (window unchanged).
bool LoadWindow(Program& p);
bool LoadWindow(Program& p, const Text& listFile);

// The title of every record of a list file in list order (the text before
// its ">", without trailing blanks), up to the reachable records.
std::vector<Text> ListTitles(Program& p, const Text& listFile);

// Splits the loaded slots first ... last into title and directory.
void SplitWindow(RecordWindow& w, int first, int last);

// The real file behind window slot i, found through the search paths (with
// the performer names as a second try), or "" when there is none.
Text ResolveEntry(Program& p, int slot);

// The number of text lines of a file.
long CountListLines(host::FileSystem& files, const Text& path);

// A file counts as a list when its name ends, in any case, with ".pavuto".
bool IsListFileName(const Text& name);

}  // namespace pavuto
