// The options menu: its pages, paging, the clicks and what the browser does
// with the result.
#include "browser_fixture.hpp"
#include "ui/options.hpp"
#include "lists/list_file.hpp"

namespace pavuto::test {
namespace {

class OptionsTest : public BrowserTest {
protected:
    OptionsTest() {
        h.temp.Write("tmp/.keep", "");
        h.environment.block = {"COMSPEC=C:\\bin\\cmd.exe"};
        h.console.keepScreens = true;
    }
    // Runs the menu on its own; the script must leave it.
    int Menu() { return OptionsMenu(p); }
    // The row of the last screen the menu waited on, from a column on.
    std::string Waited(int row, int column = 1, std::size_t count = std::string::npos) const {
        const auto& rows = h.console.screens.back();
        return rows[static_cast<std::size_t>(row - 1)].substr(static_cast<std::size_t>(column - 1), count);
    }
    // The screen the menu showed before its n-th wait (0-based).
    std::string WaitedAt(std::size_t n, int row, int column, std::size_t count) const {
        return h.console.screens.at(n)[static_cast<std::size_t>(row - 1)].substr(static_cast<std::size_t>(column - 1),
                                                                               count);
    }
    void Titles(int n) {
        std::string records;
        for (int i = 1; i <= n; ++i) records += Record("Titel " + std::to_string(1000 + i), "Musik\\Rock");
        WriteList("Rock", records);
        for (int i = 1; i <= n; ++i) h.temp.Write("Musik/Rock/Titel " + std::to_string(1000 + i) + ".mp3", "x");
    }
};

TEST_F(OptionsTest, EntersEnlargedPagesBothWaysAndLeavesWithTheBrowserSize) {
    StartIn("C:\\home");
    p.browser.ListOpen = 0;
    h.console.Click(3, 40, 1, 1, 1000);   // next page
    h.console.Key("x", 2000);              // ignored
    h.console.Click(17, 10, 1, 1, 3000);  // the paging line, left: back
    h.console.Click(3, 10, 1, 1, 4000);   // not before page 1
    h.console.Click(17, 60, 1, 1, 5000);  // forward again
    h.console.Key("O", 6000);
    EXPECT_EQ(Menu(), options::Nothing);
    // Screens are kept when they change: the ignored key and the click
    // before page 1 leave the page as it was.
    const auto& s = h.console.screens;
    ASSERT_EQ(s.size(), 4u);
    EXPECT_EQ(WaitedAt(0, 2, 4, 9), "Seite  1 ");
    EXPECT_EQ(WaitedAt(0, 4, 7, 52), "alles Ausw\x84hlen (Listen Reihenfolge)   > & ausf\x81hren");
    EXPECT_EQ(WaitedAt(0, 22, 7, 26), "(O)ptionen Men\x81 verlassen.");
    EXPECT_EQ(WaitedAt(0, 17, 5, 21), "    (zur\x81" "ck bl\x84ttern)");
    EXPECT_EQ(WaitedAt(1, 2, 4, 9), "Seite  2 ");
    EXPECT_EQ(WaitedAt(1, 7, 7, 32), "aktuelle Einstellungen speichern");
    EXPECT_EQ(WaitedAt(1, 4, 3, 60), std::string(60, ' ')) << "page 1's first row is gone";
    EXPECT_EQ(WaitedAt(2, 2, 4, 9), "Seite  1 ");
    EXPECT_EQ(WaitedAt(3, 2, 4, 9), "Seite  2 ");
    EXPECT_EQ(p.browser.OptionsPage, 1) << "kept for the next visit";
    ASSERT_GE(h.console.log.size(), 2u);
    EXPECT_NE(std::find(h.console.log.begin(), h.console.log.end(), "size 25x74"), h.console.log.end());
    EXPECT_EQ(p.con.ScreenRows, 22);
    EXPECT_EQ(p.con.ScreenColumns, 70);
    EXPECT_EQ(h.console.Rows(), 22);

    // After page 8 comes page 1; a click below the menu box's top leaves.
    p.browser.OptionsPage = 7;
    h.console.screens.clear();
    h.console.Click(3, 40, 1, 1, h.clock.Milliseconds() + 1000);
    h.console.Click(23, 10, 1, 1, h.clock.Milliseconds() + 2000);
    Menu();
    ASSERT_EQ(h.console.screens.size(), 2u);
    EXPECT_EQ(WaitedAt(0, 4, 6, 24), "aktuelle Windowsversion:");
    EXPECT_EQ(WaitedAt(1, 2, 4, 9), "Seite  1 ");
}

// The random titles: a click on "> & ausführen" marks and runs them at once,
// a click on the text only marks them; the rows appear only for lists long
// enough.
TEST_F(OptionsTest, RandomTitlesMarkedAndRunFromTheFirstPage) {
    Titles(100);
    OpenFromHome();
    script.Key("o").Click(8, 20);  // ten titles, marked only
    Run();
    EXPECT_EQ(p.browser.MarkCounter, 11);
    EXPECT_TRUE(h.processes.started.empty());
    EXPECT_EQ(p.con.ScreenRows, 22);

    script.Key("o").Click(10, 55);  // 25 titles, run at once
    Run();
    ASSERT_EQ(h.processes.started.size(), 1u);
    EXPECT_EQ(p.browser.MarkCounter, 1) << "run, then the marks are cleared";
    std::string playlist = h.temp.Read("tmp/auswahlliste.m3u");
    EXPECT_EQ(std::count(playlist.begin(), playlist.end(), '\n'), 25);
}

TEST_F(OptionsTest, ShortListsOfferNoRandomTitlesAndMarkAllInListOrder) {
    Titles(12);
    OpenFromHome();
    script.Key("o").Click(8, 20).Click(4, 20);
    Run();
    const auto* page = h.console.ScreenWith(4, 7, "alles Ausw\x84hlen (Listen Reihenfolge)");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ((*page)[7].find("Titel zuf"), std::string::npos);
    EXPECT_EQ(p.browser.MarkCounter, 13);
    for (int i = 1; i <= 12; ++i) EXPECT_EQ(p.browser.Marks[static_cast<std::size_t>(i)], i);
}

TEST_F(OptionsTest, SettingsOfTheSecondAndThirdPage) {
    StartIn("C:\\home");
    p.settings.mci = 1;
    p.listConfig.NURNAMENSLISTE = 1;
    p.listConfig.performerListPath = "C:\\home\\Rock Interpreten.pavuto";
    p.browser.OptionsPage = 1;
    auto at = [this](int step) { return h.clock.Milliseconds() + 1000LL * step; };
    h.console.Click(9, 10, 1, 1, at(1));  // the extension
    h.console.Keys("ogg\r", at(2));
    h.console.Click(13, 10, 1, 1, at(3));  // the blind flag
    h.console.Click(3, 40, 1, 1, at(4));   // page 3
    h.console.Click(5, 10, 1, 1, at(5));   // display: 1
    h.console.Click(5, 10, 1, 1, at(6));   // 2
    h.console.Click(5, 10, 1, 1, at(7));   // 0
    h.console.Click(7, 10, 1, 1, at(8));   // deleting allowed
    h.console.Click(9, 10, 1, 1, at(9));   // performer lists: 2 becomes 0
    h.console.Key("o", at(10));
    Menu();
    EXPECT_EQ(p.settings.listExtension, ".ogg");
    EXPECT_EQ(p.settings.foreground, 1);
    EXPECT_TRUE(h.console.ScreenWith(14, 7, "(Blind Modus)") != nullptr);
    EXPECT_TRUE(h.console.ScreenWith(5, 7, "Bei Listen - zeige keine mehrfach vorhandene Dateien") != nullptr);
    EXPECT_TRUE(h.console.ScreenWith(5, 7, "Bei Listen - zeige nur mehrfach vorhandene Dateien") != nullptr);
    EXPECT_EQ(p.window.ListDisplay, 0);
    EXPECT_EQ(p.browser.DeleteAllowed, 1);
    EXPECT_EQ(p.listConfig.NURNAMENSLISTE, 0);
    EXPECT_TRUE(p.listConfig.performerListPath.empty());
    EXPECT_EQ(Waited(9, 7, 38), "Liste xx und xx_Interpreten erstellen.");
}

TEST_F(OptionsTest, InternalPlayingNeedsAWaveDevice) {
    StartIn("C:\\home");
    h.media.devices = 0;
    h.console.Click(12, 10, 1, 1, 1000);
    h.console.Key("o", 2000);
    Menu();
    EXPECT_EQ(p.settings.mci, 0);
    h.media.devices = 1;
    h.console.Click(12, 10, 1, 1, h.clock.Milliseconds() + 1000);
    h.console.Key("o", h.clock.Milliseconds() + 2000);
    Menu();
    EXPECT_EQ(p.settings.mci, 1);
    EXPECT_EQ(WaitedAt(h.console.screens.size() - 1, 12, 7, 16), "intern abspielen");
}

TEST_F(OptionsTest, TheInformationPageNamesHomeTempAndPlayer) {
    p.settings.versionText = "Linux 6.1 x86_64";
    p.settings.player = "C:\\bin\\player";
    p.browser.OptionsPage = 7;
    h.console.Key("o", 1000);
    Menu();
    EXPECT_EQ(Waited(5, 8, 16), "Linux 6.1 x86_64");
    EXPECT_EQ(Waited(9, 7, 7), "C:\\home");
    EXPECT_EQ(Waited(10, 6, 34), "Temp-Pfad (f\x81r tempor\x84re Dateien):");
    EXPECT_EQ(Waited(11, 7, 7), "C:\\tmp\\");
    EXPECT_EQ(Waited(12, 6, 34), "Diese Dateien (*.mp3) starten mit:");
    EXPECT_EQ(Waited(13, 7, 13), "C:\\bin\\player");
}

TEST_F(OptionsTest, EndlessPlaybackChoosesItsTitlesWithoutDrawingOverThePlayer) {
    Titles(40);
    p.browser.ListOpen = 1;
    p.browser.CurrentListFile = "C:\\home\\Rock.pavuto";
    p.window.FirstRecord = 1;
    ASSERT_TRUE(LoadWindow(p));
    p.settings.autoMode = "Rock.pavuto";
    // The player's console of 17 rows with its frame.
    p.con.ScreenRows = 17;
    p.con.ApplyWindowSize();
    for (int r = 1; r <= 17; ++r) p.con.ShowAt(r, 1, "|player frame|");
    EXPECT_EQ(Menu(), options::Nothing);
    EXPECT_EQ(p.browser.MarkCounter, 26);
    // Only the shuffle's progress line (row 16) is written.
    for (int r = 1; r <= 15; ++r) EXPECT_EQ(Row(r, 1, 14), "|player frame|") << r;
    EXPECT_EQ(Row(17, 1, 14), "|player frame|");
    EXPECT_EQ(p.con.ScreenRows, 17);
}

}  // namespace
}  // namespace pavuto
