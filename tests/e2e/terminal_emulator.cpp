#include "e2e/terminal_emulator.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vterm.h>

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "common/codepage.hpp"

namespace pavuto::test {

namespace {

long long NowMs() {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000LL + ts.tv_nsec / 1000000;
}

// ANSI colour index to console colour number: red and blue (and with them
// cyan and brown) trade places; the mapping is its own inverse.
int ConsoleColour(int ansi) {
    static const int map[16] = {0, 4, 2, 6, 1, 5, 3, 7, 8, 12, 10, 14, 9, 13, 11, 15};
    return ansi >= 0 && ansi < 16 ? map[ansi] : ansi;
}

int PaletteIndex(VTermScreen* screen, VTermState* state, VTermColor colour, bool foreground) {
    if (foreground ? VTERM_COLOR_IS_DEFAULT_FG(&colour) : VTERM_COLOR_IS_DEFAULT_BG(&colour)) return -1;
    if (VTERM_COLOR_IS_INDEXED(&colour)) return colour.indexed.idx;
    // An RGB colour: find it among the first 16 of the palette.
    vterm_screen_convert_color_to_rgb(screen, &colour);
    for (int i = 0; i < 16; ++i) {
        VTermColor p;
        vterm_state_get_palette_color(state, i, &p);
        vterm_state_convert_color_to_rgb(state, &p);
        if (p.rgb.red == colour.rgb.red && p.rgb.green == colour.rgb.green && p.rgb.blue == colour.rgb.blue) return i;
    }
    return 1000 + (colour.rgb.red << 16 | colour.rgb.green << 8 | colour.rgb.blue);
}

void WriteReply(const char* bytes, size_t length, void* user) {
    int fd = *static_cast<int*>(user);
    while (length > 0) {
        ssize_t n = ::write(fd, bytes, length);
        if (n <= 0 && errno != EINTR && errno != EAGAIN) return;
        if (n > 0) {
            bytes += n;
            length -= static_cast<size_t>(n);
        }
    }
}

}  // namespace

int TerminalEmulator::OnTermProp(int prop, void* value, void* user) {
    auto* self = static_cast<TerminalEmulator*>(user);
    auto* v = static_cast<VTermValue*>(value);
    switch (static_cast<VTermProp>(prop)) {
        case VTERM_PROP_ALTSCREEN: self->altScreen_ = v->boolean != 0; break;
        case VTERM_PROP_CURSORVISIBLE: self->cursorVisible_ = v->boolean != 0; break;
        case VTERM_PROP_MOUSE: self->mouse_ = v->number; break;
        default: break;
    }
    return 1;
}

TerminalEmulator::TerminalEmulator(int rows, int columns) : rows_(rows), columns_(columns) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
        throw std::runtime_error("no pseudo-terminal");
    slave_ = ::open(::ptsname(master_), O_RDWR | O_NOCTTY);
    if (slave_ < 0) throw std::runtime_error("pseudo-terminal cannot be opened");
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    struct winsize ws {};
    ws.ws_row = static_cast<unsigned short>(rows);
    ws.ws_col = static_cast<unsigned short>(columns);
    ::ioctl(master_, TIOCSWINSZ, &ws);
    ::tcgetattr(slave_, &initialModes_);

    vt_ = vterm_new(rows, columns);
    vterm_set_utf8(vt_, 1);
    vterm_output_set_callback(vt_, WriteReply, &master_);  // answers to the program's queries
    screen_ = vterm_obtain_screen(vt_);
    static VTermScreenCallbacks callbacks{};
    callbacks.settermprop = [](VTermProp prop, VTermValue* value, void* user) {
        return TerminalEmulator::OnTermProp(static_cast<int>(prop), value, user);
    };
    vterm_screen_set_callbacks(screen_, &callbacks, this);
    vterm_screen_enable_altscreen(screen_, 1);
    vterm_screen_reset(screen_, 1);
}

