// The console on a pseudo-terminal: what reaches the terminal, what comes
// back from it, and the terminal's state before and after.
#include "host/posix/posix_console.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

using pavuto::host::ExtendedKey;
using pavuto::host::InputEvent;
using pavuto::host::WindowShow;
using pavuto::host::posix::PosixConsole;

namespace {

class Pty {
public:
    Pty(int rows, int columns) {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) throw std::runtime_error("no pty");
        slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
        if (slave < 0) throw std::runtime_error("no pty slave");
        Resize(rows, columns);
    }
    ~Pty() {
        ::close(slave);
        ::close(master);
    }
    void Resize(int rows, int columns) const {
        struct winsize ws {};
        ws.ws_row = static_cast<unsigned short>(rows);
        ws.ws_col = static_cast<unsigned short>(columns);
        ::ioctl(master, TIOCSWINSZ, &ws);
    }
    // Everything the program side wrote, read until the line has been quiet
    // for a moment (the pty hands data over asynchronously).
    std::string Output() const {
        std::string out;
        char buffer[4096];
        for (int rounds = 0; rounds < 200; ++rounds) {
            struct pollfd p {master, POLLIN, 0};
            if (::poll(&p, 1, 40) <= 0) break;
            ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n <= 0) break;
            out.append(buffer, static_cast<size_t>(n));
        }
        return out;
    }
    void Type(const std::string& bytes) const { ASSERT_EQ(::write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size())); }
    struct termios Mode() const {
        struct termios t {};
        ::tcgetattr(slave, &t);
        return t;
    }

    int master = -1, slave = -1;
};

bool SameMode(const struct termios& a, const struct termios& b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag && a.c_lflag == b.c_lflag &&
           std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0 && cfgetispeed(&a) == cfgetispeed(&b) &&
           cfgetospeed(&a) == cfgetospeed(&b);
}

// A small terminal: follows cursor positioning, colours and erasing, and
// records every character that would land outside its size or make it wrap.
struct MiniTerminal {
    MiniTerminal(int rows, int columns)
        : rows(rows), columns(columns), text(static_cast<size_t>(rows * columns), "."),
          sgr(static_cast<size_t>(rows * columns)) {}

    void Feed(const std::string& bytes) {
        size_t i = 0;
        while (i < bytes.size()) {
            unsigned char c = static_cast<unsigned char>(bytes[i]);
            if (c == 0x1b && i + 1 < bytes.size() && bytes[i + 1] == '[') {
                size_t j = i + 2;
                while (j < bytes.size() && !(bytes[j] >= 0x40 && bytes[j] <= 0x7e)) ++j;
                Csi(bytes.substr(i + 2, j - i - 2), bytes[j]);
                i = j + 1;
                continue;
            }
            if (c < 0x20) {
                if (c != 0x07 && c != 0x18) ++controls;
                ++i;
                continue;
            }
            size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
            Put(bytes.substr(i, len));
            i += len;
        }
    }
    void Csi(const std::string& params, char final) {
        if (final == 'H') {
            int r = 1, c = 1;
            std::sscanf(params.c_str(), "%d;%d", &r, &c);
            if (r > rows || c > columns) ++outside;
            row = r;
            column = c;
        } else if (final == 'm') {
            colours = params;
        } else if (final == 'J') {
            for (auto& t : text) t = " ";
            for (auto& s : sgr) s = colours;
        }
    }
    void Put(const std::string& ch) {
        if (column > columns) ++wraps;  // would wrap onto the next row
        if (row < 1 || row > rows || column < 1 || column > columns) {
            ++outside;
        } else {
            text[Index(row, column)] = ch;
            sgr[Index(row, column)] = colours;
        }
        ++column;
    }
    size_t Index(int r, int c) const { return static_cast<size_t>((r - 1) * columns + (c - 1)); }
    std::string Row(int r) const {
        std::string out;
        for (int c = 1; c <= columns; ++c) out += text[Index(r, c)];
        return out;
    }
    std::string Colours(int r, int c) const { return sgr[Index(r, c)]; }

    int rows, columns;
    std::vector<std::string> text, sgr;
    std::string colours;
    int row = 1, column = 1;
    int outside = 0, wraps = 0, controls = 0;
};

