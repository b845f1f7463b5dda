// The command interpreter (pavuto-cmd) on the batch lines the program writes
// for a selection, with file and directory names of arbitrary bytes. The
// files exist on a private drive C:; a stand-in records every program the
// interpreter would start instead of starting it. A name is data: the only
// program a name line may start is the opener with that file (or, for the
// entry under the cursor with a configured player, that player with one
// argument).
//
// Input: the first byte picks the form of the lines, the rest are entries
// "dir/dir/name", one a line.
//   0  directory view:      C:   cd "\dir"   "name"
//   1  list view:           the same lines in code page 850
//   2  entry under cursor:  C:   cd \dir     "name" (850)
//   3  ... with a player:   C:   cd \dir     "P:\player" "name" (850)
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/runtime_error.hpp"
#include "common/text.hpp"
#include "console/console.hpp"
#include "fuzz_check.hpp"
#include "host/posix/command_interpreter.hpp"
#include "host/posix/host_playlist.hpp"
#include "support/test_host.hpp"

using namespace pavuto;
using namespace pavuto::host::posix;
using fuzz::Visible;
namespace fs = std::filesystem;

namespace {

class RecordedStarts : public PosixProcesses {
public:
    using PosixProcesses::PosixProcesses;
    std::vector<Launch> runs;
    std::map<std::string, std::string> copies;  // host-form copy -> the playlist it was made of
    void Run(const Launch& launch, host::WindowStyle, bool) override { runs.push_back(launch); }
    std::string ForOutsideProgram(const std::string& hostPath) override {
        std::string handed = PosixProcesses::ForOutsideProgram(hostPath);
        FUZZ_CHECK(handed == hostPath || IsPlaylistName(hostPath), "a copy of " + Visible(hostPath) + ", no playlist");
        if (handed != hostPath) copies[handed] = hostPath;
        return handed;
    }
    // The file a program was given: a playlist for its copy.
    std::string Original(const std::string& handed) const {
        auto it = copies.find(handed);
        return it == copies.end() ? handed : it->second;
    }
};

struct Entry {
    std::vector<Text> parts;  // directories, then the file name (Windows-1252)
    std::string hostPath;
};

bool UsableName(const Text& part) {
    if (part.empty() || part == "." || part == ".." || part.size() > 80) return false;
    for (char c : part)
        if (c == '\0' || c == '\\' || c == '/' || c == '\r' || c == '\n') return false;
    return true;
}

void MakeExecutable(const fs::path& path) {
    std::ofstream(path) << "#!/bin/sh\nexit 0\n";
    fs::permissions(path, fs::perms::owner_all);
}

// Whether a written name part may stand for a file's: the same name without
// regard to case, as the drives compare names; in code page 850 two names
// that the conversion makes one can no longer be told apart.
bool MayBe(const Text& found, const Text& written, bool converted) {
    if (UCase(found) == UCase(written)) return true;
    return converted && UCase(ConvertForConsole(found)) == UCase(ConvertForConsole(written));
}

std::string Describe(const Launch& l) {
    std::string out = Visible(l.program) + " with";
    for (size_t i = 1; i < l.arguments.size(); ++i) out += " [" + Visible(l.arguments[i]) + "]";
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const int form = data[0] % 4;
    const bool converted = form != 0;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

    test::TempDir root;
    const fs::path c = root.path() / "c", p = root.path() / "p", bin = root.path() / "bin";
    fs::create_directories(c);
    fs::create_directories(p);
    fs::create_directories(bin);
    MakeExecutable(bin / "xdg-open");
    MakeExecutable(p / "player");
    const std::string opener = (bin / "xdg-open").string(), player = (p / "player").string();

    PosixFileSystem files{DriveMap{{{'C', c.string()}, {'P', p.string()}}}};

    // The files of the selection, made through the program's own file system.
    std::vector<Entry> entries;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line) && entries.size() < 16;) {
        Entry e;
        std::istringstream parts(line);
        bool usable = true;
        for (std::string part; std::getline(parts, part, '/');) {
            usable = usable && UsableName(part) && e.parts.size() < 4;
            e.parts.push_back(part);
        }
        if (!usable || e.parts.empty()) continue;
        Text path = "C:";
        try {
            for (size_t i = 0; i + 1 < e.parts.size(); ++i) {
                path += "\\" + e.parts[i];
                if (!files.DirectoryExists(path)) files.MakeDirectory(path);
            }
            path += "\\" + e.parts.back();
            files.Open(path, host::OpenMode::Output)->Close();
            if (!files.FileExists(path)) continue;
            e.hostPath = files.HostPath(path);
        } catch (const RuntimeError&) {
            continue;  // a name the file system does not take (too long, a file where a directory should be)
        }
        entries.push_back(e);
    }
    if (entries.empty()) return 0;
    std::set<std::string> created;
    for (const auto& e : entries) created.insert(e.hostPath);

    RecordedStarts starts{files, nullptr, bin.string()};
    std::ostringstream out, errors;
    std::vector<std::string> environment = {"PATH=" + bin.string() + ":/usr/bin:/bin",
                                            "HOME=" + (root.path() / "home").string(),
                                            "TMPDIR=" + root.path().string()};
    CommandInterpreter interpreter{files, starts, environment, bin.string(), out, errors};
    auto conv = [converted](const Text& t) { return converted ? ConvertForConsole(t) : t; };

    interpreter.RunLine("@echo off");
    for (const Entry& e : entries) {
        Text dir;
        for (size_t i = 0; i + 1 < e.parts.size(); ++i) dir += "\\" + e.parts[i];
        if (dir.empty()) dir = "\\";
        const Text& name = e.parts.back();
        std::vector<Text> batch;
        batch.push_back(conv("C:"));
        if (form <= 1) batch.push_back(conv("cd \"" + dir + "\""));
        else batch.push_back("cd " + dir);
        if (form == 3) batch.push_back(conv("\"P:\\player\" \"" + name + "\""));
        else batch.push_back(conv("\"" + name + "\""));

        for (size_t k = 0; k < batch.size(); ++k) {
            size_t before = starts.runs.size();
            interpreter.RunLine(batch[k]);
            size_t now = starts.runs.size();
            const std::string where = "line " + Visible(batch[k]) + " started ";
            if (k + 1 < batch.size()) {
                FUZZ_CHECK(now == before, where + Describe(starts.runs.back()));
                continue;
            }
            FUZZ_CHECK(now <= before + 1, where + "more than one program");
            if (form == 0) FUZZ_CHECK(now == before + 1, where + "nothing; " + Visible(errors.str()));
            if (now == before) continue;
            const Launch& l = starts.runs.back();
            if (form == 3) {
                FUZZ_CHECK(l.program == player && l.arguments.size() == 2, where + Describe(l));
                continue;
            }
            FUZZ_CHECK(l.program == opener && l.arguments.size() == 2, where + Describe(l));
            const std::string target = starts.Original(l.arguments[1]);
            if (form == 0) {
                FUZZ_CHECK(target == e.hostPath, where + Describe(l) + " instead of " + Visible(e.hostPath));
                continue;
            }
            FUZZ_CHECK(created.count(target) > 0, where + Describe(l) + ", a file not in the selection");
            // Which file of the selection: one whose parts the written ones may stand for.
            bool mayBe = false;
            for (const Entry& other : entries) {
                if (other.hostPath != target || other.parts.size() != e.parts.size()) continue;
                bool all = true;
                for (size_t i = 0; i < e.parts.size(); ++i) all = all && MayBe(other.parts[i], e.parts[i], converted);
                mayBe = mayBe || all;
            }
            FUZZ_CHECK(mayBe, where + Describe(l) + " instead of " + Visible(e.hostPath));
        }
    }
    return 0;
}
