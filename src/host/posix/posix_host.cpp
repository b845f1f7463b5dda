#include "host/posix/posix_host.hpp"

#include "host/posix/no_sound_media.hpp"
#include "host/posix/posix_signals.hpp"

namespace pavuto::host::posix {

namespace {
std::unique_ptr<Media> MakeMedia(const PosixHost::MediaFactory& make, FileSystem& files) {
    std::unique_ptr<Media> media = make ? make(files) : nullptr;
    return media ? std::move(media) : std::make_unique<NoSoundMedia>();
}
}  // namespace

PosixHost::PosixHost(std::unique_ptr<Console> console, MediaFactory makeMedia, std::vector<std::string> arguments)
    : console_(std::move(console)),
      companionDirectory_(PosixEnvironment::CompanionDirectory()),
      files_(DriveMap::FromEnvironment()),
      media_(MakeMedia(makeMedia, files_)),
      processes_(files_, console_.get(), companionDirectory_),
      environment_(PosixEnvironment::ProcessEnvironment(), std::move(arguments), files_, companionDirectory_),
      shell_(files_, PosixEnvironment::ProgramFile(), companionDirectory_, PosixEnvironment::ProcessEnvironment()),
      host_{*console_, clock_, files_, processes_, environment_, *media_, system_, shell_} {
    // A write past the file-size limit or into a closed pipe is an error of
    // the statement that wrote (61, 57), not the end of the program.
    IgnoreWriteSignals();
}

}  // namespace pavuto::host::posix