bool Contains(const std::string& haystack, const std::string& needle) {
    return haystack.find(needle) != std::string::npos;
}

long long Ms() {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000LL + ts.tv_nsec / 1000000;
}

// Waits (bounded) for the next event the console decodes.
bool NextEvent(PosixConsole& console, InputEvent& e, int withinMs = 2000) {
    long long until = Ms() + withinMs;
    while (Ms() < until) {
        console.AwaitInput(100);
        if (console.ReadEvent(e)) return true;
    }
    return false;
}

}  // namespace

TEST(PosixConsole, RawModeWhileItLivesAndTheTerminalExactlyAsBeforeAfterwards) {
    Pty pty(25, 80);
    const struct termios before = pty.Mode();
    std::string output;
    {
        PosixConsole console(pty.slave, pty.slave);
        struct termios raw = pty.Mode();
        EXPECT_FALSE(raw.c_lflag & ICANON);
        EXPECT_FALSE(raw.c_lflag & ECHO);
        EXPECT_FALSE(raw.c_lflag & ISIG);  // Ctrl+C is a key, not a signal
        EXPECT_FALSE(raw.c_iflag & ICRNL);  // Enter stays code 13
        EXPECT_FALSE(raw.c_iflag & IXON);
        EXPECT_FALSE(SameMode(before, raw));
        output = pty.Output();
        EXPECT_EQ(output.rfind("\x1b[?1049h", 0), 0u) << "alternate screen first";
        EXPECT_TRUE(Contains(output, "\x1b[?1000h\x1b[?1006h"));
        console.SetColours(14, 4);
        console.ShowCursor(false);
        console.Write("x");
        console.EnableMouse(false);
        console.Flush();
        output = pty.Output();
        EXPECT_TRUE(Contains(output, "\x1b[?25l"));
        EXPECT_TRUE(Contains(output, "\x1b[?1006l\x1b[?1000l"));
    }
    EXPECT_TRUE(SameMode(before, pty.Mode()));
    output = pty.Output();
    // Default colours, mouse off, cursor visible, normal screen, in that order at the end.
    EXPECT_TRUE(Contains(output, "\x1b[0m\x1b[?1006l\x1b[?1000l\x1b[?25h\x1b[?1049l"));
    EXPECT_EQ(output.substr(output.size() - 8), "\x1b[?1049l");
}

TEST(PosixConsole, ColouredTextAsAnsiColoursAtItsPosition) {
    Pty pty(25, 80);
    PosixConsole console(pty.slave, pty.slave);
    console.SetSize(22, 70);
    console.SetColours(7, 1);
    console.Clear();
    console.Locate(3, 5);
    console.Write("Hallo");
    console.SetColours(1, 7);
    console.Write("C");
    console.SetColours(12, 8);
    console.Write("R");
    console.SetColours(6, 3);
    console.Write("g");
    console.Flush();
    std::string out = pty.Output();
    EXPECT_TRUE(Contains(out, "\x1b[8;22;70t"));
    // Blue background is ANSI 44, red 41: the console numbers them the other way round.
    EXPECT_TRUE(Contains(out, "\x1b[1;1H\x1b[37;44m "));
    EXPECT_TRUE(Contains(out, "\x1b[3;1H    Hallo\x1b[34;47mC\x1b[91;100mR\x1b[33;46mg\x1b[37;44m "));

    MiniTerminal term(25, 80);
    term.Feed(out);
    EXPECT_EQ(term.Row(3).substr(0, 12), "    HalloCRg");
    EXPECT_EQ(term.Colours(3, 5), "37;44");
    EXPECT_EQ(term.Colours(1, 1), "37;44");     // the cleared screen is 7 on 1
    EXPECT_EQ(term.Colours(22, 70), "37;44");
    EXPECT_EQ(term.Row(23), std::string(80, ' '));  // below R x C: the terminal's own blank
    EXPECT_EQ(term.Colours(23, 1), "0");
    EXPECT_EQ(term.outside + term.wraps + term.controls, 0);
    EXPECT_EQ(term.row, 3);  // the cursor is left where the program's cursor is
    EXPECT_EQ(term.column, 13);
}

