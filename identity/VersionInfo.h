#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace lisko {

// The program file carries a Windows version-information block (VS_VERSIONINFO): as a resource
// on Windows, and elsewhere as the same bytes embedded in the executable. The one parser below
// reads it from any file, so the version identity behaves alike everywhere.

struct VersionTranslation {
    std::uint16_t Language = 0;
    std::uint16_t CodePage = 0;
};

struct VersionStringTable {
    VersionTranslation Translation;
    std::vector<std::pair<std::u16string, std::u16string>> Strings;  // key, value
};

struct VersionBlockContent {
    std::array<std::uint16_t, 4> FileVersion{};
    std::vector<VersionTranslation> Translations;
    std::vector<VersionStringTable> StringTables;
};

// The block for the given content, in the layout the Windows version API reads.
std::vector<std::uint8_t> BuildVersionBlock(const VersionBlockContent& content);

// The program's own block: FileVersion from the four parts, translation Russian / code page 1251.
VersionBlockContent ProgramVersionBlock(const std::array<std::uint16_t, 4>& version);

// FileVersion of the first translation whose string table has one, as the version API answers
// "\VarFileInfo\Translation" and "\StringFileInfo\<llllcccc>\FileVersion"; nullopt when the
// block has no translation table or none of its tables has a FileVersion.
std::optional<std::u16string> QueryFileVersion(std::span<const std::uint8_t> block);

// The FileVersion text of the version block found in the file at path, or "0.0.0.0" when the
// path is empty, the file is missing or unreadable, or it carries no readable block.
std::u16string GetFileVersionString(const std::filesystem::path& path);

}  // namespace lisko
