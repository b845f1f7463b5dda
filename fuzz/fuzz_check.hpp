#pragma once
// What the fuzz targets share: a check that stops the run with a message
// (libFuzzer then keeps the input that broke it).
#include <cstdio>
#include <cstdlib>
#include <string>

namespace pavuto::fuzz {

[[noreturn]] inline void Fail(const std::string& what) {
    std::fprintf(stderr, "\n*** fuzz check failed: %s\n", what.c_str());
    std::abort();
}

// The message is only put together when the check fails.
#define FUZZ_CHECK(condition, what)                          \
    do {                                                     \
        if (!(condition)) ::pavuto::fuzz::Fail(what);        \
    } while (0)

// Bytes made visible for a message: printable ASCII as it is, the rest as \xNN.
inline std::string Visible(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        }
    }
    return out;
}

}  // namespace pavuto::fuzz
