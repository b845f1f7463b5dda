// Playlists handed to programs of the host: the host form of the program's
// playlist, the copy beside nothing of the program's own, and the removal of
// old copies.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>

#include "common/runtime_error.hpp"
#include "host/posix/host_playlist.hpp"
#include "host/posix/posix_filesystem.hpp"
#include "support/test_host.hpp"

namespace pavuto::test {
namespace {

namespace fs = std::filesystem;
using host::posix::CopyBaseDirectory;
using host::posix::DriveMap;
using host::posix::HostFormPlaylist;
using host::posix::PosixFileSystem;
using host::posix::RemoveOldCopies;
using host::posix::WriteHostFormCopy;

class HostPlaylistTest : public ::testing::Test {
protected:
    TempDir c;
    PosixFileSystem files{DriveMap{{{'C', c.path().string()}}}};
    std::string Host(const std::string& relative) const { return (c.path() / relative).string(); }

    // Sets a file's or directory's modification time seconds into the past.
    static void Age(const fs::path& path, long seconds) {
        struct timespec times[2];
        times[0].tv_sec = times[1].tv_sec = std::time(nullptr) - seconds;
        times[0].tv_nsec = times[1].tv_nsec = 0;
        ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
    }
};

TEST_F(HostPlaylistTest, TheProgramsPlaylistBecomesHostPathsInUtf8InItsOrder) {
    c.Write("Musik/Rock/Zwei.mp3", "x");
    c.Write("Musik/Rock/M\xC3\xBCller & S\xC3\xB6hne.mp3", "x");  // Müller & Söhne, UTF-8 on disk
    c.Write("Musik/Pop/Eins.mp3", "x");
    fs::create_directories(c.path() / "Musik/Ordner.mp3");
    // As the program writes it: drive paths in Windows-1252, CR LF, in
    // marking order; names in any case, as the drives compare them.
    const std::string playlist =
        "C:\\Musik\\Rock\\Zwei.mp3\r\n"
        "C:\\MUSIK\\pop\\eins.MP3\r\n"
        "C:\\Musik\\Rock\\M\xFCller & S\xF6hne.mp3\r\n"
        "C:\\Musik\\Rock\\fehlt.mp3\r\n"  // gone since: left out
        "D:\\Musik\\Drei.mp3\r\n"         // a drive that is not ready: left out
        "C:\\Musik\\Ordner.mp3\r\n"       // a directory: left out
        "C:/Musik/Rock/Zwei.mp3\r\n";     // the same file again, with the other separator
    EXPECT_EQ(HostFormPlaylist(playlist, files, Host("tmp")),
              Host("Musik/Rock/Zwei.mp3") + "\n" + Host("Musik/Pop/Eins.mp3") + "\n" +
                  Host("Musik/Rock/M\xC3\xBCller & S\xC3\xB6hne.mp3") + "\n" + Host("Musik/Rock/Zwei.mp3") + "\n");
    EXPECT_EQ(HostFormPlaylist("", files, Host("tmp")), "");
    EXPECT_EQ(HostFormPlaylist("\r\n\r\n", files, Host("tmp")), "");
}

TEST_F(HostPlaylistTest, ListsOfOtherKindsKeepWhatAPlayerReadsInThem) {
    c.Write("Listen/a.mp3", "x");
    c.Write("Listen/Unter/b.mp3", "x");
    c.Write("Listen/Caf\xC3\xA9.mp3", "x");
    c.Write("anderswo/c.mp3", "x");
    // A list of the host's own (UTF-8): relative names belong to the list's
    // directory, directives and addresses stay, an #EXTINF goes with its entry.
    const std::string own = "\xEF\xBB\xBF#EXTM3U\n#EXTINF:12,A\na.mp3\n#EXTINF:5,weg\nfehlt.mp3\n" + Host("anderswo/c.mp3") +
                            "\nhttp://radio.example/strom\nCaf\xC3\xA9.mp3\n";
    EXPECT_EQ(HostFormPlaylist(own, files, Host("Listen")),
              "#EXTM3U\n#EXTINF:12,A\n" + Host("Listen/a.mp3") + "\n" + Host("anderswo/c.mp3") +
                  "\nhttp://radio.example/strom\n" + Host("Listen/Caf\xC3\xA9.mp3") + "\n");
    // One written on Windows: Windows-1252, backslashes, names in another case.
    const std::string windows = "#EXTM3U\r\n#EXTINF:3,Caf\xE9\r\nUNTER\\B.mp3\r\ncaf\xE9.mp3\r\n";
    EXPECT_EQ(HostFormPlaylist(windows, files, Host("Listen")),
              "#EXTM3U\n#EXTINF:3,Caf\xC3\xA9\n" + Host("Listen/Unter/b.mp3") + "\n" + Host("Listen/Caf\xC3\xA9.mp3") + "\n");
}

TEST_F(HostPlaylistTest, TheCopyIsPrivateAndTheProgramsFileStaysAsItIs) {
    c.Write("Musik/Eins.mp3", "x");
    const std::string original = "C:\\Musik\\Eins.mp3\r\nC:\\Musik\\fehlt.mp3\r\n";
    c.Write("tmp/auswahlliste.m3u", original);
    fs::create_directories(c.path() / "kopien");
    std::string copy = WriteHostFormCopy(Host("tmp/auswahlliste.m3u"), files, Host("kopien"));

    EXPECT_EQ(fs::path(copy).filename(), "auswahlliste.m3u");
    const fs::path directory = fs::path(copy).parent_path();
    EXPECT_EQ(directory.parent_path(), c.path() / "kopien");
    EXPECT_EQ(directory.filename().string().rfind("pavuto-wiedergabe-", 0), 0u) << directory;
    EXPECT_EQ(fs::status(directory).permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(copy).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    std::ifstream in(copy, std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, Host("Musik/Eins.mp3") + "\n");
    EXPECT_EQ(c.Read("tmp/auswahlliste.m3u"), original) << "the program's own file, byte for byte";

    // Each hand-over gets a copy of its own: an earlier one is still there
    // for a player that reads it late.
    std::string second = WriteHostFormCopy(Host("tmp/auswahlliste.m3u"), files, Host("kopien"));
    EXPECT_NE(fs::path(second).parent_path(), directory);
    EXPECT_TRUE(fs::exists(copy));

    try {
        WriteHostFormCopy(Host("tmp/fehlt.m3u"), files, Host("kopien"));
        ADD_FAILURE() << "a missing playlist";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), err::FileNotFound);
    }
    try {
        WriteHostFormCopy(Host("tmp/auswahlliste.m3u"), files, Host("gibt es nicht"));
        ADD_FAILURE() << "no directory for the copy";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), err::PathNotFound);
    }
}

