#include "fileops/copy.hpp"

#include <vector>

#include "fileops/file_messages.hpp"
#include "program.hpp"

namespace pavuto {

namespace {

using host::OpenMode;

constexpr std::size_t kBlock = 4096;

// One file into the target directory under its own name: written beside
// the name and put in place when complete, so that a copy cut short leaves
// no part of a file behind and an existing file is replaced whole.
void CopyOne(Program& p, const Text& source, const Text& target) {
    auto& fs = p.files();
    const Text destination = target + "\\" + Mid(source, InstrRev(source, "\\") + 1);
    auto in = fs.Open(source, OpenMode::Input);
    // The target is the file itself (its own folder, or another spelling of
    // it): writing it would destroy the source.
    if (fs.SameFile(source, destination)) throw RuntimeError(err::PathFileAccessError, destination);
    host::WriteReplacing(fs, destination, [&](host::File& out) {
        std::vector<char> block(kBlock);
        std::uint64_t offset = 0;
        while (std::size_t got = in->ReadAt(offset, block.data(), block.size())) {
            out.Write(std::string_view(block.data(), got));
            offset += got;
        }
    });
    in->Close();
}

}  // namespace

void TakeCopyTarget(Program& p, const Text& typed) {
    auto& f = p.fileops;
    f.copyTarget = EndsWith(typed, "\\") ? Left(typed, static_cast<long>(typed.size()) - 1) : typed;
    f.copyMode = 0;
    // No target: nothing would say where the copies go.
    if (f.copyTarget.empty()) return;
    ArmedScope scope(p, CopyTargetHandler());
    Attempt(p, [&] {
        auto& fs = p.files();
        const Text probe = f.copyTarget + "\\test.tmp";
        fs.Open(probe, OpenMode::Output)->Close();
        fs.Remove(probe);
        f.copyMode = 1;
    });
}

void CopySelection(Program& p, const Text& selectionFile) {
    auto& con = p.con;
    const int R = con.ScreenRows;
    ArmedScope scope(p, CopyHandler());
    con.ClearMenuArea();
    con.ShowAt(R - 3, 7, " kopiere - Bitte warten ....");
    con.LineEnd();
    con.Locate(R - 2, 7);
    con.Present();  // stands while the files are copied
    Attempt(p, [&] {
        std::vector<Text> files;
        {
            auto in = p.files().Open(selectionFile, OpenMode::Input);
            Text line;
            while (in->ReadLine(line))
                if (!line.empty()) files.push_back(line);
            in->Close();
        }
        for (const Text& source : files) CopyOne(p, source, p.fileops.copyTarget);
    });
}

}  // namespace pavuto
