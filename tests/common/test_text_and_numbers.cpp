#include <gtest/gtest.h>

#include "common/codepage.hpp"
#include "common/numbers.hpp"
#include "common/text.hpp"

using namespace pavuto;

TEST(Text, CaseFollowsWindows1252Letters) {
    EXPECT_EQ(UCase("\xE4pfel m\xFC\xDF" "e"), "\xC4PFEL M\xDC\xDF" "E");  // ß has no capital
    EXPECT_EQ(LCase("\xC4\xD6\xDC\xC9 ABC"), "\xE4\xF6\xFC\xE9 abc");
    EXPECT_EQ(UCase("\xF7\xFF"), "\xF7\x9F");  // ÷ is no letter; ÿ becomes Ÿ
    EXPECT_TRUE(EqualsNoCase("Rock.PAVUTO", "rock.pavuto"));
    EXPECT_TRUE(EndsWithNoCase("Song.MP3", ".mp3"));
    EXPECT_FALSE(EndsWithNoCase("mp3", ".mp3"));
}

TEST(Text, PositionsAreOneBasedAndZeroMeansAbsent) {
    EXPECT_EQ(Instr("Song - Band.mp3", " - "), 5);
    EXPECT_EQ(Instr("abcabc", "c", 4), 6);
    EXPECT_EQ(Instr("abc", "x"), 0);
    EXPECT_EQ(InstrRev("C:\\Musik\\Rock\\", "\\"), 14);
    EXPECT_EQ(Mid("Hallo", 2, 3), "all");
    EXPECT_EQ(Mid("Hallo", 4), "lo");
    EXPECT_EQ(Mid("Hallo", 9), "");
    EXPECT_EQ(Left("Hallo", 10), "Hallo");
    EXPECT_EQ(Right("Hallo", 2), "lo");
    EXPECT_EQ(Left("Hallo", -1), "");
}

TEST(Text, ValReadsTheLeadingNumber) {
    EXPECT_EQ(Val(" 22"), 22);
    EXPECT_EQ(Val("30 "), 30);
    EXPECT_EQ(Val("abc"), 0);
    EXPECT_EQ(Val("-5x"), -5);
    EXPECT_DOUBLE_EQ(Val("4.5"), 4.5);
    EXPECT_EQ(ValInt("99999999"), 32767);  // kept within a 16-bit setting
    EXPECT_EQ(PadRight("abc", 5), "abc  ");
    EXPECT_EQ(PadRight("abcdef", 3), "abc");
    EXPECT_EQ(RTrim("  a b  "), "  a b");
    EXPECT_EQ(LTrim("  a b  "), "a b  ");
}

TEST(Numbers, DirectAndAsText) {
    EXPECT_EQ(PrintedNumber(5), " 5 ");
    EXPECT_EQ(PrintedNumber(-5), "-5 ");
    EXPECT_EQ(NumberText(5), " 5");
    EXPECT_EQ(NumberText(0), " 0");
    EXPECT_EQ(NumberText(4.5), " 4.5");
    EXPECT_EQ(NumberText(9.99), " 9.99");
    EXPECT_EQ(NumberText(0.5), " .5");
    EXPECT_EQ(NumberText(-0.25), "-.25");
    EXPECT_EQ(NumberText(32000), " 32000");
    EXPECT_EQ(NumberText(1.0 / 3), " .3333333");
    EXPECT_EQ(NumberText(1.0 / 3, Precision::Double), " .333333333333333");
    EXPECT_EQ(NumberText(123456789.0), " 123456789");
}

TEST(Numbers, Pictures) {
    EXPECT_EQ(FormatUsing("###,###,###.###", 1234567.891), "  1,234,567.891");
    EXPECT_EQ(FormatUsing("###,###,###.##", 0.5), "          0.50");
    EXPECT_EQ(FormatUsing("###,###,###.###", 3.0), "          3.000");
}

TEST(CodePages, Utf8AndWindows1252) {
    EXPECT_EQ(Utf8ToCp1252("\xC3\xA4pfel \xE2\x82\xAC"), "\xE4pfel \x80");
    EXPECT_EQ(Cp1252ToUtf8("\xE4\x80"), "\xC3\xA4\xE2\x82\xAC");
    EXPECT_EQ(Utf8ToCp1252("\xE6\x97\xA5"), "?");          // a character Windows-1252 cannot hold
    EXPECT_EQ(Utf8ToCp1252("a\xE4" "b"), "a\xE4" "b");     // a stray byte stays itself
    for (int c = 0; c < 256; ++c) {
        std::string one(1, static_cast<char>(c));
        EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(one)), one) << c;
    }
}

TEST(CodePages, ConsoleCharactersShowAsTheirSymbols) {
    EXPECT_EQ(Cp850ToUnicode(201), U'\u2554');  // ╔
    EXPECT_EQ(Cp850ToUnicode(205), U'\u2550');  // ═
    EXPECT_EQ(Cp850ToUnicode(186), U'\u2551');  // ║
    EXPECT_EQ(Cp850ToUnicode(194), U'\u252C');  // ┬
    EXPECT_EQ(Cp850ToUnicode(193), U'\u2534');  // ┴
    EXPECT_EQ(Cp850ToUnicode(30), U'\u25B2');
    EXPECT_EQ(Cp850ToUnicode(31), U'\u25BC');
    EXPECT_EQ(Cp850ToUnicode(148), U'\u00F6');  // ö
    EXPECT_EQ(Cp850ToUnicode(225), U'\u00DF');  // ß
    EXPECT_EQ(Cp850ToUnicode(175), U'\u00BB');  // the drive entries' mark
}
