#pragma once
// The browser: the program's main loop.
#include "errors/errors.hpp"

namespace pavuto {

struct Program;

// Runs the main loop until the program ends (ProgramEnd leaves it; so does
// RestartProgram, which the start sequence owns).
void RunBrowser(Program& p);

// The handler for changing drive or directory: shows
// " Laufwerk oder Verzeichnisswechsel nicht möglich....", goes back to the
// home directory in the directory view and starts the browser again.
Continuation DriveHandler(Program& p, const RuntimeError& e);

}  // namespace pavuto
