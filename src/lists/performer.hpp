#pragma once
// Performer lists: a file "Song - Band.mp3" is listed there as "Band - Song".
#include <vector>

#include "common/text.hpp"

namespace pavuto {

inline const Text kSeparator = " - ";

// The performer field for the padded name P of a file (the file name with its
// extension, padded or cut to MAXDL characters): MAXDL characters, or "" when
// the file gives no performer record.
Text PerformerText(const Text& padded, int MAXDL, const Text& extension);

// The two file names a performer title T ("Band - Song", trailing blanks
// removed) may have come from: "Song - Band" + extension and
// "Song - The Band" + extension. None for a title without " - ".
std::vector<Text> UnswappedNames(const Text& title, const Text& extension);

}  // namespace pavuto
