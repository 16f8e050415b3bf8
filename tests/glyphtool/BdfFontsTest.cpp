#include <gtest/gtest.h>

#include <cstdlib>

#include "Glyphtool.h"

namespace testing_glyphtool {
namespace {

namespace fs = std::filesystem;

// The X11 misc font as BDF, by pcf2bdf.
fs::path AsBdf(const std::string& font, const Scratch& scratch) {
    const fs::path pcf = scratch / (font + ".pcf");
    const fs::path bdf = scratch / (font + ".bdf");
    const std::string command = "gzip -dc /usr/share/fonts/X11/misc/" + font + ".pcf.gz > " +
                                pcf.string() + " && pcf2bdf -o " + bdf.string() + " " +
                                pcf.string();
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return bdf;
}

// What import said, with the folder it wrote into named alike.
std::string Said(const Result& result, const fs::path& folder) {
    std::string text = std::to_string(result.status) + "\n" + result.out + result.err;
    for (auto at = text.find(folder.string()); at != std::string::npos;
         at = text.find(folder.string()))
        text.replace(at, folder.string().size(), "FOLDER");
    return text;
}

// Real fonts read as BDF give what FreeType's reading gives: the same glyph
// files, the same messages, and the same refusals of ink taller than 7 rows.
TEST(BdfFonts, ReadAsFreeTypeReadsThem) {
    const Scratch scratch;
    int read = 0, refused = 0;
    for (const char* font : {"5x7", "5x8", "4x6", "6x10", "6x13", "10x20", "5x7-ISO8859-2",
                             "5x7-KOI8-R", "micro", "nil2", "clR4x6", "cursor"}) {
        SCOPED_TRACE(font);
        const fs::path bdf = AsBdf(font, scratch);
        const fs::path native = scratch / (std::string(font) + ".native");
        const fs::path freetype = scratch / (std::string(font) + ".freetype");
        const Result byBdf = Glyphtool({"import", bdf, "-o", native, "--from", "bdf"});
        const Result byFreeType = Glyphtool({"import", bdf, "-o", freetype, "--from", "freetype"});
        EXPECT_EQ(Said(byBdf, native), Said(byFreeType, freetype));
        EXPECT_EQ(fs::exists(native), fs::exists(freetype));
        if (fs::exists(native)) {
            EXPECT_EQ(Snapshot(native), Snapshot(freetype));
        }
        ++(byBdf.status == 0 ? read : refused);
    }
    EXPECT_GE(read, 6);
    EXPECT_GE(refused, 2);
}

// A BDF font is found as one, its reader the first that import tries, and
// converts as through FreeType.
TEST(BdfFonts, AreFoundAsBdf) {
    const Scratch scratch;
    const fs::path bdf = AsBdf("5x7", scratch);
    const Result found =
        Glyphtool({"convert", bdf, "-o", scratch / "found.h", "--to", "gfx", "--chars", "65"});
    ASSERT_EQ(found.status, 0) << found.err;
    const Result named = Glyphtool({"convert", bdf, "-o", scratch / "named.h", "--to", "gfx",
                                    "--chars", "65", "--from", "freetype"});
    ASSERT_EQ(named.status, 0) << named.err;
    EXPECT_EQ(ReadBytes(scratch / "found.h"), ReadBytes(scratch / "named.h"));
    const Result listed = Glyphtool({"formats"});
    EXPECT_TRUE(listed.out.starts_with("bdf ")) << listed.out;
    EXPECT_NE(listed.out.substr(0, listed.out.find('\n')).find(" read/write "), std::string::npos)
        << listed.out;
}

}  // namespace
}  // namespace testing_glyphtool
