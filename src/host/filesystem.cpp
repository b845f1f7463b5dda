#include "host/filesystem.hpp"

namespace pavuto::host {

std::string File::ReadAt(std::uint64_t offset, std::size_t count) {
    std::string out(count, '\0');
    out.resize(ReadAt(offset, out.data(), count));
    return out;
}

std::string ReplacementPath(std::string_view path) { return std::string(path) + ".neu"; }

void WriteReplacing(FileSystem& fs, std::string_view path, const std::function<void(File&)>& write) {
    const std::string temp = ReplacementPath(path);
    // What a write cut short left behind is no file of the program's.
    if (fs.FileExists(temp)) fs.Remove(temp);
    try {
        auto file = fs.Open(temp, OpenMode::Output);
        write(*file);
        file->Close();
        fs.Replace(temp, path);
    } catch (...) {
        try {
            if (fs.FileExists(temp)) fs.Remove(temp);
        } catch (...) {
            // The half-written file stays; the old one is whole all the same.
        }
        throw;
    }
}

void WriteReplacing(FileSystem& fs, std::string_view path, std::string_view bytes) {
    WriteReplacing(fs, path, [bytes](File& f) { f.Write(bytes); });
}

std::string ReadWhole(FileSystem& fs, std::string_view path) {
    auto file = fs.Open(path, OpenMode::Input);
    std::string bytes = file->ReadAt(0, static_cast<std::size_t>(file->Size()));
    file->Close();
    return bytes;
}

}  // namespace pavuto::host
