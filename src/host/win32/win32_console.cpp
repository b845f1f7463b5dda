#include "host/win32/win32_console.hpp"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <exception>
#include <utility>
#include <vector>

namespace pavuto::host::win32 {

namespace {

std::atomic<Win32Console*> active{nullptr};

BOOL WINAPI OnControl(DWORD) {
    // Ctrl+C, Ctrl+Break, closing the window, logging off: the console goes
    // back as it was, then the system's own handling ends the program.
    if (Win32Console* console = active.load()) console->Restore();
    return FALSE;
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS*) {
    if (Win32Console* console = active.load()) console->Restore();
    return EXCEPTION_CONTINUE_SEARCH;
}

void AtExit() {
    if (Win32Console* console = active.load()) console->Restore();
}

// std::terminate and abort pass by both the crash filter and atexit.
std::terminate_handler previousTerminate = nullptr;
[[noreturn]] void OnTerminate() {
    if (Win32Console* console = active.load()) console->Restore();
    if (previousTerminate) previousTerminate();
    std::abort();
}

// A typed character as its Windows-1252 byte, without a look-alike: a
// character Windows-1252 lacks is dropped, not typed as another one.
bool TypedCharacter(wchar_t c, std::string& key) {
    char byte = 0;
    BOOL lost = FALSE;
    if (WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, &c, 1, &byte, 1, nullptr, &lost) != 1 || lost) return false;
    key = std::string(1, byte);
    return true;
}

// The keys of the numeric pad, with Num Lock on and off.
bool IsNumericPadKey(WORD vk) {
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return true;
    switch (vk) {
        case VK_INSERT: case VK_END: case VK_DOWN: case VK_NEXT: case VK_LEFT:
        case VK_CLEAR: case VK_RIGHT: case VK_HOME: case VK_UP: case VK_PRIOR: return true;
        default: return false;
    }
}

// Alt with a letter or digit: the scan code the PC console reports for it
// (Alt+Q 16 ... Alt+M 50 are the keys' own; Alt+1 120 ... Alt+0 129).
bool AltKey(wchar_t c, WORD scanCode, std::string& key) {
    if ((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z')) {
        key = ExtendedKey(static_cast<char>(scanCode));
        return true;
    }
    if (c >= L'1' && c <= L'9') {
        key = ExtendedKey(static_cast<char>(120 + (c - L'1')));
        return true;
    }
    if (c == L'0') {
        key = ExtendedKey(static_cast<char>(129));
        return true;
    }
    return false;
}

bool IsModifierKey(WORD vk) {
    switch (vk) {
        case VK_SHIFT: case VK_CONTROL: case VK_MENU: case VK_CAPITAL: case VK_NUMLOCK: case VK_SCROLL:
        case VK_LWIN: case VK_RWIN: case VK_APPS: case VK_LSHIFT: case VK_RSHIFT: case VK_LCONTROL:
        case VK_RCONTROL: case VK_LMENU: case VK_RMENU:
            return true;
        default:
            return false;
    }
}

}  // namespace

bool DecodeInputRecord(const INPUT_RECORD& record, MouseState& state, InputEvent& event) {
    event = InputEvent{};
    if (record.EventType == KEY_EVENT) {
        const KEY_EVENT_RECORD& k = record.Event.KeyEvent;
        const wchar_t c = k.uChar.UnicodeChar;
        if (!k.bKeyDown) {
            // Alt with digits of the numeric pad: the character they make
            // comes with the release of Alt.
            if (k.wVirtualKeyCode != VK_MENU || c == 0) return false;
            event.kind = InputEvent::Kind::Key;
            return TypedCharacter(c, event.key);
        }
        const DWORD mods = k.dwControlKeyState;
        const bool alt = mods & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED);
        const bool ctrl = mods & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED);
        event.kind = InputEvent::Kind::Key;
        if (c == 0) {
            // Some consoles leave the character of these keys out.
            for (auto [vk, ch] : {std::pair{VK_ESCAPE, '\x1B'}, {VK_RETURN, '\r'}, {VK_BACK, '\b'}, {VK_TAB, '\t'}}) {
                if (k.wVirtualKeyCode == vk && !alt) {
                    event.key = std::string(1, ch);
                    return true;
                }
            }
            if (IsModifierKey(k.wVirtualKeyCode) || k.wVirtualScanCode == 0) return false;
            // Those digits themselves (the keys of the numeric pad, not the
            // arrow block beside it) are no keys of their own.
            if (alt && !(mods & ENHANCED_KEY) && IsNumericPadKey(k.wVirtualKeyCode)) return false;
            event.key = ExtendedKey(static_cast<char>(k.wVirtualScanCode));
            return true;
        }
        // Right Alt alone is AltGr (Ctrl with Alt): its characters are typed ones.
        if (alt && !ctrl) return AltKey(c, k.wVirtualScanCode, event.key);
        return TypedCharacter(c, event.key);
    }
    if (record.EventType == MOUSE_EVENT) {
        const MOUSE_EVENT_RECORD& m = record.Event.MouseEvent;
        const DWORD buttons = m.dwButtonState & (FROM_LEFT_1ST_BUTTON_PRESSED | RIGHTMOST_BUTTON_PRESSED);
        event.kind = InputEvent::Kind::Mouse;
        event.row = m.dwMousePosition.Y;
        event.column = m.dwMousePosition.X + 1;
        if (m.dwEventFlags & DOUBLE_CLICK) {
            DWORD again = buttons & ~state.buttons;
            if (!again) again = buttons;
            state.buttons = buttons;
            if (!again) return false;
            state.afterDoubleClick |= again;
            event.button = (again & FROM_LEFT_1ST_BUTTON_PRESSED) ? 1 : 2;
            event.click = 2;
            return true;
        }
        if (m.dwEventFlags != 0) return false;  // moves and the wheel
        const DWORD released = state.buttons & ~buttons;
        state.buttons = buttons;
        for (DWORD bit : {DWORD(FROM_LEFT_1ST_BUTTON_PRESSED), DWORD(RIGHTMOST_BUTTON_PRESSED)}) {
            if (!(released & bit)) continue;
            if (state.afterDoubleClick & bit) {
                state.afterDoubleClick &= ~bit;
                continue;
            }
            event.button = bit == FROM_LEFT_1ST_BUTTON_PRESSED ? 1 : 2;
            event.click = 1;
            return true;
        }
        return false;
    }
    return false;
}

