#include "host/posix/terminal_input.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using pavuto::host::ExtendedKey;
using pavuto::host::InputEvent;
using pavuto::host::posix::TerminalInputDecoder;
namespace scan = pavuto::host::scan;

namespace {

// The keys decoded so far, one string per key event; a mouse event shows as
// "mouse b<button> c<click> r<row> k<column>".
std::vector<std::string> Drain(TerminalInputDecoder& d) {
    std::vector<std::string> out;
    InputEvent e;
    while (d.Next(e)) {
        if (e.kind == InputEvent::Kind::Key) {
            out.push_back(e.key);
        } else {
            out.push_back("mouse b" + std::to_string(e.button) + " c" + std::to_string(e.click) + " r" +
                          std::to_string(e.row) + " k" + std::to_string(e.column));
        }
    }
    return out;
}

std::vector<std::string> Decode(const std::string& bytes) {
    TerminalInputDecoder d;
    d.Feed(bytes, 0);
    d.Timeout();
    return Drain(d);
}

using Keys = std::vector<std::string>;

}  // namespace

TEST(TerminalInput, ControlBytesAsTheyComeAndBackspaceFromDel) {
    EXPECT_EQ(Decode("a\r\t\x03Z"), (Keys{"a", "\r", "\t", "\x03", "Z"}));
    EXPECT_EQ(Decode("\x7f"), Keys{"\b"});
    EXPECT_EQ(Decode("\b"), Keys{"\b"});
    EXPECT_EQ(Decode(std::string("x\0y", 3)), (Keys{"x", "y"}));  // a lone code 0 is no key
}

TEST(TerminalInput, Utf8ArrivesAsWindows1252) {
    EXPECT_EQ(Decode("\xC3\xA4" "b"), (Keys{"\xE4", "b"}));    // ä
    EXPECT_EQ(Decode("\xE2\x82\xAC"), Keys{"\x80"});            // €
    EXPECT_EQ(Decode("\xE2\x80\x9C"), Keys{"\x93"});            // “
    EXPECT_EQ(Decode("\xE2\x95\x94" "x"), (Keys{"?", "x"}));     // ╔ has no Windows-1252 code
    EXPECT_EQ(Decode("\xF0\x9F\x8E\xB5"), Keys{"?"});           // a four-byte character
}

TEST(TerminalInput, Utf8SplitAcrossReadsAndBrokenUtf8) {
    TerminalInputDecoder d;
    d.Feed("\xE2\x82", 0);
    EXPECT_TRUE(d.Incomplete());
    EXPECT_FALSE(d.HasEvent());
    d.Feed("\xAC", 1);
    EXPECT_EQ(Drain(d), Keys{"\x80"});

    // A Latin-1 terminal: bytes that are no UTF-8 are Windows-1252 of their own.
    EXPECT_EQ(Decode("\xE4" "b"), (Keys{"\xE4", "b"}));
    EXPECT_EQ(Decode("\xFC"), Keys{"\xFC"});
    EXPECT_EQ(Decode("\xC0\x80"), (Keys{"\xC0", "\x80"}));  // overlong
}

TEST(TerminalInput, CursorAndEditingKeysOfTheCommonTerminals) {
    struct Case {
        const char* bytes;
        char scanCode;
    };
    const Case cases[] = {
        {"\x1b[A", scan::Up},       {"\x1b[B", scan::Down},     {"\x1b[C", scan::Right},
        {"\x1b[D", scan::Left},     {"\x1bOA", scan::Up},       {"\x1bOB", scan::Down},
        {"\x1bOC", scan::Right},    {"\x1bOD", scan::Left},     {"\x1b[H", scan::Home},
        {"\x1b[F", scan::End},      {"\x1bOH", scan::Home},     {"\x1bOF", scan::End},
        {"\x1b[1~", scan::Home},    {"\x1b[7~", scan::Home},    {"\x1b[4~", scan::End},
        {"\x1b[8~", scan::End},     {"\x1b[2~", scan::Insert},  {"\x1b[3~", scan::Delete},
        {"\x1b[5~", scan::PgUp},    {"\x1b[6~", scan::PgDn},    {"\x1b[1;5A", scan::Up},
        {"\x1b[1;2D", scan::Left},  {"\x1b[5;5~", scan::PgUp},  {"\x1b[3;2~", scan::Delete},
        {"\x1b[a", scan::Up},       {"\x1bOd", scan::Left},     {"\x1b[2$", scan::Insert},
        {"\x1b[6^", scan::PgDn},
    };
    for (const Case& c : cases) EXPECT_EQ(Decode(c.bytes), Keys{ExtendedKey(c.scanCode)}) << c.bytes + 1;
}

TEST(TerminalInput, KeypadInApplicationMode) {
    EXPECT_EQ(Decode("\x1bOM\x1bOp\x1bOy\x1bOk\x1bOn"), (Keys{"\r", "0", "9", "+", "."}));
}

