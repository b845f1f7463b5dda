#include "host/posix/posix_console.hpp"

#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "common/codepage.hpp"
#include "host/posix/posix_signals.hpp"

namespace pavuto::host::posix {

namespace {

// How long an Esc waits for the rest of an escape sequence.
constexpr int kEscapeTimeoutMs = 25;
// Drawing is held back for one batch of operations, but never longer than this.
constexpr long long kLongestHoldMs = 50;

constexpr char kEnterSequence[] = "\x1b[?1049h";
constexpr char kMouseOn[] = "\x1b[?1000h\x1b[?1006h";
constexpr char kMouseOff[] = "\x1b[?1006l\x1b[?1000l";
constexpr char kCursorOn[] = "\x1b[?25h";
constexpr char kCursorOff[] = "\x1b[?25l";
// Cancels a sequence cut off half way, default colours, mouse off, cursor
// visible, normal screen.
constexpr char kRestoreSequence[] = "\x18\x1b[0m\x1b[?1006l\x1b[?1000l\x1b[?25h\x1b[?1049l";

// Signals whose default action ends the process: the terminal is given
// back first. SIGPIPE and SIGXFSZ are no way out: the program ignores them
// (a write fails with an error number instead).
const int kFatalSignals[] = {SIGTERM, SIGHUP,  SIGQUIT, SIGINT,  SIGSEGV, SIGABRT,   SIGBUS,  SIGFPE, SIGILL,
                             SIGTRAP, SIGSYS,  SIGXCPU, SIGALRM, SIGUSR1, SIGUSR2, SIGVTALRM, SIGPROF};

// Everything the handlers need to give the terminal back and take it again,
// reachable without the console object.
struct RestoreState {
    volatile sig_atomic_t active = 0;   // the terminal is ours (raw, alternate screen)
    volatile sig_atomic_t mouseOn = 1;  // mouse reporting belongs to taking it
    int inFd = -1;
    int outFd = -1;
    bool haveTermios = false;
    struct termios saved {};
    struct termios raw {};
};
RestoreState g_restore;
volatile sig_atomic_t g_resized = 0;
// The terminal was taken again after the process had stopped: what it shows
// is unknown, the whole screen is drawn anew by the next Flush().
volatile sig_atomic_t g_redraw = 0;

PosixConsole* g_console = nullptr;  // the one that owns the terminal
bool g_handlersInstalled = false;
struct sigaction g_oldActions[NSIG];
bool g_oldActionValid[NSIG];
struct sigaction g_oldWinch;
struct sigaction g_oldStop, g_oldContinue;
bool g_stopHandled = false;  // SIGTSTP was not ignored when the console came: it is ours
std::terminate_handler g_oldTerminate = nullptr;
bool g_atexitRegistered = false;

long long NowMs() {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// Async-signal-safe.
void WriteAll(int fd, const char* data, size_t size) {
    int stalls = 0;
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n > 0) {
            data += n;
            size -= static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && ++stalls < 100) {
            struct pollfd p {fd, POLLOUT, 0};
            ::poll(&p, 1, 20);
            continue;
        }
        return;  // the terminal is gone: nothing to show it on
    }
}

// Async-signal-safe: the way out of a signal handler, exit() and terminate().
void RestoreTerminalNow() {
    if (!g_restore.active) return;
    g_restore.active = 0;
    WriteAll(g_restore.outFd, kRestoreSequence, sizeof kRestoreSequence - 1);
    if (g_restore.haveTermios) ::tcsetattr(g_restore.inFd, TCSANOW, &g_restore.saved);
}

// Async-signal-safe: raw mode, alternate screen and mouse as the console had
// them. The cells are drawn by the next Flush().
void TakeTerminalNow() {
    g_restore.active = 1;
    if (g_restore.haveTermios) ::tcsetattr(g_restore.inFd, TCSANOW, &g_restore.raw);
    WriteAll(g_restore.outFd, kEnterSequence, sizeof kEnterSequence - 1);
    if (g_restore.mouseOn) WriteAll(g_restore.outFd, kMouseOn, sizeof kMouseOn - 1);
    g_redraw = 1;
}

void OnFatalSignal(int sig, siginfo_t* info, void*) {
    int savedErrno = errno;
    RestoreTerminalNow();
    // Hand the signal on to what was there before (normally the default
    // action: end the process, with a core dump where that is the rule).
    if (sig > 0 && sig < NSIG && g_oldActionValid[sig]) ::sigaction(sig, &g_oldActions[sig], nullptr);
    else ::signal(sig, SIG_DFL);
    // A real fault recurs when the handler returns (the instruction runs
    // again); anything else (a sent signal, a breakpoint, a refused system
    // call) is raised again.
    bool fault = (sig == SIGSEGV || sig == SIGBUS || sig == SIGFPE || sig == SIGILL) && info != nullptr &&
                 info->si_code > 0;
    if (!fault) ::raise(sig);
    errno = savedErrno;
}

// Ctrl-Z (typed as a key, or SIGTSTP from outside): the terminal as it was
// found, then stopped by the default action. When the process goes on, the
// terminal is taken again. In an orphaned process group the system drops the
// stop, and the program goes on at once.
void OnStop(int) {
    int savedErrno = errno;
    const bool owned = g_restore.active;
    RestoreTerminalNow();
    struct sigaction standard {}, mine {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    ::sigaction(SIGTSTP, &standard, &mine);
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTSTP);
    ::raise(SIGTSTP);  // pending while this handler runs: it stops the process at the unblocking
    ::pthread_sigmask(SIG_UNBLOCK, &stop, nullptr);
    // Going on here after SIGCONT.
    ::pthread_sigmask(SIG_BLOCK, &stop, nullptr);
    ::sigaction(SIGTSTP, &mine, nullptr);
    if (owned && !g_restore.active) TakeTerminalNow();
    errno = savedErrno;
}

// Going on after any stop (SIGSTOP, SIGTTIN, a stop through OnStop): a
// terminal the console still owns may have been changed by the shell
// meanwhile, so it is taken again and drawn anew. During OnStop the terminal
// is not owned here; OnStop takes it itself.
void OnContinue(int) {
    int savedErrno = errno;
    if (g_restore.active) TakeTerminalNow();
    errno = savedErrno;
}

void OnResize(int) { g_resized = 1; }

void OnExit() { RestoreTerminalNow(); }

[[noreturn]] void OnTerminate() {
    RestoreTerminalNow();
    if (g_oldTerminate != nullptr && g_oldTerminate != OnTerminate) g_oldTerminate();
    std::abort();
}

bool IgnoredNow(int sig) {
    struct sigaction old {};
    return ::sigaction(sig, nullptr, &old) == 0 && !(old.sa_flags & SA_SIGINFO) && old.sa_handler == SIG_IGN;
}

void InstallHandlers() {
    if (g_handlersInstalled) return;
    g_handlersInstalled = true;
    IgnoreWriteSignals();
    for (int sig : kFatalSignals) {
        g_oldActionValid[sig] = false;
        // A signal the program was told to ignore (started with nohup, say)
        // stays ignored.
        if (IgnoredNow(sig)) continue;
        struct sigaction action {};
        action.sa_sigaction = OnFatalSignal;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        if (::sigaction(sig, &action, &g_oldActions[sig]) == 0) g_oldActionValid[sig] = true;
    }
    struct sigaction winch {};
    winch.sa_handler = OnResize;
    winch.sa_flags = SA_RESTART;
    sigemptyset(&winch.sa_mask);
    ::sigaction(SIGWINCH, &winch, &g_oldWinch);
    // Started where stopping is not wanted (SIGTSTP ignored, as by a shell
    // without job control): Ctrl-Z stays without effect.
    g_stopHandled = !IgnoredNow(SIGTSTP);
    if (g_stopHandled) {
        struct sigaction stop {};
        stop.sa_handler = OnStop;
        stop.sa_flags = SA_RESTART;
        sigemptyset(&stop.sa_mask);
        ::sigaction(SIGTSTP, &stop, &g_oldStop);
    }
    struct sigaction cont {};
    cont.sa_handler = OnContinue;
    cont.sa_flags = SA_RESTART;
    sigemptyset(&cont.sa_mask);
    ::sigaction(SIGCONT, &cont, &g_oldContinue);
    g_oldTerminate = std::set_terminate(OnTerminate);
    if (!g_atexitRegistered) g_atexitRegistered = std::atexit(OnExit) == 0;
}

void RemoveHandlers() {
    if (!g_handlersInstalled) return;
    g_handlersInstalled = false;
    for (int sig : kFatalSignals) {
        if (g_oldActionValid[sig]) ::sigaction(sig, &g_oldActions[sig], nullptr);
        g_oldActionValid[sig] = false;
    }
    ::sigaction(SIGWINCH, &g_oldWinch, nullptr);
    if (g_stopHandled) ::sigaction(SIGTSTP, &g_oldStop, nullptr);
    g_stopHandled = false;
    ::sigaction(SIGCONT, &g_oldContinue, nullptr);
    std::terminate_handler current = std::set_terminate(g_oldTerminate);
    if (current != OnTerminate) std::set_terminate(current);  // someone else's since: keep it
    g_oldTerminate = nullptr;
}

// The key Ctrl-Z: raw mode delivers it as a byte, not as a signal.
bool IsStopKey(const InputEvent& e) { return e.kind == InputEvent::Kind::Key && e.key == "\x1a"; }

// Console colour (blue = 1, red = 4) to ANSI colour (red = 1, blue = 4).
constexpr int kAnsiOf[8] = {0, 4, 2, 6, 1, 5, 3, 7};

int AnsiForeground(int colour) { return colour < 8 ? 30 + kAnsiOf[colour] : 90 + kAnsiOf[colour - 8]; }
int AnsiBackground(int colour) { return colour < 8 ? 40 + kAnsiOf[colour] : 100 + kAnsiOf[colour - 8]; }

const Cell kUnknownCell{0, 255, 255};

void AppendNumber(std::string& out, int n) { out += std::to_string(n); }

void AppendCursorTo(std::string& out, int row, int column) {
    out += "\x1b[";
    AppendNumber(out, row);
    out += ';';
    AppendNumber(out, column);
    out += 'H';
}

int DoubleClickMsFromEnvironment() {
    const char* value = std::getenv("PAVUTO_DOUBLECLICK_MS");
    if (value == nullptr || *value == '\0') return 500;
    char* end = nullptr;
    long ms = std::strtol(value, &end, 10);
    if (*end != '\0' || ms < 1 || ms > 10000) return 500;
    return static_cast<int>(ms);
}

}  // namespace

