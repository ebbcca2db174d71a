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

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
    if (getrlimit(RLIMIT_FSIZE, &saved_) != 0) return;
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved_;
    small.rlim_cur = bytes;
    set_ = setrlimit(RLIMIT_FSIZE, &small) == 0;
}

FileSizeLimit::~FileSizeLimit() {
    if (set_) setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previousHandler_);
}

}  // namespace lisko::test
