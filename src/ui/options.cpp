#include "ui/options.hpp"

#include <algorithm>

#include "common/numbers.hpp"
#include "config/default_config.hpp"
#include "config/list_config.hpp"
#include "fileops/print_list.hpp"
#include "lists/builder.hpp"
#include "lists/directory_reader.hpp"
#include "lists/titles.hpp"
#include "playback/selection.hpp"
#include "playback/timer.hpp"
#include "program.hpp"
#include "ui/browser_internal.hpp"
#include "ui/file_dialogues.hpp"
#include "ui/install_dialogue.hpp"
#include "ui/screen.hpp"

namespace pavuto {

namespace {

constexpr int kPages = 8;
constexpr int kRunColumn = 48;  // right of it: "> & ausführen"

// A path that does not fit in a row: its first 6 characters, "..." and its end.
Text Shortened(const Text& path, int C) {
    if (static_cast<long>(path.size()) < C - 8) return path;
    return Left(path, 6) + "..." + Right(path, std::max(0, C - 17));
}

bool NamedWithoutNumbers(const Text& list) { return Instr(list, "ohne Nr.", 2) > 0; }

class Menu {
public:
    explicit Menu(Program& p) : p_(p), con_(p.con), endless_(!p.settings.autoMode.empty()) {}

    int Run() {
        savedRows_ = con_.ScreenRows;
        savedColumns_ = con_.ScreenColumns;
        Enter();
        if (endless_) {
            // No one clicks: the random titles are chosen as by a double
            // click on their row. The page is not drawn: the console keeps
            // the player's rows, where a page of the enlarged menu would
            // land on the player's frame.
            con_.KeyText.clear();
            con_.ClickKind = 2;
            con_.MouseButton = 1;
            con_.MouseRow = (p_.window.RecordCount > 30 ? 10 : 8) - 1;
            con_.MouseColumn = 20;
            Act();
            return Leave();
        }
        while (true) {
            DrawScreen();
            ShowPage(p_.browser.OptionsPage);
            con_.WaitForInput();
            if (!Act()) return Leave();
        }
    }

private:
    // The enlarged window.
    void Enter() {
        con_.ScreenRows = 25;
        con_.ScreenColumns = 74;
        if (!endless_) con_.ApplyWindowSize();
    }

    // The screen cleared and the frames drawn anew: an entry's operation may
    // have drawn screens of its own.
    void DrawScreen() {
        con_.SetColours(con_.Colours[1], con_.Colours[2]);
        con_.Clear();
        con_.KeyText = "op";
        DrawFrames(p_, 1);
    }

    int Leave() {
        con_.ScreenRows = savedRows_;
        con_.ScreenColumns = savedColumns_;
        if (!endless_) {
            con_.ApplyWindowSize();
            con_.out.Move(60, 25);
            con_.out.Show(host::WindowShow::Maximised);
        }
        return result_;
    }

    // The browser's size for a dialogue of its own, then the menu again.
    void WithBrowserSize(void (*dialogue)(Program&)) {
        con_.ScreenRows = savedRows_;
        con_.ScreenColumns = savedColumns_;
        dialogue(p_);
        Enter();
    }

    void Row(int row, const Text& text, int column = 7) { con_.ShowAt(row, column, text); }

    void ShowPage(int page) {
        const int R = con_.ScreenRows;
        con_.ClearMenuArea();
        con_.ClearListArea();
        con_.ShowAt(R - 3, 7, "(O)ptionen Men\xFC verlassen.");
        con_.ShowAt(2, 4, "Seite " + NumberText(page + 1) + " ");
        con_.ShowAt(R - 8, 5, con_.PagingLine);
        switch (page) {
            case 0: PageOne(); break;
            case 1: PageTwo(); break;
            case 2: PageThree(); break;
            case 3: PageFour(); break;
            case 4: PageFive(); break;
            case 5: PageSix(); break;
            case 6: PageSeven(); break;
            default: PageEight(); break;
        }
    }

