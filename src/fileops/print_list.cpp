#include "fileops/print_list.hpp"

#include <algorithm>

#include "common/numbers.hpp"
#include "fileops/file_messages.hpp"
#include "lists/directory_reader.hpp"
#include "lists/list_file.hpp"
#include "program.hpp"

namespace pavuto {

namespace {

constexpr int kLastPrintList = 100;

// One column of a line: padded with blanks to its width, never cut, and
// always followed by at least one blank, so that a name as long as the
// column does not run into the next one.
Text Column(const Text& text, int width) {
    if (static_cast<long>(text.size()) < width) return PadRight(text, width);
    return text + " ";
}

// Line j taken into line i as a further column: it becomes empty. A line
// that is not after i (or is gone) gives nothing, so no entry is printed
// twice or lost with its own line.
Text Take(std::vector<Text>& lines, std::size_t i, std::size_t j) {
    if (j <= i || j >= lines.size()) return {};
    Text taken = std::move(lines[j]);
    lines[j].clear();
    return taken;
}

int LongestAtLeastFive(const std::vector<Text>& texts) {
    std::size_t w = 5;
    for (const Text& t : texts) w = std::max(w, t.size());
    return static_cast<int>(w);
}

bool TakesEveryFile(const Text& listExtension) {
    const Text e = LCase(listExtension);
    return e == ".all" || e == ".alles" || e == ".*";
}

// The home directory's file of a name that starts with "\".
Text InHome(Program& p, const Text& name) {
    const Text home = p.settings.HomeDirectory();
    return EndsWith(home, "\\") ? home + Mid(name, 2) : home + name;
}

Text PrintListFile(int n) { return "\\Druckliste-" + Trim(NumberText(n)) + ".txt"; }

// The titles of the open list in list order, as the browser shows them in
// its display mode. Without duplicates or with only them, the record window
// is filled once from the first record with room for every entry, and is
// the browser's again afterwards.
std::vector<Text> OpenListTitles(Program& p) {
    auto& w = p.window;
    std::vector<Text> titles;
    if (w.ListDisplay == 0) {
        Attempt(p, [&] { titles = ListTitles(p, p.browser.CurrentListFile); });
        return titles;
    }
    const int keptFirst = w.FirstRecord, keptPageRows = p.con.PageRows;
    std::vector<Text> keptTitles = w.Titles, keptDirectories = w.Directories;
    std::fill(w.Titles.begin(), w.Titles.end(), kEmptySlot);
    w.FirstRecord = 1;
    p.con.PageRows = RecordLimit;
    Attempt(p, [&] { LoadWindow(p); });
    p.con.PageRows = keptPageRows;
    for (int i = 1; i < RecordLimit && w.Titles[static_cast<std::size_t>(i)] != kEmptySlot; ++i)
        titles.push_back(w.Titles[static_cast<std::size_t>(i)]);
    w.FirstRecord = keptFirst;
    w.Titles = std::move(keptTitles);
    w.Directories = std::move(keptDirectories);
    return titles;
}

void WritePrintList(Program& p, const std::vector<Text>& lines) {
    const Text name = PrintListName(p);
    const Text path = InHome(p, name);
    bool written = false;
    p.con.Locate(15, 7);
    {
        ArmedScope scope(p, ListWritingHandler(path));
        written = Attempt(p, [&] {
            host::WriteReplacing(p.files(), path, [&](host::File& out) {
                for (const Text& line : lines)
                    if (!Trim(line).empty()) out.WriteLine(line);
            });
        });
    }
    if (!written) return;
    p.con.ShowAt(15, 7, " fertig " + name);
    p.con.LineEnd();
    p.con.Pause(2000);
}

}  // namespace

std::vector<Text> ListPrintLines(const std::vector<Text>& titles, int columns) {
    const int w = LongestAtLeastFive(titles);
    // Index 0 unused, so that the line numbers are the entry numbers.
    std::vector<Text> lines(titles.size() + 2);
    for (std::size_t i = 0; i < titles.size(); ++i)
        lines[i + 1] = NumberText(static_cast<double>(i + 1)) + " " + titles[i];
    if (columns == 2) {
        for (std::size_t i = 1; i <= titles.size(); i += 2) lines[i] = Column(lines[i], w + 4) + Take(lines, i, i + 1);
    } else if (columns == 3) {
        for (std::size_t i = 1; i <= titles.size(); i += 3) {
            Text second = Take(lines, i, i + 1), third = Take(lines, i, i + 2);
            third = static_cast<long>(third.size()) < w ? PadRight(third, w) : third;
            lines[i] = Column(lines[i], w + 4) + Column(second, w + 4) + third;
        }
    }
    return lines;
}

std::vector<Text> DirectoryPrintLines(const std::vector<Text>& taken, int width, int columns) {
    const std::size_t k = taken.size();
    std::vector<Text> lines(k + 2);
    for (std::size_t i = 0; i < k; ++i) lines[i + 1] = taken[i];
    if (columns == 2) {
        // Down, then across: the second column starts after half the entries.
        const std::size_t half = k / 2;
        for (std::size_t i = 1; 2 * i <= k + 2; ++i) lines[i] = Column(lines[i], width) + Take(lines, i, half + i);
    } else if (columns == 3) {
        const std::size_t m = k / 3;
        for (std::size_t i = 1; i <= m + 1; ++i) {
            Text second = Take(lines, i, m + i + 1), third = Take(lines, i, 2 * m + i + 1);
            lines[i] = Column(lines[i], width + 2) + Column(second, width + 2) + third;
        }
    }
    return lines;
}

void TakeDirectoryEntries(const std::vector<Text>& entries, const std::vector<bool>& marked,
                          const Text& listExtension, std::vector<Text>& taken, int& width) {
    const bool everyFile = TakesEveryFile(listExtension);
    const bool onlyMarked = std::find(marked.begin(), marked.end(), true) != marked.end();
    const Text upperExtension = UCase(listExtension);
    std::vector<Text> names;
    taken.clear();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Text& e = entries[i];
        if (e.empty() || e == kEmptySlot || StartsWith(e, "..") || StartsWith(e, "<DIR>")) continue;
        if (e.size() >= 4 && e[3] == ':') continue;  // a drive
        const bool hasExtension = !upperExtension.empty() && EndsWith(UCase(e), upperExtension);
        if (!everyFile && !hasExtension) continue;
        if (onlyMarked && !(i < marked.size() && marked[i])) continue;
        names.push_back(e);
        taken.push_back(hasExtension ? Left(e, static_cast<long>(e.size() - listExtension.size())) : e);
    }
    width = LongestAtLeastFive(names);
}

