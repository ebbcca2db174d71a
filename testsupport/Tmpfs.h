#pragma once

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

}  // namespace lisko::test
