#include "common/text.hpp"

#include <algorithm>
#include <cmath>

namespace pavuto {

namespace {
unsigned char U(char c) { return static_cast<unsigned char>(c); }
}  // namespace

char UpperChar(char c) {
    unsigned char u = U(c);
    if (u >= 'a' && u <= 'z') return static_cast<char>(u - 32);
    if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<char>(u - 32);
    if (u == 0x9A) return static_cast<char>(0x8A);  // š
    if (u == 0x9C) return static_cast<char>(0x8C);  // œ
    if (u == 0x9E) return static_cast<char>(0x8E);  // ž
    if (u == 0xFF) return static_cast<char>(0x9F);  // ÿ
    return c;
}

char LowerChar(char c) {
    unsigned char u = U(c);
    if (u >= 'A' && u <= 'Z') return static_cast<char>(u + 32);
    if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<char>(u + 32);
    if (u == 0x8A) return static_cast<char>(0x9A);
    if (u == 0x8C) return static_cast<char>(0x9C);
    if (u == 0x8E) return static_cast<char>(0x9E);
    if (u == 0x9F) return static_cast<char>(0xFF);
    return c;
}

Text UCase(std::string_view s) {
    Text r(s);
    for (char& c : r) c = UpperChar(c);
    return r;
}

Text LCase(std::string_view s) {
    Text r(s);
    for (char& c : r) c = LowerChar(c);
    return r;
}

Text Left(std::string_view s, long n) {
    if (n <= 0) return {};
    return Text(s.substr(0, static_cast<size_t>(n)));
}

Text Right(std::string_view s, long n) {
    if (n <= 0) return {};
    if (static_cast<size_t>(n) >= s.size()) return Text(s);
    return Text(s.substr(s.size() - static_cast<size_t>(n)));
}

Text Mid(std::string_view s, long start, long n) {
    if (start < 1) start = 1;
    if (static_cast<size_t>(start) > s.size()) return {};
    auto rest = s.substr(static_cast<size_t>(start - 1));
    if (n < 0) return Text(rest);
    return Text(rest.substr(0, static_cast<size_t>(n)));
}

long Instr(std::string_view s, std::string_view needle, long start) {
    if (start < 1) start = 1;
    if (static_cast<size_t>(start) > s.size() + 1) return 0;
    if (needle.empty()) return static_cast<size_t>(start) <= s.size() ? start : 0;
    auto pos = s.find(needle, static_cast<size_t>(start - 1));
    return pos == std::string_view::npos ? 0 : static_cast<long>(pos) + 1;
}

long InstrRev(std::string_view s, std::string_view needle) {
    if (needle.empty()) return 0;
    auto pos = s.rfind(needle);
    return pos == std::string_view::npos ? 0 : static_cast<long>(pos) + 1;
}

long InstrNoCase(std::string_view s, std::string_view needle, long start) {
    return Instr(UCase(s), UCase(needle), start);
}

Text LTrim(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    return Text(s.substr(i));
}

Text RTrim(std::string_view s) {
    size_t n = s.size();
    while (n > 0 && s[n - 1] == ' ') --n;
    return Text(s.substr(0, n));
}

Text Trim(std::string_view s) { return LTrim(RTrim(s)); }

Text Spaces(long n) { return n > 0 ? Text(static_cast<size_t>(n), ' ') : Text(); }

Text PadRight(std::string_view s, long width) {
    if (width <= 0) return {};
    Text r(s.substr(0, std::min(s.size(), static_cast<size_t>(width))));
    r.resize(static_cast<size_t>(width), ' ');
    return r;
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

bool EndsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

bool EndsWithNoCase(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && EqualsNoCase(s.substr(s.size() - suffix.size()), suffix);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (UpperChar(a[i]) != UpperChar(b[i])) return false;
    return true;
}

bool ContainsNoCase(std::string_view s, std::string_view needle) { return InstrNoCase(s, needle) > 0; }

double Val(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        negative = s[i] == '-';
        ++i;
    }
    double value = 0;
    bool point = false;
    double scale = 1;
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (c >= '0' && c <= '9') {
            if (point) {
                scale /= 10;
                value += (c - '0') * scale;
            } else {
                value = value * 10 + (c - '0');
            }
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    return negative ? -value : value;
}

int ValInt(std::string_view s) {
    double v = std::trunc(Val(s));
    return static_cast<int>(std::clamp(v, -32768.0, 32767.0));
}

Text ReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
    if (from.empty()) return Text(s);
    Text r;
    size_t i = 0;
    while (true) {
        auto pos = s.find(from, i);
        if (pos == std::string_view::npos) break;
        r.append(s.substr(i, pos - i));
        r.append(to);
        i = pos + from.size();
    }
    r.append(s.substr(i));
    return r;
}

bool IsPlainFileName(const Text& name) {
    if (Trim(name).empty()) return false;
    for (char c : name) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u < 32 || u == 127) return false;
        if (Text("\\/:*?\"<>|").find(c) != Text::npos) return false;
    }
    return true;
}

std::vector<std::string> SplitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::string cur;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(cur);
            cur.clear();
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) lines.push_back(cur);
    return lines;
}

bool EnvironmentValue(const Text& entry, const Text& name, Text& value) {
    long eq = Instr(entry, "=");
    if (eq == 0) return false;
    Text key = Left(entry, eq - 1);
    if (!EqualsNoCase(key, name) && !EqualsNoCase(key, name + " ")) return false;
    value = Mid(entry, eq + 1);
    return true;
}

}  // namespace pavuto
