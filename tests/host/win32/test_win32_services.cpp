// The Win32 services that can be checked here: process start, the
// environment block, the version record, the multimedia command strings on
// a generated WAV, and the shell link with its properties.
#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "common/runtime_error.hpp"
#include "host/win32/win32_filesystem.hpp"
#include "host/win32/win32_services.hpp"
#include "support/test_host.hpp"

namespace pavuto::test {
namespace {

using namespace host::win32;

class Win32ServicesTest : public ::testing::Test {
protected:
    TempDir c;
    Win32FileSystem fs{DriveRoots{{{'C', c.path().string()}}}};
};

// A real process ends in its own time: its file is looked for until it is there.
bool AppearsWithin(const TempDir& dir, const std::string& name, int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += 50) {
        if (dir.Exists(name)) return true;
        Sleep(50);
    }
    return dir.Exists(name);
}

TEST_F(Win32ServicesTest, ProgramsStartInTheCurrentDirectoryWithAndWithoutWaiting) {
    c.Write("Arbeit/.keep", "");
    fs.ChangeDirectory("C:\\Arbeit");
    Win32Processes processes{fs, nullptr};
    processes.Start("cmd.exe /c echo gewartet> warten.txt", host::WindowStyle::Hidden, true);
    EXPECT_EQ(c.Read("Arbeit/warten.txt"), "gewartet\r\n");
    processes.Start("cmd.exe /c exit 3", host::WindowStyle::Hidden, true);
    EXPECT_EQ(processes.LastExitCode(), 3u);
    processes.Start("cmd.exe /c echo frei> frei.txt", host::WindowStyle::Minimised, false);
    EXPECT_TRUE(AppearsWithin(c, "Arbeit/frei.txt", 20000));
    try {
        processes.Start("gibtsnicht.exe /x", host::WindowStyle::Normal, true);
        FAIL() << "started a missing program";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), err::FileNotFound);
    }
    // A program named without its folder is found in the program's current
    // directory (not the one the process was started in), and the process's
    // own stays as it was.
    char system[MAX_PATH], before[MAX_PATH * 2], after[MAX_PATH * 2];
    ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
    GetCurrentDirectoryA(sizeof before, before);
    ASSERT_TRUE(CopyFileA((std::string(system) + "\\cmd.exe").c_str(), fs.HostPath("C:\\Arbeit\\eigenes.exe").c_str(),
                          FALSE));
    processes.Start("eigenes /c exit 7", host::WindowStyle::Hidden, true);
    EXPECT_EQ(processes.LastExitCode(), 7u);
    GetCurrentDirectoryA(sizeof after, after);
    EXPECT_STREQ(after, before);
}

TEST_F(Win32ServicesTest, TheProgramAfterTheEndIsCheckedAtOnceAndStartedWithoutWaiting) {
    Win32Processes processes{fs, nullptr};
    EXPECT_FALSE(processes.StartSuccessor());
    try {
        processes.StartAfterEnd("\"C:\\gibt es nicht\\x.exe\" /C a.cmd");
        FAIL() << "a missing successor was accepted";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), err::FileNotFound);
    }
    fs.ChangeDirectory("C:\\");
    processes.StartAfterEnd("cmd /c echo danach> danach.txt");
    EXPECT_FALSE(c.Exists("danach.txt"));
    EXPECT_TRUE(processes.StartSuccessor());
    EXPECT_TRUE(AppearsWithin(c, "danach.txt", 20000));
}

TEST(Win32Environment, TheBlockIsTheProcessesOwnAndTheCommandLineFollowsTheProgramName) {
    SetEnvironmentVariableA("PAVUTO_PROBE", "C:\\mit blank");
    Win32Environment environment;
    auto block = environment.Block();
    EXPECT_NE(std::find(block.begin(), block.end(), "PAVUTO_PROBE=C:\\mit blank"), block.end());
    SetEnvironmentVariableA("PAVUTO_PROBE", nullptr);
    EXPECT_EQ(TextAfterProgramName("\"C:\\Program Files\\p p\\pavuto.exe\"  /auto Jazz /down 30"),
              "/auto Jazz /down 30");
    EXPECT_EQ(TextAfterProgramName("pavuto.exe\t Rock"), "Rock");
    EXPECT_EQ(TextAfterProgramName("pavuto.exe"), "");
    EXPECT_EQ(ProgramName("  \"C:\\a b\\c.exe\" /C x"), "C:\\a b\\c.exe");
}

// The true version needs pavuto.exe to say which Windows versions it knows,
// up to Windows 10 and 11; without that GetVersionExA reports Windows 8.
TEST(Win32SystemInfo, TheProgramCarriesTheManifestThatGetsTheTrueVersion) {
    char self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
    std::string program = self;
    program = program.substr(0, program.find_last_of('\\') + 1) + "pavuto.exe";
    HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << program;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // the process's manifest
    ASSERT_NE(found, nullptr);
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
    const std::string manifest(bytes, SizeofResource(module, found));
    FreeLibrary(module);
    EXPECT_NE(manifest.find("<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"), std::string::npos)
        << manifest;
}