TEST(TerminalInput, FunctionKeys) {
    const char* const sequences[][4] = {
        {"\x1bOP", "\x1b[11~", "\x1b[[A", "\x1b[1;2P"},
        {"\x1bOQ", "\x1b[12~", "\x1b[[B", "\x1b[1;5Q"},
        {"\x1bOR", "\x1b[13~", "\x1b[[C", "\x1b[1;3R"},
        {"\x1bOS", "\x1b[14~", "\x1b[[D", "\x1b[1;2S"},
    };
    for (int f = 0; f < 4; ++f)
        for (const char* bytes : sequences[f])
            EXPECT_EQ(Decode(bytes), Keys{ExtendedKey(static_cast<char>(scan::F1 + f))}) << bytes + 1;
    EXPECT_EQ(Decode("\x1b[15~"), Keys{ExtendedKey(scan::F5)});
    EXPECT_EQ(Decode("\x1b[[E"), Keys{ExtendedKey(scan::F5)});
    const char* const upper[] = {"\x1b[17~", "\x1b[18~", "\x1b[19~", "\x1b[20~", "\x1b[21~"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Decode(upper[i]), Keys{ExtendedKey(static_cast<char>(scan::F6 + i))}) << upper[i] + 1;
    EXPECT_EQ(ExtendedKey(scan::F10), Decode("\x1b[21;5~").at(0));
}

TEST(TerminalInput, LoneEscOnlyAfterTheTimeout) {
    TerminalInputDecoder d;
    d.Feed("\x1b", 0);
    EXPECT_TRUE(d.Incomplete());
    EXPECT_FALSE(d.HasEvent());
    d.Timeout();
    EXPECT_EQ(Drain(d), Keys{"\x1b"});

    // The same sequence cut into pieces by the reads is still one key.
    d.Feed("\x1b", 0);
    d.Feed("[", 1);
    d.Feed("1;5", 2);
    EXPECT_FALSE(d.HasEvent());
    d.Feed("A", 3);
    EXPECT_EQ(Drain(d), Keys{ExtendedKey(scan::Up)});
    EXPECT_FALSE(d.Incomplete());

    EXPECT_EQ(Decode("\x1b\x1b"), (Keys{"\x1b", "\x1b"}));
    EXPECT_EQ(Decode("\x1b\x1b[B"), (Keys{"\x1b", ExtendedKey(scan::Down)}));
}

// Esc with a key right behind it is how a terminal sends Alt with that key:
// never the Esc key (which asks to end the program).
TEST(TerminalInput, AltWithAKeyIsNoEsc) {
    // Letters and digits: code 0 + the PC console's Alt scan code, in either case.
    EXPECT_EQ(Decode("\x1bq\x1bP\x1b" "a\x1bL\x1bz\x1bM"),
              (Keys{ExtendedKey(16), ExtendedKey(25), ExtendedKey(30), ExtendedKey(38), ExtendedKey(44),
                    ExtendedKey(50)}));
    EXPECT_EQ(Decode("\x1b" "1\x1b" "9\x1b" "0"), (Keys{ExtendedKey(120), ExtendedKey(128), ExtendedKey(129)}));
    // With anything else it has no code: nothing at all, and the next key is
    // its own again.
    EXPECT_EQ(Decode("\x1b.\x1b \x1b\r\x1b\x7f\x1b\x03x"), Keys{"x"});
    EXPECT_EQ(Decode("\x1b\xC3\xA4y"), Keys{"y"});   // Alt+ä: the whole character goes
    EXPECT_EQ(Decode("\x1b\xE4y"), Keys{"y"});        // the same as a Latin-1 byte
    EXPECT_EQ(Decode("\x1b\xC3y"), (Keys{"y"}));      // a broken character: its byte goes
    // The Alt key comes in one read or two within the escape time alike.
    TerminalInputDecoder d;
    d.Feed("\x1b", 0);
    d.Feed("x", 5);
    d.Feed("x", 6);
    EXPECT_EQ(Drain(d), (Keys{ExtendedKey(45), "x"}));
    EXPECT_FALSE(d.Incomplete());
}

TEST(TerminalInput, UnknownAndUnfinishedSequencesAreSwallowed) {
    EXPECT_EQ(Decode("\x1b[24~x"), Keys{"x"});          // F12: no scan code here
    EXPECT_EQ(Decode("\x1b[?1;2cx"), Keys{"x"});        // a device report
    EXPECT_EQ(Decode("\x1b[200~y"), Keys{"y"});
    EXPECT_EQ(Decode("\x1b[Z" "\x1bOz" "q"), Keys{"q"});
    EXPECT_EQ(Decode("\x1b[1;5"), Keys{});               // cut off by the timeout
    EXPECT_EQ(Decode("\x1bO"), Keys{});
    EXPECT_EQ(Decode("\x1b[" + std::string(100, '1') + "~k"), Keys{"k"});
    // An Esc inside a sequence starts a new one.
    EXPECT_EQ(Decode("\x1b[1\x1b[C"), Keys{ExtendedKey(scan::Right)});
}

