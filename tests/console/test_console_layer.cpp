#include <gtest/gtest.h>

#include "support/test_host.hpp"

using namespace pavuto;

namespace {
struct ConsoleTest : ::testing::Test {
    test::TestHost h;
    Program p{h.host};
    ConsoleLayer& con = p.con;
};
}  // namespace

TEST_F(ConsoleTest, ConversionReplacesTheTwelveLetters) {
    EXPECT_EQ(ConvertForConsole("Gr\xF6\xDF" "e"), "Gr\x94\xE1" "e");
    EXPECT_EQ(ConvertForConsole("\xFC\xE4\xF6\xC4\xD6\xDC\xE1\xE9\xFA\xF3\xED\xDF"),
              "\x81\x84\x94\x8E\x99\x9A\xA0\x82\xA3\xA2\xA1\xE1");
    EXPECT_EQ(ConvertForConsole("\xE8\xC0 abc"), "\xE8\xC0 abc");  // nothing else changes
}

TEST_F(ConsoleTest, ShowTextModes) {
    con.Locate(3, 4);
    con.OutputText = "Gr\xF6\xDF" "e";
    con.OutputMode = 1;
    con.ShowText();
    EXPECT_EQ(h.console.Text(3, 4, 5), "Gr\x94\xE1" "e");
    EXPECT_EQ(con.OutputText, "");
    EXPECT_EQ(con.OutputMode, 0);
    EXPECT_EQ(h.console.CursorRow(), 3);
    EXPECT_EQ(h.console.CursorColumn(), 9);

    con.OutputText = "Zeile";
    con.OutputMode = 0;
    con.ShowText();
    EXPECT_EQ(h.console.CursorRow(), 4);
    EXPECT_EQ(h.console.CursorColumn(), 1);

    con.OutputText = "m\xFC" "de";
    con.OutputMode = 2;
    con.ShowText();
    EXPECT_EQ(con.OutputText, "m\x81" "de");  // converted, not printed
    EXPECT_EQ(con.OutputMode, 0);
    EXPECT_EQ(h.console.Text(4, 1, 4), "    ");
}

TEST_F(ConsoleTest, PrintingANumberDirectly) {
    con.Locate(1, 1);
    con.PrintNumber(5);
    con.PrintNumber(-5);
    EXPECT_EQ(h.console.Text(1, 1, 6), " 5 -5 ");
}

TEST_F(ConsoleTest, DoubleClicksBecomeEnterAndEsc) {
    h.console.Click(6, 10, 1, 2);
    con.WaitEvent();
    EXPECT_EQ(con.KeyText, keys::Enter);
    EXPECT_EQ(con.ClickKind, 2);
    EXPECT_EQ(con.MouseRow, 5);
    EXPECT_EQ(con.MouseColumn, 10);

    h.console.Click(2, 3, 2, 2);
    con.WaitEvent();
    EXPECT_EQ(con.KeyText, keys::Esc);
    EXPECT_EQ(con.ClickKind, 2);
    EXPECT_EQ(con.MouseButton, 2);
}

TEST_F(ConsoleTest, SingleClickReturnsItsPositionWithoutKey) {
    h.console.Click(10, 33);
    con.WaitEvent();
    EXPECT_EQ(con.KeyText, "");
    EXPECT_EQ(con.ClickKind, 1);
    EXPECT_EQ(con.MouseButton, 1);
    EXPECT_EQ(con.MouseRow, 9);
    EXPECT_EQ(con.MouseColumn, 33);
}

TEST_F(ConsoleTest, AKeyWinsAndExtendedKeysArriveAsTwoCharacters) {
    h.console.Key(keys::PgDn);
    con.WaitEvent();
    ASSERT_EQ(con.KeyText.size(), 2u);
    EXPECT_EQ(con.KeyText[0], '\0');
    EXPECT_EQ(con.KeyText[1], 'Q');
    EXPECT_EQ(con.ClickKind, 0);
}

