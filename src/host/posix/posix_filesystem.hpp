#pragma once
// The drive-letter world on a POSIX file system. Drive C: is the host root
// "/" unless configured otherwise; more letters come from the environment
// variable PAVUTO_DRIVES ("D=/media/usb;E=/mnt/data"). A letter without a
// mapping is a drive that is not ready (71 for every operation; the
// existence tests answer false). Names are UTF-8 on disk and Windows-1252 in
// the program. Listings come sorted by name without regard to case, dot files
// and the kernel's /proc, /sys, /dev and /run left out; a path never leaves
// its drive's directory through "..".
#include <map>
#include <string>

#include "host/filesystem.hpp"

namespace pavuto::host::posix {

struct DriveMap {
    std::map<char, std::string> roots;  // upper-case letter -> host directory
    // C: = "/" plus the letters of PAVUTO_DRIVES (which may also remap C:).
    static DriveMap FromEnvironment();
};

class PosixFileSystem : public FileSystem {
public:
    explicit PosixFileSystem(DriveMap map);

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
    // The permission bits.
    void CopyAttributes(std::string_view from, std::string_view to) override;
    std::string HostPath(std::string_view path) override;
    // The drive with the longest root holding the path names it; a host path
    // on no drive comes back as it is.
    std::string DrivePath(std::string_view hostPath) override;

    const DriveMap& drives() const { return map_; }

private:
    DriveMap map_;
    char current_ = 'C';
    std::map<char, std::string> currentDirs_;  // per drive: "\Musik\Rock" (no drive, "\" = root)
};

// Maps errno to the program's error numbers.
int ErrorNumberFor(int errnoValue);

}  // namespace pavuto::host::posix