TEST(PosixConsole, OnlyWhatChangedIsDrawnAgain) {
    Pty pty(25, 80);
    PosixConsole console(pty.slave, pty.slave);
    console.SetSize(10, 40);
    console.Clear();
    console.Locate(2, 1);
    console.Write("erste Zeile");
    console.Flush();
    pty.Output();

    console.Locate(5, 10);
    console.Write("neu");
    console.Locate(2, 1);
    console.Write("erste");  // the same text again: nothing to draw
    console.Flush();
    std::string out = pty.Output();
    EXPECT_FALSE(Contains(out, "\x1b[2;1H"));  // (the cursor goes back to 2;6 at the end)
    EXPECT_TRUE(Contains(out, "\x1b[5;10Hneu"));
    EXPECT_FALSE(Contains(out, "erste"));
    EXPECT_FALSE(Contains(out, "\x1b[2J"));

    console.Flush();  // nothing changed: nothing sent
    EXPECT_EQ(pty.Output(), "");
}

TEST(PosixConsole, BoxCharactersAndUmlautsArriveAsUtf8) {
    Pty pty(25, 80);
    PosixConsole console(pty.slave, pty.slave);
    console.Locate(1, 1);
    console.Write("\xC9\xCD\xBB");        // ╔═╗ in code page 850
    console.Write("Gr\x94\xE1" "e\x1e");  // Größe and ▲
    console.Flush();
    std::string out = pty.Output();
    EXPECT_TRUE(Contains(out, "\xE2\x95\x94\xE2\x95\x90\xE2\x95\x97" "Gr\xC3\xB6\xC3\x9F" "e\xE2\x96\xB2"));
}

TEST(PosixConsole, SmallTerminalShowsWhatFitsAndNothingBeyond) {
    Pty pty(8, 30);
    PosixConsole console(pty.slave, pty.slave);
    console.SetSize(22, 70);
    console.SetColours(7, 1);
    console.Clear();
    for (int r = 1; r <= 22; ++r) {
        console.Locate(r, 1);
        std::string line;
        for (int c = 0; c < 70; ++c) line += static_cast<char>('A' + (r + c) % 26);
        console.Write(line);
    }
    console.Locate(20, 60);  // the cursor outside: shown at the nearest cell
    console.Flush();
    std::string out = pty.Output();
    MiniTerminal term(8, 30);
    term.Feed(out);
    EXPECT_EQ(term.outside, 0);
    EXPECT_EQ(term.wraps, 0);
    for (int r = 1; r <= 8; ++r) EXPECT_EQ(term.Row(r), console.Screen().Text(r, 1, 30)) << "row " << r;
    EXPECT_EQ(term.row, 8);
    EXPECT_EQ(term.column, 30);

    // The terminal grows: after the resize signal everything that now fits is drawn.
    pty.Resize(25, 80);
    ::raise(SIGWINCH);
    console.Flush();
    out = pty.Output();
    EXPECT_TRUE(Contains(out, "\x1b[2J"));
    MiniTerminal big(25, 80);
    big.Feed(out);
    EXPECT_EQ(big.outside + big.wraps, 0);
    for (int r = 1; r <= 22; ++r) EXPECT_EQ(big.Row(r).substr(0, 70), console.Screen().Text(r)) << "row " << r;
    EXPECT_EQ(big.Row(1).substr(70), std::string(10, ' '));
}

TEST(PosixConsole, WindowOperations) {
    Pty pty(25, 80);
    PosixConsole console(pty.slave, pty.slave);
    console.Flush();
    pty.Output();
    console.Show(WindowShow::Minimised);
    console.Flush();
    EXPECT_EQ(pty.Output(), "");  // never left minimised
    console.Show(WindowShow::Maximised);
    console.Move(60, 25);
    console.Beep();
    std::string out = pty.Output();
    EXPECT_TRUE(Contains(out, "\x1b[1t\x1b[3;60;25t"));
    EXPECT_TRUE(Contains(out, "\a"));
    EXPECT_FALSE(Contains(out, "\x1b[9;1t"));  // no real maximise
}