Text PrintListName(Program& p) {
    for (int n = 0; n < kLastPrintList; ++n)
        if (!p.files().FileExists(InHome(p, PrintListFile(n)))) return PrintListFile(n);
    return PrintListFile(kLastPrintList);
}

void MakePrintList(Program& p, int columns) {
    auto& b = p.browser;
    if (b.ListOpen == 1) {
        WritePrintList(p, ListPrintLines(OpenListTitles(p), columns));
        return;
    }
    const int count = std::clamp(p.window.RecordCount, 0, RecordLimit);
    std::vector<Text> entries;
    std::vector<bool> marked;
    for (int i = 1; i <= count; ++i) {
        entries.push_back(p.window.Titles[static_cast<std::size_t>(i)]);
        const int mark = b.Marks[static_cast<std::size_t>(i)];
        marked.push_back(mark >= 1 && mark < b.MarkCounter);
    }
    std::vector<Text> taken;
    int width = 5;
    TakeDirectoryEntries(entries, marked, p.settings.listExtension, taken, width);
    if (taken.empty()) return;
    WritePrintList(p, DirectoryPrintLines(taken, width, columns));
    // The new file belongs to the listing when it shows the home directory.
    Attempt(p, [&] { ReadDirectoryView(p); });
}

void DeletePrintLists(Program& p) {
    auto& fs = p.files();
    for (int n = 0; n <= kLastPrintList; ++n) {
        const Text path = InHome(p, PrintListFile(n));
        Attempt(p, [&] {
            if (fs.FileExists(path)) fs.Remove(path);
        });
    }
    p.con.ShowAt(15, 7, "Alle Drucklisten (im Homepfad)gel\xF6scht.");
    p.con.Pause(2000);
    if (p.browser.ListOpen == 0) Attempt(p, [&] { ReadDirectoryView(p); });
}

}  // namespace pavuto