TEST(Win32SystemInfo, TheVersionRecordIsTheSystemsOwn) {
    auto record = Win32SystemInfo().WindowsVersion();
    ASSERT_TRUE(record.has_value());
    EXPECT_GE(record->major, 5);
    EXPECT_EQ(record->platformId, 2);
}

TEST_F(Win32ServicesTest, MultimediaCommandStringsOpenAskAndCloseAGeneratedWav) {
    c.Write("Musik Ordner/T\xC3\xB6ne.wav", SineWav(1500, 8000));
    Win32Media media{fs};
    std::string shortPath;
    ASSERT_TRUE(media.ShortPath("C:\\Musik Ordner\\T\xF6ne.wav", shortPath));
    EXPECT_EQ(shortPath.find(' '), std::string::npos) << shortPath;
    EXPECT_FALSE(media.ShortPath("C:\\fehlt.wav", shortPath));
    // The strings as the internal player composes them.
    std::string answer;
    ASSERT_EQ(media.Send("open " + shortPath + " type MPEGVideo alias 0000A1B2", answer), 0) << answer;
    EXPECT_EQ(media.Send("set 0000A1B2 time format ms", answer), 0);
    EXPECT_EQ(media.Send("status 0000A1B2 length", answer), 0);
    EXPECT_NEAR(std::stoi(answer), 1500, 20);
    EXPECT_EQ(media.Send("status 0000A1B2 position", answer), 0);
    EXPECT_EQ(answer, "0");
    EXPECT_EQ(media.Send("setaudio 0000A1B2 volume to 400", answer), 0);
    EXPECT_EQ(media.Send("stop 0000A1B2", answer), 0);
    EXPECT_EQ(media.Send("close 0000A1B2", answer), 0);
    EXPECT_NE(media.Send("status 0000A1B2 position", answer), 0) << "closed is closed";
    EXPECT_NE(media.Send("open C:\\fehlt.wav type MPEGVideo alias 0000A1B3", answer), 0);
}

struct LinkRead {
    std::string path, arguments, directory, description;
    int show = 0;
};

LinkRead ReadLink(const std::string& file) {
    LinkRead r;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkA* link = nullptr;
    IPersistFile* persist = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
        std::wstring wide(file.begin(), file.end());
        if (SUCCEEDED(persist->Load(wide.c_str(), STGM_READ))) {
            char text[MAX_PATH] = {};
            link->GetPath(text, MAX_PATH, nullptr, 0);
            r.path = text;
            link->GetArguments(text, MAX_PATH);
            r.arguments = text;
            link->GetWorkingDirectory(text, MAX_PATH);
            r.directory = text;
            link->GetDescription(text, MAX_PATH);
            r.description = text;
            link->GetShowCmd(&r.show);
        }
    }
    if (persist) persist->Release();
    if (link) link->Release();
    CoUninitialize();
    return r;
}

TEST_F(Win32ServicesTest, TheShortcutIsAShellLinkWithItsPropertiesOnTheDesktop) {
    c.Write("Desktop/.keep", "");
    c.Write("Pavuto/pavuto.cmd", "@echo off\r\n");
    std::string desktop = fs.HostPath("C:\\Desktop");
    Win32Shell shell{fs, [&] { return desktop; }};
    host::Shortcut link;
    link.name = "Pavuto";
    link.target = "C:\\Pavuto\\pavuto.cmd";
    link.arguments = "  ";
    link.workingDirectory = "C:\\Pavuto";
    link.show = host::WindowStyle::Normal;
    link.description = "aufruf Pavuto";
    EXPECT_EQ(shell.CreateShortcut(link), 1);
    EXPECT_FALSE(c.Exists("Desktop/Pavuto.lnk.neu"));
    LinkRead read = ReadLink(fs.HostPath("C:\\Desktop\\Pavuto.lnk"));
    EXPECT_EQ(read.path, fs.HostPath("C:\\Pavuto\\pavuto.cmd"));
    EXPECT_EQ(read.arguments, "  ");
    EXPECT_EQ(read.directory, fs.HostPath("C:\\Pavuto"));
    EXPECT_EQ(read.description, "aufruf Pavuto");
    EXPECT_EQ(read.show, SW_SHOWNORMAL);

    Win32Shell none{fs, [] { return std::string(); }};
    EXPECT_EQ(none.CreateShortcut(link), 0);
    Win32Shell missing{fs, [&] { return desktop + "\\fehlt"; }};
    EXPECT_THROW(missing.CreateShortcut(link), RuntimeError);

    // A desktop on no drive of the program's (a folder on a server) takes the shortcut all the same.
    TempDir elsewhere;
    Win32Shell outside{fs, [&] { return elsewhere.path().string(); }};
    EXPECT_EQ(outside.CreateShortcut(link), 1);
    EXPECT_EQ(ReadLink(elsewhere.path().string() + "\\Pavuto.lnk").description, "aufruf Pavuto");
    EXPECT_FALSE(elsewhere.Exists("Pavuto.lnk.neu"));
}

TEST(Win32Shell, TheProgramFilesAreTheRunningProgramAlone) {
    Win32FileSystem real{DriveRoots::Real()};
    Win32Shell shell{real, [] { return std::string(); }};
    auto files = shell.ProgramFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(real.FileExists(files[0])) << files[0];
}

}  // namespace
}  // namespace pavuto::test