TerminalEmulator::~TerminalEmulator() {
    if (Running()) {
        ::kill(-child_, SIGTERM);
        ::kill(child_, SIGTERM);
        if (!WaitForExit(2000)) {
            ::kill(-child_, SIGKILL);
            ::kill(child_, SIGKILL);
            int status;
            ::waitpid(child_, &status, 0);
        }
    }
    if (vt_ != nullptr) vterm_free(vt_);
    if (master_ >= 0) ::close(master_);
    if (slave_ >= 0) ::close(slave_);
}

void TerminalEmulator::Start(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                             const std::string& workingDirectory) {
    if (argv.empty()) throw std::runtime_error("no program to start");
    if (child_ > 0) throw std::runtime_error("a program runs already");
    // Everything the child needs is built before fork.
    std::vector<std::string> env = environment;
    bool haveTerm = false;
    for (const std::string& e : env) haveTerm = haveTerm || e.rfind("TERM=", 0) == 0;
    if (!haveTerm) env.push_back("TERM=xterm");
    std::vector<char*> args, envp;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    const char* directory = workingDirectory.empty() ? nullptr : workingDirectory.c_str();

    int failure[2];
    if (::pipe2(failure, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork");
    if (pid == 0) {
        ::close(failure[0]);
        ::setsid();
        ::ioctl(slave_, TIOCSCTTY, 0);
        ::dup2(slave_, 0);
        ::dup2(slave_, 1);
        ::dup2(slave_, 2);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        for (int sig : {SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGPIPE, SIGWINCH}) ::signal(sig, SIG_DFL);
        int error = 0;
        if (directory != nullptr && ::chdir(directory) != 0) error = errno;
        if (error == 0) {
            ::execvpe(args[0], args.data(), envp.data());
            error = errno;
        }
        ssize_t ignored = ::write(failure[1], &error, sizeof error);
        (void)ignored;
        ::_exit(127);
    }
    ::close(failure[1]);
    int error = 0;
    ssize_t n;
    do {
        n = ::read(failure[0], &error, sizeof error);
    } while (n < 0 && errno == EINTR);
    ::close(failure[0]);
    if (n == static_cast<ssize_t>(sizeof error)) {
        int status;
        ::waitpid(pid, &status, 0);
        throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(error));
    }
    child_ = pid;
    exitCode_.reset();
}

void TerminalEmulator::SendKeys(const std::string& bytes) {
    size_t done = 0;
    long long until = NowMs() + 5000;
    while (done < bytes.size() && NowMs() < until) {
        ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n < 0 && errno != EINTR && errno != EAGAIN) {
            return;
        } else {
            Pump(10);  // the program may be waiting for its output to be read
        }
    }
}

void TerminalEmulator::SendClick(int row, int column, int button) {
    std::string code = button == 2 ? "2" : "0";
    std::string at = ";" + std::to_string(column) + ";" + std::to_string(row);
    SendKeys("\x1b[<" + code + at + "M" + "\x1b[<" + code + at + "m");
}

void TerminalEmulator::Resize(int rows, int columns) {
    Pump();
    rows_ = rows;
    columns_ = columns;
    vterm_set_size(vt_, rows, columns);
    struct winsize ws {};
    ws.ws_row = static_cast<unsigned short>(rows);
    ws.ws_col = static_cast<unsigned short>(columns);
    ::ioctl(master_, TIOCSWINSZ, &ws);
}

void TerminalEmulator::Pump(int milliseconds) {
    struct pollfd p {master_, POLLIN, 0};
    int timeout = milliseconds;
    char buffer[8192];
    while (::poll(&p, 1, timeout) > 0 && (p.revents & POLLIN)) {
        ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0) break;
        vterm_input_write(vt_, buffer, static_cast<size_t>(n));
        timeout = 0;  // take what else is there, without waiting again
    }
    vterm_screen_flush_damage(screen_);
}

bool TerminalEmulator::WaitForText(const std::string& text, int timeoutMs) {
    long long until = NowMs() + timeoutMs;
    while (true) {
        Pump();
        for (int r = 1; r <= rows_; ++r)
            if (ScreenText(r).find(text) != std::string::npos) return true;
        long long left = until - NowMs();
        if (left <= 0) return false;
        Pump(static_cast<int>(std::min<long long>(left, 20)));
    }
}

