#include "host/posix/mpv_media.hpp"

#include <dlfcn.h>
#include <mpv/client.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string_view>
#include <vector>

#include "common/runtime_error.hpp"

namespace pavuto::host::posix {

namespace {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::vector<std::string> Words(std::string_view s) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && s[i] == ' ') ++i;
        std::size_t start = i;
        while (i < s.size() && s[i] != ' ') ++i;
        if (i > start) out.emplace_back(s.substr(start, i - start));
    }
    return out;
}

// Whole numbers as the player writes them ("400", " 400", "-5"); false for anything else.
bool WholeNumber(const std::string& text, long long& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i >= text.size()) return false;
    long long v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + (text[i] - '0');
        if (v > 1000000000000LL) return false;
    }
    value = negative ? -v : v;
    return true;
}

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

}  // namespace

MpvOptions MpvOptions::FromEnvironment() {
    MpvOptions o;
    o.audioOutput = Env("PAVUTO_AUDIO");
    bool display = !Env("DISPLAY").empty() || !Env("WAYLAND_DISPLAY").empty();
    o.showVideo = display && Lower(Env("PAVUTO_VIDEO")) != "null";
    return o;
}

// The client functions of libmpv the device uses, taken from the loaded
// library (the header gives their types; nothing is linked).
struct MpvMedia::Api {
    decltype(&::mpv_client_api_version) client_api_version = nullptr;
    decltype(&::mpv_create) create = nullptr;
    decltype(&::mpv_initialize) initialize = nullptr;
    decltype(&::mpv_terminate_destroy) terminate_destroy = nullptr;
    decltype(&::mpv_set_option_string) set_option_string = nullptr;
    decltype(&::mpv_set_property_string) set_property_string = nullptr;
    decltype(&::mpv_set_property) set_property = nullptr;
    decltype(&::mpv_get_property) get_property = nullptr;
    decltype(&::mpv_command) command = nullptr;
    decltype(&::mpv_wait_event) wait_event = nullptr;
};

namespace {

template <class Function>
bool Bind(void* library, const char* name, Function& function) {
    void* symbol = dlsym(library, name);
    if (!symbol) return false;
    function = reinterpret_cast<Function>(symbol);
    return true;
}

}  // namespace

const MpvMedia::Api* MpvMedia::LoadApi() {
    if (loadTried_) return api_.get();
    loadTried_ = true;
    for (const std::string& name : options_.libraryNames) {
        // A library once mapped stays (libmpv's dependencies do not all
        // unload cleanly): never dlclose.
        void* library = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!library) continue;
        auto api = std::make_unique<Api>();
        bool bound = Bind(library, "mpv_client_api_version", api->client_api_version) &&
                     Bind(library, "mpv_create", api->create) && Bind(library, "mpv_initialize", api->initialize) &&
                     Bind(library, "mpv_terminate_destroy", api->terminate_destroy) &&
                     Bind(library, "mpv_set_option_string", api->set_option_string) &&
                     Bind(library, "mpv_set_property_string", api->set_property_string) &&
                     Bind(library, "mpv_set_property", api->set_property) &&
                     Bind(library, "mpv_get_property", api->get_property) &&
                     Bind(library, "mpv_command", api->command) && Bind(library, "mpv_wait_event", api->wait_event);
        if (!bound) continue;
        // The functions used are the same in client API 1.x and 2.x.
        const unsigned long major = api->client_api_version() >> 16;
        if (major < 1 || major > 2) continue;
        api_ = std::move(api);
        break;
    }
    return api_.get();
}

bool MpvMedia::LibraryLoaded() {
    for (const std::string& name : MpvOptions{}.libraryNames) {
        if (void* library = dlopen(name.c_str(), RTLD_LAZY | RTLD_NOLOAD)) {
            dlclose(library);  // only the reference just taken
            return true;
        }
    }
    return false;
}

struct MpvMedia::Instance {
    const Api* api;
    mpv_handle* handle = nullptr;
    explicit Instance(const Api* a) : api(a) {}
    ~Instance() {
        if (handle) api->terminate_destroy(handle);
    }
    // Events are not used, but they must not pile up in the queue.
    void Drain() {
        while (true) {
            mpv_event* e = api->wait_event(handle, 0);
            if (!e || e->event_id == MPV_EVENT_NONE) return;
        }
    }
    bool SetString(const char* name, const char* value) {
        return api->set_property_string(handle, name, value) >= 0;
    }
    bool GetDouble(const char* name, double& value) {
        return api->get_property(handle, name, MPV_FORMAT_DOUBLE, &value) >= 0;
    }
};

