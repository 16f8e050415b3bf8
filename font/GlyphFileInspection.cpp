#include "font/GlyphFileInspection.h"

#include <algorithm>
#include <charconv>

#include "font/Unicode.h"
#include "glyph/FileHead.h"
#include "glyph/FileHeadBatch.h"
#include "glyph/GlyphFile.h"

namespace font {
namespace {

using glyph::Finding;
using glyph::Severity;

Finding OpenError(const glyph::FileHead& head) {
    switch (head.status) {
        case glyph::FileHeadStatus::CannotOpen:
            return {Severity::Error, "cannot be opened: " + glyph::SystemErrorText(head.error)};
        case glyph::FileHeadStatus::IsDirectory:
            return {Severity::Error, "not a regular file (a folder)"};
        case glyph::FileHeadStatus::NotRegularFile:
            return {Severity::Error, "not a regular file"};
        case glyph::FileHeadStatus::CannotRead:
            return {Severity::Error, "cannot be read: " + glyph::SystemErrorText(head.error)};
        case glyph::FileHeadStatus::Ok:
            break;
    }
    return {Severity::Error, "cannot be opened"};
}

bool IsError(const Finding& finding) {
    return finding.severity == Severity::Error;
}

}  // namespace

std::string GlyphFileInspection::FirstError() const {
    const auto error = std::find_if(findings.begin(), findings.end(), IsError);
    return error == findings.end() ? std::string() : error->text;
}

namespace {

GlyphFileInspection Inspected(const glyph::FileHead& head, char32_t codePoint) {
    GlyphFileInspection result;
    if (head.status != glyph::FileHeadStatus::Ok) {
        result.findings.push_back(OpenError(head));
        return result;
    }
    result.findings = glyph::InspectGlyph(head.bytes, head.size);
    if (std::none_of(result.findings.begin(), result.findings.end(), IsError)) {
        Glyph decoded{codePoint, 0, {}};
        decoded.width = glyph::ReadGlyph(head.bytes, decoded.rows, "");
        result.glyph = decoded;
    }
    return result;
}

}  // namespace

GlyphFileInspection InspectGlyphFile(const std::filesystem::path& path, char32_t codePoint) {
    return Inspected(glyph::ReadFileHead(path.string(), glyph::MaxGlyphFileSize), codePoint);
}

void InspectGlyphFilesAt(
    const FolderListing& listing, std::span<const FolderEntry> entries,
    const std::function<void(const FolderEntry& entry, GlyphFileInspection&& inspection)>& take) {
    glyph::ReadFileHeadsAt(
        listing.Fd(), entries.size(),
        [&](std::size_t i) -> glyph::HeadRequest {
            return {entries[i].name.c_str(), entries[i].type == DT_REG};
        },
        glyph::MaxGlyphFileSize,
        [&](std::size_t i, glyph::FileHead&& head) {
            take(entries[i], Inspected(head, entries[i].codePoint));
        });
}

std::string GlyphFileName(char32_t codePoint) {
    return CodePointLabel(codePoint) + ".dat";
}

std::optional<char32_t> CodePointOfFileName(std::string_view name) {
    constexpr std::string_view extension = ".dat";
    if (name.size() <= extension.size() || !name.ends_with(extension)) return std::nullopt;
    const std::string_view stem = name.substr(0, name.size() - extension.size());

    if (stem.size() >= 6 && stem.size() <= 8 && stem.starts_with("U+")) {
        const std::string_view digits = stem.substr(2);
        unsigned value = 0;
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
        const bool allDigits = error == std::errc() && end == digits.data() + digits.size();
        if (allDigits && IsScalarValue(value)) return static_cast<char32_t>(value);
        return std::nullopt;
    }
    const auto decoded = DecodeUtf8(stem);
    if (decoded && decoded->size() == 1) return decoded->front();
    return std::nullopt;
}

}  // namespace font
