// The drive-letter file system against real directories: drive C: and D: are
// two temporary directories, Q: is not mapped.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/runtime_error.hpp"
#include "host/posix/posix_filesystem.hpp"
#include "support/test_host.hpp"

namespace pavuto::test {
namespace {

namespace fs = std::filesystem;
using host::OpenMode;
using host::posix::DriveMap;
using host::posix::PosixFileSystem;

// The error number of a call that must fail; -1 when it does not fail.
template <class F>
int ErrorOf(F&& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return -1;
}

std::vector<std::string> Names(const std::vector<host::DirEntry>& entries) {
    std::vector<std::string> out;
    for (auto& e : entries) out.push_back(e.name);
    return out;
}

class FileSystemTest : public ::testing::Test {
protected:
    TempDir c, d;
    PosixFileSystem files{DriveMap{{{'C', c.path().string()}, {'D', d.path().string() + "/"}}}};

    std::string ReadAll(const std::string& path) {
        auto f = files.Open(path, OpenMode::Input);
        return f->ReadAt(0, static_cast<size_t>(f->Size()));
    }
    void WriteAll(const std::string& path, const std::string& bytes) {
        auto f = files.Open(path, OpenMode::Output);
        f->Write(bytes);
        f->Close();
    }
};

TEST_F(FileSystemTest, PathsResolveAgainstTheCurrentDirectoryOfTheirDrive) {
    fs::create_directories(c.path() / "Musik/Rock");
    fs::create_directories(c.path() / "Musik/Pop");
    fs::create_directories(d.path() / "Daten/Sub");

    EXPECT_EQ(files.CurrentDrive(), "C:");
    EXPECT_EQ(files.CurrentDirectory(), "C:\\");
    files.ChangeDirectory("C:/Musik\\Rock");  // both separators
    files.ChangeDirectory("d:\\Daten\\");
    EXPECT_EQ(files.CurrentDrive(), "C:") << "a directory change never changes the drive";
    EXPECT_EQ(files.CurrentDirectory(), "C:\\Musik\\Rock");
    EXPECT_EQ(files.CurrentDirectory("D:"), "D:\\Daten");
    EXPECT_EQ(files.CurrentDirectory("d"), "D:\\Daten");

    EXPECT_EQ(files.FullPath("Song.mp3"), "C:\\Musik\\Rock\\Song.mp3");
    EXPECT_EQ(files.FullPath("..\\Pop/Hit.mp3"), "C:\\Musik\\Pop\\Hit.mp3");
    EXPECT_EQ(files.FullPath("\\x"), "C:\\x");
    EXPECT_EQ(files.FullPath("D:Sub\\f.txt"), "D:\\Daten\\Sub\\f.txt");
    EXPECT_EQ(files.FullPath("D:"), "D:\\Daten");
    EXPECT_EQ(files.FullPath("D:\\"), "D:\\");
    EXPECT_EQ(files.FullPath("D:..\\..\\..\\.."), "D:\\") << "never above the root";
    EXPECT_EQ(files.FullPath("C:.\\.\\a\\.\\b"), "C:\\Musik\\Rock\\a\\b");

    EXPECT_EQ(files.HostPath("D:Sub/f.txt"), (d.path() / "Daten/Sub/f.txt").string());
    EXPECT_EQ(files.HostPath("C:\\..\\..\\etc\\passwd"), (c.path() / "etc/passwd").string())
        << "\"..\" never leaves the drive's directory";
    EXPECT_EQ(files.HostPath("D:\\"), d.path().string());

    files.ChangeDrive("d:");
    EXPECT_EQ(files.CurrentDrive(), "D:");
    EXPECT_EQ(files.CurrentDirectory(), "D:\\Daten");
    EXPECT_EQ(files.FullPath("Sub"), "D:\\Daten\\Sub");
    EXPECT_EQ(files.FullPath("\\"), "D:\\");
    files.ChangeDirectory("C:..");  // C: only, the current drive stays D:
    EXPECT_EQ(files.CurrentDrive(), "D:");
    EXPECT_EQ(files.CurrentDirectory("C:"), "C:\\Musik");
    files.ChangeDirectory("Sub");
    EXPECT_EQ(files.CurrentDirectory(), "D:\\Daten\\Sub");
    files.ChangeDirectory("\\");
    EXPECT_EQ(files.CurrentDirectory(), "D:\\");
}

TEST_F(FileSystemTest, ChangingIntoAMissingDirectoryOrAFileFailsAndKeepsTheOldOne) {
    fs::create_directories(c.path() / "Musik");
    c.Write("Musik/Song.mp3", "x");
    files.ChangeDirectory("C:\\Musik");
    EXPECT_EQ(ErrorOf([&] { files.ChangeDirectory("Fehlt"); }), err::PathNotFound);
    EXPECT_EQ(ErrorOf([&] { files.ChangeDirectory("Song.mp3"); }), err::PathNotFound);
    EXPECT_EQ(files.CurrentDirectory(), "C:\\Musik");
}

TEST_F(FileSystemTest, AnUnmappedDriveIsNotReadyEverywhere) {
    EXPECT_EQ(ErrorOf([&] { files.ChangeDrive("Q:"); }), err::DiskNotReady);
    EXPECT_EQ(files.CurrentDrive(), "C:");
    EXPECT_EQ(ErrorOf([&] { files.CurrentDirectory("Q:"); }), err::DiskNotReady);
    EXPECT_EQ(ErrorOf([&] { files.ChangeDirectory("Q:\\"); }), err::DiskNotReady);
    EXPECT_EQ(ErrorOf([&] { files.FullPath("Q:x"); }), err::DiskNotReady);
    EXPECT_EQ(ErrorOf([&] { files.HostPath("q:\\x"); }), err::DiskNotReady);
    EXPECT_EQ(ErrorOf([&] { files.List("Q:\\"); }), err::DiskNotReady);
    EXPECT_EQ(ErrorOf([&] { files.Open("Q:\\x.txt", OpenMode::Input); }), err::DiskNotReady);
    EXPECT_EQ(ErrorOf([&] { files.Open("Q:\\x.txt", OpenMode::Output); }), err::DiskNotReady);
    EXPECT_EQ(ErrorOf([&] { files.FileSize("Q:\\x.txt"); }), err::DiskNotReady);
    EXPECT_EQ(ErrorOf([&] { files.Remove("Q:\\x.txt"); }), err::DiskNotReady);
    EXPECT_EQ(ErrorOf([&] { files.MakeDirectory("Q:\\x"); }), err::DiskNotReady);
    c.Write("a.txt", "a");
    EXPECT_EQ(ErrorOf([&] { files.Rename("C:\\a.txt", "Q:\\a.txt"); }), err::DiskNotReady);
    EXPECT_TRUE(c.Exists("a.txt"));
    // An existence test answers: a drive that is not ready holds nothing.
    EXPECT_FALSE(files.FileExists("Q:\\x.txt"));
    EXPECT_FALSE(files.DirectoryExists("Q:\\"));
}

TEST_F(FileSystemTest, NamesAreWindows1252InTheProgramAndUtf8OnDisk) {
    const std::string name = "M\xE4rz \x80 \xDF.mp3";               // März € ß.mp3 in Windows-1252
    const std::string onDisk = "M\xC3\xA4rz \xE2\x82\xAC \xC3\x9F.mp3";  // the same in UTF-8
    WriteAll("C:\\" + name, "Inhalt");
    EXPECT_TRUE(c.Exists(onDisk));
    EXPECT_TRUE(files.FileExists("C:\\" + name));
    EXPECT_EQ(files.FileSize(name), 6u);

    c.Write("\xC3\x84rger/Caf\xC3\xA9.txt", "x");  // Ärger/Café.txt
    c.Write("\xE6\x97\xA5.mp3", "x");               // a character Windows-1252 cannot hold
    EXPECT_EQ(Names(files.List("C:\\", "*.*")),
              (std::vector<std::string>{"?.mp3", name, "\xC4rger"}));
    EXPECT_EQ(Names(files.List("C:\\\xC4rger")), std::vector<std::string>{"Caf\xE9.txt"});
    EXPECT_EQ(ReadAll("C:\\\xC4rger\\Caf\xE9.txt"), "x");
    files.ChangeDirectory("\xC4rger");
    EXPECT_EQ(files.CurrentDirectory(), "C:\\\xC4rger");
    EXPECT_EQ(files.DrivePath((c.path() / "\xC3\x84rger/Caf\xC3\xA9.txt").string()), "C:\\\xC4rger\\Caf\xE9.txt");
    EXPECT_EQ(files.HostPath("C:\\\xC4rger"), (c.path() / "\xC3\x84rger").string());
}

TEST_F(FileSystemTest, ListMatchesPatternsWithoutRegardToCaseAndSortsByName) {
    c.Write("b.mp3", "12345");
    c.Write("A.MP3", "1");
    c.Write("c.mp3x", "1");
    c.Write("song.txt", "");
    c.Write("ohne", "");
    c.Write(".versteckt.mp3", "");
    fs::create_directories(c.path() / "Unter.mp3");
    fs::create_directories(c.path() / "dir");
    fs::create_symlink(c.path() / "fehlt", c.path() / "kaputt.mp3");  // dangling: not a file

    auto all = files.List("C:\\");
    EXPECT_EQ(Names(all), (std::vector<std::string>{"A.MP3", "b.mp3", "c.mp3x", "dir", "ohne", "song.txt", "Unter.mp3"}));
    EXPECT_EQ(Names(files.List("C:\\", "*.*")), Names(all));
    EXPECT_EQ(Names(files.List("C:\\", "*.mp3")), (std::vector<std::string>{"A.MP3", "b.mp3", "Unter.mp3"}));
    EXPECT_EQ(Names(files.List("C:", "*.Mp3")), (std::vector<std::string>{"A.MP3", "b.mp3", "Unter.mp3"}));
    EXPECT_EQ(Names(files.List("C:\\", "?.mp3")), (std::vector<std::string>{"A.MP3", "b.mp3"}));
    EXPECT_EQ(Names(files.List("C:\\", "s*t")), std::vector<std::string>{"song.txt"});
    for (auto& e : all) EXPECT_EQ(e.directory, e.name == "dir" || e.name == "Unter.mp3") << e.name;
    EXPECT_EQ(files.FileSize("C:\\b.mp3"), 5u);
    EXPECT_EQ(ErrorOf([&] { files.List("C:\\fehlt"); }), err::PathNotFound);
    EXPECT_EQ(ErrorOf([&] { files.List("C:\\song.txt"); }), err::PathNotFound);
}

TEST(FileSystemRoot, TheKernelsPseudoFileSystemsAreNotListedAtTheHostRoot) {
    PosixFileSystem files{DriveMap{{{'C', "/"}}}};
    auto names = Names(files.List("C:\\"));
    for (const char* hidden : {"proc", "sys", "dev", "run"})
        EXPECT_EQ(std::count(names.begin(), names.end(), hidden), 0) << hidden;
    EXPECT_EQ(std::count(names.begin(), names.end(), "usr"), 1);
    EXPECT_TRUE(files.DirectoryExists("C:\\proc")) << "hidden from the listing only";
}

TEST_F(FileSystemTest, OpenModesAndTheirErrors) {
    fs::create_directories(c.path() / "Dir");
    EXPECT_EQ(ErrorOf([&] { files.Open("C:\\fehlt.txt", OpenMode::Input); }), err::FileNotFound);
    EXPECT_EQ(ErrorOf([&] { files.Open("C:\\Fehlt\\x.txt", OpenMode::Input); }), err::PathNotFound);
    EXPECT_EQ(ErrorOf([&] { files.Open("C:\\Fehlt\\x.txt", OpenMode::Output); }), err::PathNotFound);
    EXPECT_EQ(ErrorOf([&] { files.Open("C:\\Fehlt\\x.txt", OpenMode::Binary); }), err::PathNotFound);
    EXPECT_EQ(ErrorOf([&] { files.Open("C:\\Dir", OpenMode::Input); }), err::PathFileAccessError);
    EXPECT_EQ(ErrorOf([&] { files.Open("C:\\Dir", OpenMode::Output); }), err::PathFileAccessError);
    EXPECT_EQ(ErrorOf([&] { files.Open(std::string("C:\\a.txt\0.mp3", 14), OpenMode::Output); }), err::BadFileName);
    EXPECT_FALSE(c.Exists("a.txt"));

    WriteAll("C:\\t.txt", "alter langer Inhalt");
    WriteAll("C:\\t.txt", "neu");  // Output replaces
    EXPECT_EQ(c.Read("t.txt"), "neu");
    {
        auto f = files.Open("C:\\t.txt", OpenMode::Append);
        f->WriteLine("+eins");
        f->Close();
    }
    {
        auto f = files.Open("C:\\neu.txt", OpenMode::Append);  // Append creates
        f->Write("x");
    }  // closed (and written) by the destructor
    EXPECT_EQ(c.Read("t.txt"), "neu+eins\r\n");
    EXPECT_EQ(c.Read("neu.txt"), "x");

    // Reading a file opened for writing (and the other way round) is a bad file mode.
    auto out = files.Open("C:\\t.txt", OpenMode::Append);
    std::string line;
    EXPECT_EQ(ErrorOf([&] { out->ReadLine(line); }), err::BadFileMode);
    auto in = files.Open("C:\\t.txt", OpenMode::Input);
    EXPECT_EQ(ErrorOf([&] {
                  in->Write("x");
                  in->Close();
              }),
              err::BadFileMode);
}

TEST_F(FileSystemTest, PositionedAccessInBinaryAndAppendMode) {
    auto f = files.Open("C:\\r.bin", OpenMode::Binary);  // created
    EXPECT_EQ(f->Size(), 0u);
    f->WriteAt(4, "abcd");
    EXPECT_EQ(f->Size(), 8u);
    EXPECT_EQ(f->ReadAt(0, 8), std::string("\0\0\0\0abcd", 8));
    f->WriteAt(0, "XY");
    EXPECT_EQ(f->ReadAt(1, 4), std::string("Y\0\0a", 4));
    EXPECT_EQ(f->ReadAt(6, 100), "cd") << "fewer bytes at the end";
    EXPECT_EQ(f->ReadAt(50, 10), "");
    f->Write("12");  // sequential writing starts at the beginning
    EXPECT_EQ(f->ReadAt(0, 3), std::string("12\0", 3));
    f->Close();
    EXPECT_EQ(c.Read("r.bin"), std::string("12\0\0abcd", 8));

    // Binary keeps what is there.
    auto g = files.Open("C:\\r.bin", OpenMode::Binary);
    EXPECT_EQ(g->Size(), 8u);
    g->Close();

    // A positioned write in a file opened for appending goes where it is told.
    auto a = files.Open("C:\\r.bin", OpenMode::Append);
    a->Write("Z");
    a->WriteAt(0, "__");
    a->Write("!");
    a->Close();
    EXPECT_EQ(c.Read("r.bin"), std::string("__\0\0abcdZ!", 10));
}

TEST_F(FileSystemTest, ReadLineTakesCrLfLfAndCrAsLineEnds) {
    c.Write("z.txt", "eins\r\nzwei\ndrei\rvier\r\n\r\n\nf\xFC" "nf");
    auto f = files.Open("C:\\z.txt", OpenMode::Input);
    std::vector<std::string> lines;
    std::string line;
    while (f->ReadLine(line)) lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"eins", "zwei", "drei", "vier", "", "", "f\xFCnf"}));
    EXPECT_TRUE(f->AtEnd());
    EXPECT_FALSE(f->ReadLine(line));
    EXPECT_EQ(line, "");

    c.Write("leer.txt", "");
    auto e = files.Open("C:\\leer.txt", OpenMode::Input);
    EXPECT_TRUE(e->AtEnd());
    EXPECT_FALSE(e->ReadLine(line));

    c.Write("eine.txt", "a\r\n");
    auto one = files.Open("C:\\eine.txt", OpenMode::Input);
    EXPECT_TRUE(one->ReadLine(line));
    EXPECT_EQ(line, "a");
    EXPECT_TRUE(one->AtEnd()) << "no empty line after the last line end";
    EXPECT_FALSE(one->ReadLine(line));
}

