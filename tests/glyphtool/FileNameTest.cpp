#include <gtest/gtest.h>

#include <optional>

#include "font/GlyphFileInspection.h"

namespace {

TEST(FileName, HoldsTheCharacterOfEitherForm) {
    const std::pair<std::string, std::optional<char32_t>> names[] = {
        {"U+0041.dat", U'A'},
        {"U+00e9.dat", U'é'},
        {"U+1F600.dat", 0x1F600},
        {"U+10FFFF.dat", 0x10FFFF},
        {"U+00041.dat", U'A'},
        {"A.dat", U'A'},
        {"あ.dat", U'あ'},
        {"😀.dat", 0x1F600},
        {"..dat", U'.'},
        {"U.dat", U'U'},
        {"U+041.dat", {}},
        {"U+0000041.dat", {}},
        {"U+110000.dat", {}},
        {"U+D800.dat", {}},
        {"U+00G1.dat", {}},
        {"u+0041.dat", {}},
        {"U+-041.dat", {}},
        {".dat", {}},
        {"AB.dat", {}},
        {"e\xcc\x81.dat", {}},
        {"\xff.dat", {}},
        {"\xc3.dat", {}},
        {"A.DAT", {}},
        {"A.dat~", {}},
    };
    for (const auto& [name, cp] : names) EXPECT_EQ(font::CodePointOfFileName(name), cp) << name;
}

}  // namespace
