#pragma once
// List configurations: the small "<name>.config" file beside every list that
// names its list file and extension, the two field widths, whether a
// performer list is kept, and the search paths.
#include <vector>

#include "common/text.hpp"
#include "host/filesystem.hpp"

namespace pavuto {

struct Program;

inline const Text kSearchPathSection = " ---- suchPfade ----";

enum class ConfigHeader {
    Dialogue,   // " ----- pavuto configuration ------"
    DriveScan,  // " ----- pavuto  configuration ------"
};
Text ConfigHeaderText(ConfigHeader header);

// Reads the keys up to the search-path section into p.listConfig (and the
// configuration name and extension into the settings); creates the list file
// and, when one is kept, the performer list if they do not exist. A key the
// file lacks keeps its value; false when the file names no list file of its
// own (the list file path is then still the one read before).
bool ReadListConfiguration(Program& p, const Text& configPath);

// SearchPaths: slot 0 the current directory, 1... the section's lines. A
// missing file shows path + " nicht gefunden.", waits for a key and leaves no
// search paths (returns false).
bool ReadSearchPaths(Program& p, const Text& configPath);

// The configuration that belongs to a list file (also to its performer list
// and its numberless list).
Text ListConfigurationFor(Program& p, const Text& listFile);

// The list name of a configuration path: its file name up to the first ".".
Text ListNameOf(const Text& configPath);

// home directory + "\" + name (".config" appended when missing), the first
// "\\" reduced to "\".
Text HomeConfigurationPath(Program& p, Text name);

// Writes the header, the keys, the section line and the given search paths.
void CreateListConfiguration(Program& p, const Text& path, const std::vector<Text>& searchPaths,
                             ConfigHeader header);

// Rewrites the digits after "MAXDL=" or "MAXDLDIR=" in place; every other
// byte of the file stays as it is. Values 10 ... 999 only. Returns false when
// the key is missing or the new digits do not fit into the digits and blanks
// that follow it.
bool UpdateWidth(host::FileSystem& files, const Text& configPath, const Text& key, int value);

// "(n)eue config": choose one of the configurations of the current directory
// or create a new one in the home directory. True when a configuration is now
// current (p.browser.CurrentListConfiguration).
bool ChooseListConfiguration(Program& p);

// "(P)fad zufügen": appends the current directory to the search paths of the
// current configuration (once), then steps to the parent directory.
void AddSearchPath(Program& p);

}  // namespace pavuto
