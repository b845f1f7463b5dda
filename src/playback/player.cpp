#include "playback/player.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "common/numbers.hpp"
#include "playback/timer.hpp"
#include "program.hpp"

namespace pavuto {

namespace {

constexpr std::size_t kCopyBlock = 20000;
constexpr int kPollMilliseconds = 80;  // one poll of the event routine
constexpr int kB = kPlayerRows - 5;  // the base row of the key lines

const Text kSelectionFile = "auswahlliste.m3u";

enum class Step { PlayCurrent, MainLoop, TitleEnd, PrepareNext, Ending };

// P for a title of n characters: (60 - n) / 2, a half rounded to the even number.
int CentrePadding(int n) {
    int twice = 60 - n;
    if (twice % 2 == 0) return twice / 2;
    int down = twice / 2;
    return down % 2 == 0 ? down : down + 1;
}

bool InRange(int v, int low, int high) { return v >= low && v <= high; }

class Player {
public:
    explicit Player(Program& p) : p_(p), con_(p.con), pl_(p.player), fs_(p.host.files), media_(p.host.media) {}

    void Run() {
        try {
            Step step = Start();
            while (step != Step::Ending) {
                switch (step) {
                    case Step::PlayCurrent: step = PlayCurrent(); break;
                    case Step::MainLoop: step = MainLoopPass(); break;
                    case Step::TitleEnd: step = TitleEnd(); break;
                    case Step::PrepareNext: step = PrepareNext(); break;
                    case Step::Ending: break;
                }
            }
        } catch (...) {
            // An error (or the program end) leaves the player: the title
            // stops, and rows and directory are those of the browser again.
            LeaveAfterError();
            throw;
        }
        Ending();
    }

private:
    // ---- commands --------------------------------------------------------

    Text A() const { return AliasText(pl_.alias); }

    int Send(const Text& command) {
        std::string result;
        return media_.Send(command, result);
    }

    // The length is read as a number even when the query fails.
    double Length() {
        std::string result;
        media_.Send("status " + A() + " length", result);
        return Val(result);
    }

    double Position() {
        std::string result;
        int rc = media_.Send("status " + A() + " position", result);
        return rc == 0 ? Val(result) : 0;
    }

    void SendVolume(int v) { Send("setaudio " + A() + " volume to" + NumberText(v)); }

    void StopAndClose() {
        Send("stop " + A());
        Send("close " + A());
        pl_.alias = 0;
    }

    // ---- screen ----------------------------------------------------------

    void Status(const Text& text) { con_.ShowAt(3, 40, text); }

    // The column of the closing "<" and the room for the line before it:
    // column 77 where the window is wide enough, else just inside the frame,
    // the line cut so that it neither wraps nor runs under the "<".
    int CloseColumn() const { return con_.ScreenColumns >= 78 ? 77 : con_.ScreenColumns - 2; }

    void LineWithClose(int row, int column, Text line) {
        int close = CloseColumn();
        long room = close - column;
        if (room < 0) room = 0;
        if (static_cast<long>(line.size()) > room) line = Left(line, room);
        con_.ShowAt(row, column, line);
        if (close >= 1) con_.RawAt(row, close, "<");
    }

    void TitleLine(int row, const Text& label, const Text& path) { LineWithClose(row, 4, label + CentredTitle(path)); }

    void TimeLine(double seconds, const char* minutesWord, const char* tail) {
        double m = std::floor(seconds / 60);
        double s = seconds - 60 * m;
        con_.ShowAt(3, 7, "noch " + PrintedNumber(m) + minutesWord + PrintedNumber(s) + tail);
    }

    void VolumeLines() {
        con_.ShowAt(kB + 1, 5, "Lautst\xE4rke");
        con_.ShowAt(kB + 2, 4, "(-) " + NumberText(pl_.Volume / 100.0) + "  ");
        con_.ShowAt(kB + 2, 13, "(+)");
    }