PosixConsole::PosixConsole(int inputFd, int outputFd) : in_(inputFd), out_(outputFd) {
    decoder_.SetDoubleClickMs(DoubleClickMsFromEnvironment());
    struct termios original {};
    isTerminal_ = ::isatty(in_) == 1 && ::tcgetattr(in_, &original) == 0;
    g_restore.active = 0;
    g_restore.inFd = in_;
    g_restore.outFd = out_;
    g_restore.haveTermios = isTerminal_;
    g_restore.saved = original;
    struct termios raw = original;
    raw.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON);
    raw.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    // Without ISIG Ctrl-C, Ctrl-\ and Ctrl-Z are keys; the console itself
    // turns Ctrl-Z into a stop (see ReadEvent).
    raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    raw.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB);
    raw.c_cflag |= CS8;
    raw.c_cc[VMIN] = 0;  // a read never blocks: input is polled
    raw.c_cc[VTIME] = 0;
    g_restore.raw = raw;
    g_restore.mouseOn = mouseOn_ ? 1 : 0;
    g_console = this;
    InstallHandlers();
    TakeTerminal();
    WritePending();
}

PosixConsole::~PosixConsole() {
    if (!suspended_) ReleaseTerminal();
    RemoveHandlers();
    if (g_console == this) g_console = nullptr;
}

