#include "host/temporary_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/host_error.h"

namespace host {

namespace {

// The permissions a newly created file would get; mkstemp creates its file 0600.
mode_t newFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

}  // namespace

int createTemporaryBeside(const std::filesystem::path& target, std::filesystem::path& temporary) {
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    const std::string pattern = (folder / ("." + target.filename().string() + ".chordwell-XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int descriptor = mkstemp(name.data());
    if (descriptor < 0)
        throw CHostError("cannot create the output file in " + folder.string() + ": " + std::strerror(errno));
    fchmod(descriptor, newFileMode());
    temporary = name.data();
    return descriptor;
}

}  // namespace host
