#include "ui/screen.hpp"

#include <algorithm>
#include <cmath>

#include "common/numbers.hpp"
#include "playback/timer.hpp"
#include "program.hpp"

namespace pavuto {

namespace {

// The scroll zone's ends on the list box's borders (console code page).
const Text kZoneTop = "\xC2", kZoneBottom = "\xC1";

Text WithoutFinalBackslash(Text path) {
    if (path.size() > 3 && EndsWith(path, "\\")) path.pop_back();
    return path;
}

bool AtHome(Program& p) {
    Text here = WithoutFinalBackslash(p.files().CurrentDirectory());
    Text home = p.browser.homeDirectory.empty() ? p.settings.HomeDirectory() : p.browser.homeDirectory;
    return UCase(here) == UCase(WithoutFinalBackslash(home));
}

bool AtDriveRoot(Program& p) { return p.files().CurrentDirectory().size() == 3; }

}  // namespace

int RoundedColumn(double value) { return static_cast<int>(std::nearbyint(value)); }

bool IsEmptyEntry(const Text& entry) { return entry.empty() || entry == kEmptySlot; }

int CursorSlot(Program& p) { return p.browser.PageTop + p.browser.CursorOffset; }

const Text& EntryAt(Program& p, int slot) {
    if (slot < 1 || slot > RecordLimit) return kEmptySlot;
    return p.window.Titles[static_cast<std::size_t>(slot)];
}

bool IsDriveEntry(const Text& entry) { return entry.size() == 4 && entry[3] == ':'; }

Text CurrentDirectoryPath(Program& p) {
    Text path = p.files().CurrentDirectory();
    if (!EndsWith(path, "\\")) path += "\\";
    return path;
}

void DrawFrames(Program& p, int top) {
    auto& con = p.con;
    auto& b = p.browser;
    const int R = con.ScreenRows, C = con.ScreenColumns;
    const bool marker = con.KeyText == "bl" || con.KeyText == "op";

    con.DrawListBox(top);

    const int count = p.window.RecordCount, rows = con.PageRows;
    b.scrollZone = count > rows && rows > 4 && !marker;
    if (b.scrollZone) {
        int step = (count - rows) / rows;
        int row;
        if (step > 0) {
            row = 4 + 1 + b.PageTop / step;
        } else {
            // Fewer than two pages: the marker follows the page in proportion.
            row = 5 + (b.PageTop - 1) * (R - 13) / std::max(1, count - rows);
        }
        row = std::clamp(row, 5, R - 8);
        con.RawAt(row, 2, "-");
        con.RawAt(row, C - 1, "-");
        con.RawAt(3, 2, kZoneTop);
        con.RawAt(3, C - 1, kZoneTop);
        con.RawAt(R - 6, 2, kZoneBottom);
        con.RawAt(R - 6, C - 1, kZoneBottom);
    }

    if (!marker) {
        int width = std::max(static_cast<int>(b.CurrentListFile.size()), 6);
        int boxLeft = 4, boxRight = C - 6;
        if (!(width < 4 || width > C - 6)) {
            int half = width / 2;
            boxLeft = RoundedColumn(C / 2.0 - half - 3);
            boxRight = RoundedColumn(half + C / 2.0 + 3);
        }
        con.DrawBox(1, boxLeft, 3, boxRight);
    }

    con.DrawMenuBox();
    con.KeyText.clear();
}

void DrawPage(Program& p, bool drawOnly) {
    auto& con = p.con;
    auto& b = p.browser;
    const int C = con.ScreenColumns;
    const int* colours = con.Colours;
    const int cursor = CursorSlot(p);

    for (int i = b.PageTop; i <= b.PageTop + con.PageRows; ++i) {
        const int row = i - b.PageTop + 5;
        const int mark = (i >= 1 && i <= RecordLimit) ? b.Marks[static_cast<std::size_t>(i)] : 0;
        int fg = colours[1], bg = colours[2];
        if (i == cursor) {
            fg = colours[3];
            bg = mark ? colours[5] : colours[4];
        } else if (mark) {
            bg = colours[5];
        }

        con.Locate(row, C - 6);
        if (mark) {
            con.SetColours(fg, bg);
            Text number = Left(Digits(mark), 7);
            if (number.size() < 5) number = PadRight(number, 5);
            con.Show(number, 1);
        } else {
            con.SetColours(colours[1], colours[2]);
            con.Show(Spaces(5), 1);
        }

        const Text& entry = EntryAt(p, i);
        Text shown;
        if (static_cast<int>(entry.size()) >= C - 16)
            shown = Left(entry, 24) + "..." + Right(entry, C - 38);
        else
            shown = PadRight(entry, C - 11);
        con.SetColours(fg, bg);
        con.Locate(row, 3);
        con.Show(shown, 0);
        con.SetColours(colours[1], colours[2]);
    }
    if (!drawOnly) {
        con.NoWait = 0;
        con.WaitEvent();
    }
}

void DrawMenuLines(Program& p) {
    auto& con = p.con;
    auto& b = p.browser;
    const int R = con.ScreenRows, C = con.ScreenColumns;
    const int third = RoundedColumn(C / 3.0), twoThirds = RoundedColumn(2.0 * C / 3.0);
    const Text& entry = EntryAt(p, CursorSlot(p));
    const Text search = b.SearchActive == 1 ? "weiter suchen   " : "(s)uchen nach";
    const Text root = AtDriveRoot(p) ? " " : "\\";

    if (b.BrowserMode == 1) {
        if (!AtHome(p)) con.ShowAt(R - 3, 5, "h");
        con.Locate(R - 3, third);
        con.Show("(O)ptionen", 0);
        if (b.ListOpen == 1) {
            con.ShowAt(R - 3, 7, "(D)atei schlie\xDF" "en");
            con.ShowAt(R - 3, twoThirds, "Gehe zu a-(z)");
        }
        con.ShowAt(R - 2, 5, root);
        bool noInfo = b.ListOpen == 0 && (entry == ".." || StartsWith(entry, "<DIR>") || IsDriveEntry(entry));
        con.ShowAt(R - 1, 5, noInfo ? " " : "i");
        if (p.window.ListDisplay == 0 && b.MarkCounter > 1)
            con.ShowAt(R - 1, 7, "(a)usf\xFChren");
        else if (p.window.ListDisplay > 0 && b.ListOpen == 1)
            con.ShowAt(R - 1, 7, "direkt (a)ufruf");
        else
            con.ShowAt(R - 1, 7, Spaces(15));  // the last mark was taken back
        con.ShowAt(R - 1, twoThirds, "(L)iste aktualisieren");
        con.ShowAt(R - 1, third, search);
    } else if (b.BrowserMode == 2) {
        if (!AtHome(p)) con.ShowAt(R - 3, 5, "h");
        con.ShowAt(R - 3, 7, "Liste (a)ktualisieren");
        con.ShowAt(R - 3, twoThirds, "(b)earbeitung beenden");
        con.ShowAt(R - 2, 5, root);
        bool info = b.ListOpen == 1 || EndsWithNoCase(entry, p.settings.listExtension) ||
                    EndsWithNoCase(entry, ".pavuto");
        con.ShowAt(R - 1, 5, info ? "i" : " ");
        con.ShowAt(R - 1, 7, "(n)eue config");
        con.ShowAt(R - 1, third, search);
        con.ShowAt(R - 1, twoThirds, "(P)fad zuf\xFCgen");
    }
    if (p.timer.TimerMode > 0 && (b.BrowserMode == 1 || b.BrowserMode == 2)) ShowTimerInBrowser(p);
}

void DrawTitle(Program& p) {
    auto& con = p.con;
    auto& b = p.browser;
    const int C = con.ScreenColumns;
    if (b.CurrentListFile.empty()) return;
    Text title = b.CurrentListFile;
    long own = InstrNoCase(title, "\\EIGENE DATEIEN");
    if (own > 1) title = Mid(title, own + 1);
    if (EndsWithNoCase(title, ".pavuto")) title.resize(title.size() - 7);
    const int length = static_cast<int>(title.size());
    if (length < C - 10) {
        con.ShowAt(2, RoundedColumn(C / 2.0 - length / 2), title);
    } else {
        // The start and the end of a long name, ending before the right edge.
        con.ShowAt(2, 5, Left(title, 10) + "..." + Right(title, C - 18));
    }
}

void DrawBrowserScreen(Program& p, bool clear) {
    auto& con = p.con;
    auto& b = p.browser;
    if (clear) {
        con.SetColours(con.Colours[1], con.Colours[2]);
        con.Clear();
        con.FlushEvents();
    }
    DrawMenuLines(p);
    DrawTitle(p);
    DrawFrames(p);
    const int count = p.window.RecordCount;
    if (count <= con.PageRows && b.CursorOffset >= count) b.CursorOffset = std::max(0, count - 1);
    DrawPage(p, true);
}

}  // namespace pavuto