Win32Console::Win32Console() {
    in_ = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_EXISTING, 0, nullptr);
    original_ = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
    GetConsoleMode(in_, &originalInMode_);
    originalOutputCp_ = GetConsoleOutputCP();
    originalInputCp_ = GetConsoleCP();
    if (HWND window = GetConsoleWindow()) {
        originalPlacement_.length = sizeof originalPlacement_;
        placementSaved_ = GetWindowPlacement(window, &originalPlacement_);
    }
    out_ = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     CONSOLE_TEXTMODE_BUFFER, nullptr);
    if (out_ == INVALID_HANDLE_VALUE) out_ = original_;
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (GetConsoleScreenBufferInfo(original_, &info))
        screen_.Resize(info.srWindow.Bottom - info.srWindow.Top + 1, info.srWindow.Right - info.srWindow.Left + 1);
    active.store(this);
    static bool handlersInstalled = false;
    if (!handlersInstalled) {
        handlersInstalled = true;
        SetConsoleCtrlHandler(OnControl, TRUE);
        SetUnhandledExceptionFilter(OnCrash);
        std::atexit(AtExit);
        previousTerminate = std::set_terminate(OnTerminate);
    }
    Take();
    SetSize(screen_.Rows(), screen_.Columns());
}

Win32Console::~Win32Console() {
    Restore();
    Win32Console* self = this;
    active.compare_exchange_strong(self, nullptr);
    if (out_ != original_ && out_ != INVALID_HANDLE_VALUE) CloseHandle(out_);
    if (original_ != INVALID_HANDLE_VALUE) CloseHandle(original_);
    if (in_ != INVALID_HANDLE_VALUE) CloseHandle(in_);
}

