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

}  // namespace

FontRead ReadFontFile(const FontFile& file, std::span<const FontFormat* const> formats,
                      const FontFormat* from, const ReadOptions& options) {
    if (from != nullptr) {
        if (auto report = from->reader->read(file, options))
            return Sorted(*from, std::move(*report));
        throw Failure(file.name + ": not " + from->reader->kind);
    }
    std::vector<const FontFormat*> tried;
    for (const FontFormat* format : formats) {
        if (!format->reader) continue;
        if (auto report = format->reader->read(file, options))
            return Sorted(*format, std::move(*report));
        tried.push_back(format);
    }
    std::string kinds, names;
    for (std::size_t i = 0; i < tried.size(); ++i) {
        kinds += (i == 0 ? "" : i + 1 == tried.size() ? " nor " : ", ") + tried[i]->reader->kind;
        names += (i == 0 ? "" : ", ") + tried[i]->name;
    }
    throw Failure(file.name + (tried.size() == 1 ? ": not " : ": neither ") + kinds + " (tried " +
                  names + ")");
}

const OptionGroup* GroupNotTaken(const FontFormat& format,
                                 std::span<const OptionGroup* const> groups,
                                 const OptionValues& given) {
    const auto& taken = format.reader->groups;
    for (const OptionGroup* group : groups) {
        if (std::find(taken.begin(), taken.end(), group) != taken.end()) continue;
        for (const OptionSpec& spec : group->options)
            if (given.Has(spec.flag)) return group;
    }
    return nullptr;
}

}  // namespace font
