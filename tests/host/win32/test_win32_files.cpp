// The Win32 file system under real files: error numbers, renaming that never
// replaces, Windows-1252 names through the ANSI calls, listings.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/runtime_error.hpp"
#include "host/win32/win32_filesystem.hpp"
#include "support/test_host.hpp"

namespace pavuto::test {
namespace {

using host::win32::DriveRoots;
using host::win32::Win32FileSystem;

int ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

class Win32FilesTest : public ::testing::Test {
protected:
    TempDir c, d;
    Win32FileSystem fs{DriveRoots{{{'C', c.path().string()}, {'D', d.path().string()}}}};
};

TEST_F(Win32FilesTest, FailuresCarryTheProgramsErrorNumbers) {
    c.Write("Musik/a.mp3", "x");
    EXPECT_EQ(ErrorOf([&] { fs.Open("C:\\Musik\\fehlt.mp3", host::OpenMode::Input); }), err::FileNotFound);
    EXPECT_EQ(ErrorOf([&] { fs.Open("C:\\Fehlt\\a.mp3", host::OpenMode::Input); }), err::PathNotFound);
    EXPECT_EQ(ErrorOf([&] { fs.List("C:\\Fehlt"); }), err::PathNotFound);
    EXPECT_EQ(ErrorOf([&] { fs.ChangeDirectory("C:\\Fehlt"); }), err::PathNotFound);
    EXPECT_EQ(ErrorOf([&] { fs.Remove("C:\\Musik"); }), err::FileNotFound);
    EXPECT_EQ(ErrorOf([&] { fs.Remove("C:\\Musik\\fehlt.mp3"); }), err::FileNotFound);
    EXPECT_EQ(ErrorOf([&] { fs.MakeDirectory("C:\\Musik"); }), err::PathFileAccessError);
    EXPECT_EQ(ErrorOf([&] { fs.Open("C:\\Musik", host::OpenMode::Input); }), err::PathFileAccessError);
    EXPECT_EQ(ErrorOf([&] { fs.Open("C:\\Musik\\a?.mp3", host::OpenMode::Output); }), err::BadFileName);
    EXPECT_EQ(ErrorOf([&] { fs.Open(std::string("C:\\a\0b", 6), host::OpenMode::Output); }), err::BadFileName);
    EXPECT_EQ(ErrorOf([&] { fs.CurrentDirectory("Q:"); }), err::DiskNotReady);
    EXPECT_EQ(ErrorOf([&] { fs.ChangeDrive("Q:"); }), err::DiskNotReady);
    EXPECT_FALSE(fs.FileExists("Q:\\a.mp3"));
    EXPECT_EQ(host::win32::ErrorNumberFor(ERROR_SHARING_VIOLATION), err::PermissionDenied);
    EXPECT_EQ(host::win32::ErrorNumberFor(ERROR_DISK_FULL), err::DiskFull);
    EXPECT_EQ(host::win32::ErrorNumberFor(ERROR_NOT_READY), err::DiskNotReady);
}

TEST_F(Win32FilesTest, RenameNeverReplacesAndCaseAloneRenamesTheFileItself) {
    c.Write("a.txt", "alt");
    c.Write("b.txt", "neu");
    EXPECT_EQ(ErrorOf([&] { fs.Rename("C:\\b.txt", "C:\\a.txt"); }), err::FileAlreadyExists);
    EXPECT_EQ(c.Read("a.txt"), "alt");
    EXPECT_EQ(c.Read("b.txt"), "neu");
    EXPECT_EQ(ErrorOf([&] { fs.Rename("C:\\b.txt", "D:\\b.txt"); }), err::RenameAcrossDisks);
    EXPECT_EQ(ErrorOf([&] { fs.Rename("C:\\fehlt.txt", "C:\\c.txt"); }), err::FileNotFound);
    fs.Rename("C:\\b.txt", "C:\\B.TXT");
    auto names = fs.List("C:\\");
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[1].name, "B.TXT");
    // Replace is the one move that puts a file over another.
    fs.Replace("C:\\B.TXT", "C:\\a.txt");
    EXPECT_EQ(c.Read("a.txt"), "neu");
    EXPECT_FALSE(c.Exists("B.TXT"));
}

TEST_F(Win32FilesTest, NamesAreWindows1252AndListingsComeSortedWithoutHiddenEntries) {
    auto file = fs.Open("C:\\M\xFCller - \x80uro.mp3", host::OpenMode::Output);
    file->WriteLine("Zeile");
    file->Close();
    EXPECT_TRUE(std::filesystem::exists(c.path() / L"M\u00FCller - \u20ACuro.mp3"));
    EXPECT_EQ(c.Read("M\xC3\xBCller - \xE2\x82\xACuro.mp3"), "Zeile\r\n");
    c.Write("beta.MP3", "");
    c.Write("Alpha.mp3", "");
    c.Write("Ordner/x.mp3", "");
    c.Write("versteckt.mp3", "");
    SetFileAttributesA(fs.HostPath("C:\\versteckt.mp3").c_str(), FILE_ATTRIBUTE_HIDDEN);
    std::filesystem::create_directory(c.path() / L"\u0416"); // a name no ANSI call can carry
    // A letter with a look-alike in the code page (r-caron) beside a file
    // that has the look-alike: the first is never taken for the second.
    c.Write("Dvor\xC3\xA1k.mp3", "");
    std::ofstream(c.path() / L"Dvo\u0159\u00E1k.mp3").close();

    auto all = fs.List("C:\\");
    std::vector<std::string> names;
    for (auto& e : all) names.push_back(e.name + (e.directory ? "/" : "") + (e.exact ? "" : "~"));
    EXPECT_EQ(names, (std::vector<std::string>{"?/~", "Alpha.mp3", "beta.MP3", "Dvo?\xE1k.mp3~", "Dvor\xE1k.mp3",
                                               "M\xFCller - \x80uro.mp3", "Ordner/"}));
    auto mp3 = fs.List("C:\\", "*.mp3");
    EXPECT_EQ(mp3.size(), 5u);
    EXPECT_EQ(fs.FileSize("C:\\m\xDCLLER - \x80URO.MP3"), 7u);
}

TEST_F(Win32FilesTest, DrivesAndDirectoriesAreTheProgramsOwn) {
    c.Write("Musik/Rock/a.mp3", "");
    fs.ChangeDirectory("C:\\Musik\\Rock");
    fs.ChangeDirectory("D:\\");
    EXPECT_EQ(fs.CurrentDirectory(), "C:\\Musik\\Rock");
    EXPECT_EQ(fs.FullPath("..\\Jazz"), "C:\\Musik\\Jazz");
    EXPECT_EQ(fs.FullPath("D:x"), "D:\\x");
    EXPECT_TRUE(fs.FileExists("a.mp3"));
    EXPECT_EQ(fs.DrivePath(fs.HostPath("a.mp3")), "C:\\Musik\\Rock\\a.mp3");
    EXPECT_TRUE(fs.SameFile("C:\\musik\\rock\\A.MP3", "a.mp3"));
    fs.ChangeDrive("d:");
    EXPECT_EQ(fs.CurrentDirectory(), "D:\\");
    EXPECT_EQ(fs.CurrentDirectory("C:"), "C:\\Musik\\Rock");
}

TEST_F(Win32FilesTest, FilesReadAndWriteSequentiallyAndAtPositions) {
    auto out = fs.Open("C:\\l.txt", host::OpenMode::Output);
    out->Write("eins\r\nzwei\nd");
    out->Close();
    auto app = fs.Open("C:\\l.txt", host::OpenMode::Append);
    app->Write("rei\r");
    app->Close();
    auto in = fs.Open("C:\\l.txt", host::OpenMode::Input);
    std::string line;
    std::vector<std::string> lines;
    while (in->ReadLine(line)) lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"eins", "zwei", "drei"}));
    auto bin = fs.Open("C:\\l.txt", host::OpenMode::Binary);
    bin->WriteAt(0, "EINS");
    EXPECT_EQ(bin->ReadAt(0, 6), "EINS\r\n");
    EXPECT_EQ(bin->Size(), 16u);
    EXPECT_EQ(bin->ReadAt(14, 10), "i\r");
}

}  // namespace
}  // namespace pavuto::test