void PosixConsole::TakeTerminal() {
    // Marked active first: a signal from here on restores what was there.
    g_restore.active = 1;
    if (isTerminal_) ::tcsetattr(in_, TCSANOW, &g_restore.raw);
    g_redraw = 0;  // everything is drawn anew from here anyway
    pending_ += kEnterSequence;
    if (mouseOn_) pending_ += kMouseOn;
    termCursorVisible_ = true;
    termFg_ = termBg_ = -1;
    termCursorRow_ = termCursorColumn_ = -1;
    fullRedraw_ = true;
    QueryTerminalSize();
}

void PosixConsole::TakeRedraw() {
    if (!g_redraw) return;
    g_redraw = 0;
    // The terminal has been given back and taken again: it shows nothing of
    // ours, and it may have changed its size meanwhile.
    termCursorVisible_ = true;
    termFg_ = termBg_ = -1;
    termCursorRow_ = termCursorColumn_ = -1;
    fullRedraw_ = true;
    QueryTerminalSize();
}

void PosixConsole::ReleaseTerminal() {
    pending_.clear();
    RestoreTerminalNow();
}

void PosixConsole::QueryTerminalSize() {
    struct winsize ws {};
    if (::ioctl(out_, TIOCGWINSZ, &ws) != 0 && ::ioctl(in_, TIOCGWINSZ, &ws) != 0) ws = {};
    termRows_ = ws.ws_row;
    termColumns_ = ws.ws_col;
}

