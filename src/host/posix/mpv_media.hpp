#pragma once
// The internal player's media device on POSIX: the multimedia command strings
// the player composes, carried out by libmpv.
//
// Commands understood (A = the alias, N = a whole number):
//   open <path> type MPEGVideo alias A   load the file paused at its start;
//                                        0 once it is loaded, non-zero for a
//                                        missing, empty or unplayable file
//   set A time format ms                 accepted (times are always ms)
//   play A                               play from the position to the end
//   play A repeat                        play from the position, then loop the
//                                        whole file from its start (mpv's
//                                        loop-file), as the player expects
//                                        when it resumes from a seek position
//   stop A                               pause; the position stays
//   close A                              unload and free the alias
//   status A length | position           milliseconds as text in the result
//   status A volume                      the volume 0 ... 1000 as text
//   seek A to N                          pause and move to N ms
//   setaudio A volume to N               volume N of 0 ... 1000, linearly onto
//                                        mpv's 0 ... 100
// One mpv instance belongs to each open alias. The path of open is relative
// to the program's current directory; it is resolved through the file system.
// Words are separated by blanks; the path is everything between "open " and
// the last " type ", so it may hold blanks.
//
// Environment:
//   PAVUTO_AUDIO  "null": mpv's null audio output (counted as one wave output
//                 device: machines without sound and the tests);
//                 empty or unset: mpv's default audio output, and the devices
//                 are those of the sound system (ALSA cards, or one for a
//                 running PulseAudio/PipeWire server);
//                 any other value: the name of an mpv audio output ("alsa",
//                 "pulse", "pipewire", ...), counted like the default.
//   PAVUTO_VIDEO  "null": never show a picture. Otherwise video files show
//                 their picture where the machine has a display (DISPLAY or
//                 WAYLAND_DISPLAY set) and play only their sound elsewhere.
//
// libmpv is not linked: it (and with it the decoders, some 230 shared
// libraries) is loaded with dlopen when the first open finds a file to play,
// libmpv.so.2 first, then libmpv.so.1 and libmpv.so (client API 1.x or 2.x),
// and stays loaded. Counting the wave output devices and short paths need no
// libmpv, so a session that never plays maps none of it. Where no libmpv can
// be loaded every open answers kCannotOpen (the player says it cannot open
// the title), as a missing device would; nothing else changes.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/filesystem.hpp"
#include "host/system.hpp"

struct mpv_handle;

namespace pavuto::host::posix {

struct MpvOptions {
    std::string audioOutput;  // "" = mpv's default, "null", or an output name
    bool showVideo = false;   // false: vo=null
    int loadTimeoutMs = 10000;  // how long open waits for the file to load
    // The shared objects tried for libmpv, in this order.
    std::vector<std::string> libraryNames{"libmpv.so.2", "libmpv.so.1", "libmpv.so"};
    // From PAVUTO_AUDIO, PAVUTO_VIDEO, DISPLAY and WAYLAND_DISPLAY.
    static MpvOptions FromEnvironment();
};

class MpvMedia : public Media {
public:
    explicit MpvMedia(FileSystem& files, MpvOptions options = MpvOptions::FromEnvironment());
    ~MpvMedia() override;
    MpvMedia(const MpvMedia&) = delete;
    MpvMedia& operator=(const MpvMedia&) = delete;

    int Send(const std::string& command, std::string& result) override;
    int WaveOutDevices() override;
    bool ShortPath(const std::string& path, std::string& shortPath) override;

    // Result codes besides 0.
    static constexpr int kUnrecognisedCommand = 261;
    static constexpr int kInvalidDevice = 263;
    static constexpr int kCannotOpen = 275;
    static constexpr int kNotAvailable = 289;
    static constexpr int kAliasInUse = 289 + 1;

    // The number of sound output devices the machine's sound system offers.
    static int CountSoundDevices();

    // Whether a libmpv of the default names is mapped into this process.
    static bool LibraryLoaded();
    // Whether this device has loaded libmpv (after its first open of a file).
    bool Loaded() const { return api_ != nullptr; }

private:
    struct Api;
    struct Instance;
    int Open(const std::string& path, const std::string& alias);
    Instance* Find(const std::string& alias);
    void Close(const std::string& alias);
    // libmpv's client functions, loaded on the first call; null when no
    // libmpv could be loaded (tried once).
    const Api* LoadApi();

    FileSystem& files_;
    MpvOptions options_;
    std::unique_ptr<Api> api_;
    bool loadTried_ = false;
    std::map<std::string, std::unique_ptr<Instance>> open_;
};

}  // namespace pavuto::host::posix
