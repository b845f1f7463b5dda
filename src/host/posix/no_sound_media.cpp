#include "host/posix/no_sound_media.hpp"

namespace pavuto::host::posix {

int NoSoundMedia::Send(const std::string&, std::string& result) {
    result.clear();
    return NotPlayable;
}

bool NoSoundMedia::ShortPath(const std::string&, std::string& shortPath) {
    shortPath.clear();
    return false;
}

}  // namespace pavuto::host::posix