// ---- window ----

void PosixConsole::SetSize(int rows, int columns) {
    screen_.Resize(rows, columns);
    // The xterm window operation; terminals that do not allow it ignore it,
    // and the screen is then drawn from the top-left corner of what there is.
    pending_ += "\x1b[8;";
    AppendNumber(pending_, screen_.Rows());
    pending_ += ';';
    AppendNumber(pending_, screen_.Columns());
    pending_ += 't';
    fullRedraw_ = true;
    MaybeFlush();
}

void PosixConsole::Show(WindowShow how) {
    // Minimising is left out: nothing would bring the terminal back. A
    // maximised window would change the number of cells, so both other
    // states only de-iconify.
    if (how == WindowShow::Minimised) return;
    pending_ += "\x1b[1t";
    MaybeFlush();
}

void PosixConsole::Move(int x, int y) {
    pending_ += "\x1b[3;";
    AppendNumber(pending_, x);
    pending_ += ';';
    AppendNumber(pending_, y);
    pending_ += 't';
    MaybeFlush();
}

// ---- output ----

void PosixConsole::Clear() {
    screen_.Clear();
    MaybeFlush();
}

void PosixConsole::SetColours(int foreground, int background) { screen_.SetColours(foreground, background); }

void PosixConsole::Locate(int row, int column) { screen_.Locate(row, column); }

void PosixConsole::Write(std::string_view cp850) {
    screen_.Write(cp850);
    MaybeFlush();
}

void PosixConsole::NewLine() {
    screen_.NewLine();
    MaybeFlush();
}

void PosixConsole::ShowCursor(bool visible) { cursorVisible_ = visible; }

void PosixConsole::Beep() {
    pending_ += '\a';
    Flush();
}

void PosixConsole::MaybeFlush() {
    long long now = NowMs();
    if (holdSinceMs_ < 0) holdSinceMs_ = now;
    else if (now - holdSinceMs_ >= kLongestHoldMs) Flush();
}

