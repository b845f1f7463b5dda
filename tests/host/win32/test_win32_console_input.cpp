// Console input records as the program sees them.
#include <gtest/gtest.h>

#include "host/win32/win32_console.hpp"

namespace pavuto::host::win32 {
namespace {

INPUT_RECORD KeyRecord(wchar_t c, WORD vk, WORD scan, DWORD modifiers = 0, bool down = true) {
    INPUT_RECORD r{};
    r.EventType = KEY_EVENT;
    r.Event.KeyEvent.bKeyDown = down;
    r.Event.KeyEvent.wRepeatCount = 1;
    r.Event.KeyEvent.uChar.UnicodeChar = c;
    r.Event.KeyEvent.wVirtualKeyCode = vk;
    r.Event.KeyEvent.wVirtualScanCode = scan;
    r.Event.KeyEvent.dwControlKeyState = modifiers;
    return r;
}

INPUT_RECORD MouseRecord(SHORT x, SHORT y, DWORD buttons, DWORD flags = 0) {
    INPUT_RECORD r{};
    r.EventType = MOUSE_EVENT;
    r.Event.MouseEvent.dwMousePosition = COORD{x, y};
    r.Event.MouseEvent.dwButtonState = buttons;
    r.Event.MouseEvent.dwEventFlags = flags;
    return r;
}

// The key an input record gives, "-" for none.
std::string Key(const INPUT_RECORD& r) {
    MouseState state;
    InputEvent e;
    if (!DecodeInputRecord(r, state, e)) return "-";
    return e.key;
}

TEST(Win32ConsoleInput, KeysAreWindows1252OrCodeZeroWithTheScanCode) {
    EXPECT_EQ(Key(KeyRecord(L'a', 'A', 0x1E)), "a");
    EXPECT_EQ(Key(KeyRecord(L'a', 'A', 0x1E, 0, false)), "-");
    EXPECT_EQ(Key(KeyRecord(L'\u00E4', 0xDE, 0x28)), "\xE4");
    EXPECT_EQ(Key(KeyRecord(L'\u20AC', 'E', 0x12, RIGHT_ALT_PRESSED | LEFT_CTRL_PRESSED)), "\x80");
    EXPECT_EQ(Key(KeyRecord(L'\u0416', 0xBA, 0x27)), "-");  // no Windows-1252 character
    EXPECT_EQ(Key(KeyRecord(0, VK_F1, 0x3B)), ExtendedKey(scan::F1));
    EXPECT_EQ(Key(KeyRecord(0, VK_DOWN, 0x50, ENHANCED_KEY)), ExtendedKey(scan::Down));
    EXPECT_EQ(Key(KeyRecord(0, VK_SHIFT, 0x2A, SHIFT_PRESSED)), "-");
    EXPECT_EQ(Key(KeyRecord(0, VK_CONTROL, 0x1D)), "-");
    // Esc and Enter also where the console leaves their character out.
    EXPECT_EQ(Key(KeyRecord(0, VK_ESCAPE, 0x01)), "\x1B");
    EXPECT_EQ(Key(KeyRecord(L'\x1B', VK_ESCAPE, 0x01)), "\x1B");
    EXPECT_EQ(Key(KeyRecord(0, VK_RETURN, 0x1C)), "\r");
    // Alt with a letter or digit: the PC console's codes; with anything else nothing.
    EXPECT_EQ(Key(KeyRecord(L'x', 'X', 0x2D, LEFT_ALT_PRESSED)), ExtendedKey(0x2D));
    EXPECT_EQ(Key(KeyRecord(L'1', '1', 0x02, LEFT_ALT_PRESSED)), ExtendedKey(120));
    EXPECT_EQ(Key(KeyRecord(L'0', '0', 0x0B, LEFT_ALT_PRESSED)), ExtendedKey(static_cast<char>(129)));
    EXPECT_EQ(Key(KeyRecord(L'-', VK_OEM_MINUS, 0x0C, LEFT_ALT_PRESSED)), "-");
    // Alt+0228 on the numeric pad: no keys for the digits, the character with Alt's release.
    EXPECT_EQ(Key(KeyRecord(0, VK_NUMPAD0, 0x52, LEFT_ALT_PRESSED | NUMLOCK_ON)), "-");
    EXPECT_EQ(Key(KeyRecord(0, VK_DOWN, 0x50, LEFT_ALT_PRESSED)), "-");  // pad 2 with Num Lock off
    EXPECT_EQ(Key(KeyRecord(L'\u00E4', VK_MENU, 0x38, 0, false)), "\xE4");
    EXPECT_EQ(Key(KeyRecord(0, VK_MENU, 0x38, 0, false)), "-");
    // The arrow block keeps its keys with Alt.
    EXPECT_EQ(Key(KeyRecord(0, VK_DOWN, 0x50, LEFT_ALT_PRESSED | ENHANCED_KEY)), ExtendedKey(scan::Down));
}

TEST(Win32ConsoleInput, ClicksComeOnReleaseAndDoubleClicksAsTheConsoleReportsThem) {
    MouseState state;
    InputEvent e;
    EXPECT_FALSE(DecodeInputRecord(MouseRecord(4, 6, FROM_LEFT_1ST_BUTTON_PRESSED), state, e));
    ASSERT_TRUE(DecodeInputRecord(MouseRecord(4, 6, 0), state, e));
    EXPECT_EQ(e.kind, InputEvent::Kind::Mouse);
    EXPECT_EQ(e.button, 1);
    EXPECT_EQ(e.click, 1);
    EXPECT_EQ(e.row, 6);     // 0-based row
    EXPECT_EQ(e.column, 5);  // 1-based column
    ASSERT_TRUE(DecodeInputRecord(MouseRecord(4, 6, FROM_LEFT_1ST_BUTTON_PRESSED, DOUBLE_CLICK), state, e));
    EXPECT_EQ(e.click, 2);
    EXPECT_EQ(e.button, 1);
    // The release that completes the double click lands on nothing.
    EXPECT_FALSE(DecodeInputRecord(MouseRecord(4, 6, 0), state, e));
    EXPECT_FALSE(DecodeInputRecord(MouseRecord(9, 2, RIGHTMOST_BUTTON_PRESSED), state, e));
    EXPECT_FALSE(DecodeInputRecord(MouseRecord(10, 2, RIGHTMOST_BUTTON_PRESSED, MOUSE_MOVED), state, e));
    ASSERT_TRUE(DecodeInputRecord(MouseRecord(10, 2, 0), state, e));
    EXPECT_EQ(e.button, 2);
    EXPECT_EQ(e.click, 1);
    EXPECT_EQ(e.column, 11);
    EXPECT_FALSE(DecodeInputRecord(MouseRecord(1, 1, 0, MOUSE_WHEELED), state, e));
}

}  // namespace
}  // namespace pavuto::host::win32
