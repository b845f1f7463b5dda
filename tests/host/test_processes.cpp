// Starting real programs: scripts written by the tests record how they were
// started (arguments, directory, standard streams, parent).
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/runtime_error.hpp"
#include "host/posix/posix_clock.hpp"
#include "host/posix/posix_processes.hpp"
#include "host/posix/posix_signals.hpp"
#include "host/posix/posix_filesystem.hpp"
#include "support/test_host.hpp"

namespace pavuto::test {
namespace {

namespace fs = std::filesystem;
using host::WindowStyle;
using host::posix::DriveMap;
using host::posix::PosixFileSystem;
using host::posix::PosixProcesses;
using host::posix::SplitCommandLine;

using Args = std::vector<std::string>;

// The signals a process ignores, from its "SigIgn:" line (bit n - 1 for signal n).
unsigned long long IgnoredSignals(const std::string& status) {
    auto at = status.find("SigIgn:");
    return at == std::string::npos ? ~0ULL : std::stoull(status.substr(at + 7), nullptr, 16);
}
unsigned long long IgnoredSignalsOf(const std::string& statusFile) {
    std::ifstream in(statusFile);
    std::stringstream s;
    s << in.rdbuf();
    return IgnoredSignals(s.str());
}
unsigned long long Bit(int signal) { return 1ULL << (signal - 1); }
// What this test program ignored when it started, before any test ran.
const unsigned long long kIgnoredAtStart = IgnoredSignalsOf("/proc/self/status");

TEST(WindowsCommandLine, SplitsByTheRulesOfTheWindowsRuntime) {
    struct Case {
        std::string line;
        Args args;
    } cases[] = {
        {"p a b", {"p", "a", "b"}},
        {"p \"a b\" c", {"p", "a b", "c"}},
        {"p a\\\"b", {"p", "a\"b"}},
        {"p \"a\\\\\" b", {"p", "a\\", "b"}},
        {"p \"\"", {"p", ""}},
        {"p \"\" x", {"p", "", "x"}},
        {"p a\"b c\"d", {"p", "ab cd"}},
        {"p a\\\\b \\\\", {"p", "a\\\\b", "\\\\"}},     // backslashes before no quote are literal
        {"p a\\\\\\\"b", {"p", "a\\\"b"}},              // three backslashes and a quote
        {"p \"a\"\"b\"", {"p", "a\"b"}},                // "" inside quotes is one quote
        {"p \"offen bis zum Ende", {"p", "offen bis zum Ende"}},
        {"  p\t a  \t b  ", {"p", "a", "b"}},
        {"\"C:\\Programme\\Mein Player\\play.exe\" \"Song.mp3\"", {"C:\\Programme\\Mein Player\\play.exe", "Song.mp3"}},
        {"C:\\a\\\"b c\" d", {"C:\\a\\b c", "d"}},      // the program name knows only quotes
        {"p a&b|c;d $(x) `y`", {"p", "a&b|c;d", "$(x)", "`y`"}},
        {"", {}},
        {"   ", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.args) << c.line;
}

TEST(WindowsCommandLine, TellsALineThatEndsInsideQuotes) {
    using host::posix::QuotesClosed;
    for (const char* closed : {"p a", "p \"a b\" c", "p a\\\"b", "\"C:\\Pfad\\\" x", "p \"a\"\"b\"", "p \"a\\\\\"", ""})
        EXPECT_TRUE(QuotesClosed(closed)) << closed;
    // The program name knows only quotes; after it a backslash may take a
    // quote's meaning, and "" inside quotes is a quote.
    for (const char* open : {"p \"a", "\"p", "p \"a\\\" b", "\"C:\\Pfad\\\" x \"y", "p \"a\"\"b"})
        EXPECT_FALSE(QuotesClosed(open)) << open;
}

TEST(WindowsCommandLine, NotesWhichWordsWereQuoted) {
    auto words = host::posix::SplitWords("\"Song.mp3\" plain a\"\"b");
    ASSERT_EQ(words.size(), 3u);
    EXPECT_TRUE(words[0].quoted);
    EXPECT_FALSE(words[1].quoted);
    EXPECT_TRUE(words[2].quoted);
    EXPECT_EQ(words[2].text, "ab");
}

// A console that notes what the started program had done at the hand-over.
class HandOverConsole : public TestConsole {
public:
    HandOverConsole(VirtualClock& clock, fs::path marker) : TestConsole(clock), marker_(std::move(marker)) {}
    void Suspend() override {
        TestConsole::Suspend();
        markerAtSuspend = fs::exists(marker_);
    }
    void Resume() override {
        ++resumes;
        markerAtResume = fs::exists(marker_);
    }
    int resumes = 0;
    bool markerAtSuspend = true, markerAtResume = false;

private:
    fs::path marker_;
};

class ProcessesTest : public ::testing::Test {
protected:
    TempDir c;
    PosixFileSystem files{DriveMap{{{'C', c.path().string()}}}};
    VirtualClock virtualClock;
    HandOverConsole console{virtualClock, c.path() / "marker"};
    PosixProcesses processes{files, &console, (c.path() / "own").string()};

    void SetUp() override {
        fs::create_directories(c.path() / "bin");
        fs::create_directories(c.path() / "own");
        fs::create_directories(c.path() / "Arbeit");
        // The recorder: arguments one per line, then the directory, the
        // standard error and the parent's process number.
        Script("bin/recorder",
               "for a in \"$@\"; do printf '%s\\n' \"$a\" >> \"$0.args\"; done\n"
               "pwd > \"$0.dir\"\n"
               "readlink /proc/$$/fd/2 > \"$0.stderr\"\n"
               "echo $PPID > \"$0.parent\"\n"
               "touch " +
                   (c.path() / "marker").string() + "\n");
        processes.SetEnvironment({"PATH=" + (c.path() / "bin").string() + ":/usr/bin:/bin"});
    }

    void Script(const std::string& relative, const std::string& body) {
        c.Write(relative, "#!/bin/sh\n" + body);
        fs::permissions(c.path() / relative, fs::perms::owner_all);
    }

    Args Recorded(const std::string& script) {
        std::istringstream in(c.Read(script + ".args"));
        Args out;
        for (std::string line; std::getline(in, line);) out.push_back(line);
        return out;
    }
    std::string Line(const std::string& relative) {
        std::string s = c.Read(relative);
        while (!s.empty() && s.back() == '\n') s.pop_back();
        return s;
    }

    // Waits (really: the program runs on its own) until a file appears.
    bool AwaitFile(const fs::path& p) {
        host::posix::PosixClock clock;
        for (int i = 0; i < 500 && !fs::exists(p); ++i) clock.Pause(10);
        return fs::exists(p);
    }

    int ErrorOf(const std::string& commandLine, WindowStyle style = WindowStyle::Normal, bool wait = true) {
        try {
            processes.Start(commandLine, style, wait);
        } catch (const RuntimeError& e) {
            return e.number();
        }
        return -1;
    }
};

TEST_F(ProcessesTest, AWaitedProgramGetsTheTerminalAndDrivePathsAsHostPaths) {
    files.ChangeDirectory("C:\\Arbeit");
    processes.Start("C:\\bin\\recorder \"C:\\Musik\\Caf\xE9 & Bar.mp3\" /C D:\\fehlt C:/x/y \"a;b $(touch pwned)\" ``",
                    WindowStyle::Normal, true);
    EXPECT_EQ(Recorded("bin/recorder"),
              (Args{(c.path() / "Musik/Caf\xC3\xA9 & Bar.mp3").string(), "/C", "D:\\fehlt", (c.path() / "x/y").string(),
                    "a;b $(touch pwned)", "``"}))
        << "a drive that is not ready leaves the word as it is";
    EXPECT_EQ(Line("bin/recorder.dir"), (c.path() / "Arbeit").string()) << "the program's current directory";
    EXPECT_EQ(console.suspends, 1);
    EXPECT_EQ(console.resumes, 1);
    EXPECT_FALSE(console.markerAtSuspend) << "the terminal is handed over before the program runs";
    EXPECT_TRUE(console.markerAtResume) << "and taken back after its end";
    EXPECT_FALSE(fs::exists(c.path() / "Arbeit/pwned"));
    EXPECT_EQ(processes.LastExitStatus(), 0);
}

TEST_F(ProcessesTest, AHiddenProgramThatIsWaitedForRunsWithoutTheTerminal) {
    processes.Start("recorder eins", WindowStyle::Hidden, true);  // a bare name: found on PATH
    EXPECT_EQ(Recorded("bin/recorder"), Args{"eins"});
    EXPECT_EQ(Line("bin/recorder.stderr"), "/dev/null");
    EXPECT_EQ(console.suspends, 0);
    EXPECT_EQ(console.resumes, 0);
}

TEST_F(ProcessesTest, TheExitStatusOfAWaitedProgramIsKept) {
    Script("bin/fails", "exit 7\n");
    processes.Start("fails", WindowStyle::Normal, true);
    EXPECT_EQ(processes.LastExitStatus(), 7);
}

TEST_F(ProcessesTest, AProgramNotWaitedForIsDetachedAndLeavesNoZombie) {
    // The program outlives the start a little, so that it can be looked at.
    Script("bin/slow",
           "{ echo $PPID; readlink /proc/$$/fd/0; } > \"$0.tmp\"\nmv \"$0.tmp\" \"$0.info\"\nsleep 0.3\ntouch \"$0.done\"\n");
    processes.Start("C:\\bin\\slow", WindowStyle::Normal, false);
    EXPECT_EQ(console.suspends, 0) << "a detached program never gets the terminal";

    // No process of ours is left: neither the program nor the one between.
    std::ifstream self("/proc/self/stat");
    std::string me;
    self >> me;
    auto childrenOfMine = [&] {
        int count = 0;
        for (auto& entry : fs::directory_iterator("/proc")) {
            std::ifstream stat(entry.path() / "stat");
            std::string line;
            if (!std::getline(stat, line)) continue;
            auto close = line.rfind(')');
            if (close == std::string::npos) continue;
            std::istringstream rest(line.substr(close + 2));
            std::string state, parent;
            rest >> state >> parent;
            if (parent == me) ++count;
        }
        return count;
    };
    ASSERT_TRUE(AwaitFile(c.path() / "bin/slow.info"));
    EXPECT_EQ(childrenOfMine(), 0);
    std::istringstream info(c.Read("bin/slow.info"));
    std::string parent, input;
    info >> parent >> input;
    EXPECT_NE(parent, me);
    EXPECT_EQ(input, "/dev/null");
    ASSERT_TRUE(AwaitFile(c.path() / "bin/slow.done"));
    EXPECT_EQ(childrenOfMine(), 0);
}

TEST_F(ProcessesTest, ProgramsThatCannotStart) {
    EXPECT_EQ(ErrorOf("C:\\bin\\fehlt.exe x"), err::FileNotFound);
    EXPECT_EQ(ErrorOf("fehlt"), err::FileNotFound);
    EXPECT_EQ(ErrorOf("fehlt", WindowStyle::Hidden, false), err::FileNotFound);
    EXPECT_EQ(ErrorOf(""), err::FileNotFound);
    EXPECT_EQ(ErrorOf("   "), err::FileNotFound);
    c.Write("bin/text.txt", "kein Programm");
    EXPECT_EQ(ErrorOf("C:\\bin\\text.txt"), err::PermissionDenied);
    EXPECT_EQ(ErrorOf("C:\\bin"), err::PermissionDenied);
    // Found and executable, but its interpreter is missing: the failure of
    // exec itself comes back from the new process.
    c.Write("bin/broken", "#!/nirgends/sh\n");
    fs::permissions(c.path() / "bin/broken", fs::perms::owner_all);
    EXPECT_EQ(ErrorOf("C:\\bin\\broken"), err::FileNotFound);
    EXPECT_EQ(ErrorOf("C:\\bin\\broken", WindowStyle::Hidden, false), err::FileNotFound);
    EXPECT_EQ(ErrorOf("Q:\\x.exe"), err::DiskNotReady);
    EXPECT_EQ(console.resumes, console.suspends) << "the terminal always comes back";
}

TEST_F(ProcessesTest, WindowsProgramNamesFindThePosixPrograms) {
    Script("own/tool", "printf '%s\\n' \"$@\" > " + (c.path() / "tool.args").string() + "\n");
    EXPECT_EQ(ErrorOf("TOOL.EXE"), err::FileNotFound) << "the ending is dropped, but the case of the rest counts";
    processes.Start("tool.exe a", WindowStyle::Hidden, true);  // in the directory of the running program
    EXPECT_EQ(c.Read("tool.args"), "a\n");
    processes.Start("C:\\own\\tool.exe b", WindowStyle::Hidden, true);
    EXPECT_EQ(c.Read("tool.args"), "b\n");
    // The program's current directory is searched first, as on Windows.
    Script("Arbeit/tool", "printf 'hier\\n' > " + (c.path() / "tool.args").string() + "\n");
    files.ChangeDirectory("C:\\Arbeit");
    processes.Start("tool", WindowStyle::Hidden, true);
    EXPECT_EQ(c.Read("tool.args"), "hier\n");
}

TEST_F(ProcessesTest, AnUnquotedProgramPathWithBlanksIsFoundAsOnWindows) {
    Script("Mein Player/play", "printf '%s\\n' \"$@\" > " + (c.path() / "play.args").string() + "\n");
    processes.Start("C:\\Mein Player\\play.exe  C:\\tmp\\auswahlliste.m3u x", WindowStyle::Hidden, true);
    EXPECT_EQ(c.Read("play.args"), (c.path() / "tmp/auswahlliste.m3u").string() + "\nx\n");
    processes.Start("C:\\Mein Player\\play", WindowStyle::Hidden, true);
    EXPECT_EQ(c.Read("play.args"), "\n") << "no arguments";
    EXPECT_EQ(ErrorOf("C:\\Mein Spieler\\play x"), err::FileNotFound);
}

TEST_F(ProcessesTest, EditComIsTheUsersEditor) {
    Script("bin/myedit", "printf '%s\\n' \"$@\" > " + (c.path() / "edit.args").string() + "\n");
    processes.SetEnvironment({"PATH=" + (c.path() / "bin").string(), "VISUAL=myedit --warten", "EDITOR=vi"});
    files.ChangeDirectory("C:\\Arbeit");
    processes.Start("EDIT.com pavuto.config", WindowStyle::Normal, true);
    EXPECT_EQ(c.Read("edit.args"), "--warten\npavuto.config\n");
    processes.SetEnvironment({"PATH=/nirgends", "EDITOR=" + (c.path() / "bin/myedit").string()});
    processes.Start("C:\\DOS\\edit.com C:\\Arbeit\\Rock.config", WindowStyle::Normal, true);
    EXPECT_EQ(c.Read("edit.args"), (c.path() / "Arbeit/Rock.config").string() + "\n");
    // Without VISUAL and EDITOR: the first common editor on PATH.
    Script("bin/nano", "printf 'nano %s\\n' \"$@\" > " + (c.path() / "edit.args").string() + "\n");
    processes.SetEnvironment({"PATH=" + (c.path() / "bin").string()});
    processes.Start("edit.com x", WindowStyle::Normal, true);
    EXPECT_EQ(c.Read("edit.args"), "nano x\n");
    processes.SetEnvironment({"PATH=/nirgends"});
    EXPECT_EQ(ErrorOf("edit.com x"), err::FileNotFound);
}

TEST_F(ProcessesTest, ABatchFileRunsThroughTheProgramsInterpreter) {
    PosixProcesses withInterpreter{files, nullptr, PAVUTO_BIN_DIR};
    withInterpreter.SetEnvironment({"PATH=/usr/bin:/bin", "PAVUTO_DRIVES=C=" + c.path().string()});
    c.Write("Arbeit/los.CMD", "@echo off\r\necho %1 gelaufen>C:\\Arbeit\\ergebnis.txt\r\n");
    files.ChangeDirectory("C:\\Arbeit");
    withInterpreter.Start("los.CMD Skript", WindowStyle::Hidden, true);
    EXPECT_EQ(c.Read("Arbeit/ergebnis.txt"), "Skript gelaufen\r\n");
    EXPECT_EQ(withInterpreter.LastExitStatus(), 0);
}

// The program's playlist holds drive paths in Windows-1252; a player of the
// host gets a copy of it with host paths. The stand-in player checks every
// entry it gets.
TEST_F(ProcessesTest, APlayerGetsThePlaylistAsACopyWithHostPaths) {
    for (const char* name : {"Eins.mp3", "Zwei.mp3", "Dr\xC3\xBC.mp3"}) c.Write(std::string("Musik/") + name, "x");
    const std::string original = "C:\\Musik\\Zwei.mp3\r\nC:\\Musik\\Dr\xFC.mp3\r\nC:\\Musik\\fehlt.mp3\r\nC:\\Musik\\Eins.mp3\r\n";
    c.Write("tmp/auswahlliste.m3u", original);
    Script("bin/player",
           "{ printf '%s\\n' \"$1\"; while IFS= read -r e; do if [ -f \"$e\" ]; then echo \"ok $e\"; else echo \"fehlt $e\"; fi;"
           " done < \"$1\"; } > \"$0.tmp\"\nmv \"$0.tmp\" \"$0.list\"\n");
    processes.SetEnvironment({"PATH=/usr/bin:/bin", "TMPDIR=" + (c.path() / "tmp").string()});
    processes.Start("C:\\bin\\player C:\\tmp\\auswahlliste.m3u", WindowStyle::Hidden, false);
    ASSERT_TRUE(AwaitFile(c.path() / "bin/player.list"));
    std::istringstream list(c.Read("bin/player.list"));
    std::string copy;
    std::getline(list, copy);
    EXPECT_EQ(fs::path(copy).filename(), "auswahlliste.m3u");
    EXPECT_EQ(fs::path(copy).parent_path().parent_path(), c.path() / "tmp") << copy;
    std::string rest((std::istreambuf_iterator<char>(list)), std::istreambuf_iterator<char>());
    EXPECT_EQ(rest, "ok " + (c.path() / "Musik/Zwei.mp3").string() + "\nok " + (c.path() / "Musik/Dr\xC3\xBC.mp3").string() +
                        "\nok " + (c.path() / "Musik/Eins.mp3").string() + "\n");
    EXPECT_EQ(c.Read("tmp/auswahlliste.m3u"), original) << "the program's own file stays as it is";

    // Named relative to the current directory, and with a runtime directory.
    files.ChangeDirectory("C:\\tmp");
    fs::create_directories(c.path() / "run");
    processes.SetEnvironment({"PATH=/usr/bin:/bin", "XDG_RUNTIME_DIR=" + (c.path() / "run").string()});
    auto launch = processes.Resolve("C:\\bin\\player auswahlliste.m3u");
    ASSERT_EQ(launch.arguments.size(), 2u);
    EXPECT_EQ(fs::path(launch.arguments[1]).parent_path().parent_path(), c.path() / "run");
    EXPECT_EQ(c.Read(fs::relative(launch.arguments[1], c.path()).string()),
              (c.path() / "Musik/Zwei.mp3").string() + "\n" + (c.path() / "Musik/Dr\xC3\xBC.mp3").string() + "\n" +
                  (c.path() / "Musik/Eins.mp3").string() + "\n");
    // Any other file goes as its host path.
    c.Write("tmp/auswahlliste.cmd", "@echo off\r\n");
    EXPECT_EQ(processes.Resolve("C:\\bin\\player C:\\tmp\\auswahlliste.cmd").arguments[1],
              (c.path() / "tmp/auswahlliste.cmd").string());
}

// The program's own interpreter and the editor get the program's file itself.
TEST_F(ProcessesTest, TheInterpreterAndTheEditorGetThePlaylistAsItIs) {
    c.Write("tmp/auswahlliste.m3u", "C:\\Musik\\Eins.mp3\r\n");
    c.Write("Arbeit/los.cmd", "@echo off\r\n");
    Script("bin/myedit", "exit 0\n");
    PosixProcesses withInterpreter{files, nullptr, PAVUTO_BIN_DIR};
    withInterpreter.SetEnvironment({"PATH=/usr/bin:/bin", "TMPDIR=" + (c.path() / "tmp").string(),
                                    "EDITOR=" + (c.path() / "bin/myedit").string()});
    const std::string host = (c.path() / "tmp/auswahlliste.m3u").string();
    EXPECT_EQ(withInterpreter.Resolve("C:\\Arbeit\\los.cmd C:\\tmp\\auswahlliste.m3u").arguments,
              (Args{std::string(PAVUTO_BIN_DIR) + "/pavuto-cmd", "/C", (c.path() / "Arbeit/los.cmd").string(), host}));
    EXPECT_EQ(withInterpreter.Resolve("edit.com C:\\tmp\\auswahlliste.m3u").arguments.back(), host);
    for (auto& e : fs::directory_iterator(c.path() / "tmp"))
        EXPECT_EQ(e.path().filename().string().rfind("pavuto-wiedergabe-", 0), std::string::npos) << "no copy made";
}

// The program ignores SIGPIPE and SIGXFSZ for itself, and Ctrl-C and Ctrl-Backslash
// while it waits for a program; it handles others for the terminal. None of
// that reaches a started program: it gets every signal as the program found it.
TEST_F(ProcessesTest, AStartedProgramGetsTheSignalsAsTheProgramFoundThem) {
    host::posix::IgnoreWriteSignals();
    struct sigaction handled {}, old {};
    handled.sa_handler = [](int) {};
    sigemptyset(&handled.sa_mask);
    ASSERT_EQ(::sigaction(SIGUSR1, &handled, &old), 0);
    ASSERT_NE(IgnoredSignalsOf("/proc/self/status") & Bit(SIGPIPE), 0u);

    // (cat's own status: the shell itself blocks everything while it waits for it)
    Script("bin/signals", "cat /proc/self/status > \"$0.tmp$1\"\nmv \"$0.tmp$1\" \"$0.$1\"\n");
    processes.Start("signals waited", WindowStyle::Normal, true);
    processes.Start("signals hidden", WindowStyle::Hidden, true);
    processes.Start("signals detached", WindowStyle::Normal, false);
    ASSERT_TRUE(AwaitFile(c.path() / "bin/signals.detached"));
    for (const char* how : {"waited", "hidden", "detached"}) {
        std::string status = c.Read(std::string("bin/signals.") + how);
        EXPECT_EQ(IgnoredSignals(status), kIgnoredAtStart) << how;
        // Nothing blocked either (the test program started with nothing blocked).
        EXPECT_NE(status.find("SigBlk:\t0000000000000000"), std::string::npos) << how;
    }
    ::sigaction(SIGUSR1, &old, nullptr);
}

}  // namespace
}  // namespace pavuto::test
