// Wish lists: the name dialogue with its overwrite question and its refusal
// of names that are no plain file name, and adding the marked records.
#include "fileops/wish_list.hpp"

#include <filesystem>

#include "lists/list_file.hpp"
#include "lists/list_fixture.hpp"
#include "ui/file_dialogues.hpp"

namespace pavuto::test {
namespace {

struct WishListTest : ListTest {
    WishListTest() {
        std::string bytes;
        for (int i = 1; i <= 5; ++i) bytes += Record("Titel " + std::to_string(i), "Rock");
        h.temp.Write("home/Rock.pavuto", bytes);
        p.browser.ListOpen = 1;
        p.browser.CurrentListFile = "C:\\home\\Rock.pavuto";
        p.window.FirstRecord = 1;
        LoadWindow(p);
    }
    void Type(const std::string& text) {
        for (char c : text) h.console.Key(std::string(1, c));
        h.console.Key("\r");
    }
    void Mark(int record, int n) {
        p.browser.Marks[static_cast<size_t>(record)] = n;
        p.browser.MarkCounter = std::max(p.browser.MarkCounter, n + 1);
    }
};

TEST(WishListName, GetsTheListEndingUnlessItHasOne) {
    EXPECT_EQ(WishListFileName("wunsch"), "wunsch.pavuto");
    EXPECT_EQ(WishListFileName("Wunsch.PAVUTO"), "Wunsch.PAVUTO");
    EXPECT_EQ(WishListFileName("a.pav"), "a.pav.pavuto");
}

TEST_F(WishListTest, ATypedNameMakesAnEmptyWishListInTheCurrentDirectory) {
    Type("wunsch");
    CreateWishList(p);
    EXPECT_EQ(p.fileops.wishList, "C:\\home\\wunsch.pavuto");
    ASSERT_TRUE(h.temp.Exists("home/wunsch.pavuto"));
    EXPECT_EQ(h.temp.Read("home/wunsch.pavuto"), "");
    EXPECT_EQ(Row(5, 7, 36), OnScreen("Listenbezeichnung f\xFCr Wunschliste: _"));
}

TEST_F(WishListTest, AnExistingFileIsKeptOnNoAndEmptiedOnYes) {
    h.temp.Write("home/wunsch.pavuto", Record("Alt", "Rock"));
    Type("wunsch");
    h.console.Key("n");
    CreateWishList(p);
    EXPECT_TRUE(ScreenHas("Datei existiert bereits \xFC" "berschreiben? "));
    EXPECT_EQ(p.fileops.wishList, "C:\\home\\wunsch.pavuto");
    // Later additions go after the old records.
    Mark(2, 1);
    AddMarkedToWishList(p);
    EXPECT_EQ(h.temp.Read("home/wunsch.pavuto"), Record("Alt", "Rock") + Record("Titel 2", "Rock"));

    Type("Wunsch.pavuto");
    h.console.Key("J");
    CreateWishList(p);
    EXPECT_EQ(h.temp.Read("home/wunsch.pavuto"), "");
}

TEST_F(WishListTest, EscOrAClickSetsNoWishList) {
    p.fileops.wishList = "C:\\home\\alt.pavuto";
    h.console.Key("\x1b");
    CreateWishList(p);
    EXPECT_TRUE(p.fileops.wishList.empty());
    p.fileops.wishList = "C:\\home\\alt.pavuto";
    h.console.Click(5, 10);
    CreateWishList(p);
    EXPECT_TRUE(p.fileops.wishList.empty());
}

TEST_F(WishListTest, ANameThatIsNoPlainFileNameIsRefusedAndAskedAgain) {
    h.console.keepScreens = true;
    for (const std::string bad : {"..\\weg", "a/b", "C:x", "wo*", "wer?", "\"q\"", "<>", "a|b"}) {
        Type(bad);
        h.console.Key("x");  // the key after the message
        Type("gut");
        CreateWishList(p);
        EXPECT_NE(h.console.ScreenWith(9, 7, OnScreen(" Schreiben der Liste >>" + bad + ".pavuto<< nicht m\xF6glich.")),
                  nullptr) << bad;
        h.console.screens.clear();
        EXPECT_EQ(p.fileops.wishList, "C:\\home\\gut.pavuto") << bad;
        std::filesystem::remove(h.temp.path() / "home/gut.pavuto");
    }
    EXPECT_FALSE(h.temp.Exists("weg.pavuto"));
    EXPECT_FALSE(h.temp.Exists("home/a"));
}

TEST_F(WishListTest, MarkedRecordsAreAppendedWholeInListOrder) {
    Type("wunsch");
    CreateWishList(p);
    Mark(4, 1);
    Mark(1, 2);
    p.window.ListDisplay = 1;
    AddMarkedToWishList(p);
    EXPECT_EQ(p.window.ListDisplay, 0);
    EXPECT_EQ(h.temp.Read("home/wunsch.pavuto"), Record("Titel 1", "Rock") + Record("Titel 4", "Rock"));
}

TEST_F(WishListTest, AListShorterThanItsEntriesEndsWithDateiEnde) {
    Type("wunsch");
    CreateWishList(p);
    p.window.RecordCount = 7;  // two records more than the file holds
    Mark(2, 1);
    Mark(6, 2);
    AddMarkedToWishList(p);
    EXPECT_TRUE(ScreenHas("Datei ende."));
    EXPECT_EQ(h.temp.Read("home/wunsch.pavuto"), Record("Titel 2", "Rock"));
}

TEST_F(WishListTest, RecordsOfAnotherLayoutDoNotBreakTheWishList) {
    h.temp.Write("home/wunsch.pavuto", Record("Anders", "Jazz", 40, 40));
    p.fileops.wishList = "C:\\home\\wunsch.pavuto";
    Mark(1, 1);
    h.console.Key("x");
    AddMarkedToWishList(p);
    EXPECT_EQ(h.temp.Read("home/wunsch.pavuto"), Record("Anders", "Jazz", 40, 40));
    EXPECT_TRUE(ScreenHas(" Schreiben der Liste >>C:\\home\\wunsch.pavuto<< nicht m\xF6glich."));
}

}  // namespace
}  // namespace pavuto::test