    void PageOne() {
        Row(4, "alles Ausw\xE4hlen (Listen Reihenfolge)   > & ausf\xFChren");
        Row(6, "alles Ausw\xE4hlen (zufalls Reihenfolge)  > & ausf\xFChren");
        if (p_.window.RecordCount > 15) Row(8, "10 Titel zuf\xE4llig ausw\xE4hlen            > & ausf\xFChren");
        if (p_.window.RecordCount > 30) Row(10, "25 Titel zuf\xE4llig ausw\xE4hlen            > & ausf\xFChren");
        Row(12, p_.settings.mci == 1 ? "intern abspielen                " : "\xFC" "ber (externen) Player abspielen");
        if (p_.settings.configurationMissing == 1) Row(14, " Dieses Programm auf der Festplatte einrichten.");
    }

    void PageTwo() {
        const auto& s = p_.settings;
        Row(5, "Einstellungen laden (aktuell '" + s.configurationName + "')");
        Row(7, "aktuelle Einstellungen speichern");
        Row(9, "Dateien aus denen Listen erstellt werden > " + s.listExtension);
        Row(11, "Abspielprogramm (Player) vorgeben ");
        Row(12, s.player);
        if (s.mci == 1) {
            if (s.foreground == 1) {
                Row(13, "Programm beim abspielen nach jedem Titel in Vordergrund stellen");
                Row(14, "(Blind Modus)");
            } else {
                Row(13, "Programm beim abspielen im Hintergrund lassen.");
                Row(14, "(Auto Modus) ");
            }
        }
    }

    void PageThree() {
        auto& w = p_.window;
        if (p_.browser.ListOpen == 1 && NamedWithoutNumbers(p_.browser.CurrentListFile)) w.ListDisplay = 0;
        static const char* const kDisplay[] = {"zeige alle Dateien", "zeige keine mehrfach vorhandene Dateien",
                                               "zeige nur mehrfach vorhandene Dateien"};
        Row(5, Text("Bei Listen - ") + kDisplay[std::clamp(w.ListDisplay, 0, 2)]);
        Row(7, p_.browser.DeleteAllowed == 1 ? "Das L\xF6schen von Dateien ist m\xF6glich. (mit taste 'K')"
                                             : "L\xF6schen von Dateien nicht von diesem Programm aus.  ");
        if (p_.listConfig.NURNAMENSLISTE == 1) {
            Row(9, "Nur eine Liste mit original Namen erstellen.");
        } else {
            Row(9, "Liste xx und xx_Interpreten erstellen.");
            Row(10, "(Austausch von: Titel<Space>-<Space>(-The )Name.)");
        }
    }

    void PageFour() {
        Row(5, "H\xF6he und breite der Anzeige anpassen.");
        Row(6, "Zeilen  aktuell =" + NumberText(savedRows_));
        Row(7, "Spalten aktuell =" + NumberText(savedColumns_));
        con_.Locate(9, 7);
        ShowTimerMenuEntry(p_);
    }

    void PageFive() {
        const int C = con_.ScreenColumns;
        Row(5, "Voreinstellungs config Datei direkt editieren.");
        Row(6, Shortened(p_.settings.configurationPath, C));
        if (!p_.browser.CurrentListConfiguration.empty()) {
            Row(8, "Aktuelle Listenconfig editieren.");
            Row(9, Shortened(p_.browser.CurrentListConfiguration, C));
        }
        Row(11, "Ein Laufwerk nach " + p_.settings.listExtension + " durchsuchen.");
    }

    void PageSix() {
        const auto& b = p_.browser;
        if (b.ListOpen == 1) {
            const Text& target = p_.fileops.copyTarget;
            Row(6, "ausgew\xE4hlte Dateien kopieren nach >  " + (target.empty() ? Text() : target + " ."));
            if (!NamedWithoutNumbers(b.CurrentListFile)) Row(8, "Aus ausgew\xE4hlten Daten Wunschliste erstellen.");
        }
        Row(10, "Einspaltige  Druckliste erstellen.");
        Row(11, "Zweispaltige Druckliste erstellen.");
        Row(12, "Dreispaltige Druckliste erstellen.");
        Row(14, "'Home'\\Druckliste-x.txt  l\xF6schen.");
    }

    bool CanStripNumbers() const {
        const auto& b = p_.browser;
        return b.ListOpen == 1 && !NamedWithoutNumbers(b.CurrentListFile) &&
               Instr(b.CurrentListFile, " Interpreten") == 0;
    }

