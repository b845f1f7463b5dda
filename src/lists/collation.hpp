#pragma once
// Comparing list records through the sort collation table: case is ignored,
// umlauts fold to their base vowel, "." sorts as "&" and "<" as an apostrophe.
#include <string>
#include <string_view>

#include "common/text.hpp"
#include "lists/state.hpp"

namespace pavuto {

struct Program;

// The table of the program, built on first use when start-up has not built it.
const CollationTable& Collation(Program& p);

// Every character of a text mapped through the table.
Text CollationKey(const CollationTable& table, std::string_view s);

// < 0, 0, > 0 by the mapped texts alone (a shorter text that is the start of
// a longer one sorts first).
int CollateCompare(const CollationTable& table, std::string_view a, std::string_view b);

// The order every list sort uses: by the mapped texts, and texts whose mapped
// forms are equal by their bytes, so that the result of a sort never depends
// on the order the records came in.
inline bool CollateLess(const CollationTable& table, std::string_view a, std::string_view b) {
    int c = CollateCompare(table, a, b);
    return c != 0 ? c < 0 : a < b;
}

}  // namespace pavuto