DWORD Win32Console::InputMode() const {
    // Without ENABLE_QUICK_EDIT_MODE (with ENABLE_EXTENDED_FLAGS) a click
    // reaches the program instead of starting a selection.
    return ENABLE_EXTENDED_FLAGS | ENABLE_PROCESSED_INPUT | (mouse_ ? ENABLE_MOUSE_INPUT : 0);
}

void Win32Console::Take() {
    SetConsoleMode(in_, InputMode());
    SetConsoleOutputCP(850);
    SetConsoleCP(850);
    SetConsoleActiveScreenBuffer(out_);
    taken_ = true;
}

void Win32Console::Restore() {
    if (!taken_) return;
    taken_ = false;
    SetConsoleActiveScreenBuffer(original_);
    SetConsoleMode(in_, originalInMode_);
    SetConsoleOutputCP(originalOutputCp_);
    SetConsoleCP(originalInputCp_);
    if (placementSaved_)
        if (HWND window = GetConsoleWindow()) SetWindowPlacement(window, &originalPlacement_);
}

void Win32Console::FlushActive() {
    if (Win32Console* console = active.load()) console->Flush();
}

void Win32Console::SetSize(int rows, int columns) {
    if (rows < 1 || columns < 1) return;
    // The window may never be larger than the buffer: shrink it first, to
    // what fits both the old buffer and the new one.
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (GetConsoleScreenBufferInfo(out_, &info)) {
        SMALL_RECT smaller{0, 0, static_cast<SHORT>(std::min<int>(columns, info.dwSize.X) - 1),
                           static_cast<SHORT>(std::min<int>(rows, info.dwSize.Y) - 1)};
        SetConsoleWindowInfo(out_, TRUE, &smaller);
    }
    SetConsoleScreenBufferSize(out_, COORD{static_cast<SHORT>(columns), static_cast<SHORT>(rows)});
    // A window larger than the screen allows is refused as a whole: it gets
    // the largest size, and the buffer keeps R x C.
    COORD largest = GetLargestConsoleWindowSize(out_);
    const int windowColumns = largest.X > 0 ? std::min<int>(columns, largest.X) : columns;
    const int windowRows = largest.Y > 0 ? std::min<int>(rows, largest.Y) : rows;
    SMALL_RECT whole{0, 0, static_cast<SHORT>(windowColumns - 1), static_cast<SHORT>(windowRows - 1)};
    SetConsoleWindowInfo(out_, TRUE, &whole);
    screen_.Resize(rows, columns);
    DrawAll();
}

void Win32Console::Show(WindowShow how) {
    HWND window = GetConsoleWindow();
    if (!window) return;
    ShowWindow(window, how == WindowShow::Minimised   ? SW_MINIMIZE
                       : how == WindowShow::Maximised ? SW_MAXIMIZE
                                                      : SW_SHOWNORMAL);
}

