#pragma once
// Copying the marked files of a list into the copy target.
#include "common/text.hpp"

namespace pavuto {

struct Program;

// Sets the copy target (a final "\" removed) and tests it with the file
// "test.tmp": copy mode goes on when the test file could be made and
// removed, off when not (the error text is shown). An empty target switches
// copy mode off.
void TakeCopyTarget(Program& p, const Text& typed);

// Copies each file of the selection file just written into the copy target,
// in its order, under its own name. An existing file of that name is
// replaced by an exact copy; a copy onto the file itself is refused. After a
// failure the message is shown and the remaining files are not copied
// (GoOnAt EndOfSelection).
void CopySelection(Program& p, const Text& selectionFile);

}  // namespace pavuto