MpvMedia::MpvMedia(FileSystem& files, MpvOptions options) : files_(files), options_(std::move(options)) {}

MpvMedia::~MpvMedia() = default;

MpvMedia::Instance* MpvMedia::Find(const std::string& alias) {
    auto it = open_.find(Upper(alias));
    return it == open_.end() ? nullptr : it->second.get();
}

void MpvMedia::Close(const std::string& alias) { open_.erase(Upper(alias)); }

int MpvMedia::Open(const std::string& path, const std::string& alias) {
    if (alias.empty()) return kInvalidDevice;
    if (Find(alias)) return kAliasInUse;
    std::string hostPath;
    try {
        hostPath = files_.HostPath(path);
    } catch (const RuntimeError&) {
        return kCannotOpen;
    }
    struct stat st {};
    if (stat(hostPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size == 0) return kCannotOpen;

    // The first title to play loads libmpv; without it nothing can be opened.
    const Api* api = LoadApi();
    if (!api) return kCannotOpen;
    auto inst = std::make_unique<Instance>(api);
    inst->handle = api->create();
    if (!inst->handle) return kCannotOpen;
    mpv_handle* h = inst->handle;
    // A quiet player of one file: no configuration, scripts, keys or window
    // of its own; loaded paused, and kept at its end when it gets there, so
    // that position and length stay readable as with the system's device.
    const std::pair<const char*, std::string> settings[] = {
        {"config", "no"},
        {"terminal", "no"},
        {"msg-level", "all=no"},
        {"input-default-bindings", "no"},
        {"input-vo-keyboard", "no"},
        {"osc", "no"},
        {"load-scripts", "no"},
        {"ytdl", "no"},
        {"resume-playback", "no"},
        {"save-position-on-quit", "no"},
        {"idle", "yes"},
        {"keep-open", "yes"},
        {"pause", "yes"},
        {"hr-seek", "yes"},
        {"audio-display", "no"},
        {"audio-fallback-to-null", "yes"},
        {"vo", options_.showVideo ? "" : "null"},
        {"ao", options_.audioOutput},
    };
    for (const auto& [name, value] : settings) {
        if (value.empty()) continue;
        api->set_option_string(h, name, value.c_str());
    }
    if (api->initialize(h) < 0) return kCannotOpen;

    const char* cmd[] = {"loadfile", hostPath.c_str(), "replace", nullptr};
    if (api->command(h, cmd) < 0) return kCannotOpen;

    // Wait, bounded, until mpv has loaded the file or given up on it.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(options_.loadTimeoutMs);
    bool loaded = false;
    while (!loaded) {
        double left = std::chrono::duration<double>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0) return kCannotOpen;
        mpv_event* e = api->wait_event(h, left);
        if (!e) return kCannotOpen;
        switch (e->event_id) {
            case MPV_EVENT_FILE_LOADED: loaded = true; break;
            case MPV_EVENT_END_FILE: return kCannotOpen;
            case MPV_EVENT_SHUTDOWN: return kCannotOpen;
            default: break;
        }
    }
    // Something to play: at least one audio or video track.
    int64_t tracks = 0;
    if (api->get_property(h, "track-list/count", MPV_FORMAT_INT64, &tracks) < 0 || tracks <= 0) return kCannotOpen;
    inst->Drain();
    open_[Upper(alias)] = std::move(inst);
    return 0;
}

