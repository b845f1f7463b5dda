#include "ui/browser.hpp"

#include <algorithm>

#include "config/default_config.hpp"
#include "config/list_config.hpp"
#include "lists/directory_reader.hpp"
#include "lists/list_file.hpp"
#include "playback/selection.hpp"
#include "program.hpp"
#include "ui/browser_internal.hpp"
#include "ui/options.hpp"
#include "ui/screen.hpp"

namespace pavuto {

namespace {

enum class Step { RestartPoint, BuildScreen, ProcessSelection };

Text HomeDirectoryOf(Program& p) {
    return p.browser.homeDirectory.empty() ? p.settings.HomeDirectory() : p.browser.homeDirectory;
}

Text WithoutFinalBackslash(Text path) {
    if (path.size() > 3 && EndsWith(path, "\\")) path.pop_back();
    return path;
}

Handler DriveChange() { return [](Program& p, const RuntimeError& e) { return DriveHandler(p, e); }; }

// Every entry empty and nothing marked.
void AtRestartPoint(Program& p) {
    auto& w = p.window;
    std::fill(w.Titles.begin(), w.Titles.end(), kEmptySlot);
    for (auto& d : w.Directories) d.clear();
    ClearMarks(p);
}

// The first pass: the directory view, or the list named for endless playback.
void FirstStart(Program& p) {
    auto& b = p.browser;
    auto& s = p.settings;
    b.CursorOffset = 0;
    b.PageTop = 1;
    if (s.autoMode.empty()) {
        b.SelectedEntry.clear();
        b.ListOpen = 0;
        if (s.configurationName.empty()) s.configurationName = "Default";
    } else {
        b.SelectedEntry = s.autoMode;
        b.ListOpen = 1;
        s.configurationName = "Default";
    }
    // Right after the start sequence has read the section it is not read
    // again (its messages would come twice).
    if (!b.configurationRead) LoadConfiguration(p);
    b.configurationRead = false;
    p.con.KeyText = "weiter";
    b.started = true;
}

// A list named on the command line that does not exist: the only way on is
// the program end.
[[noreturn]] void MissingNamedList(Program& p) {
    auto& con = p.con;
    while (true) {
        con.ShowLine("Liste '" + p.browser.CurrentListFile + "' nicht gefunden.");
        con.WaitForInput();
        ConfirmExit(p);
        con.Clear();
    }
}

void CloseUnreadableList(Program& p) {
    auto& b = p.browser;
    auto& w = p.window;
    std::fill(w.Titles.begin(), w.Titles.end(), kEmptySlot);
    for (auto& d : w.Directories) d.clear();
    w.RecordCount = 0;
    b.ListOpen = 0;
    b.CurrentListConfiguration.clear();
    b.PageTop = 1;
    b.CursorOffset = 0;
    ClearMarks(p);
}

// The reading part of a rebuild: the directory or the list window.
void ReadEntries(Program& p) {
    auto& b = p.browser;
    auto& w = p.window;
    p.con.Clear();
    if (b.ListOpen == 0) {
        {
            ArmedScope scope(p, DriveChange());
            Attempt(p, [&] { ReadDirectoryView(p); });
        }
        // The reader has taken every mark; numbering starts again.
        b.MarkCounter = 1;
        if (StartsWith(b.SelectedEntry, "\\")) b.SelectedEntry.erase(0, 1);
    } else if (b.BrowserMode == 1) {
        // The window is loaded where the page stands, so that a rebuild in
        // the middle of a list shows the same page again.
        w.FirstRecord = std::max(1, b.PageTop);
        std::fill(w.Titles.begin(), w.Titles.end(), kEmptySlot);
        for (auto& d : w.Directories) d.clear();
        bool loaded = false;
        if (!Attempt(p, [&] { loaded = LoadWindow(p); })) {
            // A list that cannot be read: after its message and a key the
            // directory it lies in is shown instead.
            if (!p.settings.autoMode.empty()) MissingNamedList(p);
            CloseUnreadableList(p);
            return ReadEntries(p);
        }
        if (!loaded) {
            w.RecordCount = 0;
            if (!p.settings.autoMode.empty()) MissingNamedList(p);
        }
    } else {
        b.ListOpen = 0;  // editing search paths always shows directories
    }
    if ((b.ListOpen == 0 || w.FirstRecord == 1) && IsEmptyEntry(w.Titles[1])) w.Titles[1] = kNoData;
}

// Building the screen, waiting and dispatching until a selection leaves it.
void Browse(Program& p) {
    auto& b = p.browser;
    auto& con = p.con;
    Way way = Way::Rebuild;
    while (true) {
        ArmGeneralHandler(p);
        if (way == Way::Rebuild) ReadEntries(p);
        if (b.BrowserMode == 0) {
            // A list configuration is chosen (or made) before anything is shown.
            con.SetColours(con.Colours[1], con.Colours[2]);
            con.Clear();
            con.FlushEvents();
            b.BrowserMode = ChooseListConfiguration(p) ? 2 : 1;
            way = Way::Rebuild;
            continue;
        }
        DrawBrowserScreen(p, way != Way::Refresh);
        // A list named for endless playback never waits for the user.
        if (!p.settings.autoMode.empty()) EndlessPlayback(p);
        con.NoWait = 0;
        con.WaitEvent();
        way = Dispatch(p);
        if (way == Way::Select) return;
    }
}

// Enter on a list file: its configuration and search paths are read.
void OpenList(Program& p) {
    auto& b = p.browser;
    auto& w = p.window;
    auto& fs = p.files();
    b.CurrentListFile = b.SelectedEntry;
    b.PageTop = 1;
    b.CursorOffset = 0;
    // Marks of the directory entries would name other records of the list.
    ClearMarks(p);
    const Text config = ListConfigurationFor(p, b.CurrentListFile);
    b.CurrentListConfiguration = config;
    ArmedScope scope(p, DriveChange());
    Attempt(p, [&] {
        if (!fs.FileExists(config)) {
            for (auto& s : w.SearchPaths) s.clear();
            w.SearchPathCount = 0;
            return;
        }
        ReadListConfiguration(p, config);
        LoadConfiguration(p);  // while browsing the default settings are in force
        ReadSearchPaths(p, config);
    });
}

Step ProcessSelection(Program& p) {
    auto& b = p.browser;
    auto& con = p.con;
    auto& fs = p.files();
    // A directory may be called "Ordner.pavuto" too: it is entered, not opened.
    if (EndsWith(LCase(b.SelectedEntry), ".pavuto") && !StartsWith(b.SelectedEntry, "<DIR> ")) b.ListOpen = 1;
    if (b.ListOpen == 1) {
        OpenList(p);
        return Step::BuildScreen;
    }
    if (StartsWith(b.SelectedEntry, "..")) {
        const Text path = CurrentDirectoryPath(p);
        long cut = 0;
        for (long i = static_cast<long>(path.size()) - 1; i >= 4 && cut == 0; --i)
            if (path[static_cast<std::size_t>(i - 1)] == '\\') cut = i;
        const Text parent = cut > 0 ? Left(path, cut) : Left(path, 3);
        const Text directory = parent.size() <= 3 ? Text("\\") : Mid(parent, 3, static_cast<long>(parent.size()) - 3);
        Attempt(p, [&] { fs.ChangeDirectory(directory); });
        b.PageTop = 1;
        b.CursorOffset = 2;
        return Step::RestartPoint;
    }
    if (EndsWith(b.SelectedEntry, ":")) {
        const Text drive = Right(b.SelectedEntry, 2);
        {
            ArmedScope scope(p, DriveChange());
            Attempt(p, [&] { fs.ChangeDrive(drive); });
        }
        b.PageTop = 1;
        b.CursorOffset = 2;
        return Step::RestartPoint;
    }
    const Text cursorEntry = EntryAt(p, CursorSlot(p));
    if (StartsWith(cursorEntry, "<DIR> ")) {
        const Text target = CurrentDirectoryPath(p) + Mid(cursorEntry, 7, 200);
        {
            ArmedScope scope(p, DriveChange());
            Attempt(p, [&] { fs.ChangeDirectory(target); });
        }
        b.PageTop = 1;
        b.CursorOffset = 2;
        return Step::RestartPoint;
    }
    // A file that is neither markable nor a list: one more event first.
    if (con.KeyText != "weiter" && p.settings.autoMode.empty()) {
        con.WaitForInput();
        if (con.KeyText == keys::Esc) ConfirmExit(p);
    }
    return Step::BuildScreen;
}

}  // namespace

Continuation DriveHandler(Program& p, const RuntimeError& e) {
    auto& con = p.con;
    auto& b = p.browser;
    auto& fs = p.files();
    const Text home = HomeDirectoryOf(p);
    // Failing at home itself: going home again would only fail again.
    if (UCase(WithoutFinalBackslash(fs.CurrentDirectory())) == UCase(WithoutFinalBackslash(home)))
        return GeneralHandler(p, e);
    con.ShowAt(con.ScreenRows - 7, 7, "     Laufwerk oder Verzeichnisswechsel nicht m\xF6glich....        ");
    con.Pause(2000);
    b.CurrentListFile = home;
    b.ListOpen = 0;
    try {
        fs.ChangeDrive(p.settings.homeDrive.empty() ? Left(home, 2) : p.settings.homeDrive);
        fs.ChangeDirectory(home);
    } catch (const RuntimeError& again) {
        return GeneralHandler(p, again);
    }
    return Continuation::GoOn(Point::BrowserRestart);
}

void RunBrowser(Program& p) {
    Step step = Step::RestartPoint;
    while (true) {
        try {
            try {
                switch (step) {
                    case Step::RestartPoint:
                        AtRestartPoint(p);
                        if (p.browser.started) {
                            step = Step::BuildScreen;
                        } else {
                            FirstStart(p);
                            step = Step::ProcessSelection;
                        }
                        break;
                    case Step::BuildScreen:
                        Browse(p);
                        step = Step::ProcessSelection;
                        break;
                    case Step::ProcessSelection:
                        step = ProcessSelection(p);
                        break;
                }
            } catch (const RuntimeError& e) {
                // An error without a statement of its own to retry or skip:
                // the armed handler tells the user, and the browser starts
                // over from the directory view, so that the failing read
                // cannot come round again and again.
                HandleSettledError(p, e);
                if (p.browser.ListOpen == 1) CloseUnreadableList(p);
                step = Step::RestartPoint;
            }
        } catch (const GoOnAt& g) {
            switch (g.point) {
                case Point::BrowserFirstStart:
                    p.browser.started = false;
                    step = Step::RestartPoint;
                    break;
                case Point::BrowserRestart:
                    step = Step::RestartPoint;
                    break;
                default:
                    // The browser shows the list again.
                    step = Step::BuildScreen;
                    break;
            }
        }
    }
}

}  // namespace pavuto