TEST_F(FileSystemTest, ReadLineAcrossTheReadBuffer) {
    // Lines long enough that a CR LF and a line fall across buffer refills.
    std::string big;
    std::vector<std::string> expected;
    for (int i = 0; i < 40; ++i) {
        std::string l(static_cast<size_t>(65535 - (i % 3)), static_cast<char>('a' + i % 26));
        expected.push_back(l);
        big += l + "\r\n";
    }
    c.Write("gross.txt", big);
    auto f = files.Open("C:\\gross.txt", OpenMode::Input);
    std::string line;
    std::vector<std::string> got;
    while (f->ReadLine(line)) got.push_back(line);
    ASSERT_EQ(got.size(), expected.size());
    for (size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i], expected[i]) << "line " << i;
}

TEST_F(FileSystemTest, BufferedWritesAreSeenBySizeAndByPositionedReads) {
    auto f = files.Open("C:\\w.txt", OpenMode::Binary);
    f->WriteLine("Zeile");
    EXPECT_EQ(f->Size(), 7u);
    EXPECT_EQ(f->ReadAt(0, 7), "Zeile\r\n");
    std::string line;
    EXPECT_TRUE(f->ReadLine(line));
    EXPECT_EQ(line, "Zeile");
}

TEST_F(FileSystemTest, RenameNeverReplacesAnExistingFile) {
    c.Write("alt.txt", "alt");
    c.Write("ziel.txt", "ziel");
    EXPECT_EQ(ErrorOf([&] { files.Rename("C:\\alt.txt", "C:\\ziel.txt"); }), err::FileAlreadyExists);
    EXPECT_EQ(c.Read("alt.txt"), "alt");
    EXPECT_EQ(c.Read("ziel.txt"), "ziel");

    files.Rename("alt.txt", "C:neu \xE4.txt");
    EXPECT_FALSE(c.Exists("alt.txt"));
    EXPECT_EQ(c.Read("neu \xC3\xA4.txt"), "alt");

    fs::create_directories(c.path() / "Ordner");
    EXPECT_EQ(ErrorOf([&] { files.Rename("C:\\ziel.txt", "C:\\Ordner"); }), err::FileAlreadyExists);
    files.Rename("C:\\Ordner", "C:\\Mappe");  // directories too
    EXPECT_TRUE(files.DirectoryExists("C:\\Mappe"));

    EXPECT_EQ(ErrorOf([&] { files.Rename("C:\\fehlt.txt", "C:\\x.txt"); }), err::FileNotFound);
    EXPECT_EQ(ErrorOf([&] { files.Rename("C:\\ziel.txt", "C:\\Fehlt\\x.txt"); }), err::PathNotFound);
    EXPECT_EQ(ErrorOf([&] { files.Rename("C:\\ziel.txt", "D:\\ziel.txt"); }), err::RenameAcrossDisks);
    EXPECT_EQ(c.Read("ziel.txt"), "ziel");
    EXPECT_FALSE(d.Exists("ziel.txt"));
}

