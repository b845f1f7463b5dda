#pragma once
// The start sequence and the command line.
#include <vector>

#include "common/text.hpp"

namespace pavuto {

struct Program;

struct CommandLine {
    int shutdownMode = 0;
    Text minutesText;
    bool switchGiven = false;  // /down or /downh occurred (the timer is armed)
    Text autoMode;             // cleaned list name, or empty
    bool blind = false;
    bool noListName = false;   // /auto or /blind without a list name
    bool help = false;         // "?" occurred
    Text rest;                 // what is left for the configuration name
};

// Reads the command line text (after the program name).
CommandLine ParseCommandLine(const Text& text);

// Runs the whole start sequence and hands over to the main loop; returns
// only through the program end (ProgramEnd).
void RunStartSequence(Program& p);

}  // namespace pavuto
