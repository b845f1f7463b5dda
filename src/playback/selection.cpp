#include "playback/selection.hpp"

#include <algorithm>
#include <cmath>
#include <random>
#include <utility>
#include <vector>

#include "common/numbers.hpp"
#include "config/list_config.hpp"
#include "console/console.hpp"
#include "lists/list_file.hpp"
#include "playback/player.hpp"
#include "program.hpp"

namespace pavuto {

namespace {

using host::OpenMode;
using host::WindowStyle;

bool IsOneOf(const Text& value, std::initializer_list<const char*> list) {
    for (const char* item : list)
        if (value == item) return true;
    return false;
}

bool IsDocumentOrPicture(const Text& upperExtension) {
    return IsOneOf(upperExtension,
                   {".TXT", ".DOC", ".XLS", ".PDF", ".WRI", ".JPG", ".BMP", ".PNG", ".PCX", ".PIC"});
}

bool IsKnownMedia(const Text& lowerExtension) {
    return IsOneOf(lowerExtension, {".mpc", ".wav", ".ape", ".mp3", ".mpg", ".avi", ".mp4"});
}

// A file entry of the directory view (not a directory, the parent, a drive
// or an empty slot).
bool IsFileEntry(const Text& entry) {
    if (entry.empty() || entry == kEmptySlot) return false;
    if (Instr(entry, "<DIR> ") > 0 || entry == "..") return false;
    return !EndsWith(entry, ":");
}

Text CommandInterpreter(Program& p) {
    Text value;
    for (const Text& entry : p.host.environment.Block())
        if (EnvironmentValue(entry, "COMSPEC", value)) return value;
    return {};
}

Text& TitleAt(Program& p, int i) { return p.window.Titles[static_cast<std::size_t>(i)]; }
int& MarkAt(Program& p, int i) { return p.browser.Marks[static_cast<std::size_t>(i)]; }
int Entries(Program& p) { return std::clamp(p.window.RecordCount, 0, RecordLimit); }

// "Song - Band" and "Song - The Band" for a title "Band - Song" (the
// separator after the first character); none otherwise.
std::vector<Text> RebuiltNames(const Text& title, const Text& extension) {
    long k = Instr(title, " - ");
    if (k <= 1) return {};
    Text before = Left(title, k - 1), after = Mid(title, k + 3);
    return {after + " - " + before + extension, after + " - The " + before + extension};
}

// The directory of a path without drive and without trailing backslash; the
// root stays "\" so that the batch file changes to it.
Text DirectoryWithoutDrive(const Text& directory) {
    Text dir = Mid(directory, 3);
    if (dir.size() > 1 && EndsWith(dir, "\\")) dir.pop_back();
    if (dir.empty()) dir = "\\";
    return dir;
}

// The three batch lines of one file: to its drive and directory, then the
// file opened by its association, or by the external player where one is set
// (the line display modes 1 and 2 write), so that a batch selection never
// goes to a player as a file of its own.
void WriteBatchEntry(host::File& out, const Text& directory, const Text& fileName, bool convert, const Text& player) {
    auto conv = [convert](const Text& t) { return convert ? ConvertForConsole(t) : t; };
    out.WriteLine(conv(Left(directory, 2)));
    out.WriteLine(conv("cd \"" + DirectoryWithoutDrive(directory) + "\""));
    out.WriteLine(conv(player.empty() ? "\"" + fileName + "\"" : "\"" + player + "\" \"" + fileName + "\""));
}

// Title and directory field of a record text.
std::pair<Text, Text> SplitRecord(const Text& record) {
    long gt = Instr(record, ">");
    if (gt <= 1) return {RTrim(record), Text()};
    long lt = Instr(record, "<", gt + 1);
    Text dir = lt > 0 ? Mid(record, gt + 1, lt - gt - 1) : Mid(record, gt + 1);
    return {RTrim(Left(record, gt - 1)), dir};
}

// The list's own settings apply when its entries are called: its
// configuration keys and its search paths.
void LoadListSettings(Program& p) {
    auto& fs = p.files();
    Text config = ListConfigurationFor(p, p.browser.CurrentListFile);
    if (fs.FileExists(config)) {
        ReadListConfiguration(p, config);
        ReadSearchPaths(p, config);
        return;
    }
    for (auto& s : p.window.SearchPaths) s.clear();
    p.window.SearchPathCount = 0;
}

// Display modes 1 and 2: only the entry under the cursor.
SelectionOutcome RunCurrentEntry(Program& p, SelectionKind kind, const Text& selectionFile) {
    auto& w = p.window;
    auto& fs = p.files();
    const Text& ext = p.settings.listExtension;
    int slot = w.FirstRecord + p.browser.CursorOffset;
    if (slot < 1 || slot > RecordLimit) return SelectionOutcome::NothingMarked;
    const Text title = TitleAt(p, slot);
    const Text needle = "\\" + w.Directories[static_cast<std::size_t>(slot)] + "\\";
    Text directory, fileName;
    for (int j = 1; j <= w.SearchPathCount; ++j) {
        const Text& path = w.SearchPaths[static_cast<std::size_t>(j)];
        if (InstrNoCase(path, needle) == 0) continue;
        // Only the first search path of the entry's directory is looked at.
        std::vector<Text> names{title + ext};
        for (const Text& n : RebuiltNames(title, ext)) names.push_back(n);
        for (const Text& n : names) {
            if (fs.FileExists(path + n)) {
                directory = path;
                fileName = n;
                break;
            }
        }
        break;
    }
    // Nothing found: nothing is started (an earlier selection is not run again).
    if (fileName.empty()) return SelectionOutcome::NothingMarked;

    bool written = Attempt(p, [&] {
        auto out = fs.Open(selectionFile, OpenMode::Output);
        if (kind == SelectionKind::Batch) {
            const Text& player = p.settings.player;
            out->WriteLine(ConvertForConsole(Left(directory, 2)));
            out->WriteLine("cd " + DirectoryWithoutDrive(directory));
            out->WriteLine(ConvertForConsole(player.empty() ? "\"" + fileName + "\""
                                                            : "\"" + player + "\" \"" + fileName + "\""));
        } else {
            out->WriteLine(directory + fileName);
        }
        out->Close();
    });
    // A selection file that cannot be written starts nothing.
    if (!written) return SelectionOutcome::NothingMarked;
    p.host.processes.Start(CommandInterpreter(p) + " /C " + selectionFile, WindowStyle::Hidden, false);
    return SelectionOutcome::Started;
}

// The marked entries in marking order: mark 1 first, equal marks in list order.
std::vector<int> EntriesInMarkingOrder(Program& p) {
    std::vector<std::pair<int, int>> marked;
    int limit = p.browser.MarkCounter;
    for (int i = 1; i <= Entries(p); ++i) {
        int k = MarkAt(p, i);
        if (k >= 1 && k <= limit) marked.emplace_back(k, i);
    }
    std::stable_sort(marked.begin(), marked.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<int> order;
    order.reserve(marked.size());
    for (const auto& m : marked) order.push_back(m.second);
    return order;
}

void WriteListEntries(Program& p, SelectionKind kind, host::File& out) {
    auto& w = p.window;
    auto& fs = p.files();
    const Text& ext = p.settings.listExtension;
    const bool performerList = Instr(LCase(p.browser.CurrentListFile), "interpreten.") > 0;
    if (w.RecordLength <= 2 || !fs.FileExists(p.browser.CurrentListFile)) return;
    auto list = fs.Open(p.browser.CurrentListFile, OpenMode::Input);
    for (int i : EntriesInMarkingOrder(p)) {
        Text record = list->ReadAt(static_cast<std::uint64_t>(i - 1) * static_cast<std::uint64_t>(w.RecordLength),
                                   static_cast<std::size_t>(w.RecordLength - 2));
        if (record.empty()) continue;
        auto [title, dirField] = SplitRecord(record);
        std::vector<Text> names;
        if (performerList) names = RebuiltNames(title, ext);
        if (names.empty()) names.push_back(title + ext);
        const Text needle = "\\" + dirField;
        bool written = false;
        for (int j = 1; j <= w.SearchPathCount && !written; ++j) {
            const Text& path = w.SearchPaths[static_cast<std::size_t>(j)];
            if (InstrNoCase(path, needle) == 0) continue;
            for (const Text& name : names) {
                if (!fs.FileExists(path + name)) continue;
                if (kind == SelectionKind::Playlist) out.WriteLine(path + name);
                else WriteBatchEntry(out, path, name, true, p.settings.player);
                written = true;
                break;
            }
        }
    }
    list->Close();
}

// A line end inside a name would split its line in two: a playlist would
// get a second path, a batch file a line of its own that runs.
bool HoldsLineEnd(const Text& text) { return text.find_first_of("\r\n") != Text::npos; }

void WriteDirectoryEntries(Program& p, SelectionKind kind, host::File& out) {
    Text current = p.files().CurrentDirectory();
    Text directory = EndsWith(current, "\\") ? current : current + "\\";
    if (HoldsLineEnd(directory)) return;  // no line can hold one of its files
    for (int i : EntriesInMarkingOrder(p)) {
        const Text& entry = TitleAt(p, i);
        if (!IsFileEntry(entry) || HoldsLineEnd(entry)) continue;
        if (kind == SelectionKind::Playlist) out.WriteLine(directory + entry);
        else WriteBatchEntry(out, directory, entry, false, p.settings.player);
    }
}

SelectionOutcome HandOver(Program& p, SelectionKind kind, const Text& selectionFile, bool listView) {
    auto& s = p.settings;
    // The copy itself is the caller's (the file operations): nothing is played.
    if (p.fileops.copyMode == 1 && listView && p.window.ListDisplay == 0) return SelectionOutcome::ToCopy;
    const bool autoMode = !s.autoMode.empty();
    if ((autoMode || s.mci == 1) && kind == SelectionKind::Playlist) {
        PlaySelection(p);
        if (!autoMode) p.player.startCounter = 0;
        return SelectionOutcome::Played;
    }
    // Endless playback runs without end: it never starts a program for a
    // selection the internal player cannot play (it would do so over and over).
    if (autoMode) return SelectionOutcome::NotPlayable;
    // A batch selection runs through the command interpreter; its lines name
    // the player where one is set.
    if (s.player.empty() || kind == SelectionKind::Batch)
        p.host.processes.Start(CommandInterpreter(p) + " /C " + selectionFile, WindowStyle::Hidden, false);
    else
        p.host.processes.Start(s.player + " " + selectionFile, WindowStyle::Hidden, false);
    return SelectionOutcome::Started;
}

int Draw(Program& p, int count) { return std::uniform_int_distribution<int>(1, std::max(1, count))(p.random); }

}  // namespace

SelectionKind ChooseSelectionKind(Program& p) {
    auto& s = p.settings;
    const Text& ext = s.listExtension;
    bool markedFirst = false;
    for (int i = 1; i <= Entries(p) && !markedFirst; ++i) markedFirst = MarkAt(p, i) == 1;
    if (markedFirst && IsDocumentOrPicture(UCase(ext))) return SelectionKind::Batch;
    bool table = std::any_of(s.extensions.begin() + 1, s.extensions.end(), [](const Text& e) { return !e.empty(); });
    if (table && IsKnownMedia(LCase(ext))) {
        if (s.player.empty()) s.player = s.defaultPlayer;
        return SelectionKind::Playlist;
    }
    return s.mci == 1 ? SelectionKind::Playlist : SelectionKind::Batch;
}

SelectionOutcome RunSelection(Program& p, Text* writtenFile) {
    auto& s = p.settings;
    auto& w = p.window;
    const bool listView = p.browser.ListOpen == 1;
    if (listView) LoadListSettings(p);
    SelectionKind kind = ChooseSelectionKind(p);
    Text selectionFile = s.tempDirectory + (kind == SelectionKind::Playlist ? kPlaylistFile : kBatchFile);

    // Endless playback plays random records of the whole list, whatever the display mode.
    if (listView && (w.ListDisplay == 1 || w.ListDisplay == 2) && s.autoMode.empty())
        return RunCurrentEntry(p, kind, selectionFile);
    if (p.browser.MarkCounter <= 1) return SelectionOutcome::NothingMarked;

    bool written = Attempt(p, [&] {
        auto out = p.files().Open(selectionFile, OpenMode::Output);
        if (kind == SelectionKind::Batch) out->WriteLine("@echo off");
        if (listView) WriteListEntries(p, kind, *out);
        else WriteDirectoryEntries(p, kind, *out);
        out->Close();
    });
    // A selection file that cannot be written starts nothing (the message
    // has been shown and waited on).
    if (!written) return SelectionOutcome::NothingMarked;
    if (writtenFile) *writtenFile = selectionFile;
    return HandOver(p, kind, selectionFile, listView);
}

void MapNumberlessMarks(Program& p) {
    auto& b = p.browser;
    auto& w = p.window;
    auto& fs = p.files();
    const Text list = b.CurrentListFile;
    long pos = Instr(LCase(list), "_ohne nr.pavuto");
    if (pos == 0) return;
    const Text numbersFile = Left(list, pos + 7) + ".tmp";  // <name>_ohne Nr.tmp
    const Text baseList = Left(list, pos - 1) + Mid(list, pos + 8);

    // Numberless record k was made from base record n(k): its mark goes there.
    std::vector<int> marks(b.Marks.size(), 0);
    {
        auto in = fs.Open(numbersFile, OpenMode::Input);
        Text line;
        for (int k = 1; k <= Entries(p) && in->ReadLine(line); ++k) {
            int n = ValInt(line);
            if (n >= 1 && n <= RecordLimit) marks[static_cast<std::size_t>(n)] = MarkAt(p, k);
        }
        in->Close();
    }
    b.Marks = std::move(marks);
    b.CurrentListFile = baseList;
    if (fs.FileExists(baseList)) {
        ListMeasure m = MeasureListFile(p, baseList);
        w.RecordLength = m.recordLength;
        w.RecordCount = m.recordCount;
    }
    ReadSearchPaths(p, ListConfigurationFor(p, baseList));
}

void MarkAllInListOrder(Program& p) {
    auto& b = p.browser;
    b.MarkCounter = 1;
    for (int i = 1; i <= Entries(p); ++i) {
        const Text& entry = TitleAt(p, i);
        bool skip = Instr(entry, "<DIR> ") > 0 || Instr(entry, "..") > 0 || EndsWith(entry, ":") ||
                    Instr(UCase(entry), ".PAVUTO") > 0;
        MarkAt(p, i) = skip ? 0 : b.MarkCounter++;
    }
}

int SeedRandom(Program& p) {
    auto now = p.host.clock.Now();
    int S = now.month * now.second * now.hour;
    p.random.seed(static_cast<std::mt19937::result_type>(S));
    while (S > 1000) S -= 1000;
    return S;
}

bool ShuffleMarks(Program& p, int S) {
    auto& con = p.con;
    auto& b = p.browser;
    const bool directoryView = b.ListOpen != 1;
    const bool endless = !p.settings.autoMode.empty();
    const int n = Entries(p);
    const int row = directoryView ? 13 : 16;
    con.ShowAt(16, 5, " Bitte warten...");
    con.Present();
    for (int i = 0; i < S; ++i) Draw(p, n);

    b.MarkCounter = 1;
    auto waitLine = [&] {
        con.ShowAt(row, directoryView ? 7 : 5, "Bitte warten..." + Spaces(14));
        con.Present();
    };
    waitLine();
    auto counts = [&](int i) {
        return directoryView ? IsFileEntry(TitleAt(p, i)) : Instr(TitleAt(p, i), "..") == 0;
    };
    int candidates = 0;
    for (int i = 1; i <= n; ++i) {
        if (counts(i)) MarkAt(p, i) = b.MarkCounter++;
        else MarkAt(p, i) = 0;
        if (!directoryView || counts(i)) ++candidates;
    }

    const int passes = 2 + (directoryView ? S / 20 : S / 30);
    for (int pass = 1; pass <= passes; ++pass) {
        con.Locate(row, 25);
        // Whole-number arithmetic: 29 / 50 * 100 in floating point is just
        // below 58 and would show 57.
        con.PrintNumber(pass * 100 / passes);
        con.Show(" %");
        if (!directoryView) {
            con.NoWait = 1;
            con.WaitEvent();
            con.NoWait = 0;
            if (endless) {
                // Unattended: Esc asks whether to end, as everywhere in
                // endless playback, and the shuffle goes on after a no.
                if (con.KeyText == keys::Esc) {
                    ConfirmExit(p);
                    waitLine();
                }
            } else if (con.KeyText == keys::Esc || con.ClickKind != 0) {
                return false;
            }
        }
        // With fewer than two entries there is nothing to swap (and no other
        // entry to draw).
        if (candidates < 2) continue;
        for (int i = 1; i <= n; ++i) {
            if (directoryView && !counts(i)) continue;
            int r;
            do r = Draw(p, n);
            while (r == i || (directoryView && !counts(r)));
            std::swap(MarkAt(p, i), MarkAt(p, r));
        }
    }
    return true;
}

Text RandomListPath(const Text& listFile) {
    long slash = std::max(InstrRev(listFile, "\\"), InstrRev(listFile, ":"));
    return Left(listFile, slash) + LCase(Mid(listFile, slash + 1)) + "-rnd";
}

bool MarkRandomTitles(Program& p, int count, int S) {
    auto& b = p.browser;
    auto& fs = p.files();
    const int n = Entries(p);
    if (n < (count == 10 ? 15 : 30)) return false;
    if (b.ListOpen != 1) {
        if (!ShuffleMarks(p, S)) return false;
    } else {
        const Text rnd = RandomListPath(b.CurrentListFile);
        if (fs.FileExists(rnd)) {
            auto in = fs.Open(rnd, OpenMode::Input);
            Text line;
            for (int i = 1; i <= n && in->ReadLine(line); ++i) MarkAt(p, i) = ValInt(line);
            in->Close();
        } else if (!ShuffleMarks(p, S)) {
            return false;
        }
        // The order left for the next runs; played titles become 0.
        int played = 0;
        {
            Text order;
            for (int i = 1; i <= n; ++i) {
                int rest = MarkAt(p, i) - count;
                if (rest <= 0) {
                    rest = 0;
                    ++played;
                }
                order += NumberText(rest) + "\r\n";
            }
            host::WriteReplacing(fs, rnd, order);
        }
        if (n - played < count + 1) fs.Remove(rnd);
    }
    for (int i = 1; i <= n; ++i)
        if (MarkAt(p, i) > count) MarkAt(p, i) = 0;
    b.MarkCounter = count + 1;
    return true;
}

void EnterPlayerProgram(Program& p) {
    auto& con = p.con;
    while (true) {
        con.ShowAt(12, 6, "> _");
        con.FlushEvents();
        con.WaitForInput();
        const Text first = con.KeyText;
        if (first.empty() || first == keys::Enter || first == keys::Esc || first == " " || con.ClickKind != 0) return;
        con.ShowAt(12, 8, first);
        Text path = first + con.InputLine();
        p.settings.player = path;
        if (p.files().FileExists(path)) return;
        con.ShowAt(12, 7, "Programm nicht gefunden. (Pfadangaben korrekt?)");
        for (int r = 13; r <= 15; ++r) con.ShowAt(r, 5, Spaces(con.ScreenColumns - 11));
        con.ShowAt(13, 7, " neue eingabe J/Y ?");
        con.FlushEvents();
        con.WaitForInput();
        Text answer = UCase(con.KeyText);
        bool again = answer == "J" || answer == "Y" || (con.ClickKind != 0 && con.MouseRow + 1 == 13);
        if (!again) return;
        p.settings.player.clear();
    }
}

namespace {

bool SelectionHasEntries(Program& p) {
    Text path = p.settings.tempDirectory + kPlaylistFile;
    if (!p.files().FileExists(path)) return false;
    auto in = p.files().Open(path, OpenMode::Input);
    Text line;
    bool any = false;
    while (!any && in->ReadLine(line)) any = !line.empty();
    in->Close();
    return any;
}

// Nothing to play: the reason, then a minute before the next try. Esc asks
// whether to end the program.
void WaitBeforeRetry(Program& p, const Text& reason) {
    auto& con = p.con;
    PrepareMessage(p);
    con.Show(reason, 1);
    con.ShowAt(con.ScreenRows - 2, 7, "Neuer Versuch in einer Minute.  (Esc: Programm beenden)");
    std::uint32_t start = p.host.clock.TickCount();
    while (p.host.clock.TickCount() - start < 60000) {
        con.NoWait = 1;
        con.WaitEvent();
        if (con.KeyText == keys::Esc) {
            ConfirmExit(p);
            PrepareMessage(p);
            con.Show(reason, 1);
        }
    }
    con.NoWait = 0;
}

}  // namespace

void PlayEndlessRound(Program& p) {
    // The window is left as it is (after the first round it has the
    // player's rows): messages go on the rows the console has.
    p.con.TakeConsoleRows();
    Text problem;
    if (p.browser.MarkCounter <= 1) {
        problem = "Zu wenig Titel f\xFCr eine Zufallsauswahl (mindestens 15).";
    } else {
        SelectionOutcome outcome = RunSelection(p);
        if (outcome == SelectionOutcome::NotPlayable) problem = "Die Liste enth\xE4lt keine abspielbaren Titel.";
        else if (outcome != SelectionOutcome::Played || !SelectionHasEntries(p))
            problem = "Keiner der gew\xE4hlten Titel wurde gefunden.";
    }
    if (!problem.empty()) WaitBeforeRetry(p, problem);
}

}  // namespace pavuto
