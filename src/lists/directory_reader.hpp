#pragma once
// The directory view: the entries of the current directory in Titles.
namespace pavuto {

struct Program;

// Reads the current directory into Titles and RecordCount as the browser
// shows it: "..", "<DIR> " entries, the files the view keeps, sorted, and the
// drive entries at a drive root; sets the current path as CurrentListFile and
// the performer forms of the names in Directories.
void ReadDirectoryView(Program& p);

// The plain listing the list builder reads: ".." (not at a drive root), then
// the files of the current directory in the order the system gives them, at
// most up to slot 31999. Sets RecordCount to the slots filled.
void ReadDirectoryFiles(Program& p);

}  // namespace pavuto
