#include "host/win32/win32_filesystem.hpp"

#include <algorithm>
#include <vector>

#include "common/runtime_error.hpp"
#include "common/text.hpp"
#include "host/buffered_file.hpp"
#include "host/drive_paths.hpp"

namespace pavuto::host::win32 {

// A host path of the ANSI calls as the wide calls take it.
std::wstring Widened(const std::string& ansi) {
    int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
    return wide;
}

int ErrorNumberFor(DWORD e) {
    switch (e) {
        case ERROR_FILE_NOT_FOUND: return err::FileNotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_DIRECTORY: return err::PathNotFound;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT:
        case ERROR_NETWORK_ACCESS_DENIED:
        case ERROR_USER_MAPPED_FILE:
        case ERROR_DELETE_PENDING:
        case ERROR_CURRENT_DIRECTORY: return err::PermissionDenied;
        case ERROR_HANDLE_DISK_FULL:
        case ERROR_DISK_FULL:
        case ERROR_FILE_TOO_LARGE: return err::DiskFull;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
        case ERROR_DIR_NOT_EMPTY: return err::FileAlreadyExists;
        case ERROR_TOO_MANY_OPEN_FILES: return err::TooManyFiles;
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_BUFFER_OVERFLOW: return err::BadFileName;
        case ERROR_CRC:
        case ERROR_SEEK:
        case ERROR_WRITE_FAULT:
        case ERROR_READ_FAULT:
        case ERROR_GEN_FAILURE:
        case ERROR_BROKEN_PIPE:
        case ERROR_NO_DATA: return err::DeviceIoError;
        case ERROR_NOT_SAME_DEVICE: return err::RenameAcrossDisks;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY: return err::OutOfMemory;
        case ERROR_INVALID_HANDLE:
        case ERROR_INVALID_ACCESS: return err::BadFileMode;
        case ERROR_INVALID_DRIVE:
        case ERROR_DEV_NOT_EXIST:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME: return err::DeviceUnavailable;
        case ERROR_NOT_READY:
        case ERROR_NO_MEDIA_IN_DRIVE:
        case ERROR_UNRECOGNIZED_MEDIA: return err::DiskNotReady;
        default: return err::PathFileAccessError;
    }
}

namespace {

[[noreturn]] void Fail(int number, const std::string& what) { throw RuntimeError(number, what); }
[[noreturn]] void FailLast(const std::string& what) { Fail(ErrorNumberFor(GetLastError()), what); }

DWORD Attributes(const std::string& host) { return GetFileAttributesA(host.c_str()); }

// A wide name in the ANSI code page, a character it lacks as "?" (never a
// look-alike); exact is false when the name did not come back whole.
std::string Narrowed(const wchar_t* wide, bool& exact) {
    const int length = static_cast<int>(wcslen(wide));
    const DWORD flags = GetACP() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    int n = WideCharToMultiByte(CP_ACP, flags, wide, length, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, flags, wide, length, ansi.data(), n, nullptr, nullptr);
    exact = Widened(ansi) == std::wstring(wide, static_cast<std::size_t>(length));
    return ansi;
}
bool IsDirectory(DWORD a) { return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY); }

// A path that is to be a directory and is none: 76 when it is missing or a
// file, else what the system says (a drive not ready, no rights).
[[noreturn]] void FailNoDirectory(DWORD attributes, const std::string& what) {
    const DWORD e = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_PATH_NOT_FOUND;
    Fail(e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ? err::PathNotFound : ErrorNumberFor(e), what);
}

class Win32File : public BufferedFile {
public:
    Win32File(HANDLE handle, std::string what, std::uint64_t writePos)
        : BufferedFile(std::move(what)), handle_(handle), writePos_(writePos) {}
    ~Win32File() override { CloseQuietly(); }

protected:
    bool IsOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }

    std::uint64_t SizeNow() override {
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(handle_, &size)) Fail(ErrorNumberFor(GetLastError()));
        return static_cast<std::uint64_t>(size.QuadPart);
    }

    std::size_t ReadNow(std::uint64_t offset, char* buffer, std::size_t count) override {
        std::size_t done = 0;
        while (done < count) {
            OVERLAPPED at = Offset(offset + done);
            DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count - done, 1 << 20)), got = 0;
            if (!ReadFile(handle_, buffer + done, chunk, &got, &at)) {
                if (GetLastError() == ERROR_HANDLE_EOF) break;
                Fail(ErrorNumberFor(GetLastError()));
            }
            if (got == 0) break;
            done += got;
        }
        return done;
    }

    void WriteNow(std::uint64_t offset, std::string_view bytes) override {
        if (DWORD e = WriteAll(offset, bytes)) Fail(ErrorNumberFor(e));
    }

    // At the place of sequential writing, which this file keeps itself.
    int AppendNow(std::string_view bytes) override {
        if (DWORD e = WriteAll(writePos_, bytes)) return ErrorNumberFor(e);
        writePos_ += bytes.size();
        return 0;
    }

    int CloseNow() override {
        HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return CloseHandle(handle) ? 0 : ErrorNumberFor(GetLastError());
    }

private:
    static OVERLAPPED Offset(std::uint64_t offset) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        return at;
    }

    // 0, or the system's error.
    DWORD WriteAll(std::uint64_t offset, std::string_view bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            OVERLAPPED at = Offset(offset + done);
            DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20)), put = 0;
            if (!WriteFile(handle_, bytes.data() + done, chunk, &put, &at)) return GetLastError();
            if (put == 0) return ERROR_DISK_FULL;
            done += put;
        }
        return 0;
    }

    HANDLE handle_;
    std::uint64_t writePos_;  // where sequential writing goes on
};

}  // namespace

DriveRoots DriveRoots::Real() {
    DriveRoots d;
    for (char letter = 'A'; letter <= 'Z'; ++letter) d.roots[letter] = std::string(1, letter) + ":\\";
    return d;
}

Win32FileSystem::Win32FileSystem(DriveRoots roots) : roots_(std::move(roots)) {
    for (auto& [letter, root] : roots_.roots) {
        while (root.size() > 3 && (root.back() == '\\' || root.back() == '/')) root.pop_back();
        currentDirs_[letter] = "\\";
    }
    current_ = roots_.roots.count('C') || roots_.roots.empty() ? 'C' : roots_.roots.begin()->first;
    char buf[MAX_PATH * 2];
    DWORD n = GetCurrentDirectoryA(sizeof buf, buf);
    if (n > 0 && n < sizeof buf) {
        std::string cwd = DrivePath(buf);
        // Outside every drive (a test's drive C: elsewhere) the root of the first one stays.
        if (HasDrive(cwd) && roots_.roots.count(UpperChar(cwd[0]))) {
            current_ = UpperChar(cwd[0]);
            currentDirs_[current_] = cwd.size() > 2 ? cwd.substr(2) : "\\";
        }
    }
}

std::string Win32FileSystem::CurrentDrive() { return std::string(1, current_) + ":"; }

std::string Win32FileSystem::CurrentDirectory(std::string_view drive) {
    char d = drive.empty() ? current_ : UpperChar(drive[0]);
    if (!roots_.roots.count(d)) Fail(err::DiskNotReady, std::string(1, d) + ":");
    return std::string(1, d) + ":" + currentDirs_[d];
}

void Win32FileSystem::ChangeDrive(std::string_view drive) {
    if (drive.empty()) return;
    char d = UpperChar(drive[0]);
    if (!roots_.roots.count(d) || !IsDirectory(Attributes(roots_.roots[d]))) Fail(err::DiskNotReady, std::string(drive));
    current_ = d;
}

void Win32FileSystem::ChangeDirectory(std::string_view path) {
    ResolvedPath r = ResolvePath(path, current_, currentDirs_);
    const DWORD attributes = Attributes(HostPath(path));
    if (!IsDirectory(attributes)) FailNoDirectory(attributes, std::string(path));
    currentDirs_[r.drive] = DirectoryOf(r);
}

std::string Win32FileSystem::FullPath(std::string_view path) {
    ResolvedPath r = ResolvePath(path, current_, currentDirs_);
    if (!roots_.roots.count(r.drive)) Fail(err::DiskNotReady, std::string(path));
    return DrivePathOf(r);
}