TEST(PosixConsole, KeysAndClicksFromTheTerminal) {
    Pty pty(25, 80);
    PosixConsole console(pty.slave, pty.slave);
    InputEvent e;
    EXPECT_FALSE(console.ReadEvent(e));
    EXPECT_EQ(e.kind, InputEvent::Kind::None);

    pty.Type("\x1b[A\xC3\xA4\x03\r\x7f");
    std::vector<std::string> keys;
    while (keys.size() < 5 && NextEvent(console, e)) keys.push_back(e.key);
    EXPECT_EQ(keys, (std::vector<std::string>{ExtendedKey('H'), "\xE4", "\x03", "\r", "\b"}));

    // A lone Esc is the Esc key once nothing follows it.
    pty.Type("\x1b");
    ASSERT_TRUE(NextEvent(console, e));
    EXPECT_EQ(e.key, "\x1b");

    pty.Type("\x1b[<0;7;3M\x1b[<0;7;3m");
    ASSERT_TRUE(NextEvent(console, e));
    EXPECT_EQ(e.kind, InputEvent::Kind::Mouse);
    EXPECT_EQ(e.button, 1);
    EXPECT_EQ(e.click, 1);
    EXPECT_EQ(e.row, 2);
    EXPECT_EQ(e.column, 7);

    // Flushing drops what was typed ahead.
    pty.Type("abc");
    console.AwaitInput(1000);
    console.FlushInput();
    EXPECT_FALSE(console.ReadEvent(e));
    pty.Type("d");
    ASSERT_TRUE(NextEvent(console, e));
    EXPECT_EQ(e.key, "d");
}

TEST(PosixConsole, AwaitInputReturnsOnInputAndOtherwiseWaits) {
    Pty pty(25, 80);
    PosixConsole console(pty.slave, pty.slave);
    long long start = Ms();
    console.AwaitInput(60);
    EXPECT_GE(Ms() - start, 55);

    pty.Type("q");
    start = Ms();
    console.AwaitInput(3000);
    EXPECT_LT(Ms() - start, 2000);
    InputEvent e;
    ASSERT_TRUE(console.ReadEvent(e));
    EXPECT_EQ(e.key, "q");

    // A mouse press alone is no event: the wait goes on.
    pty.Type("\x1b[<0;1;1M");
    start = Ms();
    console.AwaitInput(150);
    EXPECT_GE(Ms() - start, 140);
}

TEST(PosixConsole, SuspendGivesTheTerminalBackAndResumeDrawsEverythingAgain) {
    Pty pty(25, 80);
    const struct termios before = pty.Mode();
    PosixConsole console(pty.slave, pty.slave);
    console.SetSize(5, 20);
    console.Locate(2, 2);
    console.Write("Liste");
    console.Flush();
    pty.Output();

    console.Suspend();
    EXPECT_TRUE(SameMode(before, pty.Mode()));
    std::string out = pty.Output();
    EXPECT_TRUE(Contains(out, "\x1b[?1049l"));
    EXPECT_TRUE(Contains(out, "\x1b[?1000l"));
    EXPECT_TRUE(Contains(out, "\x1b[?25h"));

    console.Resume();
    EXPECT_FALSE(pty.Mode().c_lflag & ICANON);
    out = pty.Output();
    EXPECT_EQ(out.rfind("\x1b[?1049h", 0), 0u);
    MiniTerminal term(25, 80);
    term.Feed(out);
    EXPECT_EQ(term.Row(2).substr(0, 7), " Liste ");
}

