#include "host/posix/posix_filesystem.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "common/codepage.hpp"
#include "common/runtime_error.hpp"
#include "common/text.hpp"
#include "host/buffered_file.hpp"
#include "host/drive_paths.hpp"

namespace pavuto::host::posix {

int ErrorNumberFor(int e) {
    switch (e) {
        case ENOENT: return err::FileNotFound;
        case ENOTDIR: return err::PathNotFound;
        case EACCES:
        case EPERM:
        case EBUSY:
        case ETXTBSY:
        case EROFS: return err::PermissionDenied;
        case ENOSPC:
        case EDQUOT:
        case EFBIG: return err::DiskFull;  // also a write past the file-size limit
        case EEXIST:
        case ENOTEMPTY: return err::FileAlreadyExists;
        case EMFILE:
        case ENFILE: return err::TooManyFiles;
        case ENAMETOOLONG: return err::BadFileName;
        case EIO:
        case EPIPE: return err::DeviceIoError;  // a pipe whose reader is gone
        case EXDEV: return err::RenameAcrossDisks;
        case ENOMEM: return err::OutOfMemory;
        case EBADF: return err::BadFileMode;  // reading a file opened for writing, or the other way round
        case ENXIO:
        case ENODEV: return err::DeviceUnavailable;
        default: return err::PathFileAccessError;
    }
}

namespace {

[[noreturn]] void Fail(int number, const std::string& what) { throw RuntimeError(number, what); }

// The error of a missing name: 76 when its directory is missing too, else 53.
int MissingNumber(const std::string& host) {
    auto slash = host.find_last_of('/');
    if (slash == std::string::npos) return err::FileNotFound;
    std::string parent = slash == 0 ? "/" : host.substr(0, slash);
    struct stat st {};
    if (stat(parent.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return err::PathNotFound;
    return err::FileNotFound;
}

class PosixFile : public BufferedFile {
public:
    PosixFile(int fd, std::string what) : BufferedFile(std::move(what)), fd_(fd) {}
    ~PosixFile() override { CloseQuietly(); }

protected:
    bool IsOpen() const override { return fd_ >= 0; }

    std::uint64_t SizeNow() override {
        struct stat st {};
        if (fstat(fd_, &st) != 0) Fail(ErrorNumberFor(errno));
        return static_cast<std::uint64_t>(st.st_size);
    }

    std::size_t ReadNow(std::uint64_t offset, char* buffer, std::size_t count) override {
        std::size_t done = 0;
        while (done < count) {
            ssize_t r = pread(fd_, buffer + done, count - done, static_cast<off_t>(offset + done));
            if (r < 0) {
                if (errno == EINTR) continue;
                Fail(ErrorNumberFor(errno));
            }
            if (r == 0) break;
            done += static_cast<std::size_t>(r);
        }
        return done;
    }

    void WriteNow(std::uint64_t offset, std::string_view bytes) override {
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t r = pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
            if (r < 0) {
                if (errno == EINTR) continue;
                Fail(ErrorNumberFor(errno));
            }
            done += static_cast<std::size_t>(r);
        }
    }

    // Through the descriptor's own position (the end, for a file opened to append).
    int AppendNow(std::string_view bytes) override {
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t r = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (r < 0) {
                if (errno == EINTR) continue;
                return ErrorNumberFor(errno);
            }
            done += static_cast<std::size_t>(r);
        }
        return 0;
    }

    int CloseNow() override {
        const int fd = fd_;
        fd_ = -1;
        return close(fd) != 0 ? ErrorNumberFor(errno) : 0;
    }

private:
    int fd_;
};

}  // namespace

DriveMap DriveMap::FromEnvironment() {
    DriveMap map;
    map.roots['C'] = "/";
    if (const char* setting = std::getenv("PAVUTO_DRIVES")) {
        std::string s = setting;
        size_t start = 0;
        while (start <= s.size()) {
            size_t end = s.find(';', start);
            if (end == std::string::npos) end = s.size();
            std::string item = s.substr(start, end - start);
            auto eq = item.find('=');
            if (eq == 1 && std::isalpha(static_cast<unsigned char>(item[0])) && item.size() > 2)
                map.roots[static_cast<char>(std::toupper(static_cast<unsigned char>(item[0])))] = item.substr(2);
            start = end + 1;
        }
    }
    return map;
}

PosixFileSystem::PosixFileSystem(DriveMap map) : map_(std::move(map)) {
    for (auto& [letter, root] : map_.roots) {
        while (root.size() > 1 && root.back() == '/') root.pop_back();
        currentDirs_[letter] = "\\";
    }
    current_ = map_.roots.empty() ? 'C' : map_.roots.begin()->first;
    char buf[4096];
    if (getcwd(buf, sizeof buf)) {
        std::string cwd = DrivePath(buf);
        if (HasDrive(cwd)) {
            current_ = UpperChar(cwd[0]);
            currentDirs_[current_] = cwd.size() > 2 ? cwd.substr(2) : "\\";
        }
    }
}

std::string PosixFileSystem::CurrentDrive() { return std::string(1, current_) + ":"; }

std::string PosixFileSystem::CurrentDirectory(std::string_view drive) {
    char d = drive.empty() ? current_ : UpperChar(drive[0]);
    if (!map_.roots.count(d)) Fail(err::DiskNotReady, std::string(1, d) + ":");
    return std::string(1, d) + ":" + currentDirs_[d];
}

void PosixFileSystem::ChangeDrive(std::string_view drive) {
    if (drive.empty()) return;
    char d = UpperChar(drive[0]);
    if (!map_.roots.count(d)) Fail(err::DiskNotReady, std::string(drive));
    current_ = d;
}

void PosixFileSystem::ChangeDirectory(std::string_view path) {
    ResolvedPath r = ResolvePath(path, current_, currentDirs_);
    if (!map_.roots.count(r.drive)) Fail(err::DiskNotReady, std::string(path));
    std::string host = HostPath(path);
    struct stat st {};
    if (stat(host.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) Fail(err::PathNotFound, std::string(path));
    currentDirs_[r.drive] = DirectoryOf(r);
}

std::string PosixFileSystem::FullPath(std::string_view path) {
    ResolvedPath r = ResolvePath(path, current_, currentDirs_);
    if (!map_.roots.count(r.drive)) Fail(err::DiskNotReady, std::string(path));
    return DrivePathOf(r);
}

// Names compare without regard to case, as on the drives the program's paths
// come from: a part that does not exist as written is looked for in its
// directory by its upper-cased Windows-1252 name (the first such name in
// sorted order wins; names the program cannot hold whole take no part). A part found nowhere stays as written, so new files get
// the name the program gives them.
static std::string MatchPart(const std::string& directory, const std::string& part) {
    DIR* dir = opendir(directory.c_str());
    if (!dir) return {};
    std::string wanted = UCase(part);
    std::string best;
    while (dirent* d = readdir(dir)) {
        std::string name = d->d_name;
        if (name == "." || name == "..") continue;
        std::string converted = Utf8ToCp1252(name);
        // A name with characters the program cannot hold ("?") is never taken
        // for another one.
        if (Cp1252ToUtf8(converted) != name) continue;
        if (UCase(converted) == wanted && (best.empty() || name < best)) best = name;
    }
    closedir(dir);
    return best;
}

std::string PosixFileSystem::HostPath(std::string_view path) {
    // A NUL would cut the name short at the system call and name another file.
    if (path.find('\0') != std::string_view::npos) Fail(err::BadFileName, std::string(path));
    ResolvedPath r = ResolvePath(path, current_, currentDirs_);
    auto it = map_.roots.find(r.drive);
    if (it == map_.roots.end()) Fail(err::DiskNotReady, std::string(path));
    const std::string& root = it->second;
    auto join = [](std::string base, const std::string& part) {
        if (base.empty() || base.back() != '/') base += '/';
        return base + part;
    };
    std::string exact = root;
    for (auto& p : r.parts) exact = join(exact, Cp1252ToUtf8(p));
    struct stat st {};
    if (r.parts.empty() || lstat(exact.c_str(), &st) == 0) return exact;

    std::string out = root;
    bool missing = false;
    for (auto& p : r.parts) {
        std::string part = Cp1252ToUtf8(p);
        if (!missing && lstat(join(out, part).c_str(), &st) != 0) {
            std::string found = MatchPart(out, p);
            if (found.empty()) missing = true;
            else part = found;
        }
        out = join(out, part);
    }
    return out;
}

std::string PosixFileSystem::DrivePath(std::string_view hostPath) {
    // Made absolute and free of "." and ".." first, so that ".." can leave a
    // drive's root directory before the drive is chosen.
    std::string absolute(hostPath);
    if (absolute.empty() || absolute[0] != '/') {
        char buf[4096];
        std::string cwd = getcwd(buf, sizeof buf) ? buf : "/";
        absolute = cwd + "/" + absolute;
    }
    std::string host;
    for (auto& p : Normalise(SplitParts(absolute))) {
        if (p.find('\\') != std::string::npos) return Utf8ToCp1252(hostPath);  // no drive path can name it
        host += "/" + p;
    }
    if (host.empty()) host = "/";
    // The drive with the longest root that holds the path.
    char best = 0;
    size_t bestLen = 0;
    for (auto& [letter, root] : map_.roots) {
        bool match = root == "/" || host == root || StartsWith(host, root + "/");
        size_t len = root == "/" ? 0 : root.size();
        if (match && (best == 0 || len > bestLen)) {
            best = letter;
            bestLen = len;
        }
    }
    // Outside every drive: no drive path names it; the text stays as it is.
    if (!best) return Utf8ToCp1252(hostPath);
    std::string out(1, best);
    out += ":";
    auto parts = SplitParts(Utf8ToCp1252(host.substr(bestLen)));
    for (auto& p : parts) out += "\\" + p;
    if (parts.empty()) out += "\\";
    return out;
}

bool PosixFileSystem::FileExists(std::string_view path) {
    try {
        struct stat st {};
        return stat(HostPath(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
    } catch (const RuntimeError&) {
        return false;
    }
}

bool PosixFileSystem::SameFile(std::string_view a, std::string_view b) {
    try {
        struct stat sa {}, sb {};
        if (stat(HostPath(a).c_str(), &sa) != 0 || stat(HostPath(b).c_str(), &sb) != 0) return false;
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    } catch (const RuntimeError&) {
        return false;
    }
}

bool PosixFileSystem::DirectoryExists(std::string_view path) {
    try {
        struct stat st {};
        return stat(HostPath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    } catch (const RuntimeError&) {
        return false;
    }
}

std::uint64_t PosixFileSystem::FileSize(std::string_view path) {
    struct stat st {};
    if (stat(HostPath(path).c_str(), &st) != 0) Fail(ErrorNumberFor(errno), std::string(path));
    return static_cast<std::uint64_t>(st.st_size);
}

std::vector<DirEntry> PosixFileSystem::List(std::string_view directory, std::string_view pattern) {
    std::string host = HostPath(directory);
    DIR* dir = opendir(host.c_str());
    if (!dir) {
        int e = errno;
        Fail(e == ENOENT || e == ENOTDIR ? err::PathNotFound : ErrorNumberFor(e), std::string(directory));
    }
    std::string pat = pattern == "*.*" || pattern.empty() ? std::string("*") : std::string(pattern);
    std::vector<DirEntry> out;
    // The kernel's pseudo file systems are no directories of files.
    static const char* hiddenAtRoot[] = {"proc", "sys", "dev", "run"};
    bool atRoot = host == "/";
    while (dirent* d = readdir(dir)) {
        std::string raw = d->d_name;
        if (raw.empty() || raw[0] == '.') continue;  // ".", ".." and hidden names
        if (atRoot) {
            bool hidden = false;
            for (auto* h : hiddenAtRoot) hidden = hidden || raw == h;
            if (hidden) continue;
        }
        // The entry's type comes with the listing; only links and file systems
        // that do not tell need a look at the entry itself.
        bool isDirectory = d->d_type == DT_DIR;
        bool isFile = d->d_type == DT_REG;
        if (d->d_type == DT_LNK || d->d_type == DT_UNKNOWN) {
            std::string full = host == "/" ? "/" + raw : host + "/" + raw;
            struct stat st {};
            if (stat(full.c_str(), &st) != 0) continue;
            isDirectory = S_ISDIR(st.st_mode);
            isFile = S_ISREG(st.st_mode);
        }
        if (!isDirectory && !isFile) continue;
        std::string name = Utf8ToCp1252(raw);
        if (!WildcardMatch(name, pat)) continue;
        const bool exact = Cp1252ToUtf8(name) == raw;
        out.push_back({std::move(name), isDirectory, exact});
    }
    closedir(dir);
    // The order of readdir() is arbitrary.
    SortByName(out);
    return out;
}

std::unique_ptr<File> PosixFileSystem::Open(std::string_view path, OpenMode mode) {
    std::string host = HostPath(path);
    int flags = 0;
    switch (mode) {
        case OpenMode::Input: flags = O_RDONLY; break;
        case OpenMode::Output: flags = O_WRONLY | O_CREAT | O_TRUNC; break;
        // Not O_APPEND: with it Linux ignores the offset of a positioned write.
        case OpenMode::Append: flags = O_WRONLY | O_CREAT; break;
        case OpenMode::Binary: flags = O_RDWR | O_CREAT; break;
    }
    int fd = open(host.c_str(), flags | O_CLOEXEC, 0666);
    if (fd < 0 && mode == OpenMode::Binary && (errno == EACCES || errno == EROFS))
        fd = open(host.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        int e = errno;
        int number = e == ENOENT ? MissingNumber(host) : ErrorNumberFor(e);
        if (e == EISDIR) number = err::PathFileAccessError;
        Fail(number, std::string(path));
    }
    struct stat st {};
    if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        close(fd);
        Fail(err::PathFileAccessError, std::string(path));
    }
    if (mode == OpenMode::Append && lseek(fd, 0, SEEK_END) < 0) {
        int e = errno;
        close(fd);
        Fail(ErrorNumberFor(e), std::string(path));
    }
    return std::make_unique<PosixFile>(fd, std::string(path));
}

void PosixFileSystem::Rename(std::string_view from, std::string_view to) {
    ResolvedPath a = ResolvePath(from, current_, currentDirs_);
    ResolvedPath b = ResolvePath(to, current_, currentDirs_);
    std::string src = HostPath(from), dst = HostPath(to);
    struct stat st {};
    if (lstat(src.c_str(), &st) != 0) {
        int e = errno;
        Fail(e == ENOENT ? MissingNumber(src) : ErrorNumberFor(e), std::string(from));
    }
    if (a.drive != b.drive) Fail(err::RenameAcrossDisks, std::string(to));
    struct stat existing {};
    if (!b.parts.empty() && lstat(dst.c_str(), &existing) == 0 && existing.st_dev == st.st_dev &&
        existing.st_ino == st.st_ino) {
        // The new name differs from the old one in case only: the file takes
        // the name as written.
        std::string renamed = dst.substr(0, dst.rfind('/') + 1) + Cp1252ToUtf8(b.parts.back());
        if (renamed == src) return;
        if (rename(src.c_str(), renamed.c_str()) != 0) Fail(ErrorNumberFor(errno), std::string(to));
        return;
    }
    if (renameat2(AT_FDCWD, src.c_str(), AT_FDCWD, dst.c_str(), RENAME_NOREPLACE) == 0) return;
    int e = errno;
    if (e == EINVAL || e == ENOSYS || e == EOPNOTSUPP) {
        // A file system without the no-replace rename. For a file, link and
        // unlink never replace either; where the file system has no links
        // (or for a directory) the target is tested first.
        if (!S_ISDIR(st.st_mode)) {
            if (link(src.c_str(), dst.c_str()) == 0) {
                unlink(src.c_str());
                return;
            }
            int le = errno;
            if (le != EPERM && le != EOPNOTSUPP && le != EMLINK) {
                Fail(le == ENOENT ? err::PathNotFound : ErrorNumberFor(le), std::string(to));
            }
        }
        struct stat target {};
        if (lstat(dst.c_str(), &target) == 0) Fail(err::FileAlreadyExists, std::string(to));
        if (rename(src.c_str(), dst.c_str()) == 0) return;
        e = errno;
    }
    if (e == ENOENT) {
        // The source exists, so the target's directory is missing.
        Fail(err::PathNotFound, std::string(to));
    }
    Fail(ErrorNumberFor(e), std::string(to));
}

void PosixFileSystem::Replace(std::string_view from, std::string_view to) {
    ResolvedPath a = ResolvePath(from, current_, currentDirs_);
    ResolvedPath b = ResolvePath(to, current_, currentDirs_);
    if (a.drive != b.drive) Fail(err::RenameAcrossDisks, std::string(to));
    std::string src = HostPath(from), dst = HostPath(to);
    // The new content reaches the disk before its name does, so that a crash
    // cannot leave an empty file under the old name.
    int fd = open(src.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        int e = errno;
        Fail(e == ENOENT ? MissingNumber(src) : ErrorNumberFor(e), std::string(from));
    }
    int synced = fsync(fd);
    int syncError = errno;
    close(fd);
    if (synced != 0 && syncError != EINVAL && syncError != EROFS) Fail(ErrorNumberFor(syncError), std::string(from));
    struct stat st {};
    if (stat(dst.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) Fail(err::PathFileAccessError, std::string(to));
    if (rename(src.c_str(), dst.c_str()) != 0) {
        int e = errno;
        Fail(e == ENOENT ? err::PathNotFound : ErrorNumberFor(e), std::string(to));
    }
}

void PosixFileSystem::Remove(std::string_view path) {
    std::string host = HostPath(path);
    struct stat st {};
    if (stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) Fail(err::FileNotFound, std::string(path));
    if (unlink(host.c_str()) != 0) {
        int e = errno;
        Fail(e == ENOENT ? MissingNumber(host) : ErrorNumberFor(e), std::string(path));
    }
}

void PosixFileSystem::MakeDirectory(std::string_view path) {
    std::string host = HostPath(path);
    if (mkdir(host.c_str(), 0777) != 0) {
        int e = errno;
        Fail(e == EEXIST ? err::PathFileAccessError : e == ENOENT ? err::PathNotFound : ErrorNumberFor(e),
             std::string(path));
    }
}

void PosixFileSystem::CopyAttributes(std::string_view from, std::string_view to) {
    struct stat st {};
    if (stat(HostPath(from).c_str(), &st) != 0) Fail(ErrorNumberFor(errno), std::string(from));
    if (chmod(HostPath(to).c_str(), st.st_mode & 07777) != 0) Fail(ErrorNumberFor(errno), std::string(to));
}

}  // namespace pavuto::host::posix
