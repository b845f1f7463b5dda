#pragma once
// Windows-1252 text helpers in the manner of the program's string functions.
// Positions are 1-based where a routine says so (as in Instr); 0 means "not found".
#include <string>
#include <string_view>
#include <vector>

namespace pavuto {

using Text = std::string;  // Windows-1252 bytes

char UpperChar(char c);  // Windows-1252 letter rules: a-z, à-þ (not ÷), š œ ž ÿ
char LowerChar(char c);
Text UCase(std::string_view s);
Text LCase(std::string_view s);

Text Left(std::string_view s, long n);
Text Right(std::string_view s, long n);
// Mid(s, start, n): from 1-based start, n characters (n < 0: to the end).
Text Mid(std::string_view s, long start, long n = -1);
// 1-based position of needle in s from 1-based start, 0 when absent.
long Instr(std::string_view s, std::string_view needle, long start = 1);
long InstrRev(std::string_view s, std::string_view needle);
long InstrNoCase(std::string_view s, std::string_view needle, long start = 1);

Text LTrim(std::string_view s);  // blanks only
Text RTrim(std::string_view s);
Text Trim(std::string_view s);
Text Spaces(long n);
Text PadRight(std::string_view s, long width);  // pad with blanks or cut to width

bool StartsWith(std::string_view s, std::string_view prefix);
bool EndsWith(std::string_view s, std::string_view suffix);
bool EndsWithNoCase(std::string_view s, std::string_view suffix);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool ContainsNoCase(std::string_view s, std::string_view needle);

// Reads a number from the start of a text: leading blanks skipped, an optional
// sign, digits and one decimal point; anything after that is ignored; no digits
// give 0 ("30 " is 30, "abc" is 0).
double Val(std::string_view s);
// Val limited to the range of a 16-bit integer, as the program's integer
// settings hold it (fractions cut toward zero).
int ValInt(std::string_view s);

// Replace every occurrence.
Text ReplaceAll(std::string_view s, std::string_view from, std::string_view to);

// A name that can stand as one file name: not blank, no control character
// and none of \ / : * ? " < > |.
bool IsPlainFileName(const Text& name);

// The lines of a text, each without its end (CR LF, LF or CR); a last
// line without an end counts when it is not empty.
std::vector<std::string> SplitLines(std::string_view bytes);

// The value of an environment entry "NAME=value" or "NAME =value" when its
// name matches (without regard to case); false otherwise.
bool EnvironmentValue(const Text& entry, const Text& name, Text& value);

}  // namespace pavuto
