#pragma once
// The Windows console: a screen buffer of its own (the one the program found
// is put back on every way out, with its size, colours and contents), code
// page 850 output, the 16 console colours as attributes, and ReadConsoleInput
// with mouse input on and quick edit off while the program runs.
//
// The cells are kept in a ScreenBuffer as the truth and the rows that
// changed are written with WriteConsoleOutputA before the program reads
// input or pauses. The input modes, code pages and the window's placement
// the program found are restored by the destructor, at exit(), on Ctrl+C,
// Ctrl+Break and when the console window is closed.
#include <windows.h>

#include <deque>

#include "host/console.hpp"
#include "host/screen_buffer.hpp"

namespace pavuto::host::win32 {

// What decoding input records keeps from one record to the next.
struct MouseState {
    DWORD buttons = 0;         // pressed at the last report
    DWORD afterDoubleClick = 0; // buttons whose next release completes a double click
};

// One console input record as the program sees it: a key press as its
// Windows-1252 character, an extended key (also Alt with a letter or digit)
// as code 0 + scan code; a click on the release of the button, a double
// click when the console reports one (the release that completes it is not
// reported). False for everything else (releases of keys, modifier keys,
// mouse moves, the wheel, focus and size events).
bool DecodeInputRecord(const INPUT_RECORD& record, MouseState& state, InputEvent& event);

class Win32Console : public Console {
public:
    Win32Console();
    ~Win32Console() override;
    Win32Console(const Win32Console&) = delete;
    Win32Console& operator=(const Win32Console&) = delete;

    // Draws what changed on the console the program runs (if any).
    static void FlushActive();
    // Gives the console back as it was found; safe to call more than once.
    void Restore();

    void SetSize(int rows, int columns) override;
    int Rows() const override { return screen_.Rows(); }
    int Columns() const override { return screen_.Columns(); }
    void Show(WindowShow how) override;
    void Move(int x, int y) override;
    void Clear() override { screen_.Clear(); }
    void SetColours(int foreground, int background) override { screen_.SetColours(foreground, background); }
    void Locate(int row, int column) override { screen_.Locate(row, column); }
    int CursorRow() const override { return screen_.CursorRow(); }
    int CursorColumn() const override { return screen_.CursorColumn(); }
    void Write(std::string_view cp850) override { screen_.Write(cp850); }
    void NewLine() override { screen_.NewLine(); }
    void ShowCursor(bool visible) override;
    void Present() override { Flush(); }
    bool ReadEvent(InputEvent& event) override;
    void AwaitInput(int milliseconds) override;
    void EnableMouse(bool on) override;
    void FlushInput() override;
    void Beep() override;
    void Suspend() override;
    void Resume() override;

    void Flush();

private:
    void Take();
    void DrawAll();
    void ReadPending();
    DWORD InputMode() const;

    HANDLE in_ = INVALID_HANDLE_VALUE;
    HANDLE original_ = INVALID_HANDLE_VALUE;  // the screen buffer found
    HANDLE out_ = INVALID_HANDLE_VALUE;       // the program's own
    DWORD originalInMode_ = 0;
    UINT originalOutputCp_ = 0, originalInputCp_ = 0;
    WINDOWPLACEMENT originalPlacement_{};
    bool placementSaved_ = false;
    bool taken_ = false;
    bool mouse_ = true;
    bool cursorVisible_ = true;
    ScreenBuffer screen_{25, 80};
    std::deque<InputEvent> pending_;
    MouseState mouseState_;
};

}  // namespace pavuto::host::win32
