// Copying marked files: the copy target and its test file, copies in the
// order of the selection, what a failure leaves, and the copies that must
// not happen (onto the file itself, into no target).
#include "fileops/copy.hpp"

#include <filesystem>

#include "lists/list_fixture.hpp"

namespace pavuto::test {
namespace {

const Text kSelection = "C:\\tmp\\auswahlliste.m3u";

struct CopyTest : ListTest {
    CopyTest() {
        h.temp.Write("music/Rock/Eins.mp3", std::string(10000, 'a'));
        h.temp.Write("music/Rock/Zwei.mp3", "zwei");
        h.temp.Write("music/Rock/Drei.mp3", std::string(5000, 'c') + "\r\n\x00\xff" + "drei");
        h.temp.Write("Sicherung/.keep", "");
    }
    void Select(const std::vector<std::string>& paths) {
        std::string bytes;
        for (const auto& path : paths) bytes += path + "\r\n";
        h.temp.Write("tmp/auswahlliste.m3u", bytes);
    }
    // Runs the copy; true when it ended early at the end of the selection.
    bool Copy() {
        try {
            CopySelection(p, kSelection);
        } catch (const GoOnAt& g) {
            EXPECT_EQ(g.point, Point::EndOfSelection);
            return true;
        }
        return false;
    }
    std::string Music(const std::string& name) { return h.temp.Read("music/Rock/" + name); }
    std::vector<std::string> TargetFiles() {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(h.temp.path() / "Sicherung"))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(CopyTest, TheTargetIsTestedWithAFileThatDoesNotStay) {
    TakeCopyTarget(p, "C:\\Sicherung\\");
    EXPECT_EQ(p.fileops.copyTarget, "C:\\Sicherung");
    EXPECT_EQ(p.fileops.copyMode, 1);
    EXPECT_EQ(TargetFiles(), (std::vector<std::string>{".keep"}));
}

TEST_F(CopyTest, ATargetThatCannotBeWrittenLeavesCopyModeOffWithTheErrorText) {
    TakeCopyTarget(p, "C:\\Sicherung");
    ASSERT_EQ(p.fileops.copyMode, 1);
    h.console.Key("x");
    TakeCopyTarget(p, "C:\\gibtsnicht");
    EXPECT_EQ(p.fileops.copyMode, 0);
    EXPECT_EQ(Row(p.con.ScreenRows - 3, 7, 14), "Path not found");

    // A medium that takes no file (read-only, full).
    h.faults.FailAll(FaultyFileSystem::Op::Create, 70, "test.tmp");
    h.console.Key("x");
    TakeCopyTarget(p, "C:\\Sicherung");
    EXPECT_EQ(p.fileops.copyMode, 0);
    EXPECT_EQ(Row(p.con.ScreenRows - 3, 7, 17), "Permission denied");
}

TEST_F(CopyTest, AnEmptyTargetSwitchesCopyModeOff) {
    TakeCopyTarget(p, "C:\\Sicherung");
    TakeCopyTarget(p, "");
    EXPECT_EQ(p.fileops.copyMode, 0);
    TakeCopyTarget(p, "\\");
    EXPECT_EQ(p.fileops.copyMode, 0);
    EXPECT_FALSE(h.temp.Exists("test.tmp"));
}

TEST_F(CopyTest, EveryFileOfTheSelectionIsCopiedByteForByte) {
    TakeCopyTarget(p, "C:\\Sicherung");
    Select({"C:\\music\\Rock\\Drei.mp3", "C:\\music\\Rock\\Eins.mp3", "C:\\music\\Rock\\Zwei.mp3"});
    EXPECT_FALSE(Copy());
    for (const char* name : {"Eins.mp3", "Zwei.mp3", "Drei.mp3"})
        EXPECT_EQ(h.temp.Read(std::string("Sicherung/") + name), Music(name)) << name;
    EXPECT_EQ(Row(p.con.ScreenRows - 3, 7, 28), " kopiere - Bitte warten ....");
    // The message is on the screen while the files are copied, not only at the next wait.
    ASSERT_FALSE(h.console.presented.empty());
    EXPECT_EQ(h.console.presented.front()[static_cast<size_t>(p.con.ScreenRows - 4)].substr(6, 28),
              " kopiere - Bitte warten ....");
}

TEST_F(CopyTest, AMissingFileEndsTheCopyAndTheFilesBeforeItStay) {
    TakeCopyTarget(p, "C:\\Sicherung");
    Select({"C:\\music\\Rock\\Eins.mp3", "C:\\music\\Rock\\Fehlt.mp3", "C:\\music\\Rock\\Zwei.mp3"});
    h.console.Key("x");
    EXPECT_TRUE(Copy());
    EXPECT_EQ(Row(p.con.ScreenRows - 3, 7, 56), "Fehler beim kopieren der dateien. >>>>File not found<<<<");
    EXPECT_EQ(TargetFiles(), (std::vector<std::string>{".keep", "Eins.mp3"}));
}

TEST_F(CopyTest, AnExistingFileIsReplacedByAnExactCopy) {
    h.temp.Write("Sicherung/Zwei.mp3", std::string(20000, 'x'));
    TakeCopyTarget(p, "C:\\Sicherung");
    Select({"C:\\music\\Rock\\Zwei.mp3"});
    EXPECT_FALSE(Copy());
    EXPECT_EQ(h.temp.Read("Sicherung/Zwei.mp3"), "zwei");
}

TEST_F(CopyTest, ACopyCutShortLeavesNoPartOfAFile) {
    h.temp.Write("Sicherung/Eins.mp3", "alt");
    TakeCopyTarget(p, "C:\\Sicherung");
    Select({"C:\\music\\Rock\\Zwei.mp3", "C:\\music\\Rock\\Eins.mp3", "C:\\music\\Rock\\Drei.mp3"});
    h.faults.DiskFullAfter(4 + 6000);
    h.console.Key("x");
    EXPECT_TRUE(Copy());
    EXPECT_EQ(Row(p.con.ScreenRows - 3, 7, 51), "Fehler beim kopieren der dateien. >>>>Disk full<<<<");
    EXPECT_EQ(h.temp.Read("Sicherung/Zwei.mp3"), "zwei");
    EXPECT_EQ(h.temp.Read("Sicherung/Eins.mp3"), "alt");
    EXPECT_EQ(TargetFiles(), (std::vector<std::string>{".keep", "Eins.mp3", "Zwei.mp3"}));
}

TEST_F(CopyTest, ACopyOntoTheFileItselfIsRefusedAndTheSourceStays) {
    const std::string before = Music("Drei.mp3");
    for (const char* target : {"C:\\music\\Rock", "C:\\music\\..\\music\\Rock", "C:\\MUSIC\\rock"}) {
        h.console.Key("x");
        TakeCopyTarget(p, target);
        if (p.fileops.copyMode == 0) continue;  // a spelling this file system does not know
        Select({"C:\\music\\Rock\\Drei.mp3"});
        h.console.Key("x");
        EXPECT_TRUE(Copy()) << target;
        EXPECT_EQ(Music("Drei.mp3"), before) << target;
        EXPECT_EQ(Row(p.con.ScreenRows - 3, 7, 38), "Fehler beim kopieren der dateien. >>>>") << target;
    }
    EXPECT_FALSE(h.temp.Exists("music/Rock/Drei.mp3.neu"));
}

TEST_F(CopyTest, ABatchSelectionCopiesNothing) {
    TakeCopyTarget(p, "C:\\Sicherung");
    h.temp.Write("tmp/auswahlliste.m3u", "@echo off\r\nC:\r\ncd \"\\music\\Rock\"\r\n\"Eins.mp3\"\r\n");
    h.console.Key("x");
    EXPECT_TRUE(Copy());
    EXPECT_EQ(TargetFiles(), (std::vector<std::string>{".keep"}));
}

}  // namespace
}  // namespace pavuto::test
