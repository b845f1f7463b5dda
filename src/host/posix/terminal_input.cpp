#include "host/posix/terminal_input.hpp"

#include <cstdlib>
#include <vector>

#include "common/codepage.hpp"

namespace pavuto::host::posix {

namespace {

constexpr unsigned char kEsc = 0x1B;
constexpr size_t kLongestSequence = 32;

// The numbers of "1;5" or "<0;12;3"; an empty field counts as 0.
std::vector<int> Parameters(std::string_view text) {
    std::vector<int> out;
    int value = 0;
    bool any = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            if (value < 100000) value = value * 10 + (c - '0');
            any = true;
        } else if (c == ';') {
            out.push_back(value);
            value = 0;
            any = true;
        }
    }
    if (any) out.push_back(value);
    return out;
}

// Alt with a letter or digit is code 0 and the scan code of that key, as
// the PC console reports it (Alt+Q 16 ... Alt+M 50, Alt+1 120 ... Alt+0 129);
// the program gives none of them a meaning. Alt with anything else has no
// code there: nothing.
std::string AltKey(const std::string& key) {
    if (key.size() != 1) return {};
    char c = key[0];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    static constexpr std::string_view kRows[] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
    static constexpr int kFirstScanCode[] = {16, 30, 44};
    for (int r = 0; r < 3; ++r)
        if (size_t at = kRows[r].find(c); at != std::string_view::npos)
            return ExtendedKey(static_cast<char>(kFirstScanCode[r] + static_cast<int>(at)));
    if (c >= '1' && c <= '9') return ExtendedKey(static_cast<char>(120 + (c - '1')));
    if (c == '0') return ExtendedKey(static_cast<char>(129));
    return {};
}

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace

void TerminalInputDecoder::Feed(std::string_view bytes, long long nowMs) {
    now_ = nowMs;
    for (char c : bytes) Byte(static_cast<unsigned char>(c));
}

void TerminalInputDecoder::Timeout() {
    switch (state_) {
        case State::Ground: return;
        case State::Escape: Key(std::string(1, static_cast<char>(kEsc))); break;
        case State::Utf8: Utf8Broken(); break;
        default: break;  // an unfinished sequence is dropped
    }
    Finish();
}

bool TerminalInputDecoder::Next(InputEvent& event) {
    if (events_.empty()) return false;
    event = std::move(events_.front());
    events_.pop_front();
    return true;
}

void TerminalInputDecoder::Discard() {
    events_.clear();
    if (Incomplete()) discardCurrent_ = true;
}

void TerminalInputDecoder::Key(std::string key) {
    if (altCharacter_ || (alt_ && state_ == State::Ground)) {
        altCharacter_ = false;
        alt_ = false;
        key = AltKey(key);
        if (key.empty()) return;
    }
    if (discardCurrent_) return;
    InputEvent e;
    e.kind = InputEvent::Kind::Key;
    e.key = std::move(key);
    events_.push_back(std::move(e));
}

void TerminalInputDecoder::Finish() {
    if (state_ == State::Utf8) altCharacter_ = false;
    state_ = State::Ground;
    seq_.clear();
    utf8_.clear();
    utf8Need_ = 0;
    discardCurrent_ = false;
}

