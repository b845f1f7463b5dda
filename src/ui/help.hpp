#pragma once
// The seven help pages, shown at 20 x 80; the browser's size comes back afterwards.
namespace pavuto {

struct Program;

void ShowHelp(Program& p);

}  // namespace pavuto
