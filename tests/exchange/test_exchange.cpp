// The files a user carries from one host to the other: pavuto.config with a
// saved section, a list configuration, the list and its performer list built
// from titles with Windows-1252 names. Both hosts make them with the same
// routines, and they are the same bytes.
//
// The same program is built for both hosts. With PAVUTO_EXCHANGE_OUT set it
// makes the files and leaves a copy in that folder; with PAVUTO_EXCHANGE_IN
// set it takes the files another host made from that folder, opens them and
// compares them with its own (scripts/test-windows.sh runs the POSIX build
// first, then the Windows build under Wine). Without either, the files make
// the round on this host.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "config/default_config.hpp"
#include "config/list_config.hpp"
#include "lists/builder.hpp"
#include "lists/list_file.hpp"
#include "lists/list_fixture.hpp"

namespace pavuto::test {
namespace {

// The names as the program holds them (Windows-1252).
const Text kPlayer = "C:\\Werkzeug\\Spieler f\xFCr Lieder.exe";
const Text kCafe = "C:\\Musik\\Caf\xE9\\";
const Text kMueller = "M\xFCller - Stra\xDF" "e";
const Text kAerger = "\xC4rger";
const Text kZoe = "Zo\xEB - \xC9t\xE9";
// The files compared, below C:\home.
const char* const kExchanged[] = {"pavuto.config", "Lieder.config", "Lieder.pavuto", "Lieder Interpreten.pavuto"};

struct ExchangeTest : ListTest {
    ExchangeTest() {
        p.settings.configurationPath = "C:\\home\\pavuto.config";
        p.settings.extensions = BuiltInExtensions();
        p.settings.listExtension = ".mp3";
        p.settings.autoMode = "x";  // loading a section leaves the window alone
    }

    void Touch(const Text& path) { p.files().Open(path, host::OpenMode::Output)->Close(); }

    // What a user would have after a first session: the built-in file with
    // the Default section saved over it, a list configuration of two search
    // paths, and the list built from it.
    void MakeFiles() {
        for (const char* dir : {"C:\\Werkzeug", "C:\\Musik", "C:\\Musik\\Caf\xE9"}) p.files().MakeDirectory(dir);
        Touch(kPlayer);
        Touch(kCafe + kMueller + ".mp3");
        Touch(kCafe + kAerger + ".mp3");
        Touch("C:\\Musik\\" + kZoe + ".mp3");
        Touch("C:\\Musik\\notiz.txt");

        WriteBuiltInFile(p);
        p.settings.player = kPlayer;
        p.settings.editor = "nano";
        p.settings.configurationName = "Default";
        h.console.Click(5, 10, 1, 1, h.clock.Milliseconds() + 1);  // the row of "Default"
        SaveSettings(p);

        p.listConfig.NURNAMENSLISTE = 0;  // with the performer list
        CreateListConfiguration(p, "C:\\home\\Lieder.config", {"C:\\Musik\\", kCafe}, ConfigHeader::Dialogue);
        p.browser.CurrentListConfiguration = "C:\\home\\Lieder.config";
        h.console.Key(" ");  // the key that ends the rebuild
        RebuildList(p);
    }

    std::string Bytes(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    // Opens what stands in C:\home as the program does and checks what it holds.
    void OpenFiles() {
        p.settings.player.clear();
        p.settings.editor = "edit.com";
        p.settings.configurationName = "Default";
        LoadConfiguration(p);
        EXPECT_EQ(p.settings.player, kPlayer);
        EXPECT_EQ(p.settings.editor, "nano");
        EXPECT_EQ(p.settings.listExtension, ".mp3");

        ASSERT_TRUE(ReadListConfiguration(p, "C:\\home\\Lieder.config"));
        EXPECT_EQ(p.listConfig.listFilePath, "C:\\home\\Lieder.pavuto");
        EXPECT_EQ(p.listConfig.performerListPath, "C:\\home\\Lieder Interpreten.pavuto");

        p.browser.CurrentListFile = p.listConfig.listFilePath;
        p.window.FirstRecord = 1;
        ASSERT_TRUE(LoadWindow(p));
        ASSERT_EQ(p.window.RecordCount, 3);
        std::vector<Text> resolved;
        for (int slot = 1; slot <= 3; ++slot) {
            resolved.push_back(ResolveEntry(p, slot));
            EXPECT_TRUE(p.files().FileExists(resolved.back())) << resolved.back();
        }
        std::sort(resolved.begin(), resolved.end());
        EXPECT_EQ(resolved, (std::vector<Text>{"C:\\Musik\\Caf\xE9\\M\xFCller - Stra\xDF" "e.mp3",
                                               "C:\\Musik\\Caf\xE9\\\xC4rger.mp3",
                                               "C:\\Musik\\Zo\xEB - \xC9t\xE9.mp3"}));
    }
};

TEST_F(ExchangeTest, FilesMadeHereOpenHere) {
    MakeFiles();
    for (const char* name : kExchanged) EXPECT_TRUE(h.temp.Exists(std::string("home/") + name)) << name;
    OpenFiles();
}

TEST_F(ExchangeTest, FilesAreLeftForTheOtherHost) {
    const char* out = std::getenv("PAVUTO_EXCHANGE_OUT");
    if (!out) GTEST_SKIP() << "PAVUTO_EXCHANGE_OUT names no folder";
    MakeFiles();
    std::filesystem::create_directories(out);
    for (const char* name : kExchanged)
        std::filesystem::copy_file(h.temp.path() / "home" / name, std::filesystem::path(out) / name,
                                   std::filesystem::copy_options::overwrite_existing);
}

TEST_F(ExchangeTest, FilesOfTheOtherHostOpenUnchangedAndAreTheSameBytes) {
    const char* in = std::getenv("PAVUTO_EXCHANGE_IN");
    if (!in) GTEST_SKIP() << "PAVUTO_EXCHANGE_IN names no folder";
    MakeFiles();
    for (const char* name : kExchanged) {
        const std::filesystem::path theirs = std::filesystem::path(in) / name, ours = h.temp.path() / "home" / name;
        ASSERT_TRUE(std::filesystem::exists(theirs)) << theirs;
        EXPECT_EQ(Bytes(theirs), Bytes(ours)) << name;
        std::filesystem::copy_file(theirs, ours, std::filesystem::copy_options::overwrite_existing);
    }
    OpenFiles();
}

}  // namespace
}  // namespace pavuto::test
