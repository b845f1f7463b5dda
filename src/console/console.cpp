#include "console/console.hpp"

#include "common/numbers.hpp"

namespace pavuto {

Text ConvertForConsole(const Text& text) {
    Text out(text);
    for (char& c : out) {
        switch (static_cast<unsigned char>(c)) {
            case 0xFC: c = static_cast<char>(129); break;  // ü
            case 0xE4: c = static_cast<char>(132); break;  // ä
            case 0xF6: c = static_cast<char>(148); break;  // ö
            case 0xC4: c = static_cast<char>(142); break;  // Ä
            case 0xD6: c = static_cast<char>(153); break;  // Ö
            case 0xDC: c = static_cast<char>(154); break;  // Ü
            case 0xE1: c = static_cast<char>(160); break;  // á
            case 0xE9: c = static_cast<char>(130); break;  // é
            case 0xFA: c = static_cast<char>(163); break;  // ú
            case 0xF3: c = static_cast<char>(162); break;  // ó
            case 0xED: c = static_cast<char>(161); break;  // í
            case 0xDF: c = static_cast<char>(225); break;  // ß
            default: break;
        }
    }
    return out;
}

Text BuildPagingLine(int columns) {
    Text line = "    (zur\xFC" "ck bl\xE4ttern)";
    const Text next = "    (weiter bl\xE4ttern)";
    while (static_cast<int>(line.size()) + 22 <= columns) line += next;
    return line;
}

void ConsoleLayer::ShowText() {
    Text converted = ConvertForConsole(OutputText);
    if (OutputMode == 0 || OutputMode == 1) {
        out.Write(converted);
        if (OutputMode == 0) out.NewLine();
        OutputText.clear();
    } else {
        OutputText = converted;
    }
    OutputMode = 0;
}

void ConsoleLayer::Show(const Text& text, int mode) {
    OutputText = text;
    OutputMode = mode;
    ShowText();
}

void ConsoleLayer::ShowAt(int row, int column, const Text& text) {
    out.Locate(row, column);
    Show(text, 1);
}

void ConsoleLayer::Raw(const Text& bytes) { out.Write(bytes); }

void ConsoleLayer::RawAt(int row, int column, const Text& bytes) {
    out.Locate(row, column);
    out.Write(bytes);
}

void ConsoleLayer::LineEnd() { out.NewLine(); }

void ConsoleLayer::PrintNumber(double value) { out.Write(PrintedNumber(value)); }

void ConsoleLayer::PrintNumberAt(int row, int column, double value) {
    out.Locate(row, column);
    PrintNumber(value);
}

void ConsoleLayer::ReadOneEvent() {
    KeyText.clear();
    MouseButton = 0;
    ClickKind = 0;
    MouseColumn = 0;
    MouseRow = 0;
    host::InputEvent e;
    if (out.ReadEvent(e)) {
        if (e.kind == host::InputEvent::Kind::Key) {
            KeyText = e.key;
        } else if (e.kind == host::InputEvent::Kind::Mouse) {
            MouseButton = e.button;
            ClickKind = (e.click == 1 || e.click == 2) ? e.click : 0;
            MouseColumn = e.column;
            MouseRow = e.row;
        }
    }
    if (!KeyText.empty()) return;
    if (ClickKind == 2) {
        if (MouseButton == 1) KeyText = keys::Enter;
        else if (MouseButton == 2) KeyText = keys::Esc;
    }
}

void ConsoleLayer::WaitEvent() {
    out.EnableMouse(true);
    while (true) {
        KeyText.clear();
        MouseButton = 0;
        ClickKind = 0;
        MouseColumn = 0;
        MouseRow = 0;
        out.AwaitInput(80);
        ReadOneEvent();
        if (KeyText.empty() && ClickKind == 0 && NoWait != 1) continue;
        return;
    }
}

void ConsoleLayer::PollEvent() { ReadOneEvent(); }

void ConsoleLayer::TakeConsoleRows() {
    if (out.Rows() <= 0) return;
    ScreenRows = out.Rows();
    PageRows = ScreenRows - 13;
}

void ConsoleLayer::FlushEvents() {
    out.FlushInput();
    ClickKind = 0;
    NoWait = 0;
}

void ConsoleLayer::ApplyWindowSize() {
    PageRows = ScreenRows - 13;
    if (ScreenRows > 0 && ScreenColumns > 0) {
        out.Show(host::WindowShow::Minimised);
        out.SetSize(ScreenRows, ScreenColumns);
        out.Move(60, 25);
        out.Show(host::WindowShow::Maximised);
    }
    PagingLine = BuildPagingLine(ScreenColumns);
}

void ConsoleLayer::ClearMenuArea() {
    for (int r = ScreenRows - 4; r <= ScreenRows - 1; ++r) ShowAt(r, 5, Spaces(ScreenColumns - 11));
}

void ConsoleLayer::ClearListArea() {
    for (int r = 5; r <= ScreenRows - 8; ++r) ShowAt(r, 3, Spaces(ScreenColumns - 4));
}

namespace {
// Double-line box characters of the console code page, written as they are.
const Text kTopLeft = "\xC9", kTopRight = "\xBB", kBottomLeft = "\xC8", kBottomRight = "\xBC";
const Text kHorizontal = "\xCD", kVertical = "\xBA";
}  // namespace

// Bars on both columns of every row, then the two borders, then the corners.
void ConsoleLayer::DrawBox(int top, int left, int bottom, int right) {
    for (int r = top; r <= bottom; ++r) {
        RawAt(r, left, kVertical);
        RawAt(r, right, kVertical);
    }
    Text line;
    for (int i = 0; i < right - left; ++i) line += kHorizontal;
    RawAt(top, left, line);
    RawAt(bottom, left, line);
    RawAt(top, left, kTopLeft);
    RawAt(top, right, kTopRight);
    RawAt(bottom, left, kBottomLeft);
    RawAt(bottom, right, kBottomRight);
}

void ConsoleLayer::DrawListBox(int top) {
    int left = 2, right = ScreenColumns - 1;
    if (ScreenColumns < 12) {
        left = 4;
        right = ScreenColumns - 6;
    }
    DrawBox(top, left, ScreenRows - 7, right);
}

Text ConsoleLayer::InputLine() {
    Text line;
    int saveNoWait = NoWait;
    NoWait = 0;
    while (true) {
        WaitEvent();
        if (KeyText.empty()) continue;  // clicks are not typed characters
        if (KeyText == keys::Enter) break;
        if (KeyText == keys::Backspace) {
            if (!line.empty()) {
                line.pop_back();
                int row = out.CursorRow(), column = out.CursorColumn();
                if (column > 1) {
                    out.Locate(row, column - 1);
                    out.Write(" ");
                    out.Locate(row, column - 1);
                }
            }
            continue;
        }
        if (KeyText.size() != 1 || static_cast<unsigned char>(KeyText[0]) < 32) continue;
        if (line.size() >= 10000) continue;
        line += KeyText;
        out.Write(ConvertForConsole(KeyText));
    }
    KeyText.clear();
    NoWait = saveNoWait;
    return line;
}

void ConsoleLayer::TabToNextZone() {
    int column = out.CursorColumn();
    int next = ((column - 1) / 14 + 1) * 14 + 1;
    if (next > ScreenColumns) {
        LineEnd();
        return;
    }
    out.Locate(out.CursorRow(), next);
}

}  // namespace pavuto
