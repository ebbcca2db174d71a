#include "identity/VersionInfo.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace lisko {

namespace {

constexpr std::uint16_t kBinary = 0;
constexpr std::uint16_t kText = 1;
constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr std::size_t kFixedInfoSize = 52;
// Larger files are not program files of ours; reading them would only cost memory.
constexpr std::uintmax_t kMaxFileSize = 512u << 20;

constexpr std::size_t Align4(std::size_t n) {
    return (n + 3) & ~std::size_t{3};
}

// ---- writing ----

void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    Put16(out, static_cast<std::uint16_t>(v >> 16));
}

void PutText(std::vector<std::uint8_t>& out, const std::u16string& text) {
    for (char16_t c : text)
        Put16(out, static_cast<std::uint16_t>(c));
    Put16(out, 0);
}

void Pad4(std::vector<std::uint8_t>& out) {
    while (out.size() % 4 != 0)
        out.push_back(0);
}

// One node: wLength, wValueLength, wType, key, padding, value, padding, children. Offsets are
// relative to the block's start, which callers keep 4-byte aligned.
std::vector<std::uint8_t> Node(const std::u16string& key, std::uint16_t type,
                               std::uint16_t valueLength, const std::vector<std::uint8_t>& value,
                               const std::vector<std::uint8_t>& children) {
    std::vector<std::uint8_t> out;
    Put16(out, 0);
    Put16(out, valueLength);
    Put16(out, type);
    PutText(out, key);
    Pad4(out);
    out.insert(out.end(), value.begin(), value.end());
    if (!children.empty()) {
        Pad4(out);
        out.insert(out.end(), children.begin(), children.end());
    }
    out[0] = static_cast<std::uint8_t>(out.size() & 0xFF);
    out[1] = static_cast<std::uint8_t>(out.size() >> 8);
    return out;
}

void Append(std::vector<std::uint8_t>& children, const std::vector<std::uint8_t>& node) {
    Pad4(children);
    children.insert(children.end(), node.begin(), node.end());
}

std::u16string Hex4(std::uint16_t v) {
    constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string s;
    for (int shift = 12; shift >= 0; shift -= 4)
        s += kDigits[(v >> shift) & 0xF];
    return s;
}

std::u16string TableName(VersionTranslation t) {
    return Hex4(t.Language) + Hex4(t.CodePage);
}

// ---- reading ----

struct ParsedNode {
    std::u16string key;
    std::uint16_t type = 0;
    std::span<const std::uint8_t> value;
    std::span<const std::uint8_t> children;
};

std::uint16_t Get16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

std::uint32_t Get32(std::span<const std::uint8_t> b, std::size_t at) {
    return Get16(b, at) | std::uint32_t{Get16(b, at + 2)} << 16;
}

// Parses the node at the start of bytes; nullopt when its lengths do not fit inside them.
std::optional<ParsedNode> ParseNode(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 6) return std::nullopt;
    const std::size_t length = Get16(bytes, 0);
    const std::size_t valueLength = Get16(bytes, 2);
    ParsedNode node;
    node.type = Get16(bytes, 4);
    if (length < 6 || length > bytes.size()) return std::nullopt;
    const std::span<const std::uint8_t> whole = bytes.first(length);

    std::size_t at = 6;
    for (;;) {
        if (at + 2 > whole.size()) return std::nullopt;
        const auto c = static_cast<char16_t>(Get16(whole, at));
        at += 2;
        if (c == 0) break;
        node.key += c;
    }
    at = Align4(at);
    // Text values count 16-bit characters, binary ones bytes.
    const std::size_t valueBytes = node.type == kText ? 2 * valueLength : valueLength;
    if (at + valueBytes > whole.size()) {
        if (valueBytes != 0) return std::nullopt;
        at = whole.size();
    }
    node.value = whole.subspan(at, valueBytes);
    const std::size_t childrenAt = std::min(Align4(at + valueBytes), whole.size());
    node.children = whole.subspan(childrenAt);
    return node;
}

std::vector<ParsedNode> Children(const ParsedNode& parent) {
    std::vector<ParsedNode> nodes;
    std::span<const std::uint8_t> rest = parent.children;
    while (rest.size() >= 6) {
        const std::optional<ParsedNode> child = ParseNode(rest);
        if (!child) break;
        nodes.push_back(*child);
        const std::size_t next = Align4(Get16(rest, 0));
        if (next >= rest.size()) break;
        rest = rest.subspan(next);
    }
    return nodes;
}

bool SameKey(const std::u16string& a, const std::u16string& b) {
    const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [&](char16_t x, char16_t y) { return lower(x) == lower(y); });
}

std::optional<ParsedNode> Child(const ParsedNode& parent, const std::u16string& key) {
    for (const ParsedNode& c : Children(parent)) {
        if (SameKey(c.key, key)) return c;
    }
    return std::nullopt;
}

std::u16string TextOf(std::span<const std::uint8_t> value) {
    std::u16string text;
    for (std::size_t at = 0; at + 1 < value.size(); at += 2) {
        const auto c = static_cast<char16_t>(Get16(value, at));
        if (c == 0) break;
        text += c;
    }
    return text;
}