    void PageSeven() {
        if (CanStripNumbers()) {
            Row(7, "Bei aktueller Liste f\xFChrende Nummern entfernen.");
            Row(8, "(Die original Liste wird (noch) nicht ver\xE4ndert.)");
        }
        if (NumberlessRenamingOffered(p_))
            Row(10, "Umbenennen der original Titel in ver\xE4nderte Titel dieser Liste.");
        Row(12, "Umbenennen des aktuell angew\xE4hlten Datensatzes.");
        Row(13, "(unabh\xE4ngig davon ob markiert oder nicht.)");
    }

    void PageEight() {
        const auto& s = p_.settings;
        Row(4, "aktuelle Windowsversion:", 6);
        Row(5, s.versionText, 8);
        Row(7, "Aktuell benutzte Pfade:", 6);
        Row(8, "Home (Programmpfad)", 6);
        Row(9, s.HomeDirectory());
        Row(10, "Temp-Pfad (f\xFCr tempor\xE4re Dateien):", 6);
        Row(11, s.tempDirectory);
        if (!s.player.empty()) {
            Row(12, "Diese Dateien (*" + s.listExtension + ") starten mit:", 6);
            Row(13, s.player);
        }
    }

    // One event. False when the menu is to be left.
    bool Act() {
        const int R = con_.ScreenRows;
        const bool click = con_.ClickKind > 0;
        if (!click) return UCase(con_.KeyText) != "O";
        const int row = con_.MouseRow + 1, column = con_.MouseColumn;
        if (row > R - 5) return false;
        int& page = p_.browser.OptionsPage;
        if (row == 3 || row == R - 8) {
            if (column < 27)
                page = std::max(0, page - 1);
            else
                page = (page + 1) % kPages;
            return true;
        }
        switch (page) {
            case 0: return PageOneClick(row, column);
            case 1: return PageTwoClick(row);
            case 2: return PageThreeClick(row);
            case 3: return PageFourClick(row, column);
            case 4: return PageFiveClick(row);
            case 5: return PageSixClick(row);
            case 6: return PageSevenClick(row);
            default: return true;  // page 8 only shows
        }
    }

    bool PageOneClick(int row, int column) {
        auto& s = p_.settings;
        if (row == 12) {
            // Internal playing needs a wave output device.
            if (s.mci == 1)
                s.mci = 0;
            else if (p_.host.media.WaveOutDevices() > 0)
                s.mci = 1;
            return true;
        }
        if (row == 14) {
            // The installation draws its own screen, then the menu again.
            if (s.configurationMissing != 1) return true;
            return Install(p_);
        }
        if (row != 4 && row != 6 && row != 8 && row != 10) return true;
        const int S = SeedRandom(p_);
        if (row == 4) {
            MarkAllInListOrder(p_);
        } else if (row == 6) {
            MarkAllInListOrder(p_);
            if (!ShuffleMarks(p_, S)) return true;  // stopped: the page again
        } else if (!MarkRandomTitles(p_, row == 8 ? 10 : 25, S)) {
            return true;
        }
        result_ = column > kRunColumn && !endless_ ? options::RunNow : options::Nothing;
        return false;
    }

    bool PageTwoClick(int row) {
        auto& s = p_.settings;
        if (row == 5) {
            // A section may bring a window size of its own: it is the browser's.
            con_.ScreenRows = savedRows_;
            con_.ScreenColumns = savedColumns_;
            InstallThenChooseConfiguration(p_);
            if (p_.browser.ListOpen == 0) ReadDirectoryView(p_);
            savedRows_ = con_.ScreenRows;
            savedColumns_ = con_.ScreenColumns;
            Enter();
        } else if (row == 7) {
            WithBrowserSize(SaveSettings);
        } else if (row == 9) {
            EditExtension();
        } else if (row == 11) {
            EnterPlayerProgram(p_);
        } else if (row == 13 && s.mci == 1) {
            s.foreground = s.foreground == 1 ? 0 : 1;
        }
        return true;
    }