TEST(PosixConsole, TerminalRestoredOnEveryWayOut) {
    // Signal: sent from outside; Fault, Breakpoint: raised by the processor;
    // Survived: a signal that is ignored, after which the program ends normally.
    enum class Way { Signal, Fault, Breakpoint, Survived, Exit, UncaughtException };
    struct Case {
        Way way;
        int signal;
    };
    const Case cases[] = {{Way::Signal, SIGTERM},   {Way::Signal, SIGHUP},   {Way::Signal, SIGINT},
                          {Way::Signal, SIGQUIT},   {Way::Signal, SIGILL},   {Way::Signal, SIGTRAP},
                          {Way::Signal, SIGSYS},    {Way::Signal, SIGXCPU},  {Way::Signal, SIGALRM},
                          {Way::Signal, SIGUSR1},   {Way::Signal, SIGUSR2},  {Way::Signal, SIGVTALRM},
                          {Way::Signal, SIGPROF},   {Way::Signal, SIGSEGV},  {Way::Fault, SIGSEGV},
                          {Way::Fault, SIGILL},     {Way::Breakpoint, SIGTRAP}, {Way::Survived, SIGPIPE},
                          {Way::Survived, SIGXFSZ}, {Way::Exit, 0},          {Way::UncaughtException, 0}};
    for (const Case& c : cases) {
        const std::string what = "way " + std::to_string(static_cast<int>(c.way)) + " signal " + std::to_string(c.signal);
        Pty pty(25, 80);
        const struct termios before = pty.Mode();
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (c.signal != 0) ::signal(c.signal, SIG_DFL);
            struct rlimit noCore {0, 0};
            ::setrlimit(RLIMIT_CORE, &noCore);
            int devNull = ::open("/dev/null", O_WRONLY);
            ::dup2(devNull, 2);  // the runtime's last words are not the test's output
            auto* console = new PosixConsole(pty.slave, pty.slave);  // never destroyed
            console->SetColours(15, 4);
            console->Write("Arbeit");
            console->Flush();
            switch (c.way) {
                case Way::Signal: ::kill(::getpid(), c.signal); break;
                case Way::Fault:
                    if (c.signal == SIGSEGV) {
                        // A page that may not be touched: a real fault, also where
                        // sanitizers would catch a null pointer first.
                        void* page = ::mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
                        *static_cast<volatile int*>(page) = 1;
                    } else {
                        __builtin_trap();  // an instruction the processor refuses
                    }
                    break;
                case Way::Breakpoint:
#if defined(__x86_64__) || defined(__i386__)
                    // Execution would go on after the breakpoint: the handler must end it.
                    asm volatile("int3");
#else
                    ::raise(SIGTRAP);
#endif
                    break;
                case Way::Survived:
                    ::kill(::getpid(), c.signal);
                    std::exit(4);
                case Way::Exit: std::exit(3);
                case Way::UncaughtException: {
                    // Out of a function that may not throw: nothing catches it.
                    void (*volatile thrower)() = [] { throw std::runtime_error("kaputt"); };
                    [thrower]() noexcept { thrower(); }();
                    break;
                }
            }
            ::_exit(99);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        std::string out = pty.Output();
        if (c.way == Way::Signal || c.way == Way::Breakpoint || (c.way == Way::Fault && c.signal == SIGSEGV)) {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << what;
        } else if (c.way == Way::Fault) {
            EXPECT_TRUE(WIFSIGNALED(status)) << what;  // SIGILL, or SIGTRAP where the trap instruction is a breakpoint
        } else if (c.way == Way::Survived) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 4) << what;
        } else if (c.way == Way::Exit) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3);
        } else {
            EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 99);
            EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        EXPECT_TRUE(SameMode(before, pty.Mode())) << what;
        EXPECT_TRUE(Contains(out, "Arbeit"));
        EXPECT_TRUE(Contains(out, "\x1b[0m\x1b[?1006l\x1b[?1000l\x1b[?25h\x1b[?1049l")) << what;
    }
}

// A child process with the console on a pty of its own, stopped and
// continued from here.
class StoppedConsole {
public:
    enum class Stop { CtrlZ, SignalFromOutside, CtrlZWhereStoppingIsIgnored };

    StoppedConsole(Pty& pty, Stop how) : pty_(pty) {
        int ready[2];
        if (::pipe(ready) != 0) throw std::runtime_error("no pipe");
        child_ = ::fork();
        if (child_ < 0) throw std::runtime_error("no fork");
        if (child_ == 0) {
            ::close(ready[0]);
            // A process group of its own whose parent is in another group of
            // the session: not orphaned, so the system does not drop the stop.
            ::setpgid(0, 0);
            ::signal(SIGTSTP, how == Stop::CtrlZWhereStoppingIsIgnored ? SIG_IGN : SIG_DFL);
            int devNull = ::open("/dev/null", O_WRONLY);
            ::dup2(devNull, 2);
            int code = 6;  // nothing came
            {
                PosixConsole console(pty.slave, pty.slave);
                console.SetSize(5, 20);
                console.SetColours(14, 1);
                console.Clear();
                console.Locate(2, 2);
                console.Write("Liste");
                console.Locate(4, 3);
                console.Flush();
                char byte = 1;
                if (::write(ready[1], &byte, 1) != 1) ::_exit(7);
                for (int round = 0; round < 300 && code == 6; ++round) {
                    console.AwaitInput(100);
                    InputEvent e;
                    // Any other event than q: Ctrl-Z reached the program as a key.
                    if (console.ReadEvent(e)) code = e.kind == InputEvent::Kind::Key && e.key == "q" ? 0 : 5;
                }
            }  // the terminal given back as at the program's end
            ::_exit(code);
        }
        ::close(ready[1]);
        char byte = 0;
        ssize_t n = ::read(ready[0], &byte, 1);
        ::close(ready[0]);
        if (n != 1) throw std::runtime_error("child not ready");
    }
    ~StoppedConsole() {
        if (child_ > 0 && !ended_) {
            ::kill(child_, SIGKILL);
            ::kill(child_, SIGCONT);
            int status = 0;
            ::waitpid(child_, &status, 0);
        }
    }
    // The child's next change of state: stopped, or ended.
    int Wait() {
        int status = 0;
        if (::waitpid(child_, &status, WUNTRACED) != child_) return -1;
        if (!WIFSTOPPED(status)) ended_ = true;
        return status;
    }
    pid_t pid() const { return child_; }

private:
    Pty& pty_;
    pid_t child_ = -1;
    bool ended_ = false;
};