void PosixConsole::Flush() {
    holdSinceMs_ = -1;
    if (suspended_) return;  // drawn anew on Resume
    TakeRedraw();
    Render();
    WritePending();
}

void PosixConsole::FlushActive() {
    if (g_console != nullptr) g_console->Flush();
}

void PosixConsole::WritePending() {
    if (pending_.empty()) return;
    WriteAll(out_, pending_.data(), pending_.size());
    pending_.clear();
}

void PosixConsole::SetTerminalColours(int fg, int bg) {
    if (fg == termFg_ && bg == termBg_) return;
    pending_ += "\x1b[";
    AppendNumber(pending_, AnsiForeground(fg));
    pending_ += ';';
    AppendNumber(pending_, AnsiBackground(bg));
    pending_ += 'm';
    termFg_ = fg;
    termBg_ = bg;
}

void PosixConsole::Render() {
    if (g_resized) {
        g_resized = 0;
        QueryTerminalSize();
        fullRedraw_ = true;
    }
    std::vector<bool> dirty;
    screen_.TakeDirty(dirty);
    const int rows = screen_.Rows(), columns = screen_.Columns();
    const size_t cells = static_cast<size_t>(rows) * static_cast<size_t>(columns);
    if (shown_.size() != cells) fullRedraw_ = true;
    if (fullRedraw_) {
        // Everything beyond the R x C screen stays blank in the terminal's
        // own colours.
        pending_ += "\x1b[0m\x1b[2J";
        termFg_ = termBg_ = -1;
        termCursorRow_ = termCursorColumn_ = -1;
        shown_.assign(cells, kUnknownCell);
    }
    // Clipped to the terminal: never a cell beyond its edges, so that it
    // neither wraps nor scrolls.
    const int visibleRows = termRows_ > 0 ? std::min(rows, termRows_) : rows;
    const int visibleColumns = termColumns_ > 0 ? std::min(columns, termColumns_) : columns;
    bool drew = false;
    for (int r = 1; r <= visibleRows; ++r) {
        if (!fullRedraw_ && !dirty[static_cast<size_t>(r - 1)]) continue;
        const Cell* shownRow = &shown_[static_cast<size_t>(r - 1) * static_cast<size_t>(columns)];
        int first = 0, last = 0;
        for (int c = 1; c <= visibleColumns; ++c) {
            if (screen_.At(r, c) == shownRow[c - 1]) continue;
            if (first == 0) first = c;
            last = c;
        }
        if (first == 0) continue;
        if (!drew && termCursorVisible_) {
            pending_ += kCursorOff;  // no cursor flying over the screen while drawing
            termCursorVisible_ = false;
        }
        drew = true;
        DrawSpan(r, first, last);
    }
    fullRedraw_ = false;

    if (cursorVisible_) {
        int row = std::clamp(screen_.CursorRow(), 1, std::max(1, visibleRows));
        int column = std::clamp(screen_.CursorColumn(), 1, std::max(1, visibleColumns));
        if (drew || row != termCursorRow_ || column != termCursorColumn_) {
            AppendCursorTo(pending_, row, column);
            termCursorRow_ = row;
            termCursorColumn_ = column;
        }
        if (!termCursorVisible_) {
            pending_ += kCursorOn;
            termCursorVisible_ = true;
        }
    } else {
        if (drew) termCursorRow_ = termCursorColumn_ = -1;
        if (termCursorVisible_) {
            pending_ += kCursorOff;
            termCursorVisible_ = false;
        }
    }
}

void PosixConsole::DrawSpan(int row, int first, int last) {
    AppendCursorTo(pending_, row, first);
    Cell* shownRow = &shown_[static_cast<size_t>(row - 1) * static_cast<size_t>(screen_.Columns())];
    for (int c = first; c <= last; ++c) {
        const Cell& cell = screen_.At(row, c);
        SetTerminalColours(cell.fg, cell.bg);
        AppendUtf8(pending_, Cp850ToUnicode(cell.ch));
        shownRow[c - 1] = cell;
    }
}

