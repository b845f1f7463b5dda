#pragma once
// The rules of the program's drive-letter paths that every host's file
// system shares: drives, parts, "." and "..", the current directory per
// drive, name patterns, and the order of a listing.
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "host/filesystem.hpp"

namespace pavuto::host {

// "C:..." or "c:...".
bool HasDrive(std::string_view path);
// The parts between "\" and "/" separators, empty ones left out.
std::vector<std::string> SplitParts(std::string_view path);
// Resolves "." and ".." (never above the root).
std::vector<std::string> Normalise(const std::vector<std::string>& parts);
// "*" and "?" against a name, without regard to case.
bool WildcardMatch(std::string_view name, std::string_view pattern);

// A path resolved against the current drive and the current directory of
// its drive: its upper-case drive letter and its normalised parts.
struct ResolvedPath {
    char drive;
    std::vector<std::string> parts;
};
// currentDirs: per drive letter "\Musik\Rock" (no drive; "\" = the root).
ResolvedPath ResolvePath(std::string_view path, char currentDrive, const std::map<char, std::string>& currentDirs);
// "C:\Musik\Rock", "C:\" for the root.
std::string DrivePathOf(const ResolvedPath& path);
// The same without its drive, as the current directory of a drive is kept:
// "\Musik\Rock", "\" for the root.
std::string DirectoryOf(const ResolvedPath& path);

// Sorted by name without regard to case, as the usual Windows file system
// delivers a listing.
void SortByName(std::vector<DirEntry>& entries);

}  // namespace pavuto::host
