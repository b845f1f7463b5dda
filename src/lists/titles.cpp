#include "lists/titles.hpp"

#include <algorithm>
#include <vector>

#include "common/numbers.hpp"
#include "config/list_config.hpp"
#include "errors/errors.hpp"
#include "lists/directory_reader.hpp"
#include "lists/list_file.hpp"
#include "lists/performer.hpp"
#include "lists/sort.hpp"
#include "program.hpp"

namespace pavuto {

namespace {

using host::OpenMode;

const Text kNumberless = "_ohne Nr.";
const Text kPerformerSuffix = " Interpreten.pavuto";
const Text kListExtension = ".pavuto";
const Text kTempConfiguration = "[tmp].config";
const Text kCannotRename = "umbenennen nicht m\xF6glich.";

bool IsStripped(char c) { return c == ' ' || c == '_'; }
bool IsNumberCharacter(char c) { return c >= 47 && c <= 58; }  // "/", "0" ... "9", ":"

Text ListExtensionOf(Program& p) {
    return p.listConfig.extension.empty() ? p.settings.listExtension : p.listConfig.extension;
}

// The text from the last "." on, "" without one.
Text ExtensionOf(const Text& name) {
    long dot = InstrRev(name, ".");
    return dot > 0 ? Mid(name, dot) : Text();
}

Text WithoutExtension(const Text& name) {
    long dot = InstrRev(name, ".");
    return dot > 0 ? Left(name, dot - 1) : name;
}

// "<name>" of "<name>.pavuto" ("" when the path names no list).
Text ListBase(const Text& listFile) {
    long pos = InstrRev(LCase(listFile), kListExtension);
    return pos > 0 ? Left(listFile, pos - 1) : Text();
}

int MarkOf(Program& p, int record) {
    if (record < 1 || record > RecordLimit) return 0;
    return p.browser.Marks[static_cast<std::size_t>(record)];
}

void WaitKey(Program& p) { p.con.WaitForInput(); }

// A message at the usual place (row R - 3, column 7 after clearing the
// bottom rows), then a key.
void Tell(Program& p, const Text& text) {
    PrepareMessage(p);
    p.con.Show(text, 0);
    WaitKey(p);
}

// ---- the handlers ---------------------------------------------------------

// Renaming a file: the message, 3 seconds, and the options menu is left.
Continuation RenameHandler(Program& p, const RuntimeError& e) {
    PrepareMessage(p);
    p.con.Show(kCannotRename + ErrorText(e.number()), 1);
    p.con.Pause(3000);
    return Continuation::GoOn(Point::OptionsMenu);
}

// The renaming pass: the running count, the number and the text of the
// failure at row R - 8, and on with the next file.
Continuation RenamePassHandler(Program& p, const RuntimeError& e) {
    auto& con = p.con;
    ++p.errors.renameErrorCount;
    con.Locate(con.ScreenRows - 8, 7);
    con.PrintNumber(p.errors.renameErrorCount);
    p.con.TabToNextZone();
    con.PrintNumber(e.number());
    p.con.TabToNextZone();
    con.Show(ErrorText(e.number()), 0);
    return Continuation::Skip();
}

Handler Renaming() { return [](Program& p, const RuntimeError& e) { return RenameHandler(p, e); }; }
Handler RenamingPass() { return [](Program& p, const RuntimeError& e) { return RenamePassHandler(p, e); }; }

// Removes a file when it is there; a failure leaves it (the caller's own
// failure is the one to report).
void RemoveQuietly(host::FileSystem& fs, const Text& path) {
    try {
        if (fs.FileExists(path)) fs.Remove(path);
    } catch (const RuntimeError&) {
    }
}

}  // namespace

// ---- rules ------------------------------------------------------------------

bool StripLeadingNumber(const Text& record, Text& result, int& removed) {
    std::size_t at = 0;
    if (at < record.size() && IsStripped(record[at])) ++at;
    while (at < record.size() && IsNumberCharacter(record[at])) ++at;
    if (at < record.size() && IsStripped(record[at])) ++at;
    removed = static_cast<int>(at);
    result = record;
    if (at == 0) return true;
    const Text stripped = record.substr(at);
    long gt = Instr(stripped, ">");
    if (gt == 0) return false;
    // None of the removed characters is a ">": the directory field of the
    // record starts at its first ">".
    result = Left(stripped, gt - 1) + Spaces(removed) + Mid(record, Instr(record, ">"));
    return true;
}

// ---- the numberless list ----------------------------------------------------

void MakeNumberlessList(Program& p) {
    auto& con = p.con;
    auto& b = p.browser;
    auto& w = p.window;
    auto& fs = p.files();
    const Text list = b.CurrentListFile;
    if (b.ListOpen != 1 || ContainsNoCase(list, kPerformerSuffix)) return;
    const Text base = ListBase(list);
    if (base.empty()) return;

    con.Clear();
    con.Locate(5, 7);
    if (ContainsNoCase(list, kNumberless)) {
        con.Show("Dies ist eine bearbeitete Datei.", 0);
        WaitKey(p);
        return;
    }
    con.ShowAt(5, 7, "Haben sie Dateien die nicht umbenannt werden sollen markiert ?  Ja/Yes");
    con.ShowAt(6, 7, "(Titel die mit Zahlen oder Space beginnen und auch so bleiben sollen.)");
    con.WaitForInput();
    if (con.KeyText == keys::Esc || con.MouseButton == 2) return;
    const Text answer = UCase(con.KeyText);
    const bool click = con.KeyText.empty() && con.ClickKind != 0;
    if (!(answer == "J" || answer == "Y" || (click && con.MouseRow == 6))) return;

    const Text numberless = base + kNumberless + "pavuto";
    const Text numbersFile = base + kNumberless + "tmp";
    bool made = false;
    std::vector<int> numbers;
    int count = 0;
    try {
        // The old numberless list and its record numbers go together.
        if (!Attempt(p, [&] {
                if (fs.FileExists(numbersFile)) fs.Remove(numbersFile);
                if (fs.FileExists(numberless)) fs.Remove(numberless);
            }))
            return;
        if (!Attempt(p, [&] {
                const int N = MeasureListFile(p, list).recordCount;
                count = 0;
                auto in = fs.Open(list, OpenMode::Input);
                host::WriteReplacing(fs, numberless, [&](host::File& out) {
                    Text record;
                    for (int r = 1; r <= N && in->ReadLine(record); ++r) {
                        Text line = record;
                        if (MarkOf(p, r) < 1) {
                            int removed = 0;
                            if (!StripLeadingNumber(record, line, removed)) {
                                con.LineEnd();
                                con.Locate(con.out.CursorRow(), 7);
                                con.Show(" >> Fehlerhafte daten in '" + list + "'", 0);
                                WaitKey(p);
                            }
                        }
                        out.WriteLine(line);
                        ++count;
                    }
                });
                in->Close();
            }))
            return;
        made = true;

        con.LineEnd();
        con.Locate(con.out.CursorRow(), 7);
        con.Show("  Sortiere ... bitte warten ...                        ", 0);
        con.Present();
        numbers.resize(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) numbers[static_cast<std::size_t>(i)] = i + 1;
        int sorted = 0;
        if (!Attempt(p, [&] {
                std::vector<int> work = numbers;
                sorted = SortListFile(p, numberless, &work);
                numbers = std::move(work);
            }) ||
            !Attempt(p, [&] {
                host::WriteReplacing(fs, numbersFile, [&](host::File& out) {
                    for (int n : numbers) out.WriteLine(PrintedNumber(n));
                });
            })) {
            RemoveQuietly(fs, numberless);
            return;
        }
        con.ShowAt(con.ScreenRows - 1, 7, "Fertig > " + PrintedNumber(sorted) + " Eintr\xE4ge.                ");
    } catch (...) {
        // A list whose record numbers were not written is no numberless list.
        if (made) {
            RemoveQuietly(fs, numbersFile);
            RemoveQuietly(fs, numberless);
        }
        throw;
    }

    w.numbersStripped = true;
    b.CurrentListFile = numberless;
    b.PageTop = 1;
    b.CursorOffset = 0;
    std::fill(b.Marks.begin(), b.Marks.end(), 0);
    b.MarkCounter = 1;
    w.ListDisplay = 0;
    std::fill(w.Titles.begin(), w.Titles.end(), kEmptySlot);
    for (auto& d : w.Directories) d.clear();
    w.FirstRecord = 1;
    Attempt(p, [&] { LoadWindow(p); });
}

bool NumberlessRenamingOffered(Program& p) {
    return p.window.numbersStripped || Instr(p.browser.CurrentListFile, "ohne Nr.") > 0;
}

// ---- renaming to the numberless titles ------------------------------------------

int RenameToNumberlessTitles(Program& p) {
    auto& con = p.con;
    auto& w = p.window;
    auto& fs = p.files();
    const Text numberless = p.browser.CurrentListFile;
    long pos = Instr(LCase(numberless), "_ohne nr.pavuto");
    if (pos == 0) return 0;
    const Text numbersFile = Left(numberless, pos + 7) + ".tmp";
    const Text baseList = Left(numberless, pos - 1) + Mid(numberless, pos + 8);
    const Text extension = ListExtensionOf(p);

    con.Clear();
    con.Locate(5, 7);
    int records = 0;
    std::vector<int> numbers;
    bool ready = Attempt(p, [&] {
        records = MeasureListFile(p, numberless).recordCount;
        numbers.assign(static_cast<std::size_t>(records), 0);
        auto in = fs.Open(numbersFile, OpenMode::Input);
        Text line;
        for (int k = 0; k < records && in->ReadLine(line); ++k) numbers[static_cast<std::size_t>(k)] = ValInt(line);
        in->Close();
    });
    if (!ready) return 0;
    ReadSearchPaths(p, ListConfigurationFor(p, baseList));

    p.errors.renameErrorCount = 0;
    bool changed = false;
    std::unique_ptr<host::File> own, basef;
    ListMeasure baseMeasure;
    int L = 0;
    if (!Attempt(p, [&] {
            L = MeasureListFile(p, numberless).recordLength;
            own = fs.Open(numberless, OpenMode::Input);
            baseMeasure = MeasureListFile(p, baseList);
            basef = fs.Open(baseList, OpenMode::Input);
        }))
        return 0;
    const int BL = baseMeasure.recordLength;
    {
        ArmedScope scope(p, RenamingPass());
        for (int k = 1; k <= records; ++k) {
            // The new title: record k of the numberless list; the old title
            // and the directory: record n(k) of the base list.
            const int n = numbers[static_cast<std::size_t>(k - 1)];
            Text record, old;
            if (!Attempt(p, [&] {
                    record = own->ReadAt(static_cast<std::uint64_t>(k - 1) * static_cast<std::uint64_t>(L),
                                         static_cast<std::size_t>(std::max(0, L - 2)));
                    old.clear();
                    if (n >= 1 && n <= baseMeasure.recordCount && BL > 2)
                        old = basef->ReadAt(static_cast<std::uint64_t>(n - 1) * static_cast<std::uint64_t>(BL),
                                            static_cast<std::size_t>(BL - 2));
                }))
                continue;
            long gt = Instr(record, ">");
            if (gt == 0) {
                Tell(p, "Datenfehler in " + numberless);
                continue;
            }
            const Text newTitle = RTrim(Left(record, gt - 1));
            if (newTitle.empty()) {
                Tell(p, "   leerer Datensatz ? >" + newTitle + "<");
                continue;
            }
            if (old.empty()) {
                Tell(p, " Datenfehler !");
                continue;
            }
            long ogt = Instr(old, ">");
            if (ogt == 0) {
                Tell(p, " Pfad path$ nicht gefunden.");
                continue;
            }
            long olt = Instr(old, "<", ogt + 1);
            const Text directory = olt > 0 ? Mid(old, ogt + 1, olt - ogt - 1) : Mid(old, ogt + 1);
            const Text oldTitle = RTrim(Left(old, ogt - 1));
            if (oldTitle.empty()) {
                Tell(p, "   leerer Datensatz? >" + oldTitle + "<");
                continue;
            }
            const Text needle = UCase("\\" + directory + "\\");
            Text found;
            for (int j = 1; j <= w.SearchPathCount && found.empty(); ++j) {
                const Text& path = w.SearchPaths[static_cast<std::size_t>(j)];
                if (Instr(UCase(path), needle) > 0 && fs.FileExists(path + oldTitle + extension)) found = path;
            }
            if (found.empty() || newTitle == oldTitle) continue;
            Attempt(p, [&] {
                // A title that would name another directory renames nothing.
                if (!IsPlainFileName(newTitle + extension)) throw RuntimeError(err::BadFileName);
                fs.Rename(found + oldTitle + extension, found + newTitle + extension);
                changed = true;
            });
        }
    }
    own->Close();
    basef->Close();

    con.Clear();
    const int failures = p.errors.renameErrorCount;
    if (failures > 0)
        con.ShowAt(10, 7, "Es sind " + PrintedNumber(failures) + " Dateien wegen Fehler nicht umbenannt worden.");
    con.ShowAt(12, 7, NumberText(records - failures) + " entsprechen jetzt der gew\xFCnschten Bezeichnungen.");
    con.ShowAt(14, 7, "Bitte aktualisieren sie jetzt die Listen die diese St\xFC" "cke enthalten.");
    WaitKey(p);
    return changed ? -5 : 0;
}

// ---- renaming the selected record ---------------------------------------------

namespace {

// Reads the new name at (row, 6): the first key, echoed, and the rest of the
// line. False when the first event is a click, Enter or Esc.
bool ReadNewName(Program& p, int row, Text& name) {
    auto& con = p.con;
    con.ShowAt(row, 6, "_");
    con.WaitForInput();
    const Text key = con.KeyText;
    if (key.empty() || key == keys::Enter || key == keys::Esc) return false;
    con.ShowAt(row, 6, key);
    name = key + con.InputLine();
    return true;
}

void CheckPlainName(const Text& name) {
    if (!IsPlainFileName(name)) throw RuntimeError(err::BadFileName);
}

void RenameInListView(Program& p, int slot) {
    auto& con = p.con;
    auto& w = p.window;
    auto& fs = p.files();
    const Text title = w.Titles[static_cast<std::size_t>(slot)];
    const Text directory = w.Directories[static_cast<std::size_t>(slot)];
    const Text extension = ListExtensionOf(p);
    const Text needle = UCase("\\" + directory + "\\");
    auto matches = [&](int j) { return Instr(UCase(w.SearchPaths[static_cast<std::size_t>(j)]), needle) > 0; };

    Text folder, fileName;
    int swap = 0;
    if (!ContainsNoCase(p.browser.CurrentListFile, kPerformerSuffix)) {
        for (int j = 1; j <= w.SearchPathCount && folder.empty(); ++j) {
            const Text& path = w.SearchPaths[static_cast<std::size_t>(j)];
            if (matches(j) && fs.FileExists(path + title + extension)) {
                folder = path;
                fileName = title + extension;
            }
        }
    }
    if (folder.empty()) {
        std::vector<Text> names = UnswappedNames(title, extension);
        if (names.empty()) {
            con.ShowAt(9, 7, "Original Datei nicht gefunden.. (Liste nicht aktuell?)");
            WaitKey(p);
            return;
        }
        for (int j = 1; j <= w.SearchPathCount && folder.empty(); ++j) {
            if (!matches(j)) continue;
            const Text& path = w.SearchPaths[static_cast<std::size_t>(j)];
            for (int mode = 1; mode <= 2 && folder.empty(); ++mode) {
                if (fs.FileExists(path + names[static_cast<std::size_t>(mode - 1)])) {
                    folder = path;
                    fileName = names[static_cast<std::size_t>(mode - 1)];
                    swap = mode;
                }
            }
        }
        if (folder.empty()) {
            con.ShowAt(9, 7, "Original Datei nicht gefunden..(liste nicht aktuell?)");
            WaitKey(p);
            return;
        }
    }

    con.ShowAt(7, 6, "Original bezeichnung:");
    con.ShowAt(9, 6, fileName);
    Text name;
    if (!ReadNewName(p, 11, name)) return;
    const Text typed = name;
    const Text fileExtension = ExtensionOf(fileName);
    if (!EqualsNoCase(ExtensionOf(name), fileExtension)) name += fileExtension;

    {
        ArmedScope scope(p, Renaming());
        Attempt(p, [&] {
            CheckPlainName(typed);
            CheckPlainName(name);
            if (name != fileName) fs.Rename(folder + fileName, folder + name);
        });
    }

    Text shown = WithoutExtension(name);
    if (swap != 0) {
        long k = Instr(shown, kSeparator);
        if (k == 0) {
            con.ShowAt(15, 7, "kein tauschen von name - titel ..");
            con.Pause(2000);
        } else {
            shown = Mid(shown, k + 3) + kSeparator + Left(shown, k - 1);
        }
    }
    w.Titles[static_cast<std::size_t>(slot)] = shown;
}

// A list file with its configuration and its performer list, as one step:
// the new configuration is written first, then the list, the configuration
// and the performer list are renamed, and the old configuration is deleted
// last. Any failure undoes what was done, so the old list stands as it was.
void RenameListFile(Program& p, const Text& folder, const Text& oldBase, const Text& newBase) {
    auto& fs = p.files();
    auto& b = p.browser;
    auto& lc = p.listConfig;
    const Text oldList = folder + oldBase + kListExtension;
    const Text oldConfig = folder + oldBase + ".config";
    const Text oldPerformers = folder + oldBase + kPerformerSuffix;
    const Text newList = folder + newBase + kListExtension;
    const Text newConfig = folder + newBase + ".config";
    const Text newPerformers = folder + newBase + kPerformerSuffix;
    const Text temp = folder + kTempConfiguration;

    if (newBase == oldBase) return;
    // A list name that would read as a performer list or a numberless list
    // would not find its configuration again.
    if (EndsWithNoCase(newBase, " Interpreten") || ContainsNoCase(newBase, kNumberless) ||
        !IsPlainFileName(newBase) || !IsPlainFileName(newBase + kListExtension))
        throw RuntimeError(err::BadFileName);
    // Names differing in case only are the same names on the program's drives.
    if (EqualsNoCase(newBase, oldBase) || fs.FileExists(newList) || fs.FileExists(newConfig) ||
        fs.FileExists(newPerformers) || fs.DirectoryExists(newList))
        throw RuntimeError(err::FileAlreadyExists);

    bool tempWritten = false, listRenamed = false, configPlaced = false, performersRenamed = false;
    try {
        {
            auto in = fs.Open(oldConfig, OpenMode::Input);
            auto out = fs.Open(temp, OpenMode::Output);
            tempWritten = true;
            Text line;
            while (in->ReadLine(line)) {
                if (Instr(UCase(line), "ZIELDATEI1=") > 0) line = "ZIELDATEI1=" + newBase;
                out->WriteLine(line);
            }
            in->Close();
            out->Close();
        }
        fs.Rename(oldList, newList);
        listRenamed = true;
        fs.Rename(temp, newConfig);
        configPlaced = true;
        tempWritten = false;
        if (fs.FileExists(oldPerformers)) {
            fs.Rename(oldPerformers, newPerformers);
            performersRenamed = true;
        }
        fs.Remove(oldConfig);
    } catch (const RuntimeError&) {
        // Back to the old names, the last step first.
        try {
            if (performersRenamed) fs.Rename(newPerformers, oldPerformers);
        } catch (const RuntimeError&) {
        }
        if (configPlaced) RemoveQuietly(fs, newConfig);
        try {
            if (listRenamed) fs.Rename(newList, oldList);
        } catch (const RuntimeError&) {
        }
        if (tempWritten) RemoveQuietly(fs, temp);
        throw;
    }

    // The configuration in use follows its list.
    if (EqualsNoCase(b.CurrentListConfiguration, oldConfig)) b.CurrentListConfiguration = newConfig;
    if (EqualsNoCase(lc.listFilePath, oldList)) {
        lc.listFilePath = newList;
        if (!lc.performerListPath.empty()) lc.performerListPath = newPerformers;
    }
}

void RenameInDirectoryView(Program& p, int slot) {
    auto& w = p.window;
    auto& fs = p.files();
    const Text entry = w.Titles[static_cast<std::size_t>(slot)];
    if (entry.empty() || entry == kEmptySlot || entry == ".." || StartsWith(entry, "<DIR> ") || EndsWith(entry, ":"))
        return;
    Text folder = fs.CurrentDirectory();
    if (!EndsWith(folder, "\\")) folder += "\\";
    if (!fs.FileExists(folder + entry)) return;

    Text name;
    if (!ReadNewName(p, 8, name)) return;
    const Text typed = name;
    const Text oldExtension = ExtensionOf(entry);
    if (Right(name, static_cast<long>(oldExtension.size())) != oldExtension) name += oldExtension;

    if (LCase(oldExtension) != kListExtension) {
        ArmedScope scope(p, Renaming());
        Attempt(p, [&] {
            CheckPlainName(typed);
            CheckPlainName(name);
            if (name != entry) fs.Rename(folder + entry, folder + name);
        });
        w.Titles[static_cast<std::size_t>(slot)] = name;
        return;
    }
    // A performer list is renamed through its title list; the name typed for
    // it may name the performer list ("Jazz Interpreten.pavuto").
    const bool performers = EndsWithNoCase(entry, kPerformerSuffix);
    const Text oldBase = Left(entry, static_cast<long>(entry.size()) -
                                         static_cast<long>((performers ? kPerformerSuffix : kListExtension).size()));
    Text newBase = Left(name, static_cast<long>(name.size() - kListExtension.size()));
    if (performers && EndsWithNoCase(newBase, " Interpreten")) newBase = Left(newBase, static_cast<long>(newBase.size()) - 12);
    {
        ArmedScope scope(p, Renaming());
        Attempt(p, [&] {
            CheckPlainName(typed);
            RenameListFile(p, folder, oldBase, newBase);
        });
    }
    Attempt(p, [&] { ReadDirectoryView(p); });
}

}  // namespace

void RenameSelectedRecord(Program& p) {
    auto& con = p.con;
    auto& b = p.browser;
    const int slot = b.PageTop + b.CursorOffset;
    if (slot < 1 || slot > RecordLimit) return;
    const Text entry = p.window.Titles[static_cast<std::size_t>(slot)];
    if (entry.empty() || entry == kEmptySlot) return;
    con.Clear();
    con.ShowAt(5, 6, entry);
    if (b.ListOpen == 1)
        RenameInListView(p, slot);
    else
        RenameInDirectoryView(p, slot);
}

}  // namespace pavuto
