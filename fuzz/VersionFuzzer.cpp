// What the update check and the version identity read from outside: the server's version text
// with its Content-Type, and a version block in any file. The first byte gives the length of the
// Content-Type taken from the bytes after it; the rest is the body. The whole input is also
// parsed as a version block, directly and as a file searched for one.

#include <stdlib.h>

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>

#include "identity/VersionInfo.h"
#include "update/VersionText.h"

namespace {

namespace fs = std::filesystem;

fs::path scratch;

void RemoveScratch() {
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
}

[[noreturn]] void Fault(const char* what) {
    std::fprintf(stderr, "version fuzzer: %s\n", what);
    std::abort();
}

void DecodeText(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return;
    const std::size_t typeLength = std::min<std::size_t>(data[0] % 64, size - 1);
    const QByteArray contentType(reinterpret_cast<const char*>(data + 1),
                                 static_cast<qsizetype>(typeLength));
    const QByteArray body(reinterpret_cast<const char*>(data + 1 + typeLength),
                          static_cast<qsizetype>(size - 1 - typeLength));
    const QString text = lisko::DecodeVersionText(body, contentType);
    // Without UTF-8 every byte is one character, widened or not.
    if (!lisko::DeclaresUtf8(contentType) && text.size() != body.size())
        Fault("a byte did not become exactly one character");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string pattern = (fs::temp_directory_path() / "lisko-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) Fault("cannot create the scratch directory");
    scratch = pattern;
    std::atexit(RemoveScratch);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DecodeText(data, size);

    const std::span<const std::uint8_t> block(data, size);
    const std::optional<std::u16string> version = lisko::QueryFileVersion(block);

    const fs::path file = scratch / "program";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!out) Fault("cannot write the input file");
    }
    const std::u16string found = lisko::GetFileVersionString(file);
    // A block at the very start of the file is the one the search finds first.
    if (version && found != *version) Fault("the file search read another version");
    return 0;
}
