#pragma once
// Building lists: every file of the list's extension in the search paths of
// its configuration becomes a record; field widths grow when a name does not
// fit; the finished files are sorted.
#include "common/text.hpp"

namespace pavuto {

struct Program;

// The widths are written as three digits at most: a directory text or a file
// name that would need a wider field is left out of the list.
inline constexpr int kMaxWidth = 999;

// "Liste (a)ktualisieren": rebuilds the list of the current list
// configuration (p.browser.CurrentListConfiguration) and sorts it.
void RebuildList(Program& p);

// Steps of the rebuild without the sort: reads the configuration, deletes
// the list files and reads every search path; starts over when a width grew.
void BuildFromConfiguration(Program& p, const Text& configPath);

// Appends the matching files of the current directory, as listed in Titles
// (slots 1 ... RecordCount), to the list file and the performer list. Sets
// KeyText to "nochmal" when a field width had to grow.
void ReadDirectoryIntoList(Program& p);

// Finds every directory of a drive that holds files of the current
// extension, makes a list configuration of them and builds its list.
void ScanDrive(Program& p);

// Back to the drive and directory the program was started from.
void ReturnToStart(Program& p);

}  // namespace pavuto