    void EditExtension() {
        auto& s = p_.settings;
        con_.ShowAt(9, 50, Spaces(static_cast<long>(s.listExtension.size()) + 1));
        con_.ShowAt(9, 50, "_");
        con_.FlushEvents();
        con_.WaitForInput();
        const Text first = con_.KeyText;
        if (first.empty() || first == keys::Enter || first == keys::Esc || first == " " || con_.ClickKind > 0) {
            con_.KeyText.clear();
            return;
        }
        con_.ShowAt(9, 47, Spaces(20));
        con_.ShowAt(9, 47, " " + first);
        Text extension = first + con_.InputLine();
        if (!StartsWith(extension, ".")) extension = "." + extension;
        s.listExtension = extension;
    }

    bool PageThreeClick(int row) {
        auto& b = p_.browser;
        auto& lc = p_.listConfig;
        if (row == 5) {
            auto& w = p_.window;
            w.ListDisplay = (w.ListDisplay + 1) % 3;
            if (b.ListOpen == 1 && NamedWithoutNumbers(b.CurrentListFile)) w.ListDisplay = 0;
        } else if (row == 7) {
            b.DeleteAllowed = b.DeleteAllowed == 1 ? 0 : 1;
            if (b.ListOpen == 0) ReadDirectoryView(p_);
        } else if (row == 9 || (row == 12 && lc.NURNAMENSLISTE == 1)) {
            if (++lc.NURNAMENSLISTE >= 2) {
                lc.NURNAMENSLISTE = 0;
                lc.performerListPath.clear();
            }
        }
        return true;
    }

    bool PageFourClick(int row, int column) {
        if (row >= 5 && row <= 7) {
            con_.ClearListArea();
            con_.ScreenRows = savedRows_;
            con_.ScreenColumns = savedColumns_;
            con_.ApplyWindowSize();
            RowsAndColumns(p_);
            // The size chosen is the browser's from now on.
            savedRows_ = con_.ScreenRows;
            savedColumns_ = con_.ScreenColumns;
            Enter();
        } else if (row == 9) {
            con_.Locate(9, 7);
            TimerMenuEntry(p_, column);
        }
        return true;
    }

    bool PageFiveClick(int row) {
        if (row == 5 || row == 6) {
            if (!p_.files().FileExists(p_.settings.configurationPath)) return true;
            EditConfiguration(p_);
            con_.ScreenRows = savedRows_;
            con_.ScreenColumns = savedColumns_;
            LoadConfiguration(p_);
            savedRows_ = con_.ScreenRows;
            savedColumns_ = con_.ScreenColumns;
            return false;
        }
        if ((row == 8 || row == 9) && !p_.browser.CurrentListConfiguration.empty()) {
            EditListConfiguration(p_);
            Enter();
            return true;
        }
        if (row == 11) {
            ScanDrive(p_);
            return false;
        }
        return true;
    }

    bool PageSixClick(int row) {
        const auto& b = p_.browser;
        if (row == 6 && b.ListOpen == 1) {
            SetCopyTarget(p_);
        } else if (row == 8 && b.ListOpen == 1 && !NamedWithoutNumbers(b.CurrentListFile)) {
            CreateWishList(p_);
        } else if (row >= 10 && row <= 12) {
            MakePrintList(p_, row - 9);
        } else if (row == 14) {
            DeletePrintLists(p_);
        }
        return true;
    }

    bool PageSevenClick(int row) {
        if ((row == 7 || row == 8) && CanStripNumbers()) {
            MakeNumberlessList(p_);
            return true;
        }
        if (row == 10 && NumberlessRenamingOffered(p_)) {
            result_ = RenameToNumberlessTitles(p_);
            return result_ != options::CloseList;
        }
        if (row == 12 || row == 13) {
            try {
                RenameSelectedRecord(p_);
            } catch (const GoOnAt& g) {
                // A rename that failed has been reported: the menu is left.
                if (g.point != Point::OptionsMenu) throw;
            }
            return false;
        }
        return true;
    }

    Program& p_;
    ConsoleLayer& con_;
    const bool endless_;
    int savedRows_ = 0, savedColumns_ = 0;
    int result_ = options::Nothing;
};

}  // namespace

int OptionsMenu(Program& p) { return Menu(p).Run(); }

void EndlessPlayback(Program& p) {
    while (true) {
        ClearMarks(p);
        OptionsMenu(p);
        PlayEndlessRound(p);
    }
}

}  // namespace pavuto
