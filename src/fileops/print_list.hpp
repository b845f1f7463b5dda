#pragma once
// Print lists: the entries the browser shows, in one, two or three columns,
// as Druckliste-<n>.txt in the home directory.
#include <vector>

#include "common/text.hpp"

namespace pavuto {

struct Program;

// The lines of a print list of list titles (entry i is " i title"), laid
// out in 1, 2 or 3 columns across: entries 1 2 3 on the first line.
std::vector<Text> ListPrintLines(const std::vector<Text>& titles, int columns);

// The lines of a print list of directory entries already taken (without the
// list extension), laid out in 1, 2 or 3 columns down then across; width is
// the longest taken name with its extension, at least 5.
std::vector<Text> DirectoryPrintLines(const std::vector<Text>& taken, int width, int columns);

// Which entries of a directory listing go into its print list: files only,
// those ending in the list extension (every file for ".all", ".alles" and
// ".*"), of the marked ones when some are marked. Fills the taken names
// (the extension cut off) and the column width.
void TakeDirectoryEntries(const std::vector<Text>& entries, const std::vector<bool>& marked,
                          const Text& listExtension, std::vector<Text>& taken, int& width);

// "\Druckliste-<n>.txt": the first n of 0 ... 100 whose file is not in the
// home directory; 100 when all are.
Text PrintListName(Program& p);

// The options menu's print list entries: writes the print list of the open
// list or of the directory listing and says " fertig \Druckliste-<n>.txt".
void MakePrintList(Program& p, int columns);
// "'Home'\Druckliste-x.txt  löschen.": removes Druckliste-0 ... -100.
void DeletePrintLists(Program& p);

}  // namespace pavuto
