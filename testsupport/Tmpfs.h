#pragma once

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <string>

namespace lisko::test {

// A small tmpfs mounted over a directory (made if missing) and unmounted when this goes: a file
// system that fills up or turns read-only for real, for the tests of write faults. Mounting
// needs the right to (root, or a user namespace); a test without it is skipped, saying why.
class Tmpfs {
public:
    explicit Tmpfs(std::filesystem::path dir, std::string options = "size=256k,mode=0755");
    ~Tmpfs();
    Tmpfs(const Tmpfs&) = delete;
    Tmpfs& operator=(const Tmpfs&) = delete;

    bool Mounted() const { return error_.empty(); }
    // The system's reason when mounting failed.
    const std::string& Error() const { return error_; }
    // Mounts it again read-only, keeping its files; false (errno set) when that fails.
    bool MakeReadOnly() const;

private:
    std::filesystem::path dir_;
    std::string options_;
    std::string error_;
};

// A limit on the size of the files this process writes, for as long as this lives: a write past
// it fails with EFBIG, as one onto a full disk fails, without a mount. The signal the system
// sends for it is ignored meanwhile.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    // False when the limit could not be set.
    bool Set() const { return set_; }

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = SIG_DFL;
    bool set_ = false;
};

}  // namespace lisko::test
