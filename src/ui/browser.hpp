#pragma once
// The browser: the program's main loop.
namespace pavuto {

struct Program;

// Runs the main loop until the program ends (ProgramEnd leaves it).
void RunBrowser(Program& p);

}  // namespace pavuto
