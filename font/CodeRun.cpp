#include "font/CodeRun.h"

#include "font/Failure.h"
#include "font/Unicode.h"

namespace font {

std::vector<const Glyph*> PickedGlyphs(const Font& font, const std::vector<CharRange>& ranges) {
    std::vector<const Glyph*> picked;
    for (const Glyph& glyph : font.glyphs)
        if (Picks(ranges, glyph.codePoint)) picked.push_back(&glyph);
    if (picked.empty()) throw Failure("no glyph of the folder is among the characters chosen");
    return picked;
}

CodeRun ContiguousRun(const Font& font, const std::vector<CharRange>& ranges,
                      const std::string& format) {
    const std::vector<const Glyph*> picked = PickedGlyphs(font, ranges);
    CodeRun run;
    run.first = picked.front()->codePoint;
    run.last = picked.back()->codePoint;
    if (run.last > 0xFFFF)
        throw Failure("the characters run from " + CodePointLabel(run.first) + " to " +
                      CodePointLabel(run.last) + ", but " + format +
                      " fonts reach U+FFFF at most; --chars picks fewer");
    run.slots.assign(run.last - run.first + 1, nullptr);
    for (const Glyph* glyph : picked) run.slots[glyph->codePoint - run.first] = glyph;
    run.holes = run.slots.size() - picked.size();
    return run;
}

std::vector<std::string> RunWarnings(const CodeRun& run) {
    std::vector<std::string> warnings;
    if (run.holes > 0)
        warnings.push_back(std::to_string(run.holes) + " of the codes from " +
                           CodePointLabel(run.first) + " to " + CodePointLabel(run.last) +
                           (run.holes == 1 ? " has" : " have") + " no glyph and draw nothing");
    for (const Glyph* glyph : run.slots)
        if (glyph != nullptr && glyph->width == 0)
            warnings.push_back(DescribeCharacter(glyph->codePoint) +
                               " has width 0, which reads back as a code without a glyph");
    return warnings;
}

}  // namespace font
