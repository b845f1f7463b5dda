#pragma once
#include "common/text.hpp"

namespace pavuto {

// Wish list and copying: set in the options menu, kept for the rest of the
// run, never saved.
struct FileOpsState {
    // The wish list's full path; while it is set, the browser's "a" adds the
    // marked records to it instead of running them.
    Text wishList;
    // The directory the copies go to, without a final "\".
    Text copyTarget;
    // 1 = running a selection in the list view copies instead of playing.
    int copyMode = 0;
};

}  // namespace pavuto
