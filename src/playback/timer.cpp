#include "playback/timer.hpp"

#include <algorithm>
#include <cmath>

#include "common/numbers.hpp"
#include "program.hpp"

namespace pavuto {

namespace {

int NowMinute(Program& p) {
    auto t = p.host.clock.Now();
    return 60 * t.hour + t.minute;
}

int BaseRow(Program& p) { return p.con.ScreenRows - 5; }

void ShowAdjustRow(Program& p) {
    int b = BaseRow(p);
    // Padded up to the "(m) ": when the minutes lose a digit (100 to 95) no
    // digit of the old number stays behind them.
    p.con.ShowAt(b + 4, 4, PadRight("(d) " + NumberText(p.timer.minutesLeft), 9));
    p.con.ShowAt(b + 4, 13, "(m) ");
}

// hyb.cmd opens the user's hibernation shortcut; an existing one is used as it is.
void WriteHibernateScript(Program& p) {
    Text path = p.settings.tempDirectory + "hyb.cmd";
    if (p.host.files.FileExists(path)) return;
    auto file = p.host.files.Open(path, host::OpenMode::Output);
    file->WriteLine("@echo off");
    file->WriteLine("\"" + p.settings.hibernateLink + "\"");
    file->Close();
}

// The machine sleeps while the program stands here; after waking up it
// waits 20 seconds more (Esc asks whether to end), then the timer runs again.
// True when the exit question was asked (and answered no).
bool WaitAfterHibernation(Program& p, TimerScreen screen, const std::function<void()>& redraw) {
    auto& con = p.con;
    auto start = p.host.clock.Now();
    long target = static_cast<long>(std::floor(start.SecondsSinceMidnight())) + 20;
    long day = start.DayNumber();
    bool asked = false;
    while (true) {
        auto now = p.host.clock.Now();
        if (static_cast<long>(std::floor(now.SecondsSinceMidnight())) >= target || now.DayNumber() != day) break;
        con.Pause(100);
        con.NoWait = 1;
        con.WaitEvent();
        if (con.KeyText == keys::Esc) {
            ConfirmExit(p);
            asked = true;
            if (redraw) redraw();
        }
    }
    con.NoWait = 0;
    ArmTimer(p);
    if (screen == TimerScreen::Player) ShowTimerMinutes(p);
    return asked;
}

}  // namespace

void ArmTimer(Program& p) {
    auto& t = p.timer;
    t.nowMinute = NowMinute(p);
    int minutes = std::clamp(ValInt(t.minutesText), 1, 360);
    t.EndMinute = t.nowMinute + minutes;
    t.minutesLeft = minutes;
}

void ShowTimerMinutes(Program& p) {
    p.con.ShowAt(BaseRow(p) + 3, 6, "Ende in");
    ShowAdjustRow(p);
}

void ShowTimerInBrowser(Program& p) {
    auto& con = p.con;
    const int column = static_cast<int>(std::nearbyint(con.ScreenColumns / 3.0));
    const long room = con.ScreenColumns - 1 - column;
    if (room <= 0) return;
    // Padded, so that a number that loses a digit leaves nothing behind.
    Text text = PadRight("Ende in" + NumberText(p.timer.minutesLeft) + " Min.", 16);
    con.ShowAt(con.ScreenRows - 2, column, Left(text, room));
}

bool TestTimer(Program& p, TimerScreen screen, const std::function<void()>& redraw) {
    auto& t = p.timer;
    if (t.TimerMode == 0) return false;
    t.nowMinute = NowMinute(p);
    t.minutesLeft = t.EndMinute - t.nowMinute;
    // 400 minutes or more left only happens when the end lies beyond
    // midnight and the clock has passed it: the timer fires at midnight.
    if (t.minutesLeft > 0 && t.minutesLeft < 400) {
        if (screen == TimerScreen::Player) ShowTimerMinutes(p);
        return false;
    }
    auto& s = p.settings;
    if (t.TimerMode == 2 && !s.hibernateLink.empty()) {
        WriteHibernateScript(p);
        ArmTimer(p);
        p.host.processes.Start(s.tempDirectory + "hyb.cmd", host::WindowStyle::Normal, false);
        return WaitAfterHibernation(p, screen, redraw);
    }
    ArmTimer(p);
    p.host.processes.Start(s.shutdownCommand, host::WindowStyle::NoActivate, false);
    if (t.TimerMode == 2) return WaitAfterHibernation(p, screen, redraw);
    EndProgram(p);
}

void AdjustTimer(Program& p, int minutes) {
    auto& t = p.timer;
    t.EndMinute += minutes;
    t.minutesLeft = t.EndMinute - t.nowMinute;
    if (t.minutesLeft <= 0) t.EndMinute = t.nowMinute + 5;
    if (t.minutesLeft >= 300) t.EndMinute = t.nowMinute + 300;
    t.minutesLeft = t.EndMinute - t.nowMinute;
    ShowAdjustRow(p);
}

Text TimerMenuText(Program& p) {
    const auto& t = p.timer;
    switch (t.TimerMode) {
        case 1: return " Shutdown  in  < " + NumberText(t.minutesLeft) + " > ";
        case 2: return " Ruhemodus in  < " + NumberText(t.minutesLeft) + " > ";
        default: return "   ---    " + Spaces(18);
    }
}

void ShowTimerMenuEntry(Program& p) { p.con.ShowAt(9, 7, "Shutdown/Ruhemodus =" + TimerMenuText(p)); }

void TimerMenuEntry(Program& p, int clickColumn) {
    auto& t = p.timer;
    auto& s = p.settings;
    // The menu arms the timer once per run, with 35 minutes; later starts
    // keep the end time it set.
    if (s.autoMode.empty() && t.menuArmed == 0) {
        t.minutesText = "35";
        ArmTimer(p);
        t.menuArmed = 1;
        t.nowMinute = NowMinute(p);
        t.minutesLeft = t.EndMinute - t.nowMinute;
    }
    if (clickColumn < 25) {
        t.TimerMode = (t.TimerMode + 1) % 3;
        // The timer runs in the internal player.
        s.mci = p.host.media.WaveOutDevices() == 0 ? 0 : 1;
    }
    bool xp = s.windowsClass == 2;
    if (t.TimerMode == 2 && xp && s.hibernateLink.empty()) t.TimerMode = 0;
    switch (t.TimerMode) {
        case 1: s.shutdownCommand = s.shutdownProgram + (xp ? " -s" : " /s"); break;
        case 2: s.shutdownCommand = s.shutdownProgram + (xp ? " -h" : " /h"); break;
        default: t.menuArmed = 0; break;
    }
    if (t.TimerMode > 0) {
        if (clickColumn >= 33 && clickColumn <= 43) t.EndMinute -= 5;
        if (clickColumn >= 49 && clickColumn <= 64) t.EndMinute += 5;
        t.minutesLeft = t.EndMinute - t.nowMinute;
        if (t.minutesLeft < 0) t.EndMinute = t.nowMinute + 5;
        if (t.minutesLeft >= 299) t.EndMinute = t.nowMinute + 300;
        t.minutesLeft = t.EndMinute - t.nowMinute;
    }
    ShowTimerMenuEntry(p);
}

}  // namespace pavuto
