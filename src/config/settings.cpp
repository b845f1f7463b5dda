#include "config/settings.hpp"

namespace pavuto {

std::array<Text, 21> BuiltInExtensions() {
    std::array<Text, 21> t{};
    const char* builtIn[] = {".mpg", ".mp1", ".mp2", ".mp4", ".avi", ".divx", ".mov", ".midi", ".mpeg",
                             ".wma", ".wmv", ".m3u", ".asf", ".wav", ".ape", ".ogg", ".acm", ".flac"};
    for (int i = 0; i < 18; ++i) t[static_cast<size_t>(i + 1)] = builtIn[i];
    return t;
}

}  // namespace pavuto
