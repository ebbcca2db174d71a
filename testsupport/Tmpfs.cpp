#include "testsupport/Tmpfs.h"

#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace lisko::test {

Tmpfs::Tmpfs(std::filesystem::path dir, std::string options)
    : dir_(std::move(dir)), options_(std::move(options)) {
    std::filesystem::create_directories(dir_);
    if (::mount("tmpfs", dir_.c_str(), "tmpfs", 0, options_.c_str()) != 0)
        error_ = std::strerror(errno);
}

Tmpfs::~Tmpfs() {
    if (Mounted()) ::umount(dir_.c_str());
}

bool Tmpfs::MakeReadOnly() const {
    return ::mount("tmpfs", dir_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, options_.c_str()) == 0;
}

}  // namespace lisko::test