// ---- input ----

PosixConsole::ReadResult PosixConsole::ReadOnce(int timeoutMs) {
    if (inputGone_) return ReadResult::Nothing;
    struct pollfd p {in_, POLLIN, 0};
    int ready = ::poll(&p, 1, std::max(0, timeoutMs));
    if (ready < 0) return errno == EINTR ? ReadResult::Interrupted : ReadResult::Nothing;
    if (ready == 0) return ReadResult::Nothing;
    if (!(p.revents & POLLIN)) {
        inputGone_ = true;  // hung up or closed: never poll it again
        return ReadResult::Nothing;
    }
    char buffer[4096];
    ssize_t n = ::read(in_, buffer, sizeof buffer);
    if (n > 0) {
        decoder_.Feed(std::string_view(buffer, static_cast<size_t>(n)), NowMs());
        return ReadResult::Read;
    }
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return ReadResult::Interrupted;
    inputGone_ = true;
    return ReadResult::Nothing;
}

void PosixConsole::FinishSequence() {
    // An Esc (or any unfinished sequence) waits a moment for the rest.
    int interruptions = 0;
    while (decoder_.Incomplete()) {
        ReadResult r = ReadOnce(kEscapeTimeoutMs);
        if (r == ReadResult::Interrupted && ++interruptions < 10) continue;
        if (r != ReadResult::Read) decoder_.Timeout();
    }
}

void PosixConsole::ReadAvailable() {
    while (ReadOnce(0) == ReadResult::Read) {
    }
    FinishSequence();
}

bool PosixConsole::ReadEvent(InputEvent& event) {
    Flush();
    if (!decoder_.HasEvent()) ReadAvailable();
    while (decoder_.Next(event)) {
        if (event.kind == InputEvent::Kind::Mouse && !mouseOn_) continue;
        if (IsStopKey(event)) {
            Stop();
            continue;
        }
        return true;
    }
    event = InputEvent{};
    return false;
}

void PosixConsole::AwaitInput(int milliseconds) {
    Flush();
    const long long deadline = NowMs() + std::max(0, milliseconds);
    while (!decoder_.HasEvent()) {
        if (g_resized || g_redraw) Flush();
        long long remaining = deadline - NowMs();
        if (remaining <= 0) return;
        if (inputGone_) {
            ::poll(nullptr, 0, static_cast<int>(remaining));  // nothing will come: just wait
            continue;
        }
        if (ReadOnce(static_cast<int>(remaining)) == ReadResult::Read) ReadAvailable();
    }
}

void PosixConsole::FlushInput() {
    while (ReadOnce(0) == ReadResult::Read) {
    }
    // Ctrl-Z typed ahead still stops the program; everything else goes.
    bool stop = false;
    InputEvent event;
    while (decoder_.Next(event)) stop = stop || IsStopKey(event);
    decoder_.Discard();
    if (stop) Stop();
}

void PosixConsole::Stop() {
    if (!g_stopHandled || suspended_) return;  // stopping is not wanted here
    Flush();
    ::raise(SIGTSTP);  // OnStop: the terminal back, stopped, taken again on SIGCONT
    Flush();           // the whole screen anew
}

void PosixConsole::EnableMouse(bool on) {
    if (on == mouseOn_) return;
    mouseOn_ = on;
    g_restore.mouseOn = on ? 1 : 0;
    if (!suspended_) pending_ += on ? kMouseOn : kMouseOff;
}

// ---- handing the terminal to another program ----

void PosixConsole::Suspend() {
    if (suspended_) return;
    Flush();
    ReleaseTerminal();
    suspended_ = true;
}

void PosixConsole::Resume() {
    if (!suspended_) return;
    suspended_ = false;
    TakeTerminal();
    Flush();
}

}  // namespace pavuto::host::posix
