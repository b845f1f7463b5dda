// The environment block, the machine's clock and system description, and the
// host bundle of the POSIX host.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "common/runtime_error.hpp"
#include "common/text.hpp"
#include "host/posix/no_sound_media.hpp"
#include "host/posix/posix_clock.hpp"
#include "host/posix/posix_environment.hpp"
#include "host/posix/posix_host.hpp"
#include "host/posix/posix_system_info.hpp"
#include "host/posix/posix_filesystem.hpp"
#include "support/test_host.hpp"

namespace pavuto::test {
namespace {

using host::posix::DriveMap;
using host::posix::PosixEnvironment;
using host::posix::PosixFileSystem;
using Block = std::vector<std::string>;

// Drive C: is /base, D: is /base/daten (overlapping roots, as a USB stick
// below the home would be); nothing of them needs to exist.
class EnvironmentTest : public ::testing::Test {
protected:
    PosixFileSystem files{DriveMap{{{'C', "/base"}, {'D', "/base/daten"}}}};

    Block BlockOf(const Block& host, const std::string& companionDirectory = "/base/opt/pavuto/bin") {
        return PosixEnvironment(host, {"pavuto"}, files, companionDirectory).Block();
    }
    // The value of a name in a block; "<none>" when absent.
    static std::string Value(const Block& block, const std::string& name) {
        std::string found = "<none>";
        int count = 0;
        for (auto& e : block)
            if (StartsWith(e, name + "=")) {
                found = e.substr(name.size() + 1);
                ++count;
            }
        return count > 1 ? "<twice>" : found;
    }
    static Block Names(const Block& block) {
        Block out;
        for (auto& e : block) out.push_back(e.substr(0, e.find('=')));
        return out;
    }
};

TEST_F(EnvironmentTest, TheBlockIsSortedByTheUpperCasedName) {
    Block block = BlockOf({"b=1", "PAVUTO_DRIVES=x", "A=2", "_X=3", "a_b=4", "PAVUTOTMP=C:\\t", "Zz=5", "COMSPEC=c",
                           "WINDIR=w", "HOMEDRIVE=C:", "HOMEPATH=\\h", "TMP=t", "TEMP=t"});
    EXPECT_EQ(Names(block), (Block{"A", "a_b", "b", "COMSPEC", "HOMEDRIVE", "HOMEPATH", "PAVUTOTMP", "PAVUTO_DRIVES",
                                   "TEMP", "TMP", "WINDIR", "Zz", "_X"}));
    EXPECT_EQ(Value(block, "a_b"), "4");
}

TEST_F(EnvironmentTest, WhatAWindowsMachineAlwaysHasIsSupplied) {
    Block block = BlockOf({"HOME=/base/home/anna", "TMPDIR=/base/daten/tmp/", "PATH=/usr/bin"});
    EXPECT_EQ(Value(block, "COMSPEC"), "C:\\opt\\pavuto\\bin\\pavuto-cmd");
    EXPECT_EQ(Value(block, "WINDIR"), "C:\\opt\\pavuto\\bin");
    EXPECT_EQ(Value(block, "HOMEDRIVE"), "C:");
    EXPECT_EQ(Value(block, "HOMEPATH"), "\\home\\anna");
    EXPECT_EQ(Value(block, "TMP"), "D:\\tmp");
    EXPECT_EQ(Value(block, "TEMP"), "D:\\tmp");
    EXPECT_EQ(Value(block, "PATH"), "/usr/bin") << "no path variable of the program";
    EXPECT_TRUE(std::is_sorted(block.begin(), block.end(),
                               [](auto& a, auto& b) { return UCase(a.substr(0, a.find('='))) < UCase(b.substr(0, b.find('='))); }));

    // Without TMPDIR the temp directory is /tmp; without HOME there is no home.
    Block bare = BlockOf({});
    EXPECT_EQ(Value(bare, "TMP"), "<none>") << "/tmp lies on no drive here";
    PosixFileSystem root{DriveMap{{{'C', "/"}}}};
    Block rooted = PosixEnvironment({}, {"pavuto"}, root, "/usr/lib/pavuto").Block();
    EXPECT_EQ(Value(rooted, "TMP"), "C:\\tmp");
    EXPECT_EQ(Value(rooted, "TEMP"), "C:\\tmp");
    EXPECT_EQ(Value(rooted, "HOMEDRIVE"), "<none>");
    EXPECT_EQ(Value(rooted, "COMSPEC"), "C:\\usr\\lib\\pavuto\\pavuto-cmd");
}

TEST_F(EnvironmentTest, AVariableTheUserSetHimselfWins) {
    Block block = BlockOf({"COMSPEC=C:\\Windows\\cmd.exe", "windir=C:\\Windows", "TMP=C:\\mein tmp", "HOMEPATH=\\x",
                           "HOME=/base/home/anna", "TMPDIR=/base/tmp"});
    EXPECT_EQ(Value(block, "COMSPEC"), "C:\\Windows\\cmd.exe");
    EXPECT_EQ(Value(block, "windir"), "C:\\Windows");
    EXPECT_EQ(Value(block, "WINDIR"), "<none>") << "names compare without regard to case";
    EXPECT_EQ(Value(block, "TMP"), "C:\\mein tmp");
    EXPECT_EQ(Value(block, "TEMP"), "C:\\tmp");
    EXPECT_EQ(Value(block, "HOMEPATH"), "\\x");
    EXPECT_EQ(Value(block, "HOMEDRIVE"), "C:");
}

TEST_F(EnvironmentTest, PathVariablesBecomeDrivePathsAndTextBecomesWindows1252) {
    Block block = BlockOf({"PAVUTO=/base/daten/Pavuto", "pavutotmp=/base/daten/../t/", "PROGRAMFILES=/base/Programme",
                           "HOMEPATH=/base/daten/anna", "TEMP=/base/M\xC3\xBCll", "COMSPEC=/base/bin/cmd",
                           "WINDIR=/base/win", "TMP=relativ/x", "FOO=/base/x", "MUSIK=K\xC3\xA4se \xE2\x82\xAC"});
    EXPECT_EQ(Value(block, "PAVUTO"), "D:\\Pavuto");
    EXPECT_EQ(Value(block, "pavutotmp"), "C:\\t");
    EXPECT_EQ(Value(block, "PROGRAMFILES"), "C:\\Programme");
    EXPECT_EQ(Value(block, "HOMEPATH"), "\\anna") << "without its drive";
    EXPECT_EQ(Value(block, "TEMP"), "C:\\M\xFCll");
    EXPECT_EQ(Value(block, "COMSPEC"), "C:\\bin\\cmd");
    EXPECT_EQ(Value(block, "WINDIR"), "C:\\win");
    EXPECT_EQ(Value(block, "TMP"), "relativ/x") << "only host paths from the root are translated";
    EXPECT_EQ(Value(block, "FOO"), "/base/x");
    EXPECT_EQ(Value(block, "MUSIK"), "K\xE4se \x80");
    // A host path on no drive stays as it is.
    EXPECT_EQ(Value(BlockOf({"PAVUTO=/anderswo/p"}), "PAVUTO"), "/anderswo/p");
}

TEST_F(EnvironmentTest, TheCommandLineIsTheArgumentsJoinedByBlanks) {
    auto line = [&](Block argv) { return PosixEnvironment({}, std::move(argv), files, "").CommandLine(); };
    EXPECT_EQ(line({"pavuto"}), "");
    EXPECT_EQ(line({}), "");
    EXPECT_EQ(line({"pavuto", "MyList", "/Down", "30"}), "MyList /Down 30");
    EXPECT_EQ(line({"pavuto", "/auto", "meine liste", "-"}), "/auto meine liste -") << "no quotes added";
    EXPECT_EQ(line({"pavuto", "M\xC3\xA4rz"}), "M\xE4rz");
}

TEST(ProcessEnvironment, TheRealEnvironmentAndTheProgramsDirectory) {
    auto env = PosixEnvironment::ProcessEnvironment();
    EXPECT_TRUE(std::any_of(env.begin(), env.end(), [](auto& e) { return StartsWith(e, "PATH="); }));
    // The test program lives in the build's bin folder beside pavuto-cmd.
    EXPECT_EQ(PosixEnvironment::ProgramDirectory(), PAVUTO_BIN_DIR);
}

// The companions (pavuto-cmd, shutdown.exe) stand beside the program in the
// build tree and where the program installed itself; an installed package
// keeps them in its own library folder, bin/../lib/pavuto.
TEST(CompanionDirectory, BesideTheProgramFirstThenThePackagesLibraryFolder) {
    namespace fs = std::filesystem;
    TempDir t;
    const std::string root = t.path().string();
    auto program = [&](const std::string& relative) {
        t.Write(relative, "#!/bin/sh\n");
        fs::permissions(t.path() / relative, fs::perms::owner_all);
    };
    auto companions = [](const std::string& programDirectory) {
        return PosixEnvironment::CompanionDirectoryOf(programDirectory);
    };

    // The installed package: prefix/bin/pavuto, prefix/lib/pavuto/pavuto-cmd.
    program("usr/bin/pavuto");
    program("usr/lib/pavuto/pavuto-cmd");
    EXPECT_EQ(companions(root + "/usr/bin"), root + "/usr/lib/pavuto");
    EXPECT_EQ(companions(root + "/usr/bin/"), root + "/usr/lib/pavuto") << "without \"..\" and trailing slash";
    EXPECT_EQ(companions(root + "/usr/lib/pavuto"), root + "/usr/lib/pavuto") << "pavuto-cmd's own directory";

    // Side by side wins over a package beside it.
    program("usr/bin/pavuto-cmd");
    EXPECT_EQ(companions(root + "/usr/bin"), root + "/usr/bin");

    // Only an executable file is the interpreter.
    t.Write("opt/bin/pavuto-cmd", "kein Programm");
    fs::create_directories(t.path() / "opt/lib/pavuto/pavuto-cmd");
    EXPECT_EQ(companions(root + "/opt/bin"), root + "/opt/bin") << "neither: where it was looked for first";
    fs::create_directories(t.path() / "srv/bin/pavuto-cmd");
    program("srv/lib/pavuto/pavuto-cmd");
    EXPECT_EQ(companions(root + "/srv/bin"), root + "/srv/lib/pavuto");

    EXPECT_EQ(companions(""), "") << "the system did not tell";
    // The test program stands in the build tree, beside pavuto-cmd.
    EXPECT_EQ(PosixEnvironment::CompanionDirectory(), PAVUTO_BIN_DIR);
}

TEST(PosixClock, TicksFollowAPauseAndNowIsTheLocalTime) {
    host::posix::PosixClock clock;
    std::uint32_t before = clock.TickCount();
    clock.Pause(30);
    std::uint32_t elapsed = clock.TickCount() - before;  // unsigned: right across the wrap too
    EXPECT_GE(elapsed, 30u);
    EXPECT_LT(elapsed, 2000u);
    std::uint32_t t = clock.TickCount();
    clock.Pause(0);
    clock.Pause(-5);
    EXPECT_LT(clock.TickCount() - t, 20u) << "no pause for nothing";

    auto now = clock.Now();
    EXPECT_GE(now.year, 2024);
    EXPECT_TRUE(now.month >= 1 && now.month <= 12 && now.day >= 1 && now.day <= 31);
    EXPECT_TRUE(now.hour >= 0 && now.hour < 24 && now.minute >= 0 && now.minute < 60);
    EXPECT_TRUE(now.second >= 0 && now.second < 60 && now.millisecond >= 0 && now.millisecond < 1000);
}

TEST(PosixSystemInfo, AnHonestDescriptionThatIsNeverTakenForXp) {
    host::posix::PosixSystemInfo info;
    EXPECT_FALSE(info.WindowsVersion().has_value());
    std::string text = info.Description();
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text.find("XP"), std::string::npos);
    EXPECT_EQ(host::posix::PosixSystemInfo::Describe("Linux", "6.1.0-18-amd64", "x86_64"), "Linux 6.1.0-18-amd64 x86_64");
    EXPECT_EQ(host::posix::PosixSystemInfo::Describe("Linux", "5.0-XP1", "XPU"), "Linux 5.0-xp1 xpU");
}

TEST(PosixHost, BundlesTheServicesWithTheGivenConsoleAndNoSound) {
    VirtualClock clock;
    auto console = std::make_unique<TestConsole>(clock);
    TestConsole* given = console.get();
    host::FileSystem* filesSeen = nullptr;
    host::posix::PosixHost posix(
        std::move(console),
        [&](host::FileSystem& files) -> std::unique_ptr<host::Media> {
            filesSeen = &files;
            return nullptr;  // no sound device
        },
        {"pavuto", "mp3"});
    host::Host& h = posix.host();
    EXPECT_EQ(filesSeen, &posix.files()) << "the media back end gets the host's file system";
    EXPECT_EQ(&h.console, given);
    EXPECT_EQ(&h.files, &posix.files());
    EXPECT_EQ(h.environment.CommandLine(), "mp3");
    EXPECT_EQ(h.media.WaveOutDevices(), 0);
    std::string answer = "alt", shortPath = "alt";
    EXPECT_EQ(h.media.Send("open x type MPEGVideo alias a", answer), host::posix::NoSoundMedia::NotPlayable);
    EXPECT_EQ(answer, "");
    EXPECT_FALSE(h.media.ShortPath("C:\\x.mp3", shortPath));
    EXPECT_FALSE(h.system.WindowsVersion().has_value());
    auto block = h.environment.Block();
    EXPECT_TRUE(std::any_of(block.begin(), block.end(), [](auto& e) { return StartsWith(UCase(e), "COMSPEC="); }));

    VirtualClock clock2;
    host::posix::PosixHost withMedia(
        std::make_unique<TestConsole>(clock2), [](host::FileSystem&) { return std::make_unique<RecordingMedia>(); }, {});
    EXPECT_EQ(withMedia.host().media.WaveOutDevices(), 1);
}

// Signals that would end the program at a write: with the host built, the
// write fails with the program's error number instead (in a child process,
// where the file-size limit may be lowered).
TEST(PosixHost, AWritePastTheFileSizeLimitOrIntoAClosedPipeIsAnErrorOfThatWrite) {
    TempDir dir;
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int pipeEnds[2];  // made here: no other process holds its reading end
        if (::pipe(pipeEnds) != 0) ::_exit(8);
        ::signal(SIGXFSZ, SIG_DFL);  // as a program finds them
        ::signal(SIGPIPE, SIG_DFL);
        VirtualClock clock;
        host::posix::PosixHost posix(std::make_unique<TestConsole>(clock), nullptr, {"pavuto"});
        host::FileSystem& files = posix.host().files;
        auto numberOfWrite = [&](const std::string& path, std::size_t bytes, bool readerGoes = false) {
            try {
                auto f = files.Open(path, host::OpenMode::Output);
                if (readerGoes) ::close(pipeEnds[0]);
                f->Write(std::string(bytes, 'x'));
                f->Close();
                return 0;
            } catch (const RuntimeError& e) {
                return e.number();
            }
        };
        struct rlimit limit {4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        int tooBig = numberOfWrite(files.DrivePath((dir.path() / "gross.txt").string()), 10000);
        int small = numberOfWrite(files.DrivePath((dir.path() / "klein.txt").string()), 100);
        int pipe = numberOfWrite(files.DrivePath("/proc/self/fd/" + std::to_string(pipeEnds[1])), 100, true);
        ::_exit((tooBig == err::DiskFull ? 0 : 1) | (small == 0 ? 0 : 2) | (pipe == err::DeviceIoError ? 0 : 4));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0)
        << "1: not 61 past the limit, 2: a write within it failed, 4: not 57 into the closed pipe";
    EXPECT_EQ(std::filesystem::file_size(dir.path() / "gross.txt"), 4096u);
}

}  // namespace
}  // namespace pavuto::test
