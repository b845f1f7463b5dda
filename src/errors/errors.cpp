#include "errors/errors.hpp"

#include <map>

#include "common/numbers.hpp"
#include "program.hpp"

namespace pavuto {

std::string ErrorText(int number) {
    static const std::map<int, std::string> texts = {
        {0, "No Error"},
        {5, "Illegal function call"},
        {6, "Overflow"},
        {7, "Out of memory"},
        {9, "Subscript/Pointer out of range"},
        {11, "Division by zero"},
        {24, "Device timeout"},
        {51, "Internal error"},
        {52, "Bad file name or number"},
        {53, "File not found"},
        {54, "Bad file mode"},
        {55, "File is open"},
        {57, "Device I/O error"},
        {58, "File already exists"},
        {61, "Disk full"},
        {62, "Input past end"},
        {63, "Bad record number"},
        {64, "Bad file name"},
        {67, "Too many files"},
        {68, "Device unavailable"},
        {69, "Comm error"},
        {70, "Permission denied"},
        {71, "Disk not ready"},
        {72, "Disk media error"},
        {74, "Rename across disks"},
        {75, "Path/file access error"},
        {76, "Path not found"},
        {99, "Object error"},
        {241, "Global memory corrupt"},
        {242, "String space corrupt"},
    };
    auto it = texts.find(number);
    return it == texts.end() ? std::string() : it->second;
}

void WaitAfterMessage(Program& p) {
    auto& con = p.con;
    if (p.settings.autoMode.empty()) {
        con.WaitForInput();
        return;
    }
    // Endless playback runs unattended: nobody may be there to press a key.
    auto& clock = p.host.clock;
    const std::uint32_t start = clock.TickCount();
    while (clock.TickCount() - start < static_cast<std::uint32_t>(kEndlessMessageMilliseconds)) {
        con.NoWait = 1;
        con.WaitEvent();
        con.NoWait = 0;
        if (con.KeyText == keys::Esc) {
            ConfirmExit(p);
            return;
        }
        if (!con.KeyText.empty() || con.ClickKind != 0) return;
    }
}

void PrepareMessage(Program& p) {
    auto& con = p.con;
    if (con.ScreenRows > 1) {
        con.ClearMenuArea();
        con.Locate(con.ScreenRows - 3, 7);
    }
}

namespace {

// The list arrays made anew, as at start-up.
void RecreateArrays(Program& p) {
    p.window = RecordWindow{};
    p.browser.Marks.assign(RecordLimit + 1, 0);
    p.browser.MarkCounter = 1;
}

}  // namespace

Continuation GeneralHandler(Program& p, const RuntimeError& e) {
    auto& con = p.con;
    int n = e.number();
    PrepareMessage(p);
    con.Show(">>Fehler:" + PrintedNumber(n) + "," + PrintedNumber(0) + "," + ErrorText(n) + "<<", 1);
    if (n >= 52 && n <= 66) {
        WaitAfterMessage(p);
        return Continuation::Restart();
    }
    if (n == 70 || n == 75) {
        ++p.errors.retryCount;
        if (p.errors.retryCount < 50) {
            con.Pause(50);
            return Continuation::Retry();
        }
        p.errors.retryCount = 0;
        con.Show(" zur Zeit kein Zugriff..", 0);
        con.ShowAt(con.ScreenRows - 2, 7, p.player.previousName);
        WaitAfterMessage(p);
        return Continuation::Skip();
    }
    if (n == 76) {
        con.Show(" Pfad nicht gefunden ...", 0);
        WaitAfterMessage(p);
        return Continuation::Skip();
    }
    if (n == 9) {
        con.Show(" Array fehler", 0);
        WaitAfterMessage(p);
        RecreateArrays(p);
        ++p.errors.restartCount;
        if (p.errors.restartCount < 3) return Continuation::Restart();
        return Continuation::End();
    }
    if (n == 7) con.Show(" zu wenig speicher ...", 0);
    WaitAfterMessage(p);
    return Continuation::End();
}

void ArmHandler(Program& p, Handler h) { p.errors.armed = std::move(h); }

void ArmGeneralHandler(Program& p) { p.errors.armed = nullptr; }

ArmedScope::ArmedScope(Program& p, Handler h) : p_(p) { ArmHandler(p, std::move(h)); }

ArmedScope::~ArmedScope() { ArmGeneralHandler(p_); }

bool HandleError(Program& p, const RuntimeError& e) {
    Continuation c = p.errors.armed ? p.errors.armed(p, e) : GeneralHandler(p, e);
    switch (c.kind) {
        case Continuation::Kind::Retry: return true;
        case Continuation::Kind::Skip: return false;
        case Continuation::Kind::GoOn: throw GoOnAt{c.point};
        case Continuation::Kind::Restart: throw RestartProgram{};
        case Continuation::Kind::End: EndProgram(p);
    }
    return false;
}

void HandleSettledError(Program& p, const RuntimeError& e) {
    if (!HandleError(p, e)) return;
    auto& con = p.con;
    p.errors.retryCount = 0;
    con.Show(" zur Zeit kein Zugriff..", 0);
    WaitAfterMessage(p);
}

void ConfirmExit(Program& p) {
    auto& con = p.con;
    con.SetColours(con.Colours[1], con.Colours[2]);
    con.Clear();
    con.Show(" Programm beenden ? J/N", 0);
    con.Pause(200);
    con.FlushEvents();
    con.WaitForInput();
    Text answer = UCase(con.KeyText);
    if (answer == "J" || answer == "Y" || con.MouseButton == 2) {
        con.Pause(80);
        EndProgram(p);
    }
    con.KeyText.clear();
}

void EndProgram(Program& p, int exitCode) {
    if (!p.settings.autoMode.empty()) {
        for (const auto& name : p.player.workNames) {
            Text path = p.settings.tempDirectory + name;
            try {
                if (p.host.files.FileExists(path)) p.host.files.Remove(path);
            } catch (const RuntimeError&) {
                // A work copy that cannot be deleted stays; the program ends all the same.
            }
        }
    }
    throw ProgramEnd{exitCode};
}

}  // namespace pavuto

namespace pavuto {
void ResetRetryCount(Program& p) { p.errors.retryCount = 0; }
}  // namespace pavuto
