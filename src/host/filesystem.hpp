#pragma once
// The file system in the program's drive-letter world. Paths are Windows-1252
// texts such as "C:\Musik\Rock\Song.mp3"; both "\" and "/" separate parts; a
// path without drive uses the current drive, a relative path (also "D:name")
// the current directory of its drive. Every failure throws RuntimeError with
// the program's error number (53 file not found, 76 path not found, 70 no
// access, 58 exists, 61 disk full, 68/71 drive not ready, ...).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pavuto::host {

struct DirEntry {
    std::string name;  // Windows-1252
    bool directory = false;
    // False when the name on disk holds bytes or characters that Windows-1252
    // cannot carry: `name` then only approximates it and opens nothing.
    bool exact = true;
};

enum class OpenMode {
    Input,   // sequential reading; the file must exist (53)
    Output,  // sequential writing; replaces the file
    Append,  // sequential writing at the end; creates the file
    Binary,  // positioned reading and writing; creates the file
};

class File {
public:
    virtual ~File() = default;
    virtual std::uint64_t Size() = 0;
    // Positioned access (any mode). ReadAt returns the bytes read (fewer at the end).
    virtual std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t count) = 0;
    std::string ReadAt(std::uint64_t offset, std::size_t count);
    virtual void WriteAt(std::uint64_t offset, std::string_view bytes) = 0;
    // Sequential reading: one line without its end (CR LF, LF or CR); false at the end.
    virtual bool ReadLine(std::string& line) = 0;
    virtual bool AtEnd() = 0;
    // Sequential writing.
    virtual void Write(std::string_view bytes) = 0;
    void WriteLine(std::string_view text) {
        Write(text);
        Write("\r\n");
    }
    virtual void Close() = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    virtual std::string CurrentDrive() = 0;  // "C:"
    // The current directory of a drive (the current drive when empty), with
    // drive and without a final "\" except at the root: "C:\Musik", "C:\".
    virtual std::string CurrentDirectory(std::string_view drive = {}) = 0;
    virtual void ChangeDrive(std::string_view drive) = 0;
    // Changes the current directory of the path's drive (not the current drive).
    virtual void ChangeDirectory(std::string_view path) = 0;
    // The full drive path of a path: "C:\Musik\Rock" for "Rock" in C:\Musik.
    virtual std::string FullPath(std::string_view path) = 0;

    virtual bool FileExists(std::string_view path) = 0;
    virtual bool DirectoryExists(std::string_view path) = 0;
    // True when both paths name one existing file, however they spell it
    // (case, "..", links).
    virtual bool SameFile(std::string_view a, std::string_view b) = 0;
    virtual std::uint64_t FileSize(std::string_view path) = 0;
    // Entries of a directory whose names match a pattern of "*" and "?"
    // (compared without regard to case; "*.*" matches every name).
    // "." and ".." are never listed.
    virtual std::vector<DirEntry> List(std::string_view directory, std::string_view pattern = "*.*") = 0;

    virtual std::unique_ptr<File> Open(std::string_view path, OpenMode mode) = 0;
    // Never replaces an existing file (58).
    virtual void Rename(std::string_view from, std::string_view to) = 0;
    // Puts the complete file `from` in the place of `to` in one step,
    // replacing `to` when it exists: at any moment `to` is the old file
    // whole or the new one whole. Both lie in the same directory.
    virtual void Replace(std::string_view from, std::string_view to) = 0;
    virtual void Remove(std::string_view path) = 0;
    virtual void MakeDirectory(std::string_view path) = 0;
    // Gives the file `to` the attributes of the file `from` (a copied program
    // stays a program).
    virtual void CopyAttributes(std::string_view from, std::string_view to) = 0;

    // Translation at the edge, for programs and media that the host starts.
    virtual std::string HostPath(std::string_view path) = 0;
    virtual std::string DrivePath(std::string_view hostPath) = 0;
};

// The name a rewritten file is written under, beside the file it replaces.
std::string ReplacementPath(std::string_view path);

// Writes a file beside the one it replaces and puts it in place only when it
// is complete. After any failure (thrown on as it came) the old file is
// there unchanged, or for a new file no file is there.
void WriteReplacing(FileSystem& fs, std::string_view path, const std::function<void(File&)>& write);
// The same with the whole text at once.
void WriteReplacing(FileSystem& fs, std::string_view path, std::string_view bytes);

// The whole content of a file (53 when it is missing).
std::string ReadWhole(FileSystem& fs, std::string_view path);

}  // namespace pavuto::host