TEST_F(FileSystemTest, RemoveAndMakeDirectory) {
    c.Write("weg.txt", "x");
    files.Remove("C:\\weg.txt");
    EXPECT_FALSE(c.Exists("weg.txt"));
    EXPECT_EQ(ErrorOf([&] { files.Remove("C:\\weg.txt"); }), err::FileNotFound);
    EXPECT_EQ(ErrorOf([&] { files.Remove("C:\\Fehlt\\weg.txt"); }), err::PathNotFound);

    files.MakeDirectory("D:\\Neu");
    EXPECT_TRUE(fs::is_directory(d.path() / "Neu"));
    EXPECT_EQ(ErrorOf([&] { files.MakeDirectory("D:\\Neu"); }), err::PathFileAccessError);
    EXPECT_EQ(ErrorOf([&] { files.MakeDirectory("D:\\Fehlt\\Neu"); }), err::PathNotFound);
    EXPECT_EQ(ErrorOf([&] { files.Remove("D:\\Neu"); }), err::FileNotFound) << "a directory is no file to remove";
    EXPECT_TRUE(fs::is_directory(d.path() / "Neu"));
    EXPECT_TRUE(files.DirectoryExists("D:\\Neu"));
    EXPECT_FALSE(files.FileExists("D:\\Neu"));
}

