// The help pages.
#include "browser_fixture.hpp"
#include "ui/help.hpp"

namespace pavuto::test {
namespace {

class HelpTest : public BrowserTest {};

TEST_F(HelpTest, SevenEventsTurnThePagesAndTheEighthGoesToTheBrowser) {
    h.temp.Write("M/a.mp3", "x");
    h.temp.Write("M/b.mp3", "x");
    StartIn("C:\\M");
    script.Key("?");
    script.Key(keys::Esc).Click(5, 5).Key("j").Key(" ").Click(3, 3, 2).Key(keys::Enter).Key("n");
    script.Key(keys::Down);
    Run();
    EXPECT_EQ(p.browser.CursorOffset, 1);
    EXPECT_EQ(h.console.Rows(), 22);
    EXPECT_EQ(h.console.Columns(), 70);
    EXPECT_EQ(Line(2), "a.mp3");
}

TEST_F(HelpTest, PagesAreShownAt20By80) {
    script.Key("?");
    Run();  // ends on the first page
    EXPECT_EQ(h.console.Rows(), 20);
    EXPECT_EQ(h.console.Columns(), 80);
    EXPECT_EQ(p.con.PageRows, 7);
    EXPECT_EQ(Row(2), "                       Pavuto 3.3" + std::string(80 - 33, ' '));
    EXPECT_EQ(Row(4, 1, 28), "  Mit diesem Programm k\x94nnen");
    EXPECT_EQ(Row(10, 1, 21), "  auf die Zeichen \x1E\x1F.");
    EXPECT_EQ(Row(13), "  Im Auswahlfeld links unten:  h=Home  \\=Root  i=DateiInfo" + std::string(80 - 58, ' '));
    EXPECT_EQ(Row(14), std::string(80, ' '));
}

TEST_F(HelpTest, TheLastPage) {
    script.Key("?");
    for (int i = 0; i < 6; ++i) script.Key(" ");
    Run();
    EXPECT_EQ(Row(1), std::string(80, ' '));
    EXPECT_EQ(Row(2, 1, 53), "  Andere 'Player' oder ein anderer 'Editor' k\x94nnen in");
    EXPECT_EQ(Row(9, 1, 15), "   weggelassen.");
    EXPECT_EQ(Row(10), std::string(80, ' '));
}

TEST_F(HelpTest, TheBrowsersSizeComesBack) {
    p.con.ScreenRows = 30;
    p.con.ScreenColumns = 100;
    p.con.ApplyWindowSize();
    for (int i = 0; i < 7; ++i) script.Key("x");
    ShowHelp(p);
    EXPECT_EQ(p.con.ScreenRows, 30);
    EXPECT_EQ(p.con.ScreenColumns, 100);
    EXPECT_EQ(p.con.PageRows, 17);
    EXPECT_EQ(h.console.Rows(), 30);
    EXPECT_EQ(h.console.Columns(), 100);
    EXPECT_EQ(h.console.Pending(), 0u);
    EXPECT_NE(std::find(h.console.log.begin(), h.console.log.end(), "size 20x80"), h.console.log.end());
}

// One line of each middle page as the console shows it, and the blank row
// after its last line.
struct HelpPageCase {
    int page;
    int row;
    const char* text;
    int firstEmptyRow;
};

class HelpPages : public HelpTest, public ::testing::WithParamInterface<HelpPageCase> {};

TEST_P(HelpPages, EachPageShowsItsTextConverted) {
    const HelpPageCase c = GetParam();
    script.Key("?");
    for (int i = 1; i < c.page; ++i) script.Key(" ");
    Run();  // ends waiting on the page
    const std::string text = c.text;
    EXPECT_EQ(Row(c.row), text + std::string(80 - text.size(), ' '));
    EXPECT_EQ(Row(c.firstEmptyRow), std::string(80, ' '));
    EXPECT_NE(Row(c.firstEmptyRow - 1), std::string(80, ' '));
}

INSTANTIATE_TEST_SUITE_P(
    MiddlePages, HelpPages,
    ::testing::Values(
        HelpPageCase{2, 3, "  Damit das Programm richtig funktioniert mu\xE1 folgendes ber\x81" "cksichtigt werden:", 17},
        HelpPageCase{3, 8, "  jeweiligen Liste umgestellt. (bei Aufruf, nicht beim \x94" "ffnen.)", 13},
        HelpPageCase{4, 2, "  Die Fenstergr\x94\xE1" "e l\x84sst sich \x81" "ber das Optionenmen\x81 anpassen.", 13},
        HelpPageCase{5, 10, "         U oder \x9A         = den n\x84" "chsten Titel \x81" "berspringen", 18},
        HelpPageCase{6, 6, "  /down xx mu\xE1 am Ende des Aufrufes stehen. (/downh=Hibernate)", 9}));

}  // namespace
}  // namespace pavuto::test
