#pragma once
// The console window as the program sees it: R x C cells of code page 850
// characters in the 16 console colours, positioned printing, and one input
// event at a time.
#include <string>
#include <string_view>

namespace pavuto::host {

struct InputEvent {
    enum class Kind { None, Key, Mouse };
    Kind kind = Kind::None;
    std::string key;  // Windows-1252: one character, or code 0 + scan code
    int button = 0;   // 1 left, 2 right
    int click = 0;    // 1 single click (on release), 2 double click
    int row = 0;      // 0-based console row
    int column = 0;   // 1-based console column
};

enum class WindowShow { Minimised, Maximised, Normal };

// Scan codes of extended keys (they arrive as code 0 followed by the code).
namespace scan {
inline constexpr char F1 = ';', F2 = '<', F3 = '=', F4 = '>', F5 = '?', F6 = '@', F7 = 'A',
                      F8 = 'B', F9 = 'C', F10 = 'D', Home = 'G', Up = 'H', PgUp = 'I',
                      Left = 'K', Right = 'M', End = 'O', Down = 'P', PgDn = 'Q', Insert = 'R',
                      Delete = 'S';
}
inline std::string ExtendedKey(char scanCode) { return std::string(1, '\0') + scanCode; }

class Console {
public:
    virtual ~Console() = default;

    // Screen buffer and window become exactly columns x rows.
    virtual void SetSize(int rows, int columns) = 0;
    virtual int Rows() const = 0;
    virtual int Columns() const = 0;
    virtual void Show(WindowShow how) = 0;
    // Puts the window's top-left corner at a screen pixel position.
    virtual void Move(int x, int y) = 0;

    // Fills the screen with blanks in the current colours, cursor to 1,1.
    virtual void Clear() = 0;
    virtual void SetColours(int foreground, int background) = 0;
    // 1-based; a row or column outside the screen leaves that coordinate as it is.
    virtual void Locate(int row, int column) = 0;
    virtual int CursorRow() const = 0;
    virtual int CursorColumn() const = 0;
    // Code page 850 bytes, each one cell, written as they are; the cursor
    // wraps at the right edge and the screen scrolls at the bottom.
    virtual void Write(std::string_view cp850) = 0;
    // Cursor to column 1 of the next row (scrolling at the bottom).
    virtual void NewLine() = 0;
    virtual void ShowCursor(bool visible) = 0;
    // What was written is drawn when the program next waits; this shows it
    // at once, for a message that stands during a step without waits.
    virtual void Present() = 0;

    // One event without waiting; false when none is pending. Mouse moves and
    // presses are not reported.
    virtual bool ReadEvent(InputEvent& event) = 0;
    // Pauses up to milliseconds, returning early as soon as input is pending.
    virtual void AwaitInput(int milliseconds) = 0;
    virtual void EnableMouse(bool on) = 0;
    virtual void FlushInput() = 0;
    virtual void Beep() = 0;

    // Around a program that takes the terminal: give it back, then take it
    // again and draw the whole screen anew.
    virtual void Suspend() = 0;
    virtual void Resume() = 0;
};

}  // namespace pavuto::host