    void KeyLines() {
        for (int r = 13; r <= 16; ++r) con_.ShowAt(r, 5, Spaces(con_.ScreenColumns - 11));
        con_.ShowAt(kB + 1, 18, PadRight("zum Titel '(v)orher'", 53));
        con_.ShowAt(kB + 2, 18, "zum Titel '(g)leich'   (R)ew  (P)ause  (P)lay   (F)wd");
        con_.ShowAt(kB + 3, 18, Spaces(25) + "<<" + Spaces(6) + "II" + Spaces(7) + ">" + Spaces(7) + ">>" + Spaces(1));
        con_.ShowAt(kB + 4, 18, PadRight("(\xFC)bergehen 'gleich'", 53));
    }

    // The whole screen anew: the exit question after a hibernation cleared it.
    void RedrawScreen() {
        con_.SetColours(con_.Colours[1], con_.Colours[2]);
        con_.Clear();
        DrawPlayerFrames(p_);
        KeyLines();
        VolumeLines();
        if (pl_.skipFlag != 2) {
            TitleLine(5, "vorher >  ", pl_.previousName);
            if (pl_.shownName != pl_.previousName) TitleLine(7, "jetzt >>> ", pl_.shownName);
        }
        TitleLine(9, "gleich >  ", pl_.nextName);
        ShowTimerMinutes(p_);
    }

    // The timer's test; its wait after a hibernation may ask whether to end,
    // and a "no" brings the player's screen back at once.
    void CheckTimer() { TestTimer(p_, TimerScreen::Player, [this] { RedrawScreen(); }); }

    // ---- events ----------------------------------------------------------

    void Poll() {
        con_.NoWait = 1;
        con_.WaitEvent();
    }

    int ClickRow() const { return con_.MouseRow + 1; }
    bool Clicked() const { return con_.ClickKind == 1 || con_.ClickKind == 2; }

    // The areas of a single click: volume and timer.
    Text ClickLetter(int row, int column) const {
        if (row == kB + 2 && InRange(column, 3, 7)) return "-";
        if (row == kB + 2 && InRange(column, 9, 16)) return "+";
        if (row == kB + 4 && InRange(column, 3, 7)) return "D";
        if (row == kB + 4 && InRange(column, 9, 16)) return "M";
        return "";
    }

    Text CommandLetter() const {
        int row = ClickRow(), column = con_.MouseColumn;
        if (con_.ClickKind == 2 && con_.MouseButton == 2) return keys::Esc;
        if (con_.ClickKind == 2 && con_.MouseButton == 1) {
            if (InRange(column, 1, 15)) return ClickLetter(row, column);
            if (row < kB + 1) return "";
            if (InRange(column, 18, 38)) {
                if (row == kB + 1) return "V";
                if (row == kB + 2) return "G";
                if (row == kB + 4) return "U";
                return "";
            }
            if (InRange(column, 40, 47)) return "R";
            if (InRange(column, 48, 55)) return "P";
            if (InRange(column, 65, 71)) return "F";
            return "";
        }
        const Text& key = con_.KeyText;
        if (!key.empty()) {
            if (key == keys::Esc) return key;
            if (key == "\xDC" || key == "\xFC" || key == "\x81" || key == "\x9A") return "U";
            return UCase(key);
        }
        if (con_.ClickKind == 1) return ClickLetter(row, column);
        return "";
    }

    // ---- work copies -----------------------------------------------------

    Text Slot(int slot) const { return WorkCopyPath(p_, slot); }
    bool SlotExists(int slot) { return fs_.FileExists(Slot(slot)); }
    void RemoveSlot(int slot) {
        if (SlotExists(slot)) fs_.Remove(Slot(slot));
    }

    // 20000 bytes at a time; while the next title is copied, one pending key
    // is read and thrown away after each block.
    void CopyTitle(const Text& from, int slot, bool discardKeys) {
        auto in = fs_.Open(from, host::OpenMode::Input);
        auto out = fs_.Open(Slot(slot), host::OpenMode::Output);
        std::uint64_t offset = 0;
        while (true) {
            std::string block = in->ReadAt(offset, kCopyBlock);
            if (block.empty()) break;
            out->Write(block);
            offset += block.size();
            if (discardKeys) {
                host::InputEvent e;
                con_.out.ReadEvent(e);
            }
            if (block.size() < kCopyBlock) break;
        }
        out->Close();
        in->Close();
    }