void TerminalInputDecoder::Byte(unsigned char c) {
    switch (state_) {
        case State::Ground:
            if (c == kEsc) {
                state_ = State::Escape;
            } else if (c == 0) {
                // Ctrl+Space: no key of the console has a lone code 0.
            } else if (c == 0x7F) {
                Key("\b");  // the Backspace key of most terminals
            } else if (c < 0x80) {
                Key(std::string(1, static_cast<char>(c)));
            } else {
                Utf8Byte(c);
            }
            return;

        case State::Escape:
            if (c == '[') {
                state_ = State::Csi;
                seq_.clear();
            } else if (c == 'O') {
                state_ = State::Ss3;
                seq_.clear();
            } else if (c == kEsc) {
                // Esc pressed twice: the first one is a key of its own.
                Key(std::string(1, static_cast<char>(kEsc)));
                discardCurrent_ = false;
            } else {
                // Esc followed at once by another key: what a terminal sends
                // for Alt with that key. It is no Esc (which would ask to end
                // the program): the key comes out as Alt with it.
                Finish();
                alt_ = true;
                Byte(c);
                alt_ = false;  // a character under way keeps its own note
            }
            return;

        case State::Csi:
            if (seq_.empty() && c == '[') {
                state_ = State::LinuxFunction;
            } else if (c >= 0x20 && c <= 0x3F && !(c == '$' && AllDigits(seq_))) {
                if (seq_.size() < kLongestSequence) seq_ += static_cast<char>(c);
                else discardCurrent_ = true;  // far too long: swallow it whole
            } else if ((c >= 0x40 && c <= 0x7E) || c == '$') {
                if (c == 'M' && seq_.empty()) {
                    state_ = State::X10Mouse;  // three raw bytes follow
                    return;
                }
                CsiFinal(c);
                Finish();
            } else if (c == kEsc) {
                Finish();
                state_ = State::Escape;
            } else {
                Finish();
                Byte(c);
            }
            return;

        case State::Ss3:
            if ((c >= '0' && c <= '9') || c == ';') {
                if (seq_.size() < kLongestSequence) seq_ += static_cast<char>(c);
            } else if (c >= 0x40 && c <= 0x7E) {
                Ss3Final(c);
                Finish();
            } else if (c == kEsc) {
                Finish();
                state_ = State::Escape;
            } else {
                Finish();
                Byte(c);
            }
            return;

        case State::LinuxFunction:
            if (c >= 'A' && c <= 'E') Extended(static_cast<char>(scan::F1 + (c - 'A')));
            Finish();
            return;

        case State::X10Mouse:
            seq_ += static_cast<char>(c);
            if (seq_.size() == 3) {
                X10(static_cast<unsigned char>(seq_[0]), static_cast<unsigned char>(seq_[1]),
                    static_cast<unsigned char>(seq_[2]));
                Finish();
            }
            return;

        case State::Utf8:
            Utf8Byte(c);
            return;
    }
}

void TerminalInputDecoder::CsiFinal(unsigned char final) {
    if (!seq_.empty() && seq_[0] == '<') {
        if (final != 'M' && final != 'm') return;
        std::vector<int> p = Parameters(std::string_view(seq_).substr(1));
        if (p.size() == 3) Mouse(p[0], p[1], p[2], final == 'm');
        return;
    }
    // Private markers and intermediate bytes: nothing the console knows.
    for (char c : seq_)
        if (!((c >= '0' && c <= '9') || c == ';')) return;
    std::vector<int> p = Parameters(seq_);
    switch (final) {
        case 'A': case 'a': Extended(scan::Up); return;
        case 'B': case 'b': Extended(scan::Down); return;
        case 'C': case 'c': Extended(scan::Right); return;
        case 'D': case 'd': Extended(scan::Left); return;
        case 'H': Extended(scan::Home); return;
        case 'F': Extended(scan::End); return;
        case 'P': Extended(scan::F1); return;  // F1..F4 with a modifier: CSI 1;2P
        case 'Q': Extended(scan::F2); return;
        case 'R': Extended(scan::F3); return;
        case 'S': Extended(scan::F4); return;
        case '~': case '^': case '@': case '$': break;  // numbered keys, plain and modified
        default: return;
    }
    if (p.empty()) return;
    switch (p[0]) {
        case 1: case 7: Extended(scan::Home); return;
        case 2: Extended(scan::Insert); return;
        case 3: Extended(scan::Delete); return;
        case 4: case 8: Extended(scan::End); return;
        case 5: Extended(scan::PgUp); return;
        case 6: Extended(scan::PgDn); return;
        case 11: case 12: case 13: case 14: case 15:
            Extended(static_cast<char>(scan::F1 + (p[0] - 11)));
            return;
        case 17: case 18: case 19: case 20: case 21:
            Extended(static_cast<char>(scan::F6 + (p[0] - 17)));
            return;
        default: return;
    }
}

