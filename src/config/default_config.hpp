#pragma once
// The default configuration file pavuto.config: named sections of settings.
#include "common/text.hpp"

namespace pavuto {

struct Program;

// The file's built-in content, byte for byte (Windows-1252, CR LF).
Text BuiltInConfigurationText();
// Writes the built-in content to the configuration path (throws on failure).
void WriteBuiltInFile(Program& p);

// Loads the section named by the configuration name from the configuration path.
void LoadConfiguration(Program& p);
// Options menu: choose a section and load it.
void ChooseConfiguration(Program& p);
// Options menu: save the current settings into a section or a new one.
void SaveSettings(Program& p);
// Options menu: the rows and columns dialogue.
void RowsAndColumns(Program& p);
// Options menu: edit the file with the configured editor (the caller loads
// the section in effect again afterwards).
void EditConfiguration(Program& p);
// The editor on the current list configuration, waited for.
void EditListConfiguration(Program& p);
// Runs the editor from the home directory with one argument and waits;
// when it cannot start, the message names the editor and shownPath.
void RunEditor(Program& p, const Text& argument, const Text& shownPath);

}  // namespace pavuto