    // ---- fading ----------------------------------------------------------

    void FadeOut(int step, int pause) {
        Status("Fade out...");
        for (int v = pl_.Volume; v >= 1; v -= step) {
            SendVolume(v);
            con_.Pause(pause);
        }
    }

    Step Resume(double position) {
        Send("seek " + A() + " to" + NumberText(position));
        Send(position != 0 ? "play " + A() + " repeat" : "play " + A());
        playTick_ = p_.host.clock.TickCount();
        Status("Fade in...  ");
        for (int v = 1; v <= pl_.Volume; v += 120) {
            SendVolume(v);
            con_.Pause(300);
        }
        Status(Spaces(12));
        con_.FlushEvents();
        return Step::MainLoop;
    }

    // ---- the steps -------------------------------------------------------

    Step Start() {
        auto& s = p_.settings;
        savedRows_ = con_.ScreenRows;
        con_.ScreenRows = kPlayerRows;
        pl_.lastCommand.clear();
        pl_.skipFlag = 0;
        pl_.startCounter = std::min(3, pl_.startCounter + 1);
        if (s.foreground == 1 || pl_.startCounter < 2) {
            con_.out.Show(host::WindowShow::Minimised);
            con_.out.SetSize(kPlayerRows, con_.ScreenColumns);
            con_.out.Show(host::WindowShow::Normal);
        }
        const Text& ext = s.listExtension;
        pl_.workNames = {"0vorher" + ext, "0jetzt" + ext, "0gleich" + ext};

        con_.SetColours(con_.Colours[1], con_.Colours[2]);
        con_.Clear();
        DrawPlayerFrames(p_);

        savedDrive_ = fs_.CurrentDrive();
        savedDirectory_ = fs_.CurrentDirectory();
        changedDirectory_ = true;
        Text temp = s.tempDirectory;
        if (temp.size() > 3 && EndsWith(temp, "\\")) temp.pop_back();
        if (temp.size() >= 2 && temp[1] == ':') fs_.ChangeDrive(Left(temp, 2));
        if (!temp.empty()) fs_.ChangeDirectory(temp);

        if (media_.WaveOutDevices() == 0) {
            con_.Locate(3, 7);
            con_.ShowLine("No sound device found!");
            for (int i = 0; i < 5; ++i) {
                con_.Beep();
                con_.Pause(1000);
            }
            return Step::Ending;
        }
        for (int slot : {PreviousSlot, CurrentSlot, NextSlot}) RemoveSlot(slot);

        Text selection = s.tempDirectory + kSelectionFile;
        if (!fs_.FileExists(selection)) return Step::Ending;
        {
            auto file = fs_.Open(selection, host::OpenMode::Input);
            Text first;
            bool any = file->ReadLine(first);
            file->Close();
            if (!any || first.empty()) return Step::Ending;
            pl_.nextName = first;
        }
        Status(">bitte warten<");
        con_.Present();  // stands while the first title is copied
        pl_.currentName = pl_.nextName;
        CopyTitle(pl_.currentName, CurrentSlot, false);
        return Step::PlayCurrent;
    }

    Step PlayCurrent() {
        pl_.alias = p_.host.clock.TickCount();
        Text a = A();
        std::string shortPath;
        bool opened = false;
        if (media_.ShortPath(pl_.workNames[CurrentSlot], shortPath)) {
            int rc = Send("open " + shortPath + " type MPEGVideo alias " + a);
            Send("set " + a + " time format ms");
            opened = rc == 0;
        }
        if (!opened) {
            pl_.alias = 0;
            con_.LineEnd();
            con_.Show("     -- Can't open file! --");
            for (int i = 0; i < 3; ++i) {
                con_.Beep();
                con_.Pause(1000);
            }
            return Step::Ending;
        }
        pl_.wrapCount = 0;
        SendVolume(pl_.Volume);
        Send("play " + A());
        playTick_ = p_.host.clock.TickCount();
        con_.Pause(800);
        KeyLines();
        return Step::MainLoop;
    }