TEST(FileSystemDrivePath, OverlappingRootsTakeTheLongestAndRoundTrip) {
    TempDir base;
    fs::create_directories(base.path() / "sub/x");
    fs::create_directories(base.path() / "sub2");
    const std::string b = base.path().string();
    PosixFileSystem files{DriveMap{{{'C', b}, {'E', b + "/sub"}}}};

    EXPECT_EQ(files.DrivePath(b), "C:\\");
    EXPECT_EQ(files.DrivePath(b + "/"), "C:\\");
    EXPECT_EQ(files.DrivePath(b + "/sub"), "E:\\");
    EXPECT_EQ(files.DrivePath(b + "/sub/x/y.mp3"), "E:\\x\\y.mp3");
    EXPECT_EQ(files.DrivePath(b + "/sub2/y"), "C:\\sub2\\y") << "a root is a whole directory, not a prefix";
    EXPECT_EQ(files.DrivePath(b + "/sub/../z"), "C:\\z") << "\"..\" leaves E: before the drive is chosen";
    EXPECT_EQ(files.DrivePath(b + "//sub/./x"), "E:\\x");
    for (const std::string& h : {b, b + "/sub", b + "/sub/x/y.mp3", b + "/sub2/y", b + "/a b/c"})
        EXPECT_EQ(files.HostPath(files.DrivePath(h)), h) << h;
    for (const std::string& p : {std::string("C:\\"), std::string("E:\\x\\y.mp3"), std::string("C:\\sub2")})
        EXPECT_EQ(files.DrivePath(files.HostPath(p)), p) << p;
    // C:\sub names the same directory as E:\ and comes back as E:.
    EXPECT_EQ(files.DrivePath(files.HostPath("C:\\sub\\x")), "E:\\x");
    // Outside every drive there is no drive path: the text stays as it was.
    EXPECT_EQ(files.DrivePath("/nirgends/x"), "/nirgends/x");
}

