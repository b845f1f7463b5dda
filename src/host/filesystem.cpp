#include "host/filesystem.hpp"

namespace pavuto::host {

std::string File::ReadAt(std::uint64_t offset, std::size_t count) {
    std::string out(count, '\0');
    out.resize(ReadAt(offset, out.data(), count));
    return out;
}

}  // namespace pavuto::host