void Win32Console::Move(int x, int y) {
    if (HWND window = GetConsoleWindow()) SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void Win32Console::ShowCursor(bool visible) {
    cursorVisible_ = visible;
    CONSOLE_CURSOR_INFO info{};
    if (GetConsoleCursorInfo(out_, &info)) {
        info.bVisible = visible;
        SetConsoleCursorInfo(out_, &info);
    }
}

void Win32Console::Flush() {
    if (!taken_) return;
    std::vector<bool> dirty;
    if (screen_.TakeDirty(dirty)) {
        const int columns = screen_.Columns();
        std::vector<CHAR_INFO> row(columns);
        for (int r = 1; r <= screen_.Rows(); ++r) {
            if (!dirty[r - 1]) continue;
            for (int c = 1; c <= columns; ++c) {
                const Cell& cell = screen_.At(r, c);
                row[c - 1].Char.AsciiChar = static_cast<CHAR>(cell.ch);
                row[c - 1].Attributes = static_cast<WORD>(cell.fg | (cell.bg << 4));
            }
            SMALL_RECT area{0, static_cast<SHORT>(r - 1), static_cast<SHORT>(columns - 1), static_cast<SHORT>(r - 1)};
            WriteConsoleOutputA(out_, row.data(), COORD{static_cast<SHORT>(columns), 1}, COORD{0, 0}, &area);
        }
    }
    SetConsoleTextAttribute(out_, static_cast<WORD>(screen_.Foreground() | (screen_.Background() << 4)));
    int r = std::min(screen_.CursorRow(), screen_.Rows()), c = std::min(screen_.CursorColumn(), screen_.Columns());
    SetConsoleCursorPosition(out_, COORD{static_cast<SHORT>(c - 1), static_cast<SHORT>(r - 1)});
}

void Win32Console::DrawAll() {
    // Every row counts as changed once the buffer was resized or taken again.
    std::vector<bool> ignored;
    screen_.TakeDirty(ignored);
    const int rows = screen_.Rows(), columns = screen_.Columns();
    std::vector<CHAR_INFO> cells(static_cast<std::size_t>(rows) * columns);
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= columns; ++c) {
            const Cell& cell = screen_.At(r, c);
            CHAR_INFO& out = cells[static_cast<std::size_t>(r - 1) * columns + (c - 1)];
            out.Char.AsciiChar = static_cast<CHAR>(cell.ch);
            out.Attributes = static_cast<WORD>(cell.fg | (cell.bg << 4));
        }
    SMALL_RECT area{0, 0, static_cast<SHORT>(columns - 1), static_cast<SHORT>(rows - 1)};
    WriteConsoleOutputA(out_, cells.data(), COORD{static_cast<SHORT>(columns), static_cast<SHORT>(rows)}, COORD{0, 0},
                        &area);
    Flush();
}

void Win32Console::ReadPending() {
    DWORD count = 0;
    while (GetNumberOfConsoleInputEvents(in_, &count) && count > 0) {
        INPUT_RECORD records[64];
        DWORD got = 0;
        if (!ReadConsoleInputW(in_, records, std::min<DWORD>(count, 64), &got) || got == 0) return;
        for (DWORD i = 0; i < got; ++i) {
            InputEvent event;
            if (!DecodeInputRecord(records[i], mouseState_, event)) continue;
            if (event.kind == InputEvent::Kind::Mouse && !mouse_) continue;
            // A held key repeats: each repetition is a key of its own.
            int times = records[i].EventType == KEY_EVENT ? std::max<int>(1, records[i].Event.KeyEvent.wRepeatCount) : 1;
            for (int t = 0; t < times; ++t) pending_.push_back(event);
        }
    }
}

bool Win32Console::ReadEvent(InputEvent& event) {
    Flush();
    if (pending_.empty()) ReadPending();
    if (pending_.empty()) return false;
    event = pending_.front();
    pending_.pop_front();
    return true;
}

void Win32Console::AwaitInput(int milliseconds) {
    Flush();
    const DWORD start = GetTickCount();
    while (true) {
        ReadPending();
        if (!pending_.empty()) return;
        DWORD passed = GetTickCount() - start;
        if (milliseconds <= 0 || passed >= static_cast<DWORD>(milliseconds)) return;
        // Signalled by any record, also the ones that are no events.
        WaitForSingleObject(in_, static_cast<DWORD>(milliseconds) - passed);
    }
}

void Win32Console::EnableMouse(bool on) {
    mouse_ = on;
    if (taken_) SetConsoleMode(in_, InputMode());
}

void Win32Console::FlushInput() {
    FlushConsoleInputBuffer(in_);
    pending_.clear();
}

void Win32Console::Beep() { MessageBeep(MB_OK); }

void Win32Console::Suspend() {
    Flush();
    Restore();
}

void Win32Console::Resume() {
    Take();
    DrawAll();
    ShowCursor(cursorVisible_);
}

}  // namespace pavuto::host::win32