std::optional<int> TerminalEmulator::WaitForExit(int timeoutMs) {
    if (exitCode_) return exitCode_;
    if (child_ <= 0) return std::nullopt;
    long long until = NowMs() + timeoutMs;
    while (true) {
        int status = 0;
        pid_t done = ::waitpid(child_, &status, WNOHANG);
        if (done == child_) {
            exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            // What it wrote last may still be on its way through the terminal.
            for (int quiet = 0; quiet < 3; ++quiet) Pump(20);
            return exitCode_;
        }
        long long left = until - NowMs();
        if (left <= 0) return std::nullopt;
        Pump(static_cast<int>(std::min<long long>(left, 10)));
    }
}

std::string TerminalEmulator::ScreenText(int row) const {
    std::string out;
    if (row < 1 || row > rows_) return out;
    for (int c = 0; c < columns_; ++c) {
        VTermScreenCell cell;
        if (!vterm_screen_get_cell(screen_, VTermPos{row - 1, c}, &cell) || cell.chars[0] == 0) {
            out += ' ';
            continue;
        }
        for (int i = 0; i < VTERM_MAX_CHARS_PER_CELL && cell.chars[i] != 0; ++i) AppendUtf8(out, cell.chars[i]);
    }
    return out;
}

std::string TerminalEmulator::Dump() const {
    std::string out;
    for (int r = 1; r <= rows_; ++r) out += (r < 10 ? " " : "") + std::to_string(r) + "|" + ScreenText(r) + "|\n";
    return out;
}

TerminalEmulator::Colours TerminalEmulator::CellColours(int row, int column) const {
    Colours colours;
    VTermScreenCell cell;
    if (!vterm_screen_get_cell(screen_, VTermPos{row - 1, column - 1}, &cell)) return colours;
    VTermState* state = vterm_obtain_state(vt_);
    colours.foreground = ConsoleColour(PaletteIndex(screen_, state, cell.fg, true));
    colours.background = ConsoleColour(PaletteIndex(screen_, state, cell.bg, false));
    return colours;
}

TerminalEmulator::Cursor TerminalEmulator::CursorState() const {
    VTermPos pos;
    vterm_state_get_cursorpos(vterm_obtain_state(vt_), &pos);
    return Cursor{pos.row + 1, pos.col + 1, cursorVisible_};
}

std::string TerminalEmulator::RestoreProblems() const {
    std::string problems;
    struct termios now {};
    ::tcgetattr(slave_, &now);
    if (now.c_iflag != initialModes_.c_iflag || now.c_oflag != initialModes_.c_oflag ||
        now.c_cflag != initialModes_.c_cflag || now.c_lflag != initialModes_.c_lflag ||
        std::memcmp(now.c_cc, initialModes_.c_cc, sizeof now.c_cc) != 0)
        problems += "terminal modes not restored (";
    if (!problems.empty()) {
        if ((now.c_lflag & ICANON) != (initialModes_.c_lflag & ICANON)) problems += " ICANON";
        if ((now.c_lflag & ECHO) != (initialModes_.c_lflag & ECHO)) problems += " ECHO";
        if ((now.c_lflag & ISIG) != (initialModes_.c_lflag & ISIG)) problems += " ISIG";
        if ((now.c_oflag & OPOST) != (initialModes_.c_oflag & OPOST)) problems += " OPOST";
        problems += " ); ";
    }
    if (altScreen_) problems += "still on the alternate screen; ";
    if (mouse_ != 0) problems += "mouse reporting still on; ";
    if (!cursorVisible_) problems += "cursor hidden; ";
    VTermState* state = vterm_obtain_state(vt_);
    VTermValue fg, bg;
    vterm_state_get_penattr(state, VTERM_ATTR_FOREGROUND, &fg);
    vterm_state_get_penattr(state, VTERM_ATTR_BACKGROUND, &bg);
    if (!VTERM_COLOR_IS_DEFAULT_FG(&fg.color) || !VTERM_COLOR_IS_DEFAULT_BG(&bg.color))
        problems += "colours not reset; ";
    return problems;
}

}  // namespace pavuto::test
