#pragma once
// The console on a POSIX terminal. A ScreenBuffer of R x C cells holds the
// screen; whatever changed is drawn onto the terminal with absolute cursor
// positioning just before the program looks at its input (and whenever
// drawing has waited too long), code page 850 shown as Unicode (UTF-8), the
// 16 console colours as the 16 ANSI colours.
//
// While it lives the terminal is in raw mode on the alternate screen with
// mouse reporting on. The terminal is given back exactly as it was found on
// every way out: destruction, exit(), an uncaught exception and every signal
// whose default action ends the process (TERM, HUP, QUIT, INT, SEGV, ABRT,
// BUS, FPE, ILL, TRAP, SYS, XCPU, ALRM, USR1, USR2, VTALRM, PROF); PIPE and
// XFSZ are ignored, so that a write fails with an error number instead.
//
// Ctrl-Z (a key in raw mode) and SIGTSTP from outside stop the program as
// they stop a program in cooked mode: the terminal is given back first. When
// the program goes on (SIGCONT) the terminal is taken again and the whole
// screen is drawn anew from the ScreenBuffer, by the next Flush() (the input
// wait does it at once).
#include <string>
#include <vector>

#include "host/console.hpp"
#include "host/posix/terminal_input.hpp"
#include "host/screen_buffer.hpp"

namespace pavuto::host::posix {

class PosixConsole : public host::Console {
public:
    // The input descriptor is switched to raw mode; the output descriptor
    // receives the drawing. The double-click time comes from
    // PAVUTO_DOUBLECLICK_MS (milliseconds, default 500).
    explicit PosixConsole(int inputFd = 0, int outputFd = 1);
    ~PosixConsole() override;
    PosixConsole(const PosixConsole&) = delete;
    PosixConsole& operator=(const PosixConsole&) = delete;

    void SetSize(int rows, int columns) override;
    int Rows() const override { return screen_.Rows(); }
    int Columns() const override { return screen_.Columns(); }
    void Show(WindowShow how) override;
    void Move(int x, int y) override;

    void Clear() override;
    void SetColours(int foreground, int background) override;
    void Locate(int row, int column) override;
    int CursorRow() const override { return screen_.CursorRow(); }
    int CursorColumn() const override { return screen_.CursorColumn(); }
    void Write(std::string_view cp850) override;
    void NewLine() override;
    void ShowCursor(bool visible) override;
    void Present() override { Flush(); }

    bool ReadEvent(InputEvent& event) override;
    void AwaitInput(int milliseconds) override;
    void EnableMouse(bool on) override;
    void FlushInput() override;
    void Beep() override;

    void Suspend() override;
    void Resume() override;

    // Draws what changed and writes everything pending. The waits of the
    // program that do not go through the console (a pause of the clock)
    // should call this first, so that a message is on screen while it waits.
    void Flush();
    // Flush() of the console that currently owns the terminal, if any.
    static void FlushActive();

    const ScreenBuffer& Screen() const { return screen_; }

private:
    void TakeTerminal();     // raw mode, alternate screen, mouse as enabled
    void ReleaseTerminal();  // everything as it was found
    // After a stop and SIGCONT: nothing of what the terminal shows is known.
    void TakeRedraw();
    // Ctrl-Z: stops the program the way SIGTSTP does (nothing where SIGTSTP
    // was ignored when the console came, or while another program has the
    // terminal).
    void Stop();
    void Render();
    void DrawSpan(int row, int first, int last);
    void SetTerminalColours(int fg, int bg);
    void MaybeFlush();  // flushes when drawing has been held back too long
    void WritePending();
    void QueryTerminalSize();
    enum class ReadResult { Read, Nothing, Interrupted };
    // One poll of up to timeoutMs and one read into the decoder.
    ReadResult ReadOnce(int timeoutMs);
    // Reads what is there, then waits up to the escape timeout while a
    // sequence is unfinished.
    void ReadAvailable();
    void FinishSequence();

    int in_, out_;
    bool isTerminal_ = false;
    bool suspended_ = false;
    ScreenBuffer screen_{25, 80};
    TerminalInputDecoder decoder_;
    std::string pending_;  // bytes for the terminal, written by WritePending

    // What the terminal shows: the cells drawn last (fg 255 = unknown) and
    // the terminal's own state.
    std::vector<Cell> shown_;
    bool fullRedraw_ = true;
    int termRows_ = 0, termColumns_ = 0;  // 0 = unknown, no clipping
    int termFg_ = -1, termBg_ = -1;
    int termCursorRow_ = -1, termCursorColumn_ = -1;
    bool cursorVisible_ = true, termCursorVisible_ = true;
    bool mouseOn_ = true;
    bool inputGone_ = false;
    long long holdSinceMs_ = -1;  // when the oldest undrawn change was made; -1 none
};

}  // namespace pavuto::host::posix
