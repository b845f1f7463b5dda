// Search ("s", "weiter suchen") and the jump by initial letters ("z").
#include "browser_fixture.hpp"
#include "ui/search.hpp"

namespace pavuto::test {
namespace {

class SearchTest : public BrowserTest {
protected:
    // C:\S: "..", Alpha, Beta, Delta, Gamma, Hard Rock Cafe, Rockabilly, Zeta.
    void Directory() {
        for (const char* name :
             {"Alpha.mp3", "Beta.mp3", "Delta.mp3", "Gamma.mp3", "Hard Rock Cafe.mp3", "Rockabilly.mp3", "Zeta.mp3"})
            h.temp.Write(std::string("S/") + name, "x");
        StartIn("C:\\S");
    }
    void Find(const std::string& text) { script.Key("s").Typed(text).Key(keys::Enter); }
};

TEST_F(SearchTest, NormalisationFoldsAccentsAndCase) {
    EXPECT_EQ(NormaliseForSearch(p, "M\xFCller"), "MULLER");
    EXPECT_EQ(NormaliseForSearch(p, "\xDC" "BER \xC4rger \xE9t\xE9 \xF3 \xED \xFA \xE1"), "UBER ARGER ETE O I U A");
    // ß is not folded: it stays one letter that matches only itself.
    EXPECT_EQ(NormaliseForSearch(p, "Stra\xDF" "e"), NormaliseForSearch(p, "STRA\xDF" "E"));
    EXPECT_NE(NormaliseForSearch(p, "Stra\xDF" "e"), "STRASSE");
    EXPECT_EQ(p.con.OutputText, "");
    EXPECT_EQ(FoldAccents("\xFC\xE4\xF6\xC4\xD6\xDC\xE1\xE9\xFA\xF3\xED\xDF"), "uaoAOUaeuoi\xDF");
}

TEST_F(SearchTest, AHitIsShownOnTheThirdLineOfTheDirectory) {
    Directory();
    Find("rock");
    Run();
    EXPECT_EQ(p.browser.SearchActive, 1);
    EXPECT_EQ(p.browser.LastHit, 6);
    EXPECT_EQ(p.browser.PageTop, 4);
    EXPECT_EQ(p.browser.CursorOffset, 2);
    EXPECT_EQ(Line(3), "Hard Rock Cafe.mp3");
    EXPECT_EQ(Bg(7, 3), 7);
    EXPECT_EQ(Row(21, 23, 16), "weiter suchen   ");
}

TEST_F(SearchTest, AHitNearTheTopKeepsThePageAtTheTop) {
    Directory();
    Find("ALP");
    Run();
    EXPECT_EQ(p.browser.PageTop, 1);
    EXPECT_EQ(p.browser.CursorOffset, 1);
}

TEST_F(SearchTest, SearchGoesOnAfterTheHitUntilEverythingIsSearched) {
    Directory();
    Find("rock");
    script.Key("s");  // Rockabilly
    Run();
    EXPECT_EQ(p.browser.LastHit, 7);
    EXPECT_EQ(Line(3), "Rockabilly.mp3");

    script.Key(keys::Enter);  // Enter goes on as well: nothing follows
    Run();
    EXPECT_TRUE(clock.Showed(19, 5, " suche weiter nach : rock"));
    EXPECT_TRUE(clock.Showed(20, 5, " alles durchsucht... "));
    EXPECT_EQ(p.browser.SearchActive, 0);
    EXPECT_EQ(p.browser.LastHit, 0);
    EXPECT_EQ(Row(21, 23, 16), "(s)uchen nach   ");

    script.Key("s");  // a new term is asked for
    Run();
    EXPECT_EQ(Row(19, 5, 14), " suchen nach :");
}

TEST_F(SearchTest, AnyOtherKeyEndsTheOffer) {
    Directory();
    Find("rock");
    script.Key(keys::Down).Key("s");
    Run();
    EXPECT_EQ(p.browser.SearchActive, 0);
    EXPECT_EQ(p.browser.CursorOffset, 2);  // the Down only ended the offer
    EXPECT_EQ(Row(19, 5, 14), " suchen nach :");
}

TEST_F(SearchTest, AClickOnWeiterSuchenGoesOnAndAnyOtherClickEndsTheOffer) {
    Directory();
    Find("rock");
    script.Click(21, 25);
    Run();
    EXPECT_EQ(p.browser.LastHit, 7);

    script.Click(8, 30);
    Run();
    EXPECT_EQ(p.browser.SearchActive, 0);
    EXPECT_EQ(p.browser.CursorOffset, 2);  // the click only ended the offer
}

TEST_F(SearchTest, ClickEnterOrEscCancelTheQuestion) {
    Directory();
    script.Key("s").Key(keys::Esc).Key("s").Click(10, 10).Key("s").Key(keys::Enter);
    Run();
    EXPECT_EQ(p.browser.SearchActive, 0);
    EXPECT_EQ(p.browser.SearchTerm, "");
    EXPECT_EQ(p.browser.CursorOffset, 0);
}

TEST_F(SearchTest, EscStopsALongDirectorySearchWithoutAMessage) {
    for (int i = 0; i < 300; ++i) h.temp.Write("Long/f" + std::to_string(1000 + i) + ".mp3", "x");
    StartIn("C:\\Long");
    // The search takes no time of its own: the Esc is typed right behind
    // the Enter that starts it.
    h.console.Key("s", 5000);
    h.console.Keys("nirgends", 5100);
    h.console.Key(keys::Enter, 5200);
    h.console.Key(keys::Esc, 5200);
    Run();
    EXPECT_FALSE(clock.ShowedAnywhere(" alles durchsucht... "));
    EXPECT_EQ(p.browser.SearchActive, 0);
    EXPECT_EQ(p.browser.PageTop, 1);
    EXPECT_EQ(p.browser.CursorOffset, 0);
    EXPECT_EQ(Line(1), "..");
}

TEST_F(SearchTest, AListIsSearchedInItsTitlesOnly) {
    std::string records;
    for (int i = 1; i <= 30; ++i) {
        std::string title = i == 20 ? "Der Gamma Song" : "Titel " + std::to_string(i);
        records += Record(title, i == 10 ? "Musik\\Rockzone" : "Musik\\Rock");
    }
    WriteList("Rock", records);
    OpenFromHome();
    Find("rockzone");
    Run();
    EXPECT_TRUE(clock.Showed(20, 5, " alles durchsucht... "));
    EXPECT_EQ(p.browser.SearchActive, 0);

    Find("GAMMA");
    Run();
    EXPECT_EQ(p.browser.SearchActive, 1);
    EXPECT_EQ(p.browser.PageTop, 17);  // the hit on the fourth line
    EXPECT_EQ(p.browser.CursorOffset, 3);
    EXPECT_EQ(p.window.FirstRecord, 17);
    EXPECT_EQ(Line(4), "Der Gamma Song");
    EXPECT_EQ(Bg(8, 3), 7);
}

class JumpTest : public BrowserTest {
protected:
    // A sorted list of 40 titles: A..., B..., BE..., C..., ...
    void SortedList() {
        const char* titles[] = {"Aachen",  "Abend",    "Adler",   "Affe",   "Ahorn",   "Bach",     "Ball",
                                "Bank",    "Baum",     "Beere",   "Berg",   "Besen",   "Biene",    "Blatt",
                                "Boot",    "Brot",     "Burg",    "Dach",   "Eis",     "Fisch",    "Garten",
                                "Haus",    "Igel",     "Jacke",   "Kamm",   "Lampe",   "Maus",     "Nase",
                                "Ofen",    "Pilz",     "Quelle",  "Rose",   "Sonne",   "Tisch",    "Uhr",
                                "Vogel",   "Wald",     "Xylophon", "Yak",   "Zebra"};
        std::string records;
        for (const char* t : titles) records += Record(t, "Musik\\Rock");
        WriteList("Rock", records);
        OpenFromHome();
    }
};

TEST_F(JumpTest, InitialLettersPutTheFirstMatchOnTheThirdLine) {
    SortedList();
    script.Key("z").Key("b").Key("e");
    Run();
    EXPECT_EQ(p.browser.PageTop, 8);  // Beere is record 10
    EXPECT_EQ(p.browser.CursorOffset, 2);
    EXPECT_EQ(Line(3), "Beere");
    EXPECT_EQ(Row(19, 15, 3), "BE_");
    EXPECT_EQ(Row(21, 4, 66), kLetterBar.substr(0, 66));
}

TEST_F(JumpTest, BackspaceGoesBackToTheShorterPrefix) {
    SortedList();
    script.Key("z").Key("b").Key("e").Key(keys::Backspace);
    Run();
    EXPECT_EQ(p.browser.PageTop, 4);  // Bach is record 6
    EXPECT_EQ(Line(3), "Bach");
    EXPECT_EQ(Row(19, 15, 2), "B_");

    script.Key("z").Key(keys::Backspace);  // nothing to take back
    Run();
    EXPECT_EQ(Row(19, 15, 2), "_ ");
}

TEST_F(JumpTest, ClicksOnTheLetterBar) {
    SortedList();
    // "B" stands at bar position 28, column 31; the blank right of it is column 32.
    script.Key("z").Click(21, 32).Click(21, 5).Click(21, 19);
    Run();
    EXPECT_EQ(Row(19, 15, 2), "1_");  // "<Bksp>" took the B back; column 19 is the digit 1
    EXPECT_EQ(p.browser.PageTop, 1);
    EXPECT_EQ(p.browser.CursorOffset, 0);  // no title begins with 1
}

TEST_F(JumpTest, ThePageMovesUpAtTheEndOfTheList) {
    SortedList();
    script.Key("z").Key("y");
    Run();
    EXPECT_EQ(p.browser.PageTop, 40 - 9);
    EXPECT_EQ(p.browser.CursorOffset, 39 - 31);
    EXPECT_EQ(Line(9), "Yak");
    EXPECT_EQ(p.window.FirstRecord, 31);
}

TEST_F(JumpTest, EscEndsTheJumpWhereItIs) {
    SortedList();
    script.Key("z").Key("d").Key(keys::Esc).Key(keys::Down);
    Run();
    EXPECT_EQ(p.browser.PageTop, 16);  // Dach is record 18
    EXPECT_EQ(p.browser.CursorOffset, 3);
    EXPECT_EQ(Row(19, 47, 13), "Gehe zu a-(z)");
}

TEST_F(JumpTest, ARightClickOrAClickOnTheListEndsTheJump) {
    SortedList();
    script.Key("z").Key("b").Click(21, 40, 2).Key(keys::Down);
    Run();
    EXPECT_EQ(p.browser.PageTop, 4);
    EXPECT_EQ(p.browser.CursorOffset, 3);

    script.Key("z").Key("e").Click(10, 30).Key(keys::Down);
    Run();
    EXPECT_EQ(p.browser.PageTop, 17);  // Eis is record 19
    EXPECT_EQ(p.browser.CursorOffset, 3);
}

TEST_F(JumpTest, NothingHappensOnAListShorterThanTwoPages) {
    std::string records;
    for (int i = 0; i < 15; ++i) records += Record("Titel " + std::to_string(i), "Musik\\Rock");
    WriteList("Rock", records);
    OpenFromHome();
    script.Key("z").Key("t");
    Run();
    EXPECT_EQ(p.browser.PageTop, 1);
    EXPECT_EQ(p.browser.CursorOffset, 0);
    EXPECT_EQ(Row(19, 7, 7), "(D)atei");
    EXPECT_EQ(Row(21, 4, 3), " i ");
}

TEST(LetterBar, ClicksBecomeKeys) {
    EXPECT_EQ(kLetterBar.size(), 76u);
    EXPECT_EQ(LetterBarKey(3), "");
    EXPECT_EQ(LetterBarKey(4), keys::Backspace);
    EXPECT_EQ(LetterBarKey(11), keys::Backspace);
    EXPECT_EQ(LetterBarKey(12), " ");
    EXPECT_EQ(LetterBarKey(16), " ");
    EXPECT_EQ(LetterBarKey(17), " ");  // the blank right of "<Spc>"
    EXPECT_EQ(LetterBarKey(18), "0");
    EXPECT_EQ(LetterBarKey(27), "9");
    EXPECT_EQ(LetterBarKey(29), "A");  // on the letter
    EXPECT_EQ(LetterBarKey(30), "A");  // the blank right of it
    EXPECT_EQ(LetterBarKey(31), "B");
    EXPECT_EQ(LetterBarKey(79), "Z");
    EXPECT_EQ(LetterBarKey(80), "Z");
    EXPECT_EQ(LetterBarKey(81), "");
}

// The directory search looks for Esc without pausing.
TEST_F(SearchTest, ADirectoryOf32000EntriesIsSearchedInWellUnderASecond) {
    StartIn("C:\\home");
    auto& w = p.window;
    for (int i = 1; i <= 32000; ++i) w.Titles[static_cast<std::size_t>(i)] = "Titel " + std::to_string(i) + ".mp3";
    w.RecordCount = 32000;
    p.browser.ListOpen = 0;
    h.console.Keys("nirgends\r");
    const long long before = h.clock.Milliseconds();
    Search(p);
    EXPECT_EQ(p.browser.SearchActive, 0);
    EXPECT_TRUE(clock.Showed(20, 5, " alles durchsucht... "));
    // The 2-second pause of the message is all the time it takes (the
    // cost of the loop itself is measured in bench/list_bench.cpp).
    EXPECT_EQ(h.clock.Milliseconds() - before, 2000);

    // A hit near the end is found the same way.
    w.Titles[31990] = "Der Gesuchte.mp3";
    h.console.Keys("gesuchte\r");
    const long long again = h.clock.Milliseconds();
    Search(p);
    EXPECT_EQ(p.browser.SearchActive, 1);
    EXPECT_EQ(p.browser.LastHit, 31990);
    EXPECT_EQ(h.clock.Milliseconds(), again);
}

// The jump shows the letters as typed.
TEST_F(JumpTest, TheJumpShowsWhatWasTyped) {
    std::string records;
    for (int i = 10; i < 29; ++i) records += Record("A" + std::to_string(i), "Musik\\Rock");
    records += Record("Stra\xDF" "e", "Musik\\Rock");
    WriteList("Rock", records);
    OpenFromHome();
    script.Key("z").Key("s").Key("t").Key("r").Key("a").Key("\xDF");
    Run();
    EXPECT_EQ(Row(19, 15, 6), "STRA\xE1_");  // the console's ß, not 193
    EXPECT_EQ(p.browser.PageTop + p.browser.CursorOffset, 20) << "and finds the title";
    script.Key("z").Key("s").Key("\xE4");
    Run();
    EXPECT_EQ(Row(19, 15, 3), "S\x8E_");  // ä typed is shown as Ä
}

TEST_F(JumpTest, NothingOfTheLetterBarStaysAfterTheJump) {
    SortedList();
    script.Key("z").Key("d").Key(keys::Esc).Key(keys::Down);
    Run();
    ASSERT_EQ(Row(19, 47, 13), "Gehe zu a-(z)");
    EXPECT_EQ(Row(21, 68, 2), "  ");
    EXPECT_EQ(Row(21, 47, 21), "(L)iste aktualisieren");
}

}  // namespace
}  // namespace pavuto::test
