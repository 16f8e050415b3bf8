#include "font/FontReading.h"

#include <algorithm>

#include "font/Failure.h"

namespace font {
namespace {

FontRead Sorted(const FontFormat& format, ImportReport report) {
    std::sort(report.font.glyphs.begin(), report.font.glyphs.end(),
              [](const Glyph& a, const Glyph& b) { return a.codePoint < b.codePoint; });
    return {&format, std::move(report)};
}

// The format's reading of `file`, or nothing; what shows that the file is
// not of the format is added to `reasons` unless it is there already.
std::optional<FontRead> TryReader(const FontFormat& format, const FontFile& file,
                                  const ReadOptions& options, std::vector<std::string>& reasons) {
    try {
        if (auto report = format.reader->read(file, options))
            return Sorted(format, std::move(*report));
    } catch (const NotThisFormat& reason) {
        if (std::find(reasons.begin(), reasons.end(), reason.what()) == reasons.end())
            reasons.push_back(reason.what());
    }
    return std::nullopt;
}

std::string WithReasons(std::string message, const std::vector<std::string>& reasons) {
    for (const std::string& reason : reasons) message += ", " + reason;
    return message;
}

}  // namespace

FontRead ReadFontFile(const FontFile& file, std::span<const FontFormat* const> formats,
                      const FontFormat* from, const ReadOptions& options) {
    std::vector<std::string> reasons;
    if (from != nullptr) {
        if (auto read = TryReader(*from, file, options, reasons)) return std::move(*read);
        throw Failure(WithReasons(file.name + ": not " + from->reader->kind, reasons));
    }
    std::vector<const FontFormat*> tried;
    for (const FontFormat* format : formats) {
        if (!format->reader) continue;
        if (auto read = TryReader(*format, file, options, reasons)) return std::move(*read);
        tried.push_back(format);
    }
    std::string kinds, names;
    for (std::size_t i = 0; i < tried.size(); ++i) {
        kinds += (i == 0 ? "" : i + 1 == tried.size() ? " nor " : ", ") + tried[i]->reader->kind;
        names += (i == 0 ? "" : ", ") + tried[i]->name;
    }
    throw Failure(WithReasons(file.name + (tried.size() == 1 ? ": not " : ": neither ") + kinds +
                                  " (tried " + names + ")",
                              reasons));
}

const OptionGroup* GroupNotTaken(const FontFormat& format,
                                 std::span<const OptionGroup* const> groups,
                                 const OptionValues& given) {
    const auto& taken = format.reader->groups;
    for (const OptionGroup* group : groups) {
        if (std::find(taken.begin(), taken.end(), group) != taken.end()) continue;
        // An option two groups share (--ascent) is taken when either is.
        for (const OptionSpec& spec : group->options)
            if (given.Has(spec.flag) &&
                std::none_of(taken.begin(), taken.end(),
                             [&](const OptionGroup* t) { return t->Has(spec.flag); }))
                return group;
    }
    return nullptr;
}

}  // namespace font