    Step MainLoopPass() {
        Status(Spaces(14));
        // A command read while the title before ended is this title's.
        Text c = std::exchange(carried_, Text());
        if (c.empty()) {
            Poll();
            c = CommandLetter();
        }
        if (!c.empty()) pl_.lastCommand = c;
        if (c == keys::Esc) return EscAction();
        if (c == "P") return PauseAction();
        if (c == "R" || c == "F") return Scan(c == "F");
        if (c == "V" && SlotExists(PreviousSlot)) {
            FadeOut(70, 300);
            Status(Spaces(14));
            StopAndClose();
            RemoveSlot(NextSlot);
            fs_.Rename(Slot(CurrentSlot), Slot(NextSlot));
            fs_.Rename(Slot(PreviousSlot), Slot(CurrentSlot));
            pl_.nextName = pl_.currentName;
            pl_.currentName = pl_.shownName = pl_.previousName;
            pl_.previousName.clear();
            con_.FlushEvents();
            return Step::PlayCurrent;
        }
        if (c == "G") {
            FadeOut(70, 300);
            Status(Spaces(14));
            con_.FlushEvents();
            // Right after a title started the next one is not copied yet:
            // it is copied now, so that "g" goes on with it.
            if (!SlotExists(NextSlot) && !pl_.nextName.empty()) PrepareNextSlot();
            return Step::TitleEnd;
        }
        if (c == "U") {
            RemoveSlot(NextSlot);
            con_.FlushEvents();
            pl_.skipFlag = 2;
            return Step::PrepareNext;
        }
        if ((c == "D" || c == "M") && p_.timer.TimerMode > 0) AdjustTimer(p_, c == "D" ? -5 : 5);
        if (c == "+") {
            pl_.Volume = std::min(999, pl_.Volume + 50);
            SendVolume(pl_.Volume);
        }
        if (c == "-") {
            pl_.Volume -= 50;
            if (pl_.Volume == 949) pl_.Volume = 950;
            pl_.Volume = std::max(50, pl_.Volume);
            SendVolume(pl_.Volume);
        }

        double length = Length();
        double position = Position();
        double seconds = std::floor(std::fabs(position - length) / 1000);
        TimeLine(seconds, " Min. ", " Sec.    ");
        VolumeLines();
        if (pl_.skipFlag != 2) {
            TitleLine(5, "vorher >  ", pl_.previousName);
            if (pl_.shownName != pl_.previousName) TitleLine(7, "jetzt >>> ", pl_.shownName);
        }
        TitleLine(9, "gleich >  ", pl_.nextName);

        if (!SlotExists(NextSlot) && !pl_.nextName.empty()) {
            con_.Pause(200);
            return Step::PrepareNext;
        }
        if (seconds > 1) {
            // A looping title has wrapped to its start when two polls find it
            // below 600 ms. Right after a play or resume from near the start
            // the position is low for another reason and does not count.
            if (Position() < 600 && p_.host.clock.TickCount() - playTick_ >= 600) {
                ++pl_.wrapCount;
                if (pl_.wrapCount > 1) return Step::TitleEnd;
            }
            con_.Pause(50);
            return Step::MainLoop;
        }
        length = Length();
        position = Position();
        double rest = std::fabs(position - length);
        con_.ShowAt(3, 7, "noch -- Minuten   --  Sek.  ");
        Status(">bitte warten<");
        // At most the last two seconds are left here; a device that answers
        // nonsense does not make the player wait for ever.
        rest = std::min(rest, 2000.0);
        if (rest > 0) return FinalWait(static_cast<int>(100 * std::floor(rest / 100) + 50));
        return Step::TitleEnd;
    }