int MpvMedia::Send(const std::string& command, std::string& result) {
    result.clear();
    std::string lower = Lower(command);

    if (lower.rfind("open ", 0) == 0) {
        // "open " path " type MPEGVideo alias " A: the path runs up to the last " type ".
        std::size_t type = lower.rfind(" type ");
        if (type == std::string::npos || type < 5) return kUnrecognisedCommand;
        auto rest = Words(std::string_view(command).substr(type + 1));
        if (rest.size() != 4 || Lower(rest[0]) != "type" || Lower(rest[2]) != "alias") return kUnrecognisedCommand;
        std::string path = command.substr(5, type - 5);
        while (!path.empty() && path.front() == ' ') path.erase(0, 1);
        if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
        if (path.empty()) return kCannotOpen;
        return Open(path, rest[3]);
    }

    auto w = Words(command);
    if (w.size() < 2) return kUnrecognisedCommand;
    std::string verb = Lower(w[0]);
    Instance* inst = Find(w[1]);
    if (!inst) return kInvalidDevice;
    inst->Drain();

    if (verb == "set") {
        // "set A time format ms": the only time format there is.
        if (w.size() == 5 && Lower(w[2]) == "time" && Lower(w[3]) == "format" && Lower(w[4]) == "ms") return 0;
        return kUnrecognisedCommand;
    }
    if (verb == "play") {
        bool repeat = w.size() == 3 && Lower(w[2]) == "repeat";
        if (w.size() > 3 || (w.size() == 3 && !repeat)) return kUnrecognisedCommand;
        inst->SetString("loop-file", repeat ? "inf" : "no");
        return inst->SetString("pause", "no") ? 0 : kNotAvailable;
    }
    if (verb == "stop") {
        if (w.size() != 2) return kUnrecognisedCommand;
        return inst->SetString("pause", "yes") ? 0 : kNotAvailable;
    }
    if (verb == "close") {
        if (w.size() != 2) return kUnrecognisedCommand;
        Close(w[1]);
        return 0;
    }
    if (verb == "status") {
        if (w.size() != 3) return kUnrecognisedCommand;
        std::string what = Lower(w[2]);
        if (what == "volume") {
            double volume = 0;
            if (!inst->GetDouble("volume", volume)) return kNotAvailable;
            result = std::to_string(static_cast<long long>(std::llround(volume * 10.0)));
            return 0;
        }
        const char* property = what == "length" ? "duration" : what == "position" ? "time-pos" : nullptr;
        if (!property) return kUnrecognisedCommand;
        double seconds = 0;
        if (!inst->GetDouble(property, seconds) || !std::isfinite(seconds)) {
            result = "0";
            return kNotAvailable;
        }
        if (seconds < 0) seconds = 0;
        result = std::to_string(static_cast<long long>(std::llround(seconds * 1000.0)));
        return 0;
    }
    if (verb == "seek") {
        long long ms = 0;
        if (w.size() != 4 || Lower(w[2]) != "to" || !WholeNumber(w[3], ms)) return kUnrecognisedCommand;
        if (ms < 0) ms = 0;
        inst->SetString("pause", "yes");
        std::string target = std::to_string(static_cast<double>(ms) / 1000.0);
        const char* cmd[] = {"seek", target.c_str(), "absolute+exact", nullptr};
        return inst->api->command(inst->handle, cmd) >= 0 ? 0 : kNotAvailable;
    }
    if (verb == "setaudio") {
        long long n = 0;
        if (w.size() != 5 || Lower(w[2]) != "volume" || Lower(w[3]) != "to" || !WholeNumber(w[4], n))
            return kUnrecognisedCommand;
        if (n < 0) n = 0;
        if (n > 1000) n = 1000;
        double volume = static_cast<double>(n) / 10.0;
        return inst->api->set_property(inst->handle, "volume", MPV_FORMAT_DOUBLE, &volume) >= 0 ? 0 : kNotAvailable;
    }
    return kUnrecognisedCommand;
}

int MpvMedia::CountSoundDevices() {
    // ALSA: one line " N [id ]: ..." per card.
    int cards = 0;
    std::ifstream in("/proc/asound/cards");
    std::string line;
    while (std::getline(in, line)) {
        std::size_t i = 0;
        while (i < line.size() && line[i] == ' ') ++i;
        std::size_t digits = i;
        while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i;
        if (i > digits && i + 1 < line.size() && line[i] == ' ' && line[i + 1] == '[') ++cards;
    }
    if (cards > 0) return cards;
    // A sound server reached through its socket.
    if (!Env("PULSE_SERVER").empty()) return 1;
    std::string runtime = Env("XDG_RUNTIME_DIR");
    if (!runtime.empty() && (Exists(runtime + "/pulse/native") || Exists(runtime + "/pipewire-0"))) return 1;
    if (IsDirectory("/run/pulse") && Exists("/run/pulse/native")) return 1;
    return 0;
}

int MpvMedia::WaveOutDevices() {
    if (Lower(options_.audioOutput) == "null") return 1;
    return CountSoundDevices();
}

bool MpvMedia::ShortPath(const std::string& path, std::string& shortPath) {
    // There are no short names here: the path itself, when the file exists.
    if (!files_.FileExists(path)) return false;
    shortPath = path;
    return true;
}

}  // namespace pavuto::host::posix
