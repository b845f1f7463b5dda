#pragma once
// The error handlers of the file operations.
#include "common/text.hpp"
#include "errors/errors.hpp"

namespace pavuto {

// Writing a print list or wish list: " Schreiben der Liste >>path<< nicht
// möglich.", a key, and on after the writing (skip).
Handler ListWritingHandler(const Text& path);
void ShowListNotWritable(Program& p, const Text& path);

// Copying the selected files: "Fehler beim kopieren der dateien. >>>>text<<<<",
// a key, and the selection ends (EndOfSelection).
Handler CopyHandler();

// Testing the copy target: the error text, a key, copy mode off, and on
// with the options menu (skip).
Handler CopyTargetHandler();

}  // namespace pavuto