void TerminalInputDecoder::Ss3Final(unsigned char final) {
    switch (final) {
        case 'A': case 'a': Extended(scan::Up); return;
        case 'B': case 'b': Extended(scan::Down); return;
        case 'C': case 'c': Extended(scan::Right); return;
        case 'D': case 'd': Extended(scan::Left); return;
        case 'H': Extended(scan::Home); return;
        case 'F': Extended(scan::End); return;
        case 'P': Extended(scan::F1); return;
        case 'Q': Extended(scan::F2); return;
        case 'R': Extended(scan::F3); return;
        case 'S': Extended(scan::F4); return;
        case 'M': Key("\r"); return;  // Enter of the keypad
        default:
            // Keypad keys in application mode: j..y are * + , - . / 0..9.
            if (final >= 'j' && final <= 'y') Key(std::string(1, static_cast<char>('*' + (final - 'j'))));
            return;
    }
}

void TerminalInputDecoder::Mouse(int code, int x, int y, bool release) {
    if (code & (32 | 64 | 128)) return;  // motion, wheel, extra buttons
    int button;
    switch (code & 3) {
        case 0: button = 1; break;
        case 2: button = 2; break;
        default: return;  // middle button
    }
    if (x < 1 || y < 1) return;
    int row = y - 1, column = x;

    InputEvent e;
    e.kind = InputEvent::Kind::Mouse;
    e.button = button;
    e.row = row;
    e.column = column;
    if (!release) {
        bool second = havePress_ && pressButton_ == button && pressRow_ == row && pressColumn_ == column &&
                      now_ >= pressAt_ && now_ - pressAt_ <= doubleClickMs_;
        if (second) {
            havePress_ = false;  // a third press starts anew
            swallowRelease_[button] = true;
            e.click = 2;
            if (!discardCurrent_) events_.push_back(e);
        } else {
            havePress_ = true;
            pressButton_ = button;
            pressRow_ = row;
            pressColumn_ = column;
            pressAt_ = now_;
            swallowRelease_[button] = false;
        }
        return;
    }
    if (swallowRelease_[button]) {
        // The release that ends a double click: reporting it would put a
        // click on whatever screen the double click has just opened.
        swallowRelease_[button] = false;
        return;
    }
    e.click = 1;
    if (!discardCurrent_) events_.push_back(e);
}

void TerminalInputDecoder::X10(unsigned char cb, unsigned char cx, unsigned char cy) {
    int code = cb - 32, x = cx - 32, y = cy - 32;
    if ((code & 3) == 3) {
        Mouse((code & ~3) | x10Button_, x, y, true);
        return;
    }
    if (!(code & (32 | 64 | 128))) x10Button_ = code & 3;
    Mouse(code, x, y, false);
}

void TerminalInputDecoder::Utf8Byte(unsigned char c) {
    if (state_ != State::Utf8) {
        altCharacter_ = alt_;  // the whole character is the one with Alt
        int need = (c >= 0xC2 && c <= 0xDF) ? 1 : (c >= 0xE0 && c <= 0xEF) ? 2 : (c >= 0xF0 && c <= 0xF4) ? 3 : 0;
        if (need == 0) {
            // Not the start of a UTF-8 character: a Windows-1252 byte of its own.
            Key(std::string(1, static_cast<char>(c)));
            return;
        }
        state_ = State::Utf8;
        utf8_.assign(1, static_cast<char>(c));
        utf8Need_ = need;
        return;
    }
    if ((c & 0xC0) != 0x80) {
        Utf8Broken();
        Finish();
        Byte(c);
        return;
    }
    utf8_ += static_cast<char>(c);
    if (--utf8Need_ > 0) return;

    auto lead = static_cast<unsigned char>(utf8_[0]);
    size_t len = utf8_.size();
    char32_t cp = lead & (len == 2 ? 0x1F : len == 3 ? 0x0F : 0x07);
    for (size_t i = 1; i < len; ++i) cp = (cp << 6) | (static_cast<unsigned char>(utf8_[i]) & 0x3F);
    char32_t least = len == 2 ? 0x80 : len == 3 ? 0x800 : 0x10000;
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        Utf8Broken();
    } else {
        Key(std::string(1, UnicodeToCp1252(cp)));
    }
    Finish();
}

void TerminalInputDecoder::Utf8Broken() {
    // Invalid UTF-8 is taken byte by byte as Windows-1252, as the terminal of
    // a Latin-1 system would mean it.
    std::string bytes;
    bytes.swap(utf8_);
    for (char b : bytes) Key(std::string(1, b));
}

}  // namespace pavuto::host::posix
