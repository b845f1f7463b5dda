#pragma once
// The program's drive-letter world on the Windows file system, through the
// ANSI calls (names are Windows-1252 on both sides). Each drive letter has a
// root directory: the drive itself ("D:\") for the real program; the tests
// put C: on a temporary directory. The current drive and the current
// directory of each drive are the program's own, as on the POSIX host, and
// are handed to the programs it starts. Listings leave out hidden and system
// entries and come sorted by name without regard to case.
#include <windows.h>

#include <map>
#include <string>

#include "host/filesystem.hpp"

namespace pavuto::host::win32 {

struct DriveRoots {
    std::map<char, std::string> roots;  // upper-case letter -> Windows directory
    // Every letter is its own drive: A: is "A:\" and so on.
    static DriveRoots Real();
};

class Win32FileSystem : public FileSystem {
public:
    explicit Win32FileSystem(DriveRoots roots);

    std::string CurrentDrive() override;
    std::string CurrentDirectory(std::string_view drive = {}) override;
    void ChangeDrive(std::string_view drive) override;
    void ChangeDirectory(std::string_view path) override;
    std::string FullPath(std::string_view path) override;
    bool FileExists(std::string_view path) override;
    bool SameFile(std::string_view a, std::string_view b) override;
    bool DirectoryExists(std::string_view path) override;
    std::uint64_t FileSize(std::string_view path) override;
    std::vector<DirEntry> List(std::string_view directory, std::string_view pattern = "*.*") override;
    std::unique_ptr<File> Open(std::string_view path, OpenMode mode) override;
    void Rename(std::string_view from, std::string_view to) override;
    void Replace(std::string_view from, std::string_view to) override;
    void Remove(std::string_view path) override;
    void MakeDirectory(std::string_view path) override;
    // The read-only, hidden, system and archive attributes.
    void CopyAttributes(std::string_view from, std::string_view to) override;
    std::string HostPath(std::string_view path) override;
    std::string DrivePath(std::string_view hostPath) override;

private:
    DriveRoots roots_;
    char current_ = 'C';
    std::map<char, std::string> currentDirs_;  // per drive: "\Musik\Rock" (no drive, "\" = root)
};

// Maps GetLastError() values to the program's error numbers.
int ErrorNumberFor(DWORD error);

// A host path of the ANSI calls as the wide calls take it.
std::wstring Widened(const std::string& ansi);

}  // namespace pavuto::host::win32
