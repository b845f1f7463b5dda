// The file operations as the user reaches them: the options menu's sixth
// page, and the browser's "a" copying the marked titles or adding them to
// the wish list instead of playing them.
#include "browser_fixture.hpp"

namespace pavuto::test {
namespace {

class FileOperations : public BrowserTest {
protected:
    FileOperations() {
        h.temp.Write("tmp/.keep", "");
        h.temp.Write("Sicherung/.keep", "");
        h.environment.block = {"COMSPEC=C:\\bin\\cmd.exe"};
        h.console.keepScreens = true;
        p.browser.OptionsPage = 5;
        std::string records;
        for (const char* t : {"Eins", "Zwei", "Drei", "Vier"}) {
            records += Record(t, "Musik\\Rock");
            h.temp.Write(std::string("Musik/Rock/") + t + ".mp3", std::string("Inhalt von ") + t);
        }
        WriteList("Rock", records);
    }
    // Marks the entries on the given page lines (1-based) in that order.
    void MarkLines(const std::vector<int>& lines) {
        int at = 1;
        for (int line : lines) {
            for (; at < line; ++at) script.Key(keys::Down);
            for (; at > line; --at) script.Key(keys::Up);
            script.Key(keys::Enter);
        }
    }
};

TEST_F(FileOperations, MarkedTitlesAreCopiedInsteadOfPlayedOnceATargetIsSet) {
    OpenFromHome();
    script.Key("o").Click(6, 20).Key("C").Typed(":\\Sicherung\\").Key(keys::Enter).Key("O");
    MarkLines({3, 1, 2});
    script.Key("a");
    Run();
    EXPECT_EQ(p.fileops.copyTarget, "C:\\Sicherung");
    EXPECT_EQ(p.fileops.copyMode, 1);
    for (const char* t : {"Eins", "Zwei", "Drei"})
        EXPECT_EQ(h.temp.Read(std::string("Sicherung/") + t + ".mp3"), std::string("Inhalt von ") + t) << t;
    EXPECT_FALSE(h.temp.Exists("Sicherung/Vier.mp3"));
    EXPECT_TRUE(h.processes.started.empty());
    EXPECT_TRUE(h.media.commands.empty());
    EXPECT_EQ(p.browser.MarkCounter, 1);
    const auto* menu = h.console.ScreenWith(6, 7, "ausgew\x84hlte Dateien kopieren nach >  C:\\Sicherung .");
    EXPECT_NE(menu, nullptr);
}

TEST_F(FileOperations, ATargetClearedInTheMenuPlaysAgain) {
    OpenFromHome();
    script.Key("o").Click(6, 20).Typed("C:\\Sicherung").Key(keys::Enter).Click(6, 20).Key(keys::Enter).Key("O");
    MarkLines({1});
    script.Key("a");
    Run();
    EXPECT_EQ(p.fileops.copyMode, 0);
    EXPECT_TRUE(p.fileops.copyTarget.empty());
    EXPECT_FALSE(h.temp.Exists("Sicherung/Eins.mp3"));
    EXPECT_EQ(h.processes.started.size(), 1u);
}

TEST_F(FileOperations, TheBrowsersRunKeyFillsTheWishListWhileOneIsSet) {
    OpenFromHome();
    script.Key("o").Click(8, 20).Key("w").Typed("unsch").Key(keys::Enter).Key("O");
    MarkLines({4, 2});
    script.Key("a");
    Run();
    EXPECT_EQ(h.temp.Read("home/wunsch.pavuto"), Record("Zwei", "Musik\\Rock") + Record("Vier", "Musik\\Rock"));
    EXPECT_EQ(p.browser.MarkCounter, 1);
    EXPECT_TRUE(h.processes.started.empty());
}

TEST_F(FileOperations, PrintListsFromTheMenuAndTheirDeletion) {
    OpenFromHome();
    script.Key("o").Click(11, 20).Click(12, 20).Key("O");
    Run();
    EXPECT_EQ(h.temp.Read("home/Druckliste-0.txt"), " 1 Eins   2 Zwei\r\n 3 Drei   4 Vier\r\n");
    const std::string three = h.temp.Read("home/Druckliste-1.txt");
    EXPECT_EQ(three.substr(0, three.find("\r\n")), " 1 Eins   2 Zwei   3 Drei");
    EXPECT_TRUE(clock.Showed(15, 7, " fertig \\Druckliste-1.txt"));

    script.Key("o").Click(14, 20).Key("O");
    Run();
    EXPECT_FALSE(h.temp.Exists("home/Druckliste-0.txt"));
    EXPECT_FALSE(h.temp.Exists("home/Druckliste-1.txt"));
    EXPECT_TRUE(h.temp.Exists("home/Rock.pavuto"));
}

TEST_F(FileOperations, TheDirectoryViewOffersOnlyThePrintLists) {
    StartIn("C:\\home");
    script.Key("o").Click(6, 20).Click(8, 20).Key("O");
    Run();
    const auto* page = h.console.ScreenWith(10, 7, "Einspaltige  Druckliste erstellen.");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ((*page)[5].find("kopieren"), std::string::npos);
    EXPECT_EQ((*page)[7].find("Wunschliste"), std::string::npos);
    EXPECT_EQ(p.fileops.copyMode, 0);
    EXPECT_TRUE(p.fileops.wishList.empty());
}

}  // namespace
}  // namespace pavuto::test