    // The wait for the last second or two of a title, listening: "g" goes on
    // to the next title at once and Esc stops at once. Any other command is
    // kept for the first pass of the next title, where it was read before.
    Step FinalWait(int milliseconds) {
        auto& clock = p_.host.clock;
        const std::uint32_t start = clock.TickCount();
        while (true) {
            const long left = milliseconds - static_cast<long>(clock.TickCount() - start);
            if (left <= 0) break;
            con_.Pause(static_cast<int>(std::min<long>(left, kPollMilliseconds)));
            if (!carried_.empty()) continue;
            con_.PollEvent();
            Text c = CommandLetter();
            if (c.empty()) continue;
            if (c == keys::Esc) return EscAction();
            if (c == "G") {
                pl_.lastCommand = c;
                con_.FlushEvents();
                break;
            }
            carried_ = c;
        }
        return Step::TitleEnd;
    }

    Step EscAction() {
        pl_.lastCommand = keys::Esc;
        FadeOut(100, 300);
        Status(Spaces(12));
        StopAndClose();
        return Step::Ending;
    }

    Step PauseAction() {
        // Where this title stands now: a position read before may belong to
        // the title before it or to the start of a scan.
        double resumeAt = Position();
        FadeOut(100, 300);
        Send("stop " + A());
        while (true) {
            Status(pl_.blinkFlag == 1 ? ">> Pause <<" : "<< Pause >>");
            pl_.blinkFlag = 1 - pl_.blinkFlag;
            for (int i = 0; i < 10; ++i) {
                con_.FlushEvents();
                Poll();
                if (con_.KeyText == keys::Esc) return EscAction();
                if (con_.KeyText == " ") return Resume(resumeAt);
                if (Clicked() && InRange(ClickRow(), kB + 2, 16) && InRange(con_.MouseColumn, 49, 63)) {
                    Send("stop " + A());
                    return Resume(resumeAt);
                }
            }
        }
    }

    Step Scan(bool forward) {
        FadeOut(120, 100);
        Status(Spaces(14));
        Send("stop " + A());
        double length = Length();
        double position = Position();
        while (true) {
            con_.FlushEvents();
            if (position < 1) {
                con_.FlushEvents();
                return Resume(1);
            }
            if (position > length - 5000) {
                // A title shorter than 5 seconds resumes at its start, not
                // before it.
                position = std::max(1.0, length - 5000);
                con_.FlushEvents();
                return Resume(position);
            }
            TimeLine(std::floor((length - position) / 1000), " Minuten ", " Sec.  ");
            Poll();
            Text key = UCase(con_.KeyText);
            if (Clicked() && InRange(ClickRow(), kB + 2, 16) && InRange(con_.MouseColumn, 57, 63))
                return Resume(position);
            position += forward ? 6000 : -6000;
            con_.Pause(50);
            if (key == "P") return Resume(position);
        }
    }

    Step TitleEnd() {
        Status(">bitte warten<");
        StopAndClose();
        CheckTimer();
        if (!SlotExists(NextSlot)) return Step::Ending;
        TitleLine(5, "vorher >  ", pl_.shownName);
        TitleLine(7, "jetzt  >  ", pl_.nextName);
        RemoveSlot(PreviousSlot);
        if (SlotExists(CurrentSlot)) {
            fs_.Rename(Slot(CurrentSlot), Slot(PreviousSlot));
            pl_.previousName = pl_.shownName;
            if (pl_.skipFlag == 2) {
                RemoveSlot(PreviousSlot);
                pl_.previousName.clear();
            }
        }
        if (SlotExists(NextSlot)) {
            fs_.Rename(Slot(NextSlot), Slot(CurrentSlot));
            pl_.currentName = pl_.nextName;
        }
        if (!SlotExists(CurrentSlot)) return Step::Ending;
        pl_.skipFlag = 0;
        return Step::PlayCurrent;
    }

    Step PrepareNext() {
        PrepareNextSlot();
        return Step::MainLoop;
    }