std::string Win32FileSystem::HostPath(std::string_view path) {
    // A NUL would cut the name short at the system call and name another file.
    if (path.find('\0') != std::string_view::npos) Fail(err::BadFileName, std::string(path));
    ResolvedPath r = ResolvePath(path, current_, currentDirs_);
    auto it = roots_.roots.find(r.drive);
    if (it == roots_.roots.end()) Fail(err::DiskNotReady, std::string(path));
    std::string out = it->second;
    for (auto& p : r.parts) {
        if (out.back() != '\\') out += '\\';
        out += p;
    }
    return out;
}

std::string Win32FileSystem::DrivePath(std::string_view hostPath) {
    char buf[MAX_PATH * 2];
    std::string given(hostPath);
    DWORD n = GetFullPathNameA(given.c_str(), sizeof buf, buf, nullptr);
    if (n == 0 || n >= sizeof buf) return given;
    std::string full = buf;
    // The drive with the longest root that holds the path.
    char best = 0;
    std::size_t bestLen = 0;
    std::string upper = UCase(full);
    for (auto& [letter, root] : roots_.roots) {
        std::string r = UCase(root);
        bool match = upper == r || (StartsWith(upper, r) && (r.back() == '\\' || upper[r.size()] == '\\'));
        if (match && (best == 0 || r.size() > bestLen)) {
            best = letter;
            bestLen = r.size();
        }
    }
    if (!best) return given;
    ResolvedPath r{best, Normalise(SplitParts(full.substr(bestLen)))};
    return DrivePathOf(r);
}

bool Win32FileSystem::FileExists(std::string_view path) {
    try {
        DWORD a = Attributes(HostPath(path));
        return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
    } catch (const RuntimeError&) {
        return false;
    }
}

bool Win32FileSystem::DirectoryExists(std::string_view path) {
    try {
        return IsDirectory(Attributes(HostPath(path)));
    } catch (const RuntimeError&) {
        return false;
    }
}

bool Win32FileSystem::SameFile(std::string_view a, std::string_view b) {
    auto identify = [this](std::string_view path, BY_HANDLE_FILE_INFORMATION& info) {
        HANDLE h = CreateFileA(HostPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        bool ok = GetFileInformationByHandle(h, &info);
        CloseHandle(h);
        return ok;
    };
    try {
        BY_HANDLE_FILE_INFORMATION ia{}, ib{};
        if (!identify(a, ia) || !identify(b, ib)) return false;
        return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber && ia.nFileIndexHigh == ib.nFileIndexHigh &&
               ia.nFileIndexLow == ib.nFileIndexLow;
    } catch (const RuntimeError&) {
        return false;
    }
}

std::uint64_t Win32FileSystem::FileSize(std::string_view path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(HostPath(path).c_str(), GetFileExInfoStandard, &data)) FailLast(std::string(path));
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::vector<DirEntry> Win32FileSystem::List(std::string_view directory, std::string_view pattern) {
    std::string host = HostPath(directory);
    const DWORD attributes = Attributes(host);
    if (!IsDirectory(attributes)) FailNoDirectory(attributes, std::string(directory));
    std::string search = host.back() == '\\' ? host + "*" : host + "\\*";
    // The pattern is matched here, not by the system: its matching also
    // takes the short 8.3 names, so "*.mp" would find "x.mp3".
    std::string pat = pattern == "*.*" || pattern.empty() ? std::string("*") : std::string(pattern);
    std::vector<DirEntry> out;
    // Listed by the wide names: the ANSI listing gives a letter the code page
    // lacks as a look-alike (r for r-caron), and that name may be another file's.
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW(Widened(search).c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) {
        DWORD e = GetLastError();
        if (e == ERROR_FILE_NOT_FOUND || e == ERROR_NO_MORE_FILES) return out;
        Fail(ErrorNumberFor(e), std::string(directory));
    }
    do {
        bool exact = true;
        std::string name = Narrowed(found.cFileName, exact);
        if (name == "." || name == "..") continue;
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
        if (!WildcardMatch(name, pat)) continue;
        // A name that is not exact cannot be opened by the name the program holds.
        out.push_back({std::move(name), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0, exact});
    } while (FindNextFileW(find, &found));
    DWORD e = GetLastError();
    FindClose(find);
    if (e != ERROR_NO_MORE_FILES) Fail(ErrorNumberFor(e), std::string(directory));
    SortByName(out);
    return out;
}

std::unique_ptr<File> Win32FileSystem::Open(std::string_view path, OpenMode mode) {
    std::string host = HostPath(path);
    if (IsDirectory(Attributes(host))) Fail(err::PathFileAccessError, std::string(path));
    DWORD access = GENERIC_READ, disposition = OPEN_EXISTING;
    switch (mode) {
        case OpenMode::Input: break;
        case OpenMode::Output: access = GENERIC_WRITE; disposition = CREATE_ALWAYS; break;
        case OpenMode::Append: access = GENERIC_WRITE; disposition = OPEN_ALWAYS; break;
        case OpenMode::Binary: access = GENERIC_READ | GENERIC_WRITE; disposition = OPEN_ALWAYS; break;
    }
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE h = CreateFileA(host.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE && mode == OpenMode::Binary && GetLastError() == ERROR_ACCESS_DENIED)
        h = CreateFileA(host.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) FailLast(std::string(path));
    std::uint64_t end = 0;
    if (mode == OpenMode::Append) {
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(h, &size)) {
            DWORD e = GetLastError();
            CloseHandle(h);
            Fail(ErrorNumberFor(e), std::string(path));
        }
        end = static_cast<std::uint64_t>(size.QuadPart);
    }
    return std::make_unique<Win32File>(h, std::string(path), end);
}

