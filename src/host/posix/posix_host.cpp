#include "host/posix/posix_host.hpp"

#include "host/posix/no_sound_media.hpp"

namespace pavuto::host::posix {

PosixHost::PosixHost(std::unique_ptr<Console> console, std::unique_ptr<Media> media, std::vector<std::string> arguments)
    : console_(std::move(console)),
      media_(media ? std::move(media) : std::make_unique<NoSoundMedia>()),
      programDirectory_(PosixEnvironment::ProgramDirectory()),
      files_(DriveMap::FromEnvironment()),
      processes_(files_, console_.get(), programDirectory_),
      environment_(PosixEnvironment::ProcessEnvironment(), std::move(arguments), files_, programDirectory_),
      host_{*console_, clock_, files_, processes_, environment_, *media_, system_} {}

}  // namespace pavuto::host::posix
