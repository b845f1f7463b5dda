#pragma once
// Wish lists: a list file (the records of the lists it was made from) into
// which the browser's "a" copies the marked records while one is set.
#include "common/text.hpp"

namespace pavuto {

struct Program;

// The wish list file for a typed name: ".pavuto" appended unless the name
// ends in it (in any case).
Text WishListFileName(const Text& typed);

// Makes the wish list file empty (it replaces a file of that name) and sets
// it as the wish list. Throws RuntimeError when it cannot be written (64 for
// a name that is not one plain file name).
void StartWishList(Program& p, const Text& fileName);

// The browser's "a" while a wish list is set: the marked records of the open
// list, whole and in list order, appended to the wish list. A list shorter
// than its entry count ends it with "Datei ende.".
void AddMarkedToWishList(Program& p);

}  // namespace pavuto
