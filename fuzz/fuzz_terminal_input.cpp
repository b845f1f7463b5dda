// The terminal input decoder on arbitrary byte streams: reads of any size at
// any time, escape timeouts and flushes in between. Every event it gives must
// be one the console knows, its bytes must not depend on how the stream was
// cut into reads, and it never makes more events than it was given bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "fuzz_check.hpp"
#include "host/posix/terminal_input.hpp"

using pavuto::fuzz::Visible;
using pavuto::host::InputEvent;
using pavuto::host::posix::TerminalInputDecoder;

namespace {

// The function keys and the cursor block, and Alt with a letter (scan codes
// 16 ... 50) or a digit (120 ... 129).
bool KnownScanCode(char c) {
    static const std::string codes = std::string(";<=>?@ABCD") + "GHIKMOPQRS";
    const int code = static_cast<unsigned char>(c);
    return codes.find(c) != std::string::npos || (code >= 16 && code <= 50) || (code >= 120 && code <= 129);
}

void CheckEvent(const InputEvent& e) {
    if (e.kind == InputEvent::Kind::Key) {
        bool plain = e.key.size() == 1 && e.key[0] != '\0';
        bool extended = e.key.size() == 2 && e.key[0] == '\0' && KnownScanCode(e.key[1]);
        FUZZ_CHECK(plain || extended, "key event with bytes " + Visible(e.key));
        return;
    }
    FUZZ_CHECK(e.kind == InputEvent::Kind::Mouse, "event of no kind");
    FUZZ_CHECK(e.button == 1 || e.button == 2, "mouse button " + std::to_string(e.button));
    FUZZ_CHECK(e.click == 1 || e.click == 2, "click kind " + std::to_string(e.click));
    FUZZ_CHECK(e.row >= 0 && e.column >= 1, "click at row " + std::to_string(e.row) + " column " + std::to_string(e.column));
}

std::string Describe(const InputEvent& e) {
    if (e.kind == InputEvent::Kind::Key) return "key " + Visible(e.key);
    return "mouse " + std::to_string(e.button) + "/" + std::to_string(e.click) + " at " + std::to_string(e.row) + "," +
           std::to_string(e.column);
}

void Drain(TerminalInputDecoder& d, std::vector<std::string>& out) {
    InputEvent e;
    while (d.Next(e)) {
        CheckEvent(e);
        out.push_back(Describe(e));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    TerminalInputDecoder whole, bytewise;  // the same stream, read at once and byte by byte
    int doubleClick = in.ConsumeIntegralInRange(0, 1000);
    whole.SetDoubleClickMs(doubleClick);
    bytewise.SetDoubleClickMs(doubleClick);
    std::vector<std::string> a, b;
    long long now = 0;
    size_t bytesFed = 0, timeouts = 0, kept = 0;
    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange(0, 7)) {
            case 0:
                whole.Timeout();
                bytewise.Timeout();
                ++timeouts;
                FUZZ_CHECK(!whole.Incomplete() && !bytewise.Incomplete(), "still inside a sequence after the timeout");
                break;
            case 1: {
                // A flush drops what was decoded; what came before it stays counted.
                Drain(whole, a);
                Drain(bytewise, b);
                whole.Discard();
                bytewise.Discard();
                break;
            }
            case 2:
                Drain(whole, a);
                Drain(bytewise, b);
                break;
            default: {
                now += in.ConsumeIntegralInRange(0, 700);
                std::string chunk = in.ConsumeRandomLengthString(48);
                whole.Feed(chunk, now);
                for (char c : chunk) bytewise.Feed(std::string(1, c), now);
                bytesFed += chunk.size();
                FUZZ_CHECK(whole.Incomplete() == bytewise.Incomplete(), "reads of another size leave another state");
                break;
            }
        }
        FUZZ_CHECK(whole.HasEvent() == bytewise.HasEvent(), "reads of another size give other events");
    }
    whole.Timeout();
    bytewise.Timeout();
    ++timeouts;
    Drain(whole, a);
    Drain(bytewise, b);
    FUZZ_CHECK(a == b, "reads of another size give other events");
    kept = a.size();
    FUZZ_CHECK(kept <= bytesFed + timeouts,
          std::to_string(kept) + " events from " + std::to_string(bytesFed) + " bytes and " + std::to_string(timeouts) +
              " timeouts");
    return 0;
}
