// The directory view: what the browser lists for the current directory.
#include "lists/directory_reader.hpp"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "lists/list_fixture.hpp"

namespace pavuto::test {
namespace {

struct DirectoryViewTest : ListTest {
    std::vector<std::string> Entries() {
        std::vector<std::string> out;
        for (int i = 1; i <= p.window.RecordCount; ++i) out.push_back(p.window.Titles[static_cast<size_t>(i)]);
        return out;
    }
};

TEST_F(DirectoryViewTest, ParentFirstThenDirectoriesThenKeptFilesInCollationOrder) {
    for (const char* f : {"Musik/zebra.mp3", "Musik/\xC3\x84pfel.mp3", "Musik/Apfelmus.MP3", "Musik/Rock.pavuto",
                          "Musik/Rock.config", "Musik/notiz.txt", "Musik/film.avi", "Musik/!alt.mp3",
                          "Musik/Zed/x", "Musik/alpha/x"})
        h.temp.Write(f, "");
    p.settings.listExtension = ".mp3";
    p.settings.extensions = BuiltInExtensions();
    p.window.Titles[30] = "alt";
    p.browser.Marks[2] = 4;
    p.files().ChangeDirectory("C:\\Musik");
    ReadDirectoryView(p);
    EXPECT_EQ(p.browser.CurrentListFile, "C:\\Musik\\");
    std::vector<std::string> expected = {"..",           "<DIR> alpha", "<DIR> Zed",   "!alt.mp3",
                                         "\xC4pfel.mp3", "Apfelmus.MP3", "film.avi",   "Rock.pavuto",
                                         "zebra.mp3"};
    EXPECT_EQ(Entries(), expected);
    EXPECT_EQ(p.window.Titles[30], std::string(1, '\xff'));
    EXPECT_EQ(p.browser.Marks[2], 0);

    // With deleting allowed the view shows configurations, and an empty slot
    // of the extension table keeps every file.
    p.browser.DeleteAllowed = 1;
    ReadDirectoryView(p);
    auto all = Entries();
    EXPECT_EQ(all.size(), 11u);
    EXPECT_NE(std::find(all.begin(), all.end(), "Rock.config"), all.end());
    EXPECT_NE(std::find(all.begin(), all.end(), "notiz.txt"), all.end());
}

TEST_F(DirectoryViewTest, ADriveRootHasNoParentButTheDriveEntries) {
    p.browser.PageTop = 7;
    p.browser.CursorOffset = 3;
    p.files().ChangeDirectory("C:\\");
    ReadDirectoryView(p);
    auto entries = Entries();
    ASSERT_EQ(entries.size(), 2u + 26u);  // <DIR> home, <DIR> tmp
    EXPECT_EQ(entries[0], "<DIR> home");
    EXPECT_EQ(entries[2], "\xAF A:");
    EXPECT_EQ(entries.back(), "\xAF Z:");
    EXPECT_EQ(p.browser.PageTop, 1);
    EXPECT_EQ(p.browser.CursorOffset, 0);
    EXPECT_EQ(p.browser.CurrentListFile, "C:\\");
}

TEST_F(DirectoryViewTest, NamesGetTheirPerformerFormsForThePrintLists) {
    for (const char* f : {"d/Song - The Band.mp3", "d/Lied - Chor.mp3", "d/Solo.mp3"}) h.temp.Write(f, "");
    p.settings.listExtension = ".mp3";
    p.files().ChangeDirectory("C:\\d");
    ReadDirectoryView(p);
    ASSERT_EQ(p.window.RecordCount, 4);
    auto dir = [&](int i) { return p.window.Directories[static_cast<size_t>(i)]; };
    EXPECT_EQ(dir(1), "");  // ".."
    EXPECT_EQ(dir(2), "Chor - Lied ");
    EXPECT_EQ(dir(3), "\xFE - Solo");
    EXPECT_EQ(dir(4), "Band - Song ");
}

// What does not fit into the slots is reported.
TEST_F(DirectoryViewTest, EntriesBeyondTheLastSlotAreReported) {
    std::filesystem::create_directories(h.temp.path() / "Voll" / "Unter");
    for (int i = 0; i < 32003; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "f%05d.mp3", i);
        std::ofstream(h.temp.path() / "Voll" / name).close();
    }
    p.settings.listExtension = ".mp3";
    p.files().ChangeDirectory("C:\\Voll");
    ReadDirectoryView(p);
    EXPECT_EQ(p.window.RecordCount, 31999);  // ".." and 31998 files
    // 5 files and the directory did not fit.
    auto shown = [&](const std::string& text) { return Row(18, 7, static_cast<int>(text.size())) == OnScreen(text); };
    EXPECT_TRUE(shown("Zu viele Eintr\xE4ge, \xFC" "bergangen: 6 ")) << Row(18);

    // The builder's listing of the files says so as well.
    h.console.Clear();
    ReadDirectoryFiles(p);
    EXPECT_EQ(p.window.RecordCount, 31999);
    EXPECT_TRUE(shown("Zu viele Eintr\xE4ge, \xFC" "bergangen: 5 ")) << Row(18);

    // A directory that fits is read without a word.
    h.console.Clear();
    p.files().ChangeDirectory("C:\\Voll\\Unter");
    ReadDirectoryView(p);
    EXPECT_EQ(Row(18).find("Zu viele"), std::string::npos);
}

}  // namespace
}  // namespace pavuto::test
