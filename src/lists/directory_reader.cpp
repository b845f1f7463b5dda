#include "lists/directory_reader.hpp"

#include <algorithm>

#include "common/numbers.hpp"
#include "lists/collation.hpp"
#include "lists/list_file.hpp"
#include "program.hpp"

namespace pavuto {

namespace {

constexpr int kLastListingSlot = 31999;  // entries are added while the next slot is below 32000
const Text kDirPrefix = "<DIR> ";

// The current directory as the browser's current path: with a final "\".
Text CurrentPath(Program& p) {
    Text path = p.files().CurrentDirectory();
    if (!EndsWith(path, "\\")) path += "\\";
    if (!StartsWith(path, "\\") && !(path.size() >= 2 && path[1] == ':')) path = "\\" + path;
    return path;
}

bool EndsWithLower(const Text& lowerName, const Text& ending) {
    return !ending.empty() && EndsWith(lowerName, LCase(ending));
}

bool KeptInView(Program& p, const Text& entry) {
    Text lower = LCase(entry);
    if (StartsWith(lower, "<dir>") || (lower.size() >= 4 && lower[3] == ':') || EndsWith(lower, ".pavuto") ||
        lower == "..")
        return true;
    const auto& table = p.settings.extensions;
    if (p.browser.DeleteAllowed == 0) {
        if (EndsWithLower(lower, p.settings.listExtension)) return true;
        for (int i = 1; i <= 20; ++i)
            if (EndsWithLower(lower, table[static_cast<std::size_t>(i)])) return true;
        return false;
    }
    if (EndsWith(lower, ".config")) return true;
    for (int i = 1; i <= 20; ++i) {
        const Text& e = table[static_cast<std::size_t>(i)];
        if (e.empty() || EndsWith(lower, LCase(e))) return true;  // an empty entry keeps every file
    }
    return false;
}

// ".." first, then the directories, then the files, each group through the
// collation table; empty slots last.
int Group(const Text& entry) {
    if (entry == kEmptySlot) return 3;
    if (entry == "..") return 0;
    if (StartsWith(entry, kDirPrefix)) return 1;
    return 2;
}

// The performer form of a directory entry, for the print lists of a directory.
Text PerformerForm(const Text& t) {
    long pos = Instr(t, " - ");
    if (pos > 0) {
        Text after = Mid(t, pos + 3);
        Text form = Left(after, static_cast<long>(after.size()) - 4) + " - " + Left(t, pos);
        if (UCase(Left(form, 4)) == "THE ") form = Mid(form, 5);
        return form;
    }
    if (t.size() < 2) return kEmptySlot;
    if (t == "..") return {};
    return "\xFE - " + Left(t, static_cast<long>(t.size()) - 4);
}

// Names the program's text cannot carry are left out: shown, they would
// name no file. The status line tells of the first one.
std::vector<host::DirEntry> ReadableEntries(Program& p, const Text& path) {
    auto entries = p.files().List(path, "*.*");
    auto unreadable = std::stable_partition(entries.begin(), entries.end(),
                                            [](const host::DirEntry& e) { return e.exact; });
    if (unreadable != entries.end()) {
        auto& con = p.con;
        const long room = std::max(10, con.ScreenColumns - 40);
        con.ClearMenuArea();
        con.ShowAt(con.ScreenRows - 4, 7, "Name nicht lesbar, \xFC" "bergangen: " + Left(unreadable->name, room) + "...");
        con.Pause(1000);
        entries.erase(unreadable, entries.end());
    }
    return entries;
}

// Entries the slots could not take are not dropped without a word: the
// status line tells how many.
void ReportLeftOut(Program& p, long count) {
    if (count <= 0) return;
    auto& con = p.con;
    con.ClearMenuArea();
    con.ShowAt(con.ScreenRows - 4, 7, "Zu viele Eintr\xE4ge, \xFC" "bergangen:" + NumberText(static_cast<double>(count)));
    con.Pause(2000);
}

}  // namespace

void ReadDirectoryView(Program& p) {
    auto& w = p.window;
    auto& b = p.browser;
    for (auto& t : w.Titles)
        if (t != kEmptySlot) t = kEmptySlot;
    for (auto& d : w.Directories)
        if (!d.empty()) d.clear();
    std::fill(b.Marks.begin(), b.Marks.end(), 0);

    Text path = CurrentPath(p);
    b.CurrentListFile = path;
    bool atRoot = path.size() <= 3;

    int slot = 0;
    if (!atRoot) w.Titles[static_cast<std::size_t>(++slot)] = "..";
    auto entries = ReadableEntries(p, path);
    long leftOut = 0;
    for (const auto& e : entries) {
        if (e.directory) continue;
        if (slot < kLastListingSlot) w.Titles[static_cast<std::size_t>(++slot)] = e.name;
        else ++leftOut;
    }
    for (const auto& e : entries) {
        if (!e.directory) continue;
        if (slot < kLastListingSlot) w.Titles[static_cast<std::size_t>(++slot)] = kDirPrefix + e.name;
        else ++leftOut;
    }
    ReportLeftOut(p, leftOut);

    for (int i = 1; i <= slot; ++i) {
        Text& t = w.Titles[static_cast<std::size_t>(i)];
        if (!KeptInView(p, t)) t = kEmptySlot;
    }
    const CollationTable& table = Collation(p);
    std::sort(w.Titles.begin() + 1, w.Titles.begin() + 1 + slot, [&table](const Text& a, const Text& c) {
        int ga = Group(a), gc = Group(c);
        if (ga != gc) return ga < gc;
        return CollateLess(table, a, c);
    });
    int count = 0;
    while (count < slot && w.Titles[static_cast<std::size_t>(count + 1)] != kEmptySlot) ++count;

    if (atRoot) {
        for (char letter = 'A'; letter <= 'Z' && count < RecordLimit; ++letter)
            w.Titles[static_cast<std::size_t>(++count)] = Text("\xAF ") + letter + ":";
        b.PageTop = 1;
        b.CursorOffset = 0;
    }
    w.RecordCount = count;

    for (int i = 1; i <= count; ++i)
        w.Directories[static_cast<std::size_t>(i)] = PerformerForm(w.Titles[static_cast<std::size_t>(i)]);
}

void ReadDirectoryFiles(Program& p) {
    auto& w = p.window;
    Text path = CurrentPath(p);
    int slot = 0;
    if (path.size() > 3) w.Titles[static_cast<std::size_t>(++slot)] = "..";
    long leftOut = 0;
    for (const auto& e : ReadableEntries(p, path)) {
        if (e.directory) continue;
        if (slot < kLastListingSlot) w.Titles[static_cast<std::size_t>(++slot)] = e.name;
        else ++leftOut;
    }
    ReportLeftOut(p, leftOut);
    w.Titles[static_cast<std::size_t>(slot + 1)] = kEmptySlot;
    w.RecordCount = slot;
}

}  // namespace pavuto
