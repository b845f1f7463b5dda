#pragma once
// A program in a pseudo-terminal of a given size, its output read back
// through a terminal emulator (libvterm): what a user would see, cell by
// cell, and the keys and clicks a user would send. Waits are real time and
// bounded by the caller's timeouts.
#include <optional>
#include <string>
#include <sys/types.h>
#include <termios.h>
#include <vector>

struct VTerm;
struct VTermScreen;

namespace pavuto::test {

class TerminalEmulator {
public:
    TerminalEmulator(int rows, int columns);
    // A program still running is ended (SIGTERM, then SIGKILL).
    ~TerminalEmulator();
    TerminalEmulator(const TerminalEmulator&) = delete;
    TerminalEmulator& operator=(const TerminalEmulator&) = delete;

    // Starts argv[0] (looked up in PATH when it has no "/") with exactly the
    // given environment ("NAME=value"; TERM=xterm is added when missing) in
    // the given working directory (empty: the current one), on the terminal
    // as its controlling terminal. Throws std::runtime_error when the
    // program cannot be started.
    void Start(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
               const std::string& workingDirectory = {});

    // Bytes as the keyboard sends them ("\r" Enter, "\x1b[A" Up, ...).
    void SendKeys(const std::string& bytes);
    // A press and a release in xterm SGR format at a 1-based screen row and
    // column; button 1 left, 2 right.
    void SendClick(int row, int column, int button = 1);
    // The terminal changes its size (the program gets SIGWINCH).
    void Resize(int rows, int columns);

    // Reads whatever the program has written, waiting up to ms for it.
    void Pump(int milliseconds = 0);
    // True as soon as the text (UTF-8) stands in one screen row.
    bool WaitForText(const std::string& text, int timeoutMs);
    // Exit code, 128 + signal number for a program ended by a signal, or
    // nothing when it still runs after timeoutMs.
    std::optional<int> WaitForExit(int timeoutMs);
    bool Running() const { return child_ > 0 && !exitCode_; }
    // The process number of the program (-1 before Start).
    pid_t Pid() const { return child_; }

    int Rows() const { return rows_; }
    int Columns() const { return columns_; }
    // The characters of a 1-based row as UTF-8, one per cell (blank for empty cells).
    std::string ScreenText(int row) const;
    std::string Dump() const;  // every row, numbered, for failure messages

    struct Colours {
        int foreground = -1;  // console colour numbers 0..15; -1 = the terminal's default
        int background = -1;
        bool operator==(const Colours&) const = default;
    };
    // Colours of a 1-based cell, named as the console names them (1 blue, 4 red).
    Colours CellColours(int row, int column) const;
    struct Cursor {
        int row = 1, column = 1;  // 1-based
        bool visible = true;
    };
    Cursor CursorState() const;
    bool AlternateScreen() const { return altScreen_; }
    bool MouseReporting() const { return mouse_ != 0; }

    // What differs from the terminal as it was before the program started:
    // terminal modes (termios), alternate screen, mouse reporting, cursor
    // visibility, colours. Empty when everything is as it was.
    std::string RestoreProblems() const;
    bool TerminalRestored() const { return RestoreProblems().empty(); }

private:
    static int OnTermProp(int prop, void* value, void* user);

    int rows_, columns_;
    int master_ = -1;
    int slave_ = -1;  // kept open to read the terminal modes after the program ends
    struct termios initialModes_ {};
    pid_t child_ = -1;
    std::optional<int> exitCode_;
    VTerm* vt_ = nullptr;
    VTermScreen* screen_ = nullptr;
    bool altScreen_ = false;
    bool cursorVisible_ = true;
    int mouse_ = 0;
};

}  // namespace pavuto::test
