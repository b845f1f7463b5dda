#include "host/posix/host_playlist.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <vector>

#include "common/codepage.hpp"
#include "common/runtime_error.hpp"
#include "common/text.hpp"
#include "host/posix/posix_filesystem.hpp"

namespace pavuto::host::posix {

namespace {

constexpr std::string_view kCopyPrefix = "pavuto-wiedergabe-";
constexpr std::size_t kCopyNameLength = kCopyPrefix.size() + 6;  // mkdtemp's XXXXXX

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool IsRegularFile(const std::string& hostPath) {
    struct stat st {};
    return stat(hostPath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string JoinHost(const std::string& directory, const std::string& name) {
    return !directory.empty() && directory.back() == '/' ? directory + name : directory + "/" + name;
}

// Whether the bytes are UTF-8 throughout (no overlong forms, no surrogates).
bool ValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t length;
        char32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + length > s.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const unsigned char d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        if ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

// "http://...", "rtsp://...": a scheme of two or more characters and "://".
bool IsAddress(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && (IsLetter(line[i]) || (i > 0 && ((line[i] >= '0' && line[i] <= '9') || line[i] == '+' ||
                                                               line[i] == '-' || line[i] == '.'))))
        ++i;
    return i >= 2 && line.substr(i, 3) == "://";
}

bool HasDrive(std::string_view line) { return line.size() >= 2 && IsLetter(line[0]) && line[1] == ':'; }

// The host path of a program path (Windows-1252) when it names a regular
// file; empty otherwise.
std::string ProgramFile(FileSystem& files, const std::string& programPath) {
    if (programPath.empty() || programPath.find('\0') != std::string::npos) return {};
    try {
        std::string host = files.HostPath(programPath);
        return IsRegularFile(host) ? host : std::string();
    } catch (const RuntimeError&) {
        return {};  // a drive that is not ready, a name the file system does not take
    }
}

// The host path of one entry, or empty when it names no regular file.
std::string ResolveEntry(const std::string& line, bool utf8, FileSystem& files, const std::string& directory) {
    if (HasDrive(line)) {
        // As the program writes it (Windows-1252); a list of the host's own
        // in UTF-8 with drive paths (one from Windows) as its characters.
        std::string host = ProgramFile(files, line);
        if (host.empty() && utf8) {
            std::string asProgram = Utf8ToCp1252(line);
            if (asProgram != line) host = ProgramFile(files, asProgram);
        }
        return host;
    }
    const std::string text = utf8 ? line : Cp1252ToUtf8(line);
    if (text[0] == '/') return IsRegularFile(text) ? text : std::string();
    // Relative to the playlist's own directory: a host name, one with
    // Windows separators, or a name as the program writes it (any case).
    std::string host = JoinHost(directory, text);
    if (IsRegularFile(host)) return host;
    std::string slashes = text;
    for (char& c : slashes)
        if (c == '\\') c = '/';
    host = JoinHost(directory, slashes);
    if (IsRegularFile(host)) return host;
    try {
        std::string base = files.DrivePath(directory);
        if (!HasDrive(base)) return {};
        if (base.back() != '\\') base += '\\';
        host = ProgramFile(files, base + (utf8 ? Utf8ToCp1252(line) : line));
        if (!host.empty()) return host;
    } catch (const RuntimeError&) {
    }
    return {};
}

[[noreturn]] void Fail(int error, const std::string& path) { throw RuntimeError(ErrorNumberFor(error), path); }

std::string ReadAll(const std::string& hostPath) {
    int fd = open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) Fail(errno, hostPath);
    std::string bytes;
    char buf[65536];
    while (true) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            int e = errno;
            close(fd);
            Fail(e, hostPath);
        }
        if (n == 0) break;
        bytes.append(buf, static_cast<std::size_t>(n));
    }
    close(fd);
    return bytes;
}

// 0, or the errno of the write that failed.
int WriteAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

}  // namespace

bool IsPlaylistName(std::string_view name) { return EndsWithNoCase(name, ".m3u"); }

