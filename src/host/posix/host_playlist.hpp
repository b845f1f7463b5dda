#pragma once
// Playlists for programs outside the file.
//
// The program's playlist (auswahlliste.m3u) holds drive-letter paths in
// Windows-1252 with CR LF line ends, byte for byte as on Windows; no player
// of the host can open one of its entries. Where a playlist is handed to a
// program of the host (the desktop's opener, a configured player), that
// program gets a copy of it in host form instead, and the program's own file
// stays as it is.
//
// The host form, line by line (line ends CR LF, LF or CR):
//   - an entry with a drive ("D:\Musik\Titel.mp3", Windows-1252) becomes the
//     host path the program's file system gives it (drive map, names without
//     regard to case), in UTF-8;
//   - an absolute host path stays; a relative entry is taken relative to the
//     playlist's own directory (the copy lives elsewhere), as a host name or
//     as the program would write it (backslashes, Windows-1252), and becomes
//     absolute;
//   - every such entry is written only when it names an existing regular
//     file: an entry that does not resolve (a drive that is not ready, a
//     file that has gone, a directory) is left out, together with the
//     #EXTINF line before it, as the program leaves out marked entries it
//     cannot find;
//   - an address with a scheme ("http://...") stays as it is;
//   - other lines beginning with "#" (#EXTM3U, ...) stay; empty lines go.
// Text is UTF-8 with LF line ends. A playlist that is valid UTF-8 as a whole
// is taken as UTF-8 (a player's own list); otherwise its bytes are
// Windows-1252, as the program writes them. An entry with a drive is always
// tried as the program writes it first.
#include <string>
#include <string_view>

#include "host/filesystem.hpp"

namespace pavuto::host::posix {

// Whether a name is that of a playlist handed over in host form: it ends in
// ".m3u" (any case).
bool IsPlaylistName(std::string_view name);

// The host form of a playlist's bytes. files: the program's file system
// (drive letters); directory: the host directory of the playlist.
std::string HostFormPlaylist(std::string_view bytes, FileSystem& files, const std::string& directory);

// Where the copies are kept: the first of XDG_RUNTIME_DIR (a directory of
// the user's own), TMPDIR (an absolute directory) and /tmp, from the values
// given (as the started program's environment has them).
std::string CopyBaseDirectory(const std::string& runtimeDirectory, const std::string& tmpDirectory);

// Writes the host form of the playlist at hostPath into a new private
// directory "pavuto-wiedergabe-XXXXXX" (mode 0700) under base and returns
// the copy's host path; the copy has the playlist's own file name. First the
// copies of earlier hand-overs older than kCopyLifetimeSeconds are removed
// from base. Throws RuntimeError with the program's error number when the
// playlist cannot be read or the copy not written.
std::string WriteHostFormCopy(const std::string& hostPath, FileSystem& files, const std::string& base);

// How long a copy is kept: the program never waits for the program it hands
// a playlist to, and a desktop's opener may pass it on to a player that
// starts later, so a copy is removed only by a hand-over that comes after
// this many seconds.
inline constexpr long kCopyLifetimeSeconds = 3600;

// Removes the copies under base older than maxAgeSeconds (only directories
// "pavuto-wiedergabe-XXXXXX" of the user's own, and in them only playlists).
void RemoveOldCopies(const std::string& base, long maxAgeSeconds);

}  // namespace pavuto::host::posix
