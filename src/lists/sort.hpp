#pragma once
// Sorting list files in place through the collation table, with a fixed,
// small memory budget: lists of up to 500 records are sorted in memory,
// longer ones by passes of overlapping blocks of 500 records.
#include <vector>

#include "common/text.hpp"

namespace pavuto {

struct Program;

inline constexpr int kSortWorkRecords = 500;

struct SortStats {
    bool inMemory = false;
    int passes = 0;       // block passes made (each a forward and a backward sweep)
    long reads = 0;       // positioned reads of contiguous records
    long writes = 0;      // positioned writes of contiguous records
};

// Sorts the list file at path and returns its record count N. The block
// passes run over a copy beside the list, which takes its place when sorted.
// numbers, when given, holds one number per record (record k at index
// k - 1) and travels with the records. A missing file is left alone (0).
int SortListFile(Program& p, const Text& path, std::vector<int>* numbers = nullptr, SortStats* stats = nullptr);

// Sorts the title list and, when one is kept, the performer list, with the
// progress and result texts.
void SortLists(Program& p);
// The same for the new title list and performer list of a rebuild, sorted
// over themselves.
void SortNewLists(Program& p, const Text& listPath, const Text& performerPath);

}  // namespace pavuto
