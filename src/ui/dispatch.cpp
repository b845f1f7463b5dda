#include <algorithm>

#include "common/numbers.hpp"
#include "config/default_config.hpp"
#include "config/list_config.hpp"
#include "fileops/copy.hpp"
#include "fileops/wish_list.hpp"
#include "lists/builder.hpp"
#include "lists/list_file.hpp"
#include "playback/selection.hpp"
#include "playback/timer.hpp"
#include "program.hpp"
#include "ui/options.hpp"
#include "ui/browser_internal.hpp"
#include "ui/help.hpp"
#include "ui/install_dialogue.hpp"
#include "ui/screen.hpp"
#include "ui/search.hpp"

namespace pavuto {

namespace {

const Text kCreditLine = "Pavuto - Listen ausw\xE4hlen, ordnen und abspielen - ver.3.3 -";

Text FileNameOf(const Text& path) {
    long pos = InstrRev(path, "\\");
    return pos > 0 ? Mid(path, pos + 1) : path;
}

Text ListExtension(Program& p) {
    return p.listConfig.extension.empty() ? p.settings.listExtension : p.listConfig.extension;
}

// A directory entry that Enter marks: a file of one of the extensions of the
// table or of the list extension.
bool Markable(Program& p, const Text& entry) {
    if (p.browser.ListOpen == 1) return true;
    for (int i = 1; i <= 20; ++i) {
        const Text& e = p.settings.extensions[static_cast<std::size_t>(i)];
        if (!e.empty() && EndsWithNoCase(entry, e)) return true;
    }
    return !p.settings.listExtension.empty() && EndsWithNoCase(entry, p.settings.listExtension);
}

bool IsDirectoryEntry(const Text& entry) {
    return StartsWith(UCase(entry), "<DIR>") || entry == ".." || IsDriveEntry(entry);
}

Text MegabytesText(std::uint64_t size) {
    return FormatUsing("###,###,###.###", static_cast<double>(size) / 1024.0 / 1024.0) + " Mbytes.";
}

void WaitAndClear(Program& p) {
    p.con.WaitForInput();
    p.con.ClearMenuArea();
}

// The file information of a list record: the file behind it through the
// search paths that hold its directory.
void ListEntryInformation(Program& p, int slot) {
    auto& con = p.con;
    auto& fs = p.files();
    auto& w = p.window;
    const int R = con.ScreenRows;
    const Text& title = EntryAt(p, slot);
    const Text needle = UCase("\\" + w.Directories[static_cast<std::size_t>(slot)] + "\\");
    const Text ext = ListExtension(p);
    const bool performerList = Instr(LCase(FileNameOf(p.browser.CurrentListFile)), "interpreten") > 0;
    const long dash = Instr(title, " - ");
    bool firstConsidered = true;

    auto show = [&](const Text& file, const Text& where) {
        std::uint64_t size = fs.FileSize(file);
        con.ShowAt(R - 3, 5, "Gr\xF6\xDF" "e = " + MegabytesText(size));
        con.ShowAt(R - 2, 5, where);
        WaitAndClear(p);
    };

    for (int j = 1; j <= w.SearchPathCount; ++j) {
        const Text& path = w.SearchPaths[static_cast<std::size_t>(j)];
        if (Instr(UCase(path), needle) == 0) continue;
        const bool first = firstConsidered;
        firstConsidered = false;
        if (!performerList) {
            Text file = path + title + ext;
            if (fs.FileExists(file)) return show(file, "Pfad '" + path + "'.");
        } else if (dash > 1) {
            // "Band - Song" came from "Song - Band" or "Song - The Band".
            Text a = Mid(title, dash + 3), b = Left(title, dash - 1);
            Text plain = path + a + " - " + b + ext;
            if (fs.FileExists(plain)) return show(plain, "Datei ist in '" + path + "' zu finden.");
            Text withThe = path + a + " - The " + b + ext;
            if (fs.FileExists(withThe)) return show(withThe, "Pfad '" + path + "'.");
        } else {
            if (!first) continue;
            Text file = path + title + ext;
            if (!fs.FileExists(file)) return;
            std::uint64_t size = fs.FileSize(file);
            con.ShowAt(R - 3, 5,
                       FormatUsing("###,###,###.##", static_cast<double>(size) / 1024.0 / 1000.0) + " Mbytes.");
            con.ShowAt(R - 2, 5, "Datei ist in '" + path + "' zu finden.");
            return WaitAndClear(p);
        }
    }
    con.ShowAt(R - 3, 5, "Datei nicht gefunden.");
    con.Pause(2000);
    con.ClearMenuArea();
}

void DirectoryEntryInformation(Program& p, const Text& entry) {
    auto& con = p.con;
    auto& fs = p.files();
    const int R = con.ScreenRows;
    if (entry == ".." || StartsWith(entry, "<DIR>") || IsDriveEntry(entry) || IsEmptyEntry(entry)) return;
    const Text file = CurrentDirectoryPath(p) + entry;
    if (IsListFileName(entry)) {
        long lines = CountListLines(fs, file);
        con.ShowAt(R - 3, 5, "Liste enth\xE4lt " + NumberText(static_cast<double>(lines)) + " Datens\xE4tze.");
    } else {
        std::uint64_t size = fs.FileSize(file);
        con.ShowAt(R - 3, 5, "Dateigr\xF6\xDF" "e = ");
        double kilobytes = static_cast<double>(size) / 1024.0;
        if (kilobytes > 999)
            con.Show(MegabytesText(size), 1);
        else
            con.Show(FormatUsing("###,###,###.##", kilobytes) + " Kbytes.", 1);
    }
    WaitAndClear(p);
}

Way CloseList(Program& p) {
    auto& b = p.browser;
    b.ListOpen = 0;
    b.PageTop = 1;
    b.CursorOffset = 0;
    ClearMarks(p);
    return Way::Rebuild;
}

Way Credits(Program& p) {
    auto& con = p.con;
    auto& b = p.browser;
    con.ClearMenuArea();
    con.ShowAt(con.ScreenRows - 2, 5, kCreditLine);
    con.WaitForInput();
    con.ClearMenuArea();
    b.PageTop = 1;
    b.CursorOffset = 0;
    // The marks go with their counter; a list would otherwise keep marks
    // that the next marks number again.
    ClearMarks(p);
    return Way::Rebuild;
}

Way ChangeToHome(Program& p) {
    auto& b = p.browser;
    auto& s = p.settings;
    b.ListOpen = 0;
    const Text home = b.homeDirectory.empty() ? s.HomeDirectory() : b.homeDirectory;
    Attempt(p, [&] {
        p.files().ChangeDrive(s.homeDrive.empty() ? Left(home, 2) : s.homeDrive);
        p.files().ChangeDirectory(home);
    });
    b.PageTop = 1;
    return Way::Rebuild;
}

Way ChangeToRoot(Program& p) {
    Attempt(p, [&] { p.files().ChangeDirectory("\\"); });
    p.browser.ListOpen = 0;
    return Way::Rebuild;
}

Way EnterOrMark(Program& p) {
    auto& b = p.browser;
    b.SelectedEntry = EntryAt(p, CursorSlot(p));
    const Text& entry = b.SelectedEntry;
    if (b.BrowserMode != 1) return Way::Select;
    // Directories, ".." and drives are entries of the directory view only; in
    // a list a title that looks like one is a record like any other.
    if (b.ListOpen == 0 && (StartsWith(entry, "<DIR> ") || entry == ".." || EndsWith(entry, ":")))
        return Way::Select;
    if (!Markable(p, entry)) return Way::Select;
    ToggleMark(p, CursorSlot(p));
    return NavigationTail(p, {});
}

// Runs the selection (or copies it in copy mode); a failure that ends it
// early comes back here.
void RunMarked(Program& p) {
    try {
        Text selectionFile;
        if (RunSelection(p, &selectionFile) == SelectionOutcome::ToCopy) CopySelection(p, selectionFile);
    } catch (const GoOnAt& g) {
        if (g.point != Point::EndOfSelection) throw;
    }
}

// The list closed and a list configuration to be chosen before the browser
// shows anything again.
Way ToListConfigurationChoice(Program& p) {
    p.browser.BrowserMode = 0;
    return CloseList(p);
}

Way ModeOneKey(Program& p, const Text& key, bool& handled) {
    auto& b = p.browser;
    auto& con = p.con;
    handled = true;
    if (key == "o") {
        const int result = OptionsMenu(p);
        if (result == options::CloseList) return ToListConfigurationChoice(p);
        // "> & ausführen": the marks run as by "a".
        if (result == options::RunNow) return ModeOneKey(p, "a", handled);
        return Way::Redraw;
    }
    if (key == "k" && b.DeleteAllowed == 1) return DeleteEntry(p);
    if (key == "a" && b.MarkCounter > 1) {
        // While a wish list is set the marked records go there instead.
        if (b.ListOpen == 1 && !p.fileops.wishList.empty())
            AddMarkedToWishList(p);
        else
            RunMarked(p);
        ClearMarks(p);
        return Way::Redraw;
    }
    if (key == "a" && p.window.ListDisplay > 0 && b.ListOpen == 1) {
        RunMarked(p);  // the entry under the cursor
        return Way::Redraw;
    }
    if (key == "l") {
        InstallThenChooseConfiguration(p);
        return ToListConfigurationChoice(p);
    }
    if (key == "z") {
        Jump(p);
        return NavigationTail(p, con.KeyText);
    }
    handled = false;
    return Way::Refresh;
}

Way ModeTwoKey(Program& p, const Text& key, bool& handled) {
    auto& b = p.browser;
    handled = true;
    if (key == "b") {
        b.BrowserMode = 1;
        return CloseList(p);
    }
    if (key == "n") {
        ChooseListConfiguration(p);
        return CloseList(p);
    }
    if (key == "p") {
        AddSearchPath(p);
        return CloseList(p);
    }
    if (key == "k" && b.DeleteAllowed == 1) return KillEntry(p);
    if (key == "a") {
        RebuildList(p);
        return Way::Rebuild;
    }
    handled = false;
    return Way::Refresh;
}

}  // namespace

void ClearMarks(Program& p) {
    std::fill(p.browser.Marks.begin(), p.browser.Marks.end(), 0);
    p.browser.MarkCounter = 1;
}

void ToggleMark(Program& p, int slot) {
    auto& b = p.browser;
    if (slot < 1 || slot > RecordLimit) return;
    // Only real entries carry marks: not the empty lines after the last one.
    if (IsEmptyEntry(EntryAt(p, slot)) || EntryAt(p, slot) == kNoData || slot > p.window.RecordCount) return;
    int& mark = b.Marks[static_cast<std::size_t>(slot)];
    if (mark == 0 && p.window.ListDisplay == 0) {
        mark = b.MarkCounter;
        ++b.MarkCounter;
        return;
    }
    const int n = mark;
    if (n == 0) return;  // nothing to take back: the other marks keep their numbers
    mark = 0;
    const int last = std::min(p.window.RecordCount, RecordLimit);
    for (int k = 1; k <= last; ++k) {
        int& m = b.Marks[static_cast<std::size_t>(k)];
        if (m > n) --m;
    }
    b.MarkCounter = std::max(1, b.MarkCounter - 1);
}

void ReloadWindow(Program& p) {
    auto& w = p.window;
    std::fill(w.Titles.begin(), w.Titles.end(), kEmptySlot);
    for (auto& d : w.Directories) d.clear();
    LoadWindow(p);
}

Way NavigationTail(Program& p, const Text& key) {
    auto& b = p.browser;
    const int count = p.window.RecordCount;
    const int rows = p.con.PageRows;

    if (key == keys::Down) {
        // Without duplicates or with only them, fewer entries than records
        // are shown: the lines below the last one stay out of reach.
        const bool nextShown = p.window.ListDisplay == 0 || b.ListOpen != 1 ||
                               !IsEmptyEntry(EntryAt(p, CursorSlot(p) + 1));
        if (b.PageTop + b.CursorOffset < count && nextShown) {
            ++b.CursorOffset;
            if (b.CursorOffset > rows) {
                b.CursorOffset = rows;
                ++b.PageTop;
            }
        }
    } else if (key == keys::PgDn) {
        b.PageTop += rows;
        b.CursorOffset = 0;
        if (b.PageTop >= count) b.PageTop = count;
        if (count > rows) {
            while (true) {
                while (b.PageTop + b.CursorOffset > count && b.PageTop > 1) {
                    b.CursorOffset = rows;
                    --b.PageTop;
                }
                if (b.PageTop > 1 && IsEmptyEntry(EntryAt(p, CursorSlot(p)))) {
                    b.CursorOffset = rows;
                    --b.PageTop;
                    continue;
                }
                break;
            }
        } else {
            // Everything on one page: the cursor goes to the last entry.
            b.PageTop = 1;
            b.CursorOffset = std::max(0, count - 1);
        }
    } else if (key == keys::Up) {
        --b.CursorOffset;
        if (b.CursorOffset < 0) {
            b.CursorOffset = 0;
            --b.PageTop;
        }
    } else if (key == keys::PgUp) {
        b.PageTop -= rows;
    }

    if (count > rows && b.PageTop > count - rows) b.PageTop = count - rows;
    if (b.PageTop < 1) {
        b.PageTop = 1;
        b.CursorOffset = 0;
    }
    return ShortTail(p);
}

Way ShortTail(Program& p) {
    auto& b = p.browser;
    auto& w = p.window;
    if (w.RecordCount <= p.con.PageRows && b.CursorOffset >= w.RecordCount)
        b.CursorOffset = std::max(0, w.RecordCount - 1);
    if (b.ListOpen == 1 && b.PageTop != w.FirstRecord) {
        w.FirstRecord = b.PageTop;
        ReloadWindow(p);
    }
    return Way::Refresh;
}

ClickTarget ClickKey(Program& p, int row, int column) {
    const int R = p.con.ScreenRows, C = p.con.ScreenColumns;
    const bool one = p.browser.BrowserMode == 1;
    const double third = C / 3.0, twoThirds = 2.0 * C / 3.0;
    auto key = [](const Text& k) { return ClickTarget{ClickTarget::Kind::Key, k}; };
    auto between = [column](double low, double high) { return column > low && column < high; };

    if (row == R - 3 && between(4, 6)) return key("h");
    if (row == R - 2 && between(4, 6)) return key("\\");
    if (row == R - 1 && between(4, 6)) return key("i");
    if (row == R - 3 && between(7, 24)) return key(one ? "d" : "a");
    if (row == R - 1 && between(7, 24)) return key(one ? "a" : "n");
    if (row == R - 3 && one && between(third - 2, third + 14)) return key("o");
    if (row == R - 3 && between(twoThirds - 2, twoThirds + 18)) return key(one ? "z" : "b");
    if (row == R - 1 && between(twoThirds - 2, twoThirds + 18)) return key(one ? "l" : "p");
    if (row == R - 1 && between(third - 2, third + 18)) return key("s");
    if (row >= 1 && row <= 3) return key(keys::PgUp);
    if (row == 4) return key(keys::Up);
    if (row >= 5 && row <= R - 8) return ClickTarget{ClickTarget::Kind::Line, {}};
    if (row == R - 7) return key(keys::Down);
    if (row == R - 6) return key(keys::PgDn);
    return {};
}

Way Dispatch(Program& p) {
    auto& con = p.con;
    auto& b = p.browser;
    const int R = con.ScreenRows, C = con.ScreenColumns;
    const double third = C / 3.0;
    if (p.timer.TimerMode > 0) {
        // The timer may wait for events of its own; the one that came is
        // dispatched afterwards all the same. The minutes left are shown by
        // the menu lines; an exit question answered no is drawn over at once.
        const Text keyText = con.KeyText;
        const int button = con.MouseButton, kind = con.ClickKind, row = con.MouseRow, column = con.MouseColumn;
        TestTimer(p, TimerScreen::Browser, [&p] { DrawBrowserScreen(p, true); });
        con.KeyText = keyText;
        con.MouseButton = button;
        con.ClickKind = kind;
        con.MouseRow = row;
        con.MouseColumn = column;
    }

    Text key = con.KeyText;
    if (key == keys::Esc) {
        ConfirmExit(p);
        return Way::Redraw;
    }

    bool click = key.empty() && con.ClickKind > 0;
    if (key == keys::Enter) {
        if (b.SearchActive == 1) {
            Search(p);
            return Way::Redraw;
        }
        const int row = con.MouseRow + 1;
        if (con.ClickKind == 2 && (row < 5 || row > R - 7)) {
            click = true;  // a double click off the page is a single click
        } else {
            if (con.ClickKind == 2 && row <= R - 8 && !IsEmptyEntry(EntryAt(p, b.PageTop + row - 5)))
                b.CursorOffset = row - 5;
            return EnterOrMark(p);
        }
    }

    if (click) {
        const int row = con.MouseRow + 1, column = con.MouseColumn;
        if (b.SearchActive == 1) {
            if (row == R - 1 && column > third - 2 && column < third + 18)
                Search(p);
            else
                EndSearch(p);
            return Way::Redraw;
        }
        if (con.ClickKind == 1 && b.scrollZone && (column == 2 || column == C - 1) && row >= 5 && row <= R - 8) {
            const int count = p.window.RecordCount, rows = con.PageRows;
            const int step = rows > 0 ? (count - rows) / rows : 0;
            b.PageTop = (row - 5) * step + 1;
            return NavigationTail(p, {});
        }
        ClickTarget target = ClickKey(p, row, column);
        if (target.kind == ClickTarget::Kind::None) return Way::Refresh;
        if (target.kind == ClickTarget::Kind::Line) {
            b.CursorOffset = row - 5;
            return ShortTail(p);
        }
        key = target.key;
        con.KeyText = key;
    }

    const Text lower = LCase(key);
    if (b.SearchActive == 1 && lower != "s") {
        EndSearch(p);
        return Way::Redraw;
    }
    if (lower == "c") return Credits(p);
    if (lower == "?") {
        ShowHelp(p);
        return Way::Rebuild;
    }
    if (lower == "\\") return ChangeToRoot(p);
    if (lower == "h") return ChangeToHome(p);
    if (lower == "i") {
        ShowFileInformation(p);
        return Way::Redraw;
    }
    bool handled = false;
    Way way = Way::Refresh;
    if (b.BrowserMode == 1)
        way = ModeOneKey(p, lower, handled);
    else if (b.BrowserMode == 2)
        way = ModeTwoKey(p, lower, handled);
    if (handled) return way;
    if (lower == "d" && b.ListOpen == 1) {
        b.CurrentListConfiguration.clear();
        return CloseList(p);
    }
    if (lower == "s") {
        Search(p);
        return Way::Redraw;
    }
    return NavigationTail(p, key);
}

void ShowFileInformation(Program& p) {
    auto& con = p.con;
    con.ClearMenuArea();
    const int slot = CursorSlot(p);
    const Text entry = EntryAt(p, slot);
    ArmedScope scope(p, [](Program& q, const RuntimeError& e) { return FileInformationHandler(q, e); });
    Attempt(p, [&] {
        if (p.browser.ListOpen == 1)
            ListEntryInformation(p, slot);
        else
            DirectoryEntryInformation(p, entry);
    });
}

Way DeleteEntry(Program& p) {
    auto& con = p.con;
    auto& b = p.browser;
    const int R = con.ScreenRows, C = con.ScreenColumns;
    const int slot = CursorSlot(p);
    const Text entry = EntryAt(p, slot);
    con.ClearMenuArea();
    con.Locate(R - 3, 7);

    Text target, prompt;
    if (b.ListOpen == 1) {
        target = ResolveEntry(p, slot);
        if (target.empty()) {
            con.ShowAt(R - 3, 7, "Datei nicht gefunden..");
            con.Pause(2000);
            return Way::Rebuild;
        }
        if (static_cast<long>(target.size()) < C - 18)
            prompt = "L\xF6sche >" + target;
        else
            prompt = "l\xF6sche >" + Left(target, 9) + "..." + Right(target, C - 34);
    } else {
        if (IsEmptyEntry(entry)) return Way::Refresh;
        if (IsDirectoryEntry(entry)) {
            con.Show("Ich l\xF6sche keine Verzeichnisse.", 1);
            con.Pause(2000);
            return Way::Rebuild;
        }
        target = CurrentDirectoryPath(p) + entry;
        prompt = "L\xF6sche >" + entry;
    }
    con.Show(prompt, 1);
    // Only a key pressed after the question answers it.
    con.FlushEvents();
    con.WaitForInput();
    if (con.KeyText == keys::Esc) return Way::Rebuild;
    ArmedScope scope(p, [entry](Program& q, const RuntimeError& e) { return DeleteHandler(q, e, entry); });
    Attempt(p, [&] { p.files().Remove(target); });
    return Way::Rebuild;
}

Way KillEntry(Program& p) {
    auto& con = p.con;
    const Text entry = EntryAt(p, CursorSlot(p));
    con.ClearMenuArea();
    con.Locate(con.ScreenRows - 3, 7);
    con.Show("Kill " + entry, 0);
    con.Pause(2000);
    const Text target = CurrentDirectoryPath(p) + entry;
    ArmedScope scope(p, [entry](Program& q, const RuntimeError& e) { return DeleteHandler(q, e, entry); });
    Attempt(p, [&] { p.files().Remove(target); });
    return Way::Rebuild;
}

Continuation DeleteHandler(Program& p, const RuntimeError& e, const Text& title) {
    auto& con = p.con;
    PrepareMessage(p);
    if (e.number() == 70) {
        con.Show(" zur Zeit kein Zugriff..(in benutzung?)", 0);
        con.Locate(con.ScreenRows - 2, 7);
    }
    con.Show("Datei >" + title + "< nicht gel\xF6scht.", 1);
    con.Pause(1000);
    return Continuation::Skip();
}

Continuation FileInformationHandler(Program& p, const RuntimeError& e) {
    if (e.number() == 70) {
        PrepareMessage(p);
        p.con.Show(" zur Zeit kein Zugriff..(in benutzung?)", 0);
        p.con.Pause(1000);
    }
    return Continuation::Skip();
}

}  // namespace pavuto