TEST_F(ConsoleTest, NoWaitReturnsAfterOneLookWithEverythingCleared) {
    con.KeyText = "x";
    con.ClickKind = 1;
    con.MouseRow = 4;
    con.NoWait = 1;
    long long before = h.clock.Milliseconds();
    con.WaitEvent();
    EXPECT_EQ(h.clock.Milliseconds() - before, 80);
    EXPECT_EQ(con.KeyText, "");
    EXPECT_EQ(con.ClickKind, 0);
    EXPECT_EQ(con.MouseRow, 0);
}

TEST_F(ConsoleTest, WaitingGoesOnUntilSomethingUsableArrives) {
    h.console.Key("a", 1000);  // available after one virtual second
    con.NoWait = 0;
    con.WaitEvent();
    EXPECT_EQ(con.KeyText, "a");
    EXPECT_GE(h.clock.Milliseconds(), 1000);
    EXPECT_LT(h.clock.Milliseconds(), 1100);
}

TEST_F(ConsoleTest, FlushDiscardsPendingInput) {
    h.console.Keys("abc");
    con.NoWait = 1;
    con.ClickKind = 2;
    con.FlushEvents();
    EXPECT_EQ(h.console.Pending(), 0u);
    EXPECT_EQ(con.NoWait, 0);
    EXPECT_EQ(con.ClickKind, 0);
}

TEST_F(ConsoleTest, WindowSizeSetsPageRowsAndThePagingLine) {
    con.ScreenRows = 25;
    con.ScreenColumns = 74;
    con.ApplyWindowSize();
    EXPECT_EQ(con.PageRows, 12);
    EXPECT_EQ(h.console.Rows(), 25);
    EXPECT_EQ(h.console.Columns(), 74);
    EXPECT_EQ(con.PagingLine,
              "    (zur\xFC" "ck bl\xE4ttern)    (weiter bl\xE4ttern)    (weiter bl\xE4ttern)");
    EXPECT_EQ(con.PagingLine.size(), 63u);
    std::vector<std::string> expected = {"show min", "size 25x74", "move 60,25", "show max"};
    EXPECT_EQ(h.console.log, expected);
    EXPECT_EQ(BuildPagingLine(42), "    (zur\xFC" "ck bl\xE4ttern)");
}

TEST_F(ConsoleTest, ClearingTheMenuAndListAreas) {
    con.SetColours(7, 1);
    for (int r = 1; r <= 22; ++r) {
        con.Locate(r, 1);
        con.Raw(std::string(70, 'x'));
    }
    con.ClearMenuArea();
    for (int r = 18; r <= 21; ++r) {
        EXPECT_EQ(h.console.Text(r, 5, 59), std::string(59, ' ')) << r;
        EXPECT_EQ(h.console.Text(r, 4, 1), "x");
        EXPECT_EQ(h.console.Text(r, 64, 1), "x");
    }
    EXPECT_EQ(h.console.Text(17), std::string(70, 'x'));
    EXPECT_EQ(h.console.Text(22), std::string(70, 'x'));
    con.ClearListArea();
    for (int r = 5; r <= 14; ++r) EXPECT_EQ(h.console.Text(r, 3, 66), std::string(66, ' ')) << r;
    EXPECT_EQ(h.console.Text(15), std::string(70, 'x'));
    EXPECT_EQ(h.console.At(5, 3).bg, 1);
}

TEST_F(ConsoleTest, LineInputEchoesAndEdits) {
    con.Locate(5, 10);
    h.console.Keys("ab");
    h.console.Key(keys::Backspace);
    h.console.Key("\x01");       // control characters are ignored
    h.console.Key(keys::Up);     // so are extended keys
    h.console.Click(3, 3);       // and clicks
    h.console.Keys("\xFC" "c\r");
    EXPECT_EQ(con.InputLine(), "a\xFC" "c");
    EXPECT_EQ(h.console.Text(5, 10, 4), "a\x81" "c ");
}
