#include "font/PixelLine.h"

#include "font/Failure.h"
#include "font/Unicode.h"

namespace font {

void PixelLine::Append(const Glyph& glyph) {
    for (int row = 0; row < Rows; ++row) {
        const unsigned bits = glyph.rows[static_cast<std::size_t>(row)];
        for (int col = 0; col < glyph.width; ++col)
            rows_[row].push_back(static_cast<std::uint8_t>((bits >> (15 - col)) & 1));
    }
    columns_ += glyph.width;
}

void PixelLine::AppendBlank(int columns) {
    for (auto& row : rows_) row.insert(row.end(), static_cast<std::size_t>(columns), false);
    columns_ += columns;
}

std::string PixelLine::Art() const {
    std::string art;
    art.reserve(static_cast<std::size_t>(Rows * (columns_ + 1)));
    for (const auto& row : rows_) {
        for (const std::uint8_t set : row) art += set != 0 ? '#' : '.';
        art += '\n';
    }
    return art;
}

PixelLine SetText(const Font& font, std::u32string_view text, int spacing,
                  std::string_view fontName) {
    PixelLine line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const Glyph* glyph = font.Find(text[i]);
        if (glyph == nullptr)
            throw Failure("no glyph for " + DescribeCharacter(text[i]) + " in " +
                          std::string(fontName));
        if (i > 0) line.AppendBlank(spacing);
        line.Append(*glyph);
    }
    return line;
}

}  // namespace font