TEST_F(HostPlaylistTest, OnlyOldCopiesOfTheProgramAreRemoved) {
    c.Write("tmp/auswahlliste.m3u", "");
    const fs::path base = c.path() / "kopien";
    fs::create_directories(base);
    const fs::path old = fs::path(WriteHostFormCopy(Host("tmp/auswahlliste.m3u"), files, base.string())).parent_path();
    const fs::path young = fs::path(WriteHostFormCopy(Host("tmp/auswahlliste.m3u"), files, base.string())).parent_path();
    Age(old, 2 * 3600);
    // Old, but not the program's: another name, something else inside, a link.
    fs::create_directories(base / "pavuto-wiedergabe-eigen" / "x");
    fs::create_directories(base / "pavuto-wiedergabe-fremd1");
    std::ofstream(base / "pavuto-wiedergabe-fremd1" / "notiz.txt") << "x";
    fs::create_directories(c.path() / "ziel");
    std::ofstream(c.path() / "ziel" / "liste.m3u") << "x";
    fs::create_directory_symlink(c.path() / "ziel", base / "pavuto-wiedergabe-link01");
    for (const char* name : {"pavuto-wiedergabe-eigen", "pavuto-wiedergabe-fremd1"}) Age(base / name, 2 * 3600);

    RemoveOldCopies(base.string(), 3600);
    EXPECT_FALSE(fs::exists(old));
    EXPECT_TRUE(fs::exists(young));
    EXPECT_TRUE(fs::exists(base / "pavuto-wiedergabe-eigen" / "x"));
    EXPECT_TRUE(fs::exists(base / "pavuto-wiedergabe-fremd1" / "notiz.txt"));
    EXPECT_TRUE(fs::exists(c.path() / "ziel" / "liste.m3u")) << "a link is never followed";

    // A new copy clears the old ones by itself.
    Age(young, 2 * 3600);
    WriteHostFormCopy(Host("tmp/auswahlliste.m3u"), files, base.string());
    EXPECT_FALSE(fs::exists(young));
}

TEST_F(HostPlaylistTest, CopiesGoToTheRuntimeDirectoryOfTheUserElseToTmpdir) {
    fs::create_directories(c.path() / "run");
    fs::create_directories(c.path() / "tmp");
    EXPECT_EQ(CopyBaseDirectory(Host("run"), Host("tmp")), Host("run"));
    EXPECT_EQ(CopyBaseDirectory("", Host("tmp")), Host("tmp"));
    EXPECT_EQ(CopyBaseDirectory(Host("fehlt"), "relativ/tmp"), "/tmp");
    EXPECT_EQ(CopyBaseDirectory("run", Host("tmp")), Host("tmp")) << "only an absolute directory";
    // A runtime directory of another user (as after su) is not used.
    if (geteuid() == 0) {
        ASSERT_EQ(chown((c.path() / "run").c_str(), 65534, 65534), 0);
        EXPECT_EQ(CopyBaseDirectory(Host("run"), Host("tmp")), Host("tmp"));
    }
}

}  // namespace
}  // namespace pavuto::test