// A candidate is a version block when its key is right and its fixed part carries the signature.
std::optional<ParsedNode> ParseRoot(std::span<const std::uint8_t> bytes) {
    std::optional<ParsedNode> root = ParseNode(bytes);
    if (!root || root->key != u"VS_VERSION_INFO" || root->value.size() != kFixedInfoSize ||
        Get32(root->value, 0) != kFixedInfoSignature) {
        return std::nullopt;
    }
    return root;
}

}  // namespace

std::vector<std::uint8_t> BuildVersionBlock(const VersionBlockContent& content) {
    std::vector<std::uint8_t> fixed;
    const auto& v = content.FileVersion;
    Put32(fixed, kFixedInfoSignature);
    Put32(fixed, 0x00010000);                        // structure version 1.0
    Put32(fixed, std::uint32_t{v[0]} << 16 | v[1]);  // file version
    Put32(fixed, std::uint32_t{v[2]} << 16 | v[3]);
    Put32(fixed, std::uint32_t{v[0]} << 16 | v[1]);  // product version
    Put32(fixed, std::uint32_t{v[2]} << 16 | v[3]);
    Put32(fixed, 0x3F);  // flags mask
    Put32(fixed, 0);     // flags
    Put32(fixed, 0x4);   // VOS__WINDOWS32
    Put32(fixed, 0x1);   // VFT_APP
    Put32(fixed, 0);     // subtype
    Put32(fixed, 0);     // date, high
    Put32(fixed, 0);     // date, low

    std::vector<std::uint8_t> tables;
    for (const VersionStringTable& table : content.StringTables) {
        std::vector<std::uint8_t> strings;
        for (const auto& [key, value] : table.Strings) {
            std::vector<std::uint8_t> text;
            PutText(text, value);
            Append(strings,
                   Node(key, kText, static_cast<std::uint16_t>(value.size() + 1), text, {}));
        }
        Append(tables, Node(TableName(table.Translation), kText, 0, {}, strings));
    }
    std::vector<std::uint8_t> translation;
    for (const VersionTranslation& t : content.Translations) {
        Put16(translation, t.Language);
        Put16(translation, t.CodePage);
    }
    std::vector<std::uint8_t> vars;
    Append(vars, Node(u"Translation", kBinary, static_cast<std::uint16_t>(translation.size()),
                      translation, {}));

    std::vector<std::uint8_t> children;
    Append(children, Node(u"StringFileInfo", kText, 0, {}, tables));
    Append(children, Node(u"VarFileInfo", kText, 0, {}, vars));
    return Node(u"VS_VERSION_INFO", kBinary, static_cast<std::uint16_t>(fixed.size()), fixed,
                children);
}

VersionBlockContent ProgramVersionBlock(const std::array<std::uint16_t, 4>& version) {
    constexpr VersionTranslation kRussian1251{0x0419, 0x04E3};
    std::u16string text;
    for (std::size_t i = 0; i < version.size(); ++i) {
        if (i > 0) text += u'.';
        for (char c : std::to_string(version[i]))
            text += static_cast<char16_t>(c);
    }
    return {version, {kRussian1251}, {{kRussian1251, {{u"FileVersion", text}}}}};
}

std::optional<std::u16string> QueryFileVersion(std::span<const std::uint8_t> block) {
    const std::optional<ParsedNode> root = ParseRoot(block);
    if (!root) return std::nullopt;
    const std::optional<ParsedNode> vars = Child(*root, u"VarFileInfo");
    const std::optional<ParsedNode> translation =
        vars ? Child(*vars, u"Translation") : std::nullopt;
    if (!translation) return std::nullopt;
    const std::optional<ParsedNode> strings = Child(*root, u"StringFileInfo");
    for (std::size_t at = 0; at + 4 <= translation->value.size(); at += 4) {
        const VersionTranslation t{Get16(translation->value, at),
                                   Get16(translation->value, at + 2)};
        const std::optional<ParsedNode> table =
            strings ? Child(*strings, TableName(t)) : std::nullopt;
        const std::optional<ParsedNode> version =
            table ? Child(*table, u"FileVersion") : std::nullopt;
        if (version) return TextOf(version->value);
    }
    return std::nullopt;
}

std::u16string GetFileVersionString(const std::filesystem::path& path) {
    const std::u16string unknown = u"0.0.0.0";
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error)) return unknown;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > kMaxFileSize) return unknown;

    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
    if (!in && !in.eof()) return unknown;

    // The block starts 6 bytes before its key; the key text may also occur elsewhere (this very
    // parser holds it), so every occurrence is tried until one parses as a whole block.
    std::vector<std::uint8_t> key;
    PutText(key, u"VS_VERSION_INFO");
    auto at = bytes.begin();
    while ((at = std::search(at, bytes.end(), key.begin(), key.end())) != bytes.end()) {
        const auto offset = static_cast<std::size_t>(at - bytes.begin());
        ++at;
        if (offset < 6) continue;
        const std::span<const std::uint8_t> candidate = std::span(bytes).subspan(offset - 6);
        if (!ParseRoot(candidate)) continue;
        return QueryFileVersion(candidate).value_or(unknown);
    }
    return unknown;
}

}  // namespace lisko