    // Reads the title after the next name and copies it into the next slot;
    // without one the next name becomes empty.
    void PrepareNextSlot() {
        CheckTimer();
        if (p_.settings.foreground == 1) {
            con_.out.Show(host::WindowShow::Minimised);
            con_.Pause(20);
            con_.out.Show(host::WindowShow::Normal);
        }
        // The title after the line that names the next title.
        auto file = fs_.Open(p_.settings.tempDirectory + kSelectionFile, host::OpenMode::Input);
        Text line;
        bool found = false, haveNext = false;
        while (file->ReadLine(line)) {
            if (line == pl_.nextName) {
                pl_.shownName = line;
                found = true;
                break;
            }
        }
        if (found) {
            while (file->ReadLine(line)) {
                if (!line.empty()) {
                    haveNext = true;
                    break;
                }
            }
        }
        file->Close();
        if (!haveNext) {
            pl_.nextName.clear();
            return;
        }
        pl_.nextName = line;
        Status(">bitte warten<");
        LineWithClose(9, 16, Spaces(15) + "(Bereite n\xE4" "chsten Titel vor)" + Spaces(20));
        con_.Present();
        CopyTitle(pl_.nextName, NextSlot, true);
        con_.KeyText.clear();
        con_.ClickKind = 0;
        con_.MouseButton = 0;
    }

    void RestoreDirectory() {
        if (!changedDirectory_) return;
        changedDirectory_ = false;
        fs_.ChangeDrive(savedDrive_);
        fs_.ChangeDirectory(savedDirectory_);
    }

    // In interactive mode the browser gets its own row count back. Endless
    // playback leaves the window alone after the first start: the console
    // keeps the player's 17 rows, and the program takes them as its own, so
    // that the messages between two rounds stand where they can be read.
    void RestoreRows() {
        if (!p_.settings.autoMode.empty()) {
            con_.TakeConsoleRows();
            return;
        }
        con_.ScreenRows = savedRows_;
        if (con_.out.Rows() != con_.ScreenRows && con_.ScreenRows > 0 && con_.ScreenColumns > 0)
            con_.out.SetSize(con_.ScreenRows, con_.ScreenColumns);
    }

    void Ending() {
        RestoreRows();
        if (!p_.settings.autoMode.empty() && pl_.lastCommand == keys::Esc) EndProgram(p_);
        RestoreDirectory();
        pl_.previousName.clear();
        pl_.currentName.clear();
        pl_.nextName.clear();
        pl_.shownName.clear();
        if (pl_.redrawBrowser) pl_.redrawBrowser(p_);
    }

    void LeaveAfterError() {
        try {
            if (pl_.alias != 0) StopAndClose();
            if (savedRows_ > 0) RestoreRows();
            RestoreDirectory();
        } catch (...) {
            // Leaving as far as it goes; the first error is the one reported.
        }
    }

    Program& p_;
    ConsoleLayer& con_;
    PlayerState& pl_;
    host::FileSystem& fs_;
    host::Media& media_;
    int savedRows_ = 0;
    Text savedDrive_, savedDirectory_;
    bool changedDirectory_ = false;
    std::uint32_t playTick_ = 0;
    Text carried_;  // a command read in the final wait of the title before
};

}  // namespace

Text CentredTitle(const Text& path) {
    long slash = InstrRev(path, "\\");
    Text name = slash > 0 ? Mid(path, slash + 1) : path;
    name = Left(name, static_cast<long>(name.size()) - 4);
    name = Left(name, 55);
    int pad = CentrePadding(static_cast<int>(name.size()));
    return Spaces(pad) + name + Spaces(pad);
}

Text AliasText(std::uint32_t alias) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08X", static_cast<unsigned>(alias));
    return buf;
}

Text WorkCopyPath(const Program& p, int slot) {
    return p.settings.tempDirectory + p.player.workNames[static_cast<std::size_t>(slot)];
}

void DrawPlayerFrames(Program& p) {
    // The browser's frames without title box and scroll zone.
    p.con.DrawListBox(4);
    p.con.DrawMenuBox();
    p.browser.scrollZone = false;
    p.con.KeyText.clear();
}

void PlaySelection(Program& p) { Player(p).Run(); }

}  // namespace pavuto