TEST(PosixConsole, CtrlZAndSigtstpStopWithTheTerminalGivenBackAndGoingOnDrawsTheScreenAgain) {
    for (auto how : {StoppedConsole::Stop::CtrlZ, StoppedConsole::Stop::SignalFromOutside}) {
        const bool byKey = how == StoppedConsole::Stop::CtrlZ;
        Pty pty(25, 80);
        const struct termios before = pty.Mode();
        StoppedConsole child(pty, how);
        pty.Output();

        if (byKey) pty.Type("\x1a");  // Ctrl-Z: a byte, as raw mode has no ISIG
        else ::kill(child.pid(), SIGTSTP);
        int status = child.Wait();
        ASSERT_TRUE(WIFSTOPPED(status)) << "by key " << byKey << " status " << status;
        // Stopped: the shell gets the terminal as it was before the program.
        EXPECT_TRUE(SameMode(before, pty.Mode())) << "by key " << byKey;
        std::string out = pty.Output();
        EXPECT_TRUE(Contains(out, "\x1b[0m\x1b[?1006l\x1b[?1000l\x1b[?25h\x1b[?1049l")) << "by key " << byKey;

        ::kill(child.pid(), SIGCONT);
        // Going on: raw mode, alternate screen, mouse, and every cell drawn anew.
        out.clear();
        for (int i = 0; i < 50 && !Contains(out, "Liste"); ++i) out += pty.Output();
        EXPECT_FALSE(pty.Mode().c_lflag & ICANON) << "by key " << byKey;
        EXPECT_FALSE(pty.Mode().c_lflag & ECHO);
        size_t enter = out.find("\x1b[?1049h");
        ASSERT_NE(enter, std::string::npos) << "by key " << byKey;
        EXPECT_TRUE(Contains(out.substr(enter), "\x1b[?1000h\x1b[?1006h"));
        MiniTerminal term(25, 80);
        term.Feed(out.substr(enter));
        EXPECT_EQ(term.Row(1).substr(0, 20), std::string(20, ' '));
        EXPECT_EQ(term.Row(2).substr(0, 8), " Liste  ");
        EXPECT_EQ(term.Colours(2, 2), "93;44");
        EXPECT_EQ(term.Row(5).substr(0, 20), std::string(20, ' '));
        EXPECT_EQ(term.row, 4);
        EXPECT_EQ(term.column, 3);

        // The program goes on reading keys; Ctrl-Z never reached it as one.
        pty.Type("q");
        status = child.Wait();
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "by key " << byKey << " status " << status;
        EXPECT_TRUE(SameMode(before, pty.Mode()));
    }
}

TEST(PosixConsole, CtrlZDoesNothingWhereStoppingWasIgnoredAtTheStart) {
    Pty pty(25, 80);
    StoppedConsole child(pty, StoppedConsole::Stop::CtrlZWhereStoppingIsIgnored);
    pty.Output();
    pty.Type("\x1a");
    pty.Type("q");
    int status = child.Wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    EXPECT_FALSE(Contains(pty.Output(), "\x1b[?1049h")) << "never given back and taken again";
}