void Win32FileSystem::Rename(std::string_view from, std::string_view to) {
    ResolvedPath a = ResolvePath(from, current_, currentDirs_);
    ResolvedPath b = ResolvePath(to, current_, currentDirs_);
    std::string src = HostPath(from), dst = HostPath(to);
    if (Attributes(src) == INVALID_FILE_ATTRIBUTES) FailLast(std::string(from));
    if (a.drive != b.drive) Fail(err::RenameAcrossDisks, std::string(to));
    if (SameFile(from, to)) {
        // The new name differs in case only: the file takes it as written,
        // through a name of its own (not every file system renames a file
        // onto itself).
        if (src == dst) return;
        std::string step = src + ".neu";
        if (!MoveFileA(src.c_str(), step.c_str())) FailLast(std::string(to));
        if (!MoveFileA(step.c_str(), dst.c_str())) {
            DWORD e = GetLastError();
            MoveFileA(step.c_str(), src.c_str());
            Fail(ErrorNumberFor(e), std::string(to));
        }
        return;
    }
    // MoveFileA never replaces an existing file.
    if (!MoveFileA(src.c_str(), dst.c_str())) FailLast(std::string(to));
}

void Win32FileSystem::Replace(std::string_view from, std::string_view to) {
    ResolvedPath a = ResolvePath(from, current_, currentDirs_);
    ResolvedPath b = ResolvePath(to, current_, currentDirs_);
    if (a.drive != b.drive) Fail(err::RenameAcrossDisks, std::string(to));
    std::string src = HostPath(from), dst = HostPath(to);
    if (IsDirectory(Attributes(dst))) Fail(err::PathFileAccessError, std::string(to));
    if (!MoveFileExA(src.c_str(), dst.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        FailLast(std::string(to));
}

void Win32FileSystem::Remove(std::string_view path) {
    std::string host = HostPath(path);
    if (IsDirectory(Attributes(host))) Fail(err::FileNotFound, std::string(path));
    if (!DeleteFileA(host.c_str())) FailLast(std::string(path));
}

void Win32FileSystem::MakeDirectory(std::string_view path) {
    if (!CreateDirectoryA(HostPath(path).c_str(), nullptr)) {
        DWORD e = GetLastError();
        Fail(e == ERROR_ALREADY_EXISTS ? err::PathFileAccessError : ErrorNumberFor(e), std::string(path));
    }
}

void Win32FileSystem::CopyAttributes(std::string_view from, std::string_view to) {
    DWORD a = Attributes(HostPath(from));
    if (a == INVALID_FILE_ATTRIBUTES) FailLast(std::string(from));
    const DWORD kept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
    DWORD b = a & kept;
    if (!SetFileAttributesA(HostPath(to).c_str(), b ? b : FILE_ATTRIBUTE_NORMAL)) FailLast(std::string(to));
}

}  // namespace pavuto::host::win32