TEST(FileSystemStart, TheCurrentDirectoryStartsWhereTheProcessIs) {
    TempDir base;
    fs::create_directories(base.path() / "Arbeit/hier");
    auto before = fs::current_path();
    fs::current_path(base.path() / "Arbeit/hier");
    PosixFileSystem files{DriveMap{{{'C', "/"}, {'M', base.path().string()}}}};
    fs::current_path(before);
    EXPECT_EQ(files.CurrentDrive(), "M:");
    EXPECT_EQ(files.CurrentDirectory(), "M:\\Arbeit\\hier");
    EXPECT_EQ(files.CurrentDirectory("C:"), "C:\\");
}

TEST(FileSystemErrors, ErrnoMapsToTheProgramsNumbers) {
    using host::posix::ErrorNumberFor;
    EXPECT_EQ(ErrorNumberFor(ENOENT), err::FileNotFound);
    EXPECT_EQ(ErrorNumberFor(ENOTDIR), err::PathNotFound);
    EXPECT_EQ(ErrorNumberFor(EACCES), err::PermissionDenied);
    EXPECT_EQ(ErrorNumberFor(EBUSY), err::PermissionDenied);
    EXPECT_EQ(ErrorNumberFor(ENOSPC), err::DiskFull);
    EXPECT_EQ(ErrorNumberFor(EFBIG), err::DiskFull);  // past the file-size limit
    EXPECT_EQ(ErrorNumberFor(EPIPE), err::DeviceIoError);
    EXPECT_EQ(ErrorNumberFor(EEXIST), err::FileAlreadyExists);
    EXPECT_EQ(ErrorNumberFor(EXDEV), err::RenameAcrossDisks);
    EXPECT_EQ(ErrorNumberFor(ELOOP), err::PathFileAccessError);
}

}  // namespace
}  // namespace pavuto::test

