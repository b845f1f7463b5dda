#include "lists/builder.hpp"

#include <algorithm>
#include <vector>

#include "common/numbers.hpp"
#include "config/list_config.hpp"
#include "errors/errors.hpp"
#include "lists/directory_reader.hpp"
#include "lists/performer.hpp"
#include "lists/sort.hpp"
#include "program.hpp"

namespace pavuto {

namespace {

using host::OpenMode;

const Text kNoMoreDirectories = "        keine weiteren verzeichnisse ";

void RemoveIfExists(host::FileSystem& fs, const Text& path) {
    if (!path.empty() && fs.FileExists(path)) fs.Remove(path);
}

Text ListExtension(Program& p) {
    return p.listConfig.extension.empty() ? p.settings.listExtension : p.listConfig.extension;
}

// 1-based position of an upper-case text in s compared in upper case, 0 when absent.
long FindUpper(std::string_view s, std::string_view upperNeedle) {
    if (upperNeedle.empty() || upperNeedle.size() > s.size()) return 0;
    for (std::size_t i = 0; i + upperNeedle.size() <= s.size(); ++i) {
        std::size_t k = 0;
        while (k < upperNeedle.size() && UpperChar(s[i + k]) == upperNeedle[k]) ++k;
        if (k == upperNeedle.size()) return static_cast<long>(i) + 1;
    }
    return 0;
}

// A name the list cannot hold: shown in the status line, then left out.
void SkipTooLong(Program& p, const Text& name) {
    auto& con = p.con;
    con.ClearMenuArea();
    long room = std::max(10, con.ScreenColumns - 40);
    con.ShowAt(con.ScreenRows - 4, 7, "Name zu lang, \xFC" "bergangen: " + Left(name, room) + "...");
    con.Pause(1000);
}

// Changes to the drive of a search path, to its root, and then into the
// directories of the path one at a time, and reads the directory's files.
// False when it cannot be entered or read (the message has been shown).
bool EnterAndReadSearchPath(Program& p, const Text& path) {
    auto& fs = p.files();
    ArmedScope scope(p, [path](Program& q, const RuntimeError&) {
        PrepareMessage(q);
        q.con.Show("wechsel nach '" + path + "' nicht m\xF6glich.", 0);
        q.con.Pause(3000);
        return Continuation::Skip();
    });
    return Attempt(p, [&] {
               fs.ChangeDrive(Left(path, 2));
               fs.ChangeDirectory("\\");
               Text rest = Mid(path, 4);
               long start = 1;
               while (start <= static_cast<long>(rest.size())) {
                   long end = Instr(rest, "\\", start);
                   if (end == 0) end = static_cast<long>(rest.size()) + 1;
                   Text part = Mid(rest, start, end - start);
                   if (!part.empty()) fs.ChangeDirectory(part);
                   start = end + 1;
               }
           }) &&
           Attempt(p, [&] { ReadDirectoryFiles(p); });
}

void DeleteDerivedFiles(Program& p) {
    auto& fs = p.files();
    const Text& list = p.listConfig.listFilePath;
    long pos = InstrRev(LCase(list), ".pavuto");
    if (list.empty() || pos == 0) return;
    Text base = Left(list, pos - 1);
    RemoveIfExists(fs, base + ".pavuto-rnd");
    RemoveIfExists(fs, base + "_ohne Nr.pavuto");
    RemoveIfExists(fs, base + "_ohne Nr.tmp");
}

}  // namespace

void ReturnToStart(Program& p) {
    auto& fs = p.files();
    const auto& s = p.settings;
    if (!s.startDrive.empty()) fs.ChangeDrive(s.startDrive);
    if (!s.startDirectory.empty()) fs.ChangeDirectory(s.startDrive + s.startDirectory);
}

namespace {

// Leaves the work files in the temp directory as the last directory read made them.
void WriteWorkFiles(Program& p) {
    auto& fs = p.files();
    auto& work = p.window.work;
    if (!work.pending) return;
    const Text titlesPath = p.settings.tempDirectory + "Titel.tmp";
    const Text playlistPath = p.settings.tempDirectory + "playlist.m3u";
    RemoveIfExists(fs, titlesPath);
    RemoveIfExists(fs, playlistPath);
    if (work.titlesExist) {
        auto f = fs.Open(titlesPath, OpenMode::Output);
        f->Write(work.titles);
        f->Close();
    }
    if (work.playlistExists) {
        auto f = fs.Open(playlistPath, OpenMode::Output);
        f->Write(work.playlist);
        f->Close();
    }
    work.pending = false;
}

}  // namespace

void ReadDirectoryIntoList(Program& p) {
    auto& fs = p.files();
    auto& lc = p.listConfig;
    auto& w = p.window;
    auto& con = p.con;
    auto& work = w.work;
    const int R = con.ScreenRows;
    const Text ext = ListExtension(p);
    const Text config = p.browser.CurrentListConfiguration;
    // Outside a rebuild the work files are written when this directory is done.
    struct Flush {
        Program& p;
        ~Flush() {
            if (!p.window.work.deferred) {
                try {
                    WriteWorkFiles(p);
                } catch (const RuntimeError&) {
                    // Work files that cannot be written only mean nothing to the list.
                }
            }
        }
    } flush{p};

    work.pending = true;
    work.titlesExist = false;  // Titel.tmp of the directory before is gone
    work.titles.clear();
    // The directory text: without drive and without the first "\".
    const Text dir = Mid(fs.CurrentDirectory(), 4);
    if (static_cast<long>(dir.size()) + 6 > kMaxWidth) {
        SkipTooLong(p, dir);
        return;
    }
    if (static_cast<long>(dir.size()) + 6 > lc.MAXDLDIR) {
        lc.MAXDLDIR = static_cast<int>(dir.size()) + 6;
        UpdateWidth(fs, config, "MAXDLDIR=", lc.MAXDLDIR);
        con.ClearMenuArea();
        con.ShowAt(R - 4, 7, "Datenl\xE4nge (verzeichnisse) angepasst.");
        con.KeyText = "nochmal";
        con.Pause(500);
        return;
    }

    work.titlesExist = work.playlistExists = true;
    work.playlist.clear();
    const int listed = w.RecordCount;
    const bool nothingListed = listed >= 2 && w.Titles[2] == kNoMoreDirectories;
    int matching = 0;
    for (int slot = 1; slot <= listed && !nothingListed; ++slot) {
        const Text& e = w.Titles[static_cast<std::size_t>(slot)];
        if (e == ".." || e.size() < 2 || StartsWith(e, "<DIR>")) continue;
        if (!EndsWithNoCase(e, ext)) continue;
        // A line end inside a name would split its record in two.
        if (e.find_first_of("\r\n") != Text::npos) continue;
        if (static_cast<long>(e.size()) + 2 > kMaxWidth) {
            SkipTooLong(p, e);
            continue;
        }
        if (static_cast<long>(e.size()) > lc.MAXDL) {
            con.ClearMenuArea();
            con.ShowAt(R - 4, 7, "Dateinamenl\xE4nge ist gr\xF6\xDF" "er als vorgesehenen.");
            lc.MAXDL = static_cast<int>(e.size()) + 2;
            UpdateWidth(fs, config, "MAXDL=", lc.MAXDL);
            con.ShowAt(R - 3, 7, "Datenl\xE4nge (Dateinamen) angepasst.");
            con.KeyText = "nochmal";
            con.Pause(1000);
            return;
        }
        work.playlist += e + "\r\n";
        work.titles += PadRight(e, lc.MAXDL) + "\t>" + dir + "\r\n";
        ++matching;
    }
    if (matching == 0) {
        work.playlistExists = false;  // the directory contributes nothing
        return;
    }

    // Relative list paths belong to the directory the configuration was read in.
    const Text& own = w.SearchPaths[0];
    if (own.empty()) {
        fs.ChangeDirectory("..");
    } else {
        fs.ChangeDrive(Left(own, 2));
        fs.ChangeDirectory(own);
    }

    auto list = fs.Open(work.newList.empty() ? lc.listFilePath : work.newList, OpenMode::Append);
    std::unique_ptr<host::File> performers;
    if (lc.NURNAMENSLISTE == 0 && !lc.performerListPath.empty())
        performers = fs.Open(work.newList.empty() ? lc.performerListPath : work.newPerformers, OpenMode::Append);
    const Text upperExt = UCase(ext);
    long written = 0;
    std::size_t at = 0;
    for (int c = 1; at < work.titles.size(); ++c) {
        std::size_t end = work.titles.find("\r\n", at);
        Text line = work.titles.substr(at, end - at);
        at = end + 2;
        // The padded name has MAXDL characters and the TAB stands behind
        // it: a file name may hold a TAB of its own.
        Text padded = Left(line, lc.MAXDL);
        Text directoryField = PadRight(Mid(line, lc.MAXDL + 2) + "<", lc.MAXDLDIR);
        if (c >= 32000) {
            con.PrintNumber(32000);
            con.Show(" Datens\xE4tze erreicht.", 1);
            con.WaitForInput();
            break;
        }
        long q = FindUpper(padded, upperExt);
        if (q == 0 || q > lc.MAXDL) q = lc.MAXDL;
        list->Write(Left(padded, q - 1) + Spaces(lc.MAXDL - q) + directoryField + "\r\n");
        ++written;
        if (lc.NURNAMENSLISTE == 0 && performers) {
            Text performer = PerformerText(padded, lc.MAXDL, ext);
            if (!performer.empty()) performers->Write(performer + directoryField + "\r\n");
        }
    }
    list->Close();
    if (performers) performers->Close();
    // The new list began empty: its lines are the ones appended since.
    w.builtRecords += written;
    w.RecordCount = static_cast<int>(std::min<long>(w.builtRecords, 32000));
}

namespace {

void CreateEmpty(host::FileSystem& fs, const Text& path) {
    auto f = fs.Open(path, OpenMode::Output);
    f->Close();
}

// The new files of a rebuild, removed when it does not come to its end.
struct NewFiles {
    Program& p;
    bool done = false;
    explicit NewFiles(Program& q) : p(q) {}
    ~NewFiles() {
        auto& work = p.window.work;
        if (!done) {
            for (const Text& path : {work.newList, work.newPerformers}) {
                try {
                    RemoveIfExists(p.files(), path);
                } catch (const RuntimeError&) {
                    // Left behind beside the list, which is whole all the same.
                }
            }
        }
        work.newList.clear();
        work.newPerformers.clear();
    }
};

// Reads every search path into the new files. False when the configuration
// names no list.
bool BuildNewFiles(Program& p, const Text& configPath) {
    auto& fs = p.files();
    auto& lc = p.listConfig;
    auto& w = p.window;
    auto& con = p.con;
    const int R = con.ScreenRows;
    // Widths that grew in this rebuild stay, even when the configuration
    // could not take them: every restart then makes progress.
    int grownTitle = 0, grownDirectory = 0;
    while (true) {
        // A configuration without a list name has nothing to build; the list
        // file path left from the list read before belongs to another list.
        bool named = ReadListConfiguration(p, configPath);
        ReadSearchPaths(p, configPath);
        lc.MAXDL = std::max(lc.MAXDL, grownTitle);
        lc.MAXDLDIR = std::max(lc.MAXDLDIR, grownDirectory);
        if (!named || lc.listFilePath.empty()) {
            lc.listFilePath.clear();
            lc.performerListPath.clear();
            return false;
        }
        // The list being rebuilt stays as it is until the new one is
        // complete and sorted.
        w.work.newList = host::ReplacementPath(lc.listFilePath);
        CreateEmpty(fs, w.work.newList);
        w.work.newPerformers.clear();
        if (lc.NURNAMENSLISTE == 0 && !lc.performerListPath.empty()) {
            w.work.newPerformers = host::ReplacementPath(lc.performerListPath);
            CreateEmpty(fs, w.work.newPerformers);
        }
        w.builtRecords = 0;
        w.RecordCount = 0;

        bool again = false;
        for (int i = 1; i <= w.SearchPathCount && !w.SearchPaths[static_cast<std::size_t>(i)].empty(); ++i) {
            const Text path = w.SearchPaths[static_cast<std::size_t>(i)];
            if (!EnterAndReadSearchPath(p, path)) continue;
            con.ShowAt(R - 3, 5, "Lese Daten von :" + Spaces(60));
            con.ShowAt(R - 3, 5, "Lese Daten von :" + Left(path, 60));
            con.Locate(R - 2, 7);
            ReadDirectoryIntoList(p);
            if (con.KeyText == "nochmal") {
                grownTitle = lc.MAXDL;
                grownDirectory = lc.MAXDLDIR;
                ReturnToStart(p);
                con.KeyText = "a";
                again = true;
                break;
            }
        }
        if (!again) return true;
    }
}

}  // namespace

void BuildFromConfiguration(Program& p, const Text& configPath) {
    auto& fs = p.files();
    auto& lc = p.listConfig;
    if (configPath.empty() || !fs.FileExists(configPath)) {
        ReadSearchPaths(p, configPath);  // tells the user and waits
        SortNewLists(p, {}, {});
        return;
    }
    // The work files are written once, when the rebuild ends (however it ends).
    struct Deferred {
        Program& p;
        explicit Deferred(Program& q) : p(q) { p.window.work.deferred = true; }
        ~Deferred() {
            p.window.work.deferred = false;
            try {
                WriteWorkFiles(p);
            } catch (const RuntimeError&) {
                // Work files that cannot be written only mean nothing to the list.
            }
        }
    } deferred(p);
    NewFiles made(p);
    if (!BuildNewFiles(p, configPath)) {
        SortNewLists(p, {}, {});
        return;
    }
    const Text newList = p.window.work.newList, newPerformers = p.window.work.newPerformers;
    SortNewLists(p, newList, newPerformers);
    if (fs.FileSize(newList) == 0) {
        // Nothing found: no list file, as for a list never built.
        RemoveIfExists(fs, lc.listFilePath);
        RemoveIfExists(fs, newList);
    } else {
        fs.Replace(newList, lc.listFilePath);
    }
    if (!newPerformers.empty() && fs.FileSize(newPerformers) > 0)
        fs.Replace(newPerformers, lc.performerListPath);
    else
        RemoveIfExists(fs, lc.performerListPath);
    RemoveIfExists(fs, newPerformers);
    made.done = true;
    DeleteDerivedFiles(p);
}

void RebuildList(Program& p) {
    BuildFromConfiguration(p, p.browser.CurrentListConfiguration);
    ReturnToStart(p);
    p.con.WaitForInput();
}

void ScanDrive(Program& p) {
    auto& fs = p.files();
    auto& con = p.con;
    const int R = con.ScreenRows;
    const Text ext = p.settings.listExtension;
    auto backToDirectoryView = [&p] {
        p.browser.ListOpen = 0;
        ReturnToStart(p);
    };

    ReturnToStart(p);
    con.Clear();
    const Text prompt = "Geben sie das zu durchsuchende Lw ein: _";
    con.ShowAt(6, 7, prompt);
    con.WaitForInput();
    const Text key = con.KeyText;
    if (key.empty() || static_cast<unsigned char>(UpperChar(key[0])) < 33) return backToDirectoryView();
    const Text letter = key.substr(0, 1);
    const Text drive = letter + ":";
    con.Locate(6, 7 + static_cast<int>(prompt.size()) - 1);
    con.Show(drive + " Bitte warten...", 0);
    con.Present();

    std::vector<Text> dirs;
    std::vector<Text> kept;
    {
        // Drives and directories that cannot be read are passed over.
        ArmedScope scope(p, [](Program& q, const RuntimeError&) {
            q.con.KeyText.clear();
            return Continuation::Skip();
        });
        std::vector<host::DirEntry> root;
        if (!Attempt(p, [&] { root = fs.List(drive + "\\"); }) || root.empty()) return backToDirectoryView();
        if (!Attempt(p, [&] {
                fs.ChangeDrive(drive);
                fs.ChangeDirectory("\\");
            }))
            return backToDirectoryView();

        // Breadth first: every directory of the drive, at most 32000.
        dirs.push_back(drive);
        for (std::size_t j = 0; j < dirs.size(); ++j) {
            std::vector<host::DirEntry> entries;
            if (!Attempt(p, [&] { entries = fs.List(dirs[j] + "\\"); })) continue;
            for (const auto& e : entries)
                if (e.directory && dirs.size() < 32000) dirs.push_back(dirs[j] + "\\" + e.name);
        }
        con.PrintNumberAt(8, 7, static_cast<double>(dirs.size()));
        con.Show("Verzeichnisse gefunden. \xDC" "berpr\xFC" "fe jetzt auf " + ext + "'s", 1);

        for (const auto& d : dirs) {
            std::vector<host::DirEntry> found;
            if (!Attempt(p, [&] { found = fs.List(d + "\\", "*" + ext); })) continue;
            bool has = std::any_of(found.begin(), found.end(), [&](const host::DirEntry& e) {
                return !e.directory && EndsWithNoCase(e.name, ext);
            });
            if (has) kept.push_back(d);
        }
    }
    std::sort(kept.begin(), kept.end());
    con.PrintNumberAt(10, 7, static_cast<double>(kept.size()));
    con.Show(" Verzeichnisse mit " + ext + " gefunden.", 1);
    if (kept.empty()) {
        con.WaitForInput();
        return backToDirectoryView();
    }

    con.ShowAt(12, 7, " Listenbezeichnung eingeben (abbrechen mit ESC).");
    const Text namePrompt = " Listenbezeichnung :_";
    con.ShowAt(R - 3, 5, namePrompt);
    con.WaitForInput();
    const Text first = con.KeyText;
    if (first == "\x1b") return backToDirectoryView();
    const Text defaultName = "[" + (StartsWith(ext, ".") ? Mid(ext, 2) : ext) + " Lw-" + letter + "]";
    Text name = defaultName;
    if (first.size() == 1 && static_cast<unsigned char>(first[0]) >= 32) {
        con.Locate(R - 3, 5 + static_cast<int>(namePrompt.size()) - 1);
        con.Show(first, 1);
        Text rest = con.InputLine();
        if (!rest.empty()) name = first + rest;
    }

    const Text path = HomeConfigurationPath(p, name);
    std::vector<Text> searchPaths;
    searchPaths.reserve(kept.size());
    for (const auto& d : kept) searchPaths.push_back(d + "\\");
    // An existing configuration of that name is replaced only by a complete new one.
    if (!Attempt(p, [&] { CreateListConfiguration(p, path, searchPaths, ConfigHeader::DriveScan); }))
        return backToDirectoryView();
    p.browser.CurrentListConfiguration = path;

    BuildFromConfiguration(p, path);
    con.WaitForInput();
    backToDirectoryView();
}

}  // namespace pavuto
