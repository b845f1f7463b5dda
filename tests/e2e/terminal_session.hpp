#pragma once
// What the terminal tests do with a program on the screen: wait for a
// condition or a row's text, read cells, click, and leave the program with
// Esc and "j", checking that the terminal is as it was.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

#include "e2e/terminal_emulator.hpp"

namespace pavuto::test {

class TerminalSession {
public:
    explicit TerminalSession(TerminalEmulator& term) : term_(term) {}

    bool Until(const std::function<bool()>& condition, int timeoutMs = 5000) {
        auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (true) {
            term_.Pump();
            if (condition()) return true;
            if (std::chrono::steady_clock::now() > until) return false;
            term_.Pump(20);
        }
    }
    bool RowHas(int row, const std::string& text) { return term_.ScreenText(row).find(text) != std::string::npos; }
    bool WaitRow(int row, const std::string& text, int timeoutMs = 5000) {
        return Until([&] { return RowHas(row, text); }, timeoutMs);
    }
    // The cells column ... column + count - 1 of a row, as UTF-8.
    std::string Cells(int row, int column, int count) {
        const std::string text = term_.ScreenText(row);
        std::string out;
        int cell = 1;
        for (size_t i = 0; i < text.size();) {
            size_t length = 1;
            unsigned char c = static_cast<unsigned char>(text[i]);
            if (c >= 0xF0) length = 4;
            else if (c >= 0xE0) length = 3;
            else if (c >= 0xC0) length = 2;
            if (cell >= column && cell < column + count) out += text.substr(i, length);
            i += length;
            ++cell;
        }
        return out;
    }
    bool CursorOn(int row) { return term_.CellColours(row, 3) == (TerminalEmulator::Colours{1, 7}); }
    // A double click: two clicks on one cell, quickly.
    void DoubleClick(int row, int column) {
        term_.SendClick(row, column);
        term_.SendClick(row, column);
    }
    void LeaveWithEscAndJ() {
        term_.SendKeys("\x1b");
        ASSERT_TRUE(term_.WaitForText(" Programm beenden ? J/N", 5000)) << term_.Dump();
        term_.Pump(400);  // the question discards keys typed during its first 200 ms
        term_.SendKeys("j");
        auto code = term_.WaitForExit(5000);
        ASSERT_TRUE(code.has_value()) << term_.Dump();
        EXPECT_EQ(*code, 0);
        EXPECT_TRUE(term_.TerminalRestored()) << term_.RestoreProblems();
    }

private:
    TerminalEmulator& term_;
};

}  // namespace pavuto::test
