#pragma once
// The media of a machine without a sound device: no wave output device, and
// every command string is answered with "not playable" (263), as the
// multimedia interface of such a machine answers it.
#include "host/system.hpp"

namespace pavuto::host::posix {

class NoSoundMedia : public Media {
public:
    static constexpr int NotPlayable = 263;
    int Send(const std::string& command, std::string& result) override;
    int WaveOutDevices() override { return 0; }
    bool ShortPath(const std::string& path, std::string& shortPath) override;
};

}  // namespace pavuto::host::posix
