#pragma once
// Code-page tables: Windows-1252 (the program's text), code page 850 (what the
// console shows) and UTF-8 (what the terminal and the disk of a POSIX host use).
#include <cstdint>
#include <string>
#include <string_view>

namespace pavuto {

// Unicode code point of a Windows-1252 byte. The five unassigned bytes map to
// the C1 controls of the same value, so that every byte round-trips.
char32_t Cp1252ToUnicode(unsigned char c);
// Windows-1252 byte of a code point, or '?' when the code page has none.
char UnicodeToCp1252(char32_t cp);

// Unicode code point of a code page 850 byte as the console draws it: the
// control codes 1..31 and 127 show as the console's symbols (30 ▲, 31 ▼, ...).
char32_t Cp850ToUnicode(unsigned char c);

std::string Cp1252ToUtf8(std::string_view text);
// Invalid UTF-8 bytes are taken as Windows-1252 bytes of their own.
std::string Utf8ToCp1252(std::string_view utf8);
void AppendUtf8(std::string& out, char32_t cp);

}  // namespace pavuto