std::string HostFormPlaylist(std::string_view bytes, FileSystem& files, const std::string& directory) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);  // a byte order mark: UTF-8
    const bool utf8 = ValidUtf8(bytes);
    std::string out;
    std::string info;  // an #EXTINF line, written with the entry it belongs to
    for (const std::string& line : SplitLines(bytes)) {
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        if (line[0] == '#') {
            std::string text = utf8 ? line : Cp1252ToUtf8(line);
            if (StartsWith(text, "#EXTINF")) {
                info = text;
            } else {
                out += text;
                out += '\n';
            }
            continue;
        }
        std::string entry = IsAddress(line) ? (utf8 ? line : Cp1252ToUtf8(line)) : ResolveEntry(line, utf8, files, directory);
        if (!entry.empty()) {
            if (!info.empty()) out += info + '\n';
            out += entry;
            out += '\n';
        }
        info.clear();
    }
    return out;
}

std::string CopyBaseDirectory(const std::string& runtimeDirectory, const std::string& tmpDirectory) {
    auto usable = [](const std::string& d, bool own) {
        if (d.empty() || d[0] != '/') return false;
        struct stat st {};
        if (stat(d.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
        if (own && st.st_uid != geteuid()) return false;
        return access(d.c_str(), W_OK | X_OK) == 0;
    };
    if (usable(runtimeDirectory, true)) return runtimeDirectory;
    if (usable(tmpDirectory, false)) return tmpDirectory;
    return "/tmp";
}

void RemoveOldCopies(const std::string& base, long maxAgeSeconds) {
    DIR* dir = opendir(base.c_str());
    if (!dir) return;
    const int at = dirfd(dir);
    const std::time_t now = std::time(nullptr);
    std::vector<std::string> old;
    while (dirent* d = readdir(dir)) {
        const std::string name = d->d_name;
        if (name.size() != kCopyNameLength || !StartsWith(name, kCopyPrefix)) continue;
        struct stat st {};
        if (fstatat(at, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISDIR(st.st_mode) || st.st_uid != geteuid() || now - st.st_mtime < maxAgeSeconds) continue;
        old.push_back(name);
    }
    for (const std::string& name : old) {
        int sub = openat(at, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (sub < 0) continue;
        if (DIR* inner = fdopendir(sub)) {
            std::vector<std::string> lists;
            while (dirent* e = readdir(inner)) {
                struct stat st {};
                if (IsPlaylistName(e->d_name) && fstatat(sub, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                    S_ISREG(st.st_mode))
                    lists.emplace_back(e->d_name);
            }
            for (const std::string& l : lists) unlinkat(sub, l.c_str(), 0);
            closedir(inner);  // closes sub
        } else {
            close(sub);
        }
        unlinkat(at, name.c_str(), AT_REMOVEDIR);  // only when nothing else lies in it
    }
    closedir(dir);
}

std::string WriteHostFormCopy(const std::string& hostPath, FileSystem& files, const std::string& base) {
    const std::string bytes = ReadAll(hostPath);
    const std::size_t slash = hostPath.rfind('/');
    const std::string directory = slash == std::string::npos ? "." : slash == 0 ? "/" : hostPath.substr(0, slash);
    const std::string name = slash == std::string::npos ? hostPath : hostPath.substr(slash + 1);
    const std::string content = HostFormPlaylist(bytes, files, directory);

    RemoveOldCopies(base, kCopyLifetimeSeconds);
    std::string pattern = JoinHost(base, std::string(kCopyPrefix) + "XXXXXX");
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) {
        if (errno == ENOENT) throw RuntimeError(err::PathNotFound, base);  // no directory for copies
        Fail(errno, pattern);
    }
    const std::string copyDirectory = buffer.data();
    const std::string copy = JoinHost(copyDirectory, name);
    int fd = open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        int e = errno;
        rmdir(copyDirectory.c_str());
        Fail(e, copy);
    }
    int error = WriteAll(fd, content);
    if (close(fd) != 0 && error == 0) error = errno;
    if (error != 0) {
        unlink(copy.c_str());
        rmdir(copyDirectory.c_str());
        Fail(error, copy);
    }
    return copy;
}

}  // namespace pavuto::host::posix