TEST(TerminalInput, SgrClickOnReleaseWithZeroBasedRow) {
    TerminalInputDecoder d;
    d.Feed("\x1b[<0;12;5M", 0);
    EXPECT_FALSE(d.HasEvent());  // a press alone is not reported
    d.Feed("\x1b[<0;12;5m", 80);
    EXPECT_EQ(Drain(d), Keys{"mouse b1 c1 r4 k12"});

    d.Feed("\x1b[<2;3;1M\x1b[<2;3;1m", 2000);
    EXPECT_EQ(Drain(d), Keys{"mouse b2 c1 r0 k3"});

    // Middle button, wheel and motion bring nothing; a modifier is ignored.
    d.Feed("\x1b[<1;3;3M\x1b[<1;3;3m\x1b[<64;3;3M\x1b[<65;3;3M\x1b[<35;7;7M", 4000);
    EXPECT_EQ(Drain(d), Keys{});
    d.Feed("\x1b[<16;9;9M\x1b[<16;9;9m", 6000);
    EXPECT_EQ(Drain(d), Keys{"mouse b1 c1 r8 k9"});
}

TEST(TerminalInput, DoubleClickAtTheSecondPressAndItsReleaseSwallowed) {
    TerminalInputDecoder d;
    d.Feed("\x1b[<0;10;4M", 1000);
    d.Feed("\x1b[<0;10;4m", 1080);
    d.Feed("\x1b[<0;10;4M", 1300);
    EXPECT_EQ(Drain(d), (Keys{"mouse b1 c1 r3 k10", "mouse b1 c2 r3 k10"}));
    d.Feed("\x1b[<0;10;4m", 1380);
    EXPECT_EQ(Drain(d), Keys{});
    // A third press starts a new click.
    d.Feed("\x1b[<0;10;4M\x1b[<0;10;4m", 1450);
    EXPECT_EQ(Drain(d), Keys{"mouse b1 c1 r3 k10"});

    // Right button: the same rule.
    d.Feed("\x1b[<2;1;1M\x1b[<2;1;1m", 5000);
    d.Feed("\x1b[<2;1;1M\x1b[<2;1;1m", 5100);
    EXPECT_EQ(Drain(d), (Keys{"mouse b2 c1 r0 k1", "mouse b2 c2 r0 k1"}));
}

TEST(TerminalInput, DoubleClickNeedsTimeCellAndButton) {
    TerminalInputDecoder d;
    auto click = [&d](const char* x, const char* y, long long at, int button = 0) {
        std::string b = std::to_string(button);
        d.Feed(std::string("\x1b[<") + b + ";" + x + ";" + y + "M", at);
        d.Feed(std::string("\x1b[<") + b + ";" + x + ";" + y + "m", at + 10);
    };
    click("5", "5", 0);
    click("5", "5", 501);  // too late
    click("6", "5", 700);  // next cell
    click("6", "6", 800);  // next row
    click("6", "6", 900, 2);  // other button
    EXPECT_EQ(Drain(d), (Keys{"mouse b1 c1 r4 k5", "mouse b1 c1 r4 k5", "mouse b1 c1 r4 k6",
                              "mouse b1 c1 r5 k6", "mouse b2 c1 r5 k6"}));
    click("5", "5", 2000);
    click("5", "5", 2500);  // exactly the double-click time
    EXPECT_EQ(Drain(d), (Keys{"mouse b1 c1 r4 k5", "mouse b1 c2 r4 k5"}));

    d.SetDoubleClickMs(200);
    click("5", "5", 4000);
    click("5", "5", 4300);
    EXPECT_EQ(Drain(d), (Keys{"mouse b1 c1 r4 k5", "mouse b1 c1 r4 k5"}));
}

TEST(TerminalInput, DiscardDropsEventsButKeepsTheClickHistory) {
    TerminalInputDecoder d;
    d.Feed("ab\x1b[<0;2;2M\x1b[<0;2;2m", 0);
    d.Discard();
    EXPECT_FALSE(d.HasEvent());
    d.Feed("\x1b[<0;2;2M", 100);  // the first click was flushed, the double click still counts
    EXPECT_EQ(Drain(d), Keys{"mouse b1 c2 r1 k2"});
    d.Discard();
    d.Feed("\x1b[<0;2;2m", 150);  // and its release is still swallowed
    EXPECT_EQ(Drain(d), Keys{});

    // A sequence under way when the input is flushed goes with it, also a lone Esc.
    d.Feed("\x1b[", 200);
    d.Discard();
    d.Feed("Bx", 210);
    EXPECT_EQ(Drain(d), Keys{"x"});
    d.Feed("\x1b", 300);
    d.Discard();
    d.Timeout();
    d.Feed("y", 400);
    EXPECT_EQ(Drain(d), Keys{"y"});
}

TEST(TerminalInput, LegacyMouseFormatIsUnderstood) {
    // Terminals without SGR mode send ESC [ M and three bytes (value + 32).
    TerminalInputDecoder d;
    d.Feed(std::string("\x1b[M") + char(32 + 0) + char(32 + 7) + char(32 + 3), 0);
    d.Feed(std::string("\x1b[M") + char(32 + 3) + char(32 + 7) + char(32 + 3) + "k", 50);
    EXPECT_EQ(Drain(d), (Keys{"mouse b1 c1 r2 k7", "k"}));
}