namespace pavuto::test {
namespace {

TEST_F(FileSystemTest, NamesMatchWithoutRegardToCase) {
    c.Write("Musik/Rock/Song - Band.MP3", "x");
    c.Write("Rock.pavuto", "y");
    EXPECT_TRUE(files.FileExists("C:\\musik\\ROCK\\song - band.mp3"));
    EXPECT_TRUE(files.DirectoryExists("C:\\MUSIK"));
    EXPECT_EQ(ReadAll("C:\\rock.pavuto"), "y");
    EXPECT_EQ(files.HostPath("C:\\rock.PAVUTO"), (c.path() / "Rock.pavuto").string());
    // A new file goes into the directory that exists, with the name as written.
    WriteAll("C:\\musik\\Neu.txt", "z");
    EXPECT_TRUE(fs::exists(c.path() / "Musik/Neu.txt"));
    EXPECT_FALSE(fs::exists(c.path() / "musik"));
    files.ChangeDirectory("C:\\MUSIK\\rock");
    EXPECT_EQ(files.CurrentDirectory(), "C:\\MUSIK\\rock") << "the current directory keeps the name as written";
    EXPECT_TRUE(files.FileExists("Song - Band.mp3"));
}

TEST_F(FileSystemTest, RenamingMayChangeTheCaseButNeverReplaces) {
    c.Write("song.mp3", "1");
    c.Write("other.mp3", "2");
    files.Rename("C:\\song.mp3", "C:\\Song.MP3");
    EXPECT_TRUE(fs::exists(c.path() / "Song.MP3"));
    EXPECT_FALSE(fs::exists(c.path() / "song.mp3"));
    EXPECT_EQ(ErrorOf([&] { files.Rename("C:\\Song.MP3", "C:\\OTHER.mp3"); }), 58);
    EXPECT_EQ(c.Read("Song.MP3"), "1");
    EXPECT_EQ(c.Read("other.mp3"), "2");
}

}  // namespace
}  // namespace pavuto::test
