#pragma once
// Turns the bytes a terminal sends into the console's input events: UTF-8
// text as Windows-1252 keys, the escape sequences of the cursor, editing and
// function keys as code 0 + scan code, and xterm mouse reports (SGR mode) as
// clicks. Esc followed at once by a key is Alt with that key: a letter or
// digit becomes code 0 + its Alt scan code, anything else nothing. No I/O: the console feeds it what it read, with the time of the
// read, and tells it when no further byte came within the escape timeout.
#include <deque>
#include <string>
#include <string_view>

#include "host/console.hpp"

namespace pavuto::host::posix {

class TerminalInputDecoder {
public:
    // Milliseconds between two presses in one cell that make a double click.
    void SetDoubleClickMs(int ms) { doubleClickMs_ = ms; }
    int DoubleClickMs() const { return doubleClickMs_; }

    // Bytes as they came from the terminal, read at nowMs (any monotonic
    // millisecond count).
    void Feed(std::string_view bytes, long long nowMs);
    // No further byte arrived within the escape timeout: a lone Esc becomes
    // the Esc key, an unfinished sequence is dropped, an unfinished UTF-8
    // character is taken byte by byte as Windows-1252.
    void Timeout();
    // True while the bytes so far end inside a sequence or character.
    bool Incomplete() const { return state_ != State::Ground; }

    bool HasEvent() const { return !events_.empty(); }
    bool Next(InputEvent& event);
    // Drops the decoded events and whatever the unfinished sequence turns out
    // to be. The mouse history stays: a double click may span a flush, and
    // the release that ends it is still swallowed.
    void Discard();

private:
    enum class State { Ground, Escape, Csi, Ss3, LinuxFunction, X10Mouse, Utf8 };

    void Byte(unsigned char c);
    void Key(std::string key);
    void Extended(char scanCode) { Key(ExtendedKey(scanCode)); }
    void Finish();  // back to ground; ends a discarded sequence
    void CsiFinal(unsigned char final);
    void Ss3Final(unsigned char final);
    void Mouse(int code, int x, int y, bool release);
    void X10(unsigned char cb, unsigned char cx, unsigned char cy);
    void Utf8Byte(unsigned char c);
    void Utf8Broken();

    State state_ = State::Ground;
    // The key being decoded came right after an Esc: Alt with it.
    bool alt_ = false;
    bool altCharacter_ = false;  // for a UTF-8 character under way
    std::string seq_;  // parameter and intermediate bytes of the current sequence
    bool discardCurrent_ = false;
    long long now_ = 0;
    std::deque<InputEvent> events_;

    // UTF-8 character under way.
    std::string utf8_;
    int utf8Need_ = 0;

    // Mouse history for double clicks.
    int doubleClickMs_ = 500;
    bool havePress_ = false;
    int pressButton_ = 0, pressRow_ = 0, pressColumn_ = 0;
    long long pressAt_ = 0;
    bool swallowRelease_[3] = {false, false, false};
    int x10Button_ = 0;  // button of the last press in the legacy mouse format
};

}  // namespace pavuto::host::posix
