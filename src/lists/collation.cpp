#include "lists/collation.hpp"

#include "program.hpp"

namespace pavuto {

CollationTable BuildCollationTable() {
    CollationTable t{};
    for (int i = 0; i < 256; ++i) t[static_cast<size_t>(i)] = static_cast<unsigned char>(i);
    auto set = [&t](int code, char to) { t[static_cast<size_t>(code)] = static_cast<unsigned char>(to); };
    auto run = [&set](int first, const char* to) {
        for (int i = 0; to[i]; ++i) set(first + i, to[i]);
    };
    for (int c = 'a'; c <= 'z'; ++c) set(c, static_cast<char>(c - 32));
    set(196, 'A');
    set(228, 'A');
    set(214, 'O');
    set(246, 'O');
    set(220, 'U');
    set(252, 'U');
    run(129, "UEAAAA");
    run(136, "EEEIIIAAE");
    run(147, "OOOUUYOU");
    run(161, "IOUNN");
    set(168, '?');
    set('.', '&');
    set('<', '\'');
    return t;
}

const CollationTable& Collation(Program& p) {
    // An unbuilt table maps everything to 0; build it rather than sort by nothing.
    if (p.collation['A'] != 'A') p.collation = BuildCollationTable();
    return p.collation;
}

Text CollationKey(const CollationTable& table, std::string_view s) {
    Text key(s.size(), '\0');
    for (size_t i = 0; i < s.size(); ++i)
        key[i] = static_cast<char>(table[static_cast<unsigned char>(s[i])]);
    return key;
}

int CollateCompare(const CollationTable& table, std::string_view a, std::string_view b) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = table[static_cast<unsigned char>(a[i])];
        unsigned char y = table[static_cast<unsigned char>(b[i])];
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

}  // namespace pavuto
