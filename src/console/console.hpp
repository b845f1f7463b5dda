#pragma once
// The console layer: console state, converted printing, the event reader,
// the window size and the two clearing routines of the standard screen.
#include <string>

#include "common/text.hpp"
#include "host/clock.hpp"
#include "host/console.hpp"

namespace pavuto {

// Key texts as the program compares them.
namespace keys {
inline const Text Enter = "\r";
inline const Text Esc = "\x1b";
inline const Text Backspace = "\b";
inline const Text Up = host::ExtendedKey(host::scan::Up);
inline const Text Down = host::ExtendedKey(host::scan::Down);
inline const Text PgUp = host::ExtendedKey(host::scan::PgUp);
inline const Text PgDn = host::ExtendedKey(host::scan::PgDn);
}  // namespace keys

struct ConsoleState {
    int ScreenRows = 22;     // R
    int ScreenColumns = 70;  // C
    int PageRows = 9;        // R - 13
    // Colour table: 1 foreground and 2 background of normal text, 3 and 4 of
    // the cursor line, 5 background of marked entries. Slot 0 is not used.
    int Colours[6] = {1, 7, 1, 1, 7, 8};
    Text KeyText;
    int MouseButton = 0;  // 1 left, 2 right
    int ClickKind = 0;    // 0 none, 1 single click, 2 double click
    int MouseRow = 0;     // 0-based
    int MouseColumn = 0;  // 1-based
    int NoWait = 0;
    Text OutputText;
    int OutputMode = 0;  // 0 print and end the line, 1 print, other: convert only
    Text PagingLine;
};

class ConsoleLayer : public ConsoleState {
public:
    ConsoleLayer(host::Console& console, host::Clock& clock) : out(console), clock(clock) {}

    host::Console& out;
    host::Clock& clock;

    // Prints OutputText by OutputMode after the console conversion.
    void ShowText();
    // Shortcuts: ShowText with a text and a mode.
    void Show(const Text& text, int mode = 1);
    void ShowLine(const Text& text) { Show(text, 0); }
    // Locate, then ShowText mode 1.
    void ShowAt(int row, int column, const Text& text);
    // Bytes as they are (box characters, texts the program prints unconverted).
    void Raw(const Text& bytes);
    void RawAt(int row, int column, const Text& bytes);
    void LineEnd();
    // The next print zone of 14 columns after the cursor, as a comma in a
    // print line moves there (a line end past the last column).
    void TabToNextZone();
    void Locate(int row, int column) { out.Locate(row, column); }
    void SetColours(int fg, int bg) { out.SetColours(fg, bg); }
    void Clear() { out.Clear(); }
    // A number printed directly (" 5 ") and a number as text (" 5").
    void PrintNumber(double value);
    void PrintNumberAt(int row, int column, double value);

    void WaitEvent();
    // One event if one is pending, without any pause (KeyText and the mouse
    // fields as WaitEvent sets them; all empty when nothing is pending).
    void PollEvent();
    // Waits for a key or click (FlushEvents first is the caller's business).
    void WaitForInput() {
        NoWait = 0;
        WaitEvent();
    }
    void FlushEvents();
    void ApplyWindowSize();
    // ScreenRows and PageRows become those of the console as it is, without
    // changing the window (endless playback leaves it alone).
    void TakeConsoleRows();
    void ClearMenuArea();
    void ClearListArea();

    // A double-line box with its corners at (top, left) and (bottom, right).
    void DrawBox(int top, int left, int bottom, int right);
    // The two boxes of the standard screen: the list box from row top to
    // R - 7 (two columns in from each side; narrow windows keep more off)
    // and the menu box over the last six rows.
    void DrawListBox(int top);
    void DrawMenuBox() { DrawBox(ScreenRows - 5, 1, ScreenRows, ScreenColumns); }

    // Line input with echo: the rest of a line up to Enter; Backspace removes
    // the last character; other characters below 32 are ignored; at most
    // 10000 characters. Mouse clicks are ignored.
    Text InputLine();

    void Pause(int milliseconds) { clock.Pause(milliseconds); }
    void Beep() { out.Beep(); }
    // Shows what was written now (see host::Console::Present).
    void Present() { out.Present(); }

private:
    // Reads one pending event into KeyText and the mouse fields (a double
    // click of the left button is Enter, of the right one Esc).
    void ReadOneEvent();
};

// The twelve replacements of the console conversion (ü ä ö Ä Ö Ü á é ú ó í ß
// to their code page 850 codes).
Text ConvertForConsole(const Text& text);
// "    (zurück blättern)" followed by "    (weiter blättern)" as often as fits in C.
Text BuildPagingLine(int columns);

}  // namespace pavuto
