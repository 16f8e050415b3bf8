#include "formats/bdf/BdfReader.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "font/Failure.h"
#include "font/FontFormat.h"
#include "formats/freetype/FontImport.h"

namespace {

using font::CharRange;

// What a reader made of a font: its report in full, or the message it refused
// it with, or that it declined it.
struct Outcome {
    std::string text;
    bool declined = false;
};

std::string Describe(const font::ImportReport& report) {
    std::string text = "source: " + report.source + "\nskipped " + std::to_string(report.skipped) +
                       ", clipped " + std::to_string(report.clipped) + "\n";
    for (const std::string& warning : report.warnings) text += "warning: " + warning + "\n";
    for (const font::Glyph& glyph : report.font.glyphs) {
        text += std::to_string(glyph.codePoint) + " w" + std::to_string(glyph.width) + ":";
        for (const auto row : glyph.rows) text += " " + std::to_string(row);
        text += "\n";
    }
    return text;
}

font::FontFile File(const std::string& text) {
    return {"t.bdf", "t.bdf", std::vector<std::uint8_t>(text.begin(), text.end()), true};
}

template <typename Read>
Outcome Run(Read read) {
    try {
        const std::optional<font::ImportReport> report = read();
        return {report ? Describe(*report) : "not read"};
    } catch (const font::NotThisFormat& declined) {
        return {declined.what(), true};
    } catch (const font::Failure& failure) {
        return {std::string("refused: ") + failure.what()};
    }
}

Outcome Native(const std::string& text, const std::vector<CharRange>& ranges) {
    const font::FontFile file = File(text);
    return Run([&] { return font::ReadBdfFont(file, ranges); });
}

Outcome ThroughFreeType(const std::string& text, const std::vector<CharRange>& ranges) {
    const font::FontFile file = File(text);
    return Run([&] { return font::ReadFreeTypeFont(file, ranges); });
}

// The parts of a test font, each replaceable by a case.
struct Font {
    std::string size = "SIZE 7 75 75";
    std::string box = "FONTBOUNDINGBOX 5 7 0 -1";
    std::string properties =
        "STARTPROPERTIES 4\nFONT_ASCENT 6\nFONT_DESCENT 1\nCHARSET_REGISTRY \"ISO10646\"\n"
        "CHARSET_ENCODING \"1\"\nENDPROPERTIES\n";
    std::vector<std::string> glyphs;
    std::string end = "ENDFONT\n";

    std::string Text() const {
        std::string text = "STARTFONT 2.1\nFONT -test-t-medium-r-normal--7-70-75-75-c-50-x-1\n" +
                           size + "\n" + box + "\n" + properties + "CHARS " +
                           std::to_string(glyphs.size()) + "\n";
        for (const std::string& glyph : glyphs) text += glyph;
        return text + end;
    }
};

// The lines of a font's properties, counted.
std::string Properties(const std::vector<std::string>& lines) {
    std::string text = "STARTPROPERTIES " + std::to_string(lines.size()) + "\n";
    for (const std::string& line : lines) text += line + "\n";
    return text + "ENDPROPERTIES\n";
}

// A glyph of code `encoding` (the words of its ENCODING line) with `rows`
// under BITMAP, and `metrics` (SWIDTH, DWIDTH, BBX lines) before it.
std::string Glyph(const std::string& name, const std::string& encoding,
                  const std::vector<std::string>& rows,
                  const std::string& metrics = "SWIDTH 500 0\nDWIDTH 5 0\nBBX 5 7 0 -1\n") {
    std::string text = "STARTCHAR " + name + "\nENCODING " + encoding + "\n" + metrics + "BITMAP\n";
    for (const std::string& row : rows) text += row + "\n";
    return text + "ENDCHAR\n";
}

std::vector<std::string> Rows(const std::string& row, int count = 7) {
    return std::vector<std::string>(static_cast<std::size_t>(count), row);
}

Font Letters() {
    Font font;
    font.glyphs = {Glyph("A", "65", {"70", "88", "88", "F8", "88", "88", "00"}),
                   Glyph("B", "66", {"F0", "88", "F0", "88", "88", "F0", "00"}),
                   Glyph("space", "32", Rows("00"))};
    return font;
}

struct Case {
    const char* what;
    std::string text;
    bool declines = false;
    std::vector<CharRange> ranges = {};
};

Font With(void (*change)(Font&)) {
    Font font = Letters();
    change(font);
    return font;
}

std::vector<Case> Cases() {
    std::vector<Case> cases = {
        {"letters", Letters().Text()},
        {"no properties: the font box gives ascent and descent",
         With([](Font& f) { f.properties.clear(); }).Text()},
        {"FONT_DESCENT alone",
         With([](Font& f) { f.properties = Properties({"FONT_DESCENT 3"}); }).Text()},
        {"no DWIDTH: the box's width", With([](Font& f) {
                                           f.glyphs.push_back(
                                               Glyph("C", "67", Rows("F0"), "BBX 4 7 0 -1\n"));
                                       }).Text()},
        {"DWIDTH after BBX", With([](Font& f) {
                                 f.glyphs.push_back(
                                     Glyph("C", "67", Rows("F0"), "BBX 4 7 0 -1\nDWIDTH 6 0\n"));
                             }).Text()},
        {"short, odd and long hex rows",
         With([](Font& f) {
             f.glyphs.push_back(Glyph("C", "67", {"F", "", "8", "FFFF", "A8  ", "0f", "c"}));
         }).Text()},
        {"fewer and more rows than the box",
         With([](Font& f) {
             f.glyphs.push_back(Glyph("C", "67", Rows("F8", 3)));
             f.glyphs.push_back(Glyph("D", "68", Rows("F8", 9)));
         }).Text()},
        {"wide glyph over two bytes",
         With([](Font& f) {
             f.glyphs.push_back(Glyph("W", "87", Rows("FFF0"), "DWIDTH 12 0\nBBX 12 7 0 -1\n"));
             f.glyphs.push_back(Glyph("V", "86", Rows("FFFF"), "DWIDTH 11 0\nBBX 11 7 0 -1\n"));
         }).Text()},
        {"ENCODING -1, -1 n, -2 n, past Unicode and a surrogate",
         With([](Font& f) {
             f.glyphs.push_back(Glyph("none", "-1", Rows("F8")));
             f.glyphs.push_back(Glyph("alt", "-1 67", Rows("88")));
             f.glyphs.push_back(Glyph("alt2", "-2 68", Rows("88")));
             f.glyphs.push_back(Glyph("big", "1114112", Rows("88")));
             f.glyphs.push_back(Glyph("sur", "55296", Rows("88")));
         }).Text()},
        {"17 columns wide", With([](Font& f) {
                                f.glyphs.push_back(
                                    Glyph("C", "67", Rows("F8"), "DWIDTH 17 0\nBBX 5 7 0 -1\n"));
                            }).Text()},
        {"pixels beyond its width are clipped",
         With([](Font& f) {
             f.glyphs.push_back(Glyph("C", "67", Rows("F8"), "DWIDTH 3 0\nBBX 5 7 -1 -1\n"));
         }).Text()},
        {"codes out of order", With([](Font& f) { std::swap(f.glyphs[0], f.glyphs[2]); }).Text()},
        {"ink above the ascent moves the rows",
         With([](Font& f) {
             f.glyphs.push_back(Glyph("hat", "94", Rows("20", 2), "DWIDTH 5 0\nBBX 5 2 0 6\n"));
         }).Text()},
        {"ink over 8 rows is refused", With([](Font& f) {
                                           f.glyphs.push_back(Glyph("bar", "124", Rows("20", 9),
                                                                    "DWIDTH 5 0\nBBX 5 9 0 -2\n"));
                                       }).Text()},
        {"ink over 8 rows outside the characters asked for",
         With([](Font& f) {
             f.glyphs.push_back(Glyph("bar", "124", Rows("20", 9), "DWIDTH 5 0\nBBX 5 9 0 -2\n"));
         }).Text(),
         false,
         {{65, 66}}},
        {"a 12-pixel strike with its ink in 7 rows",
         With([](Font& f) {
             f.properties = Properties({"FONT_ASCENT 9", "FONT_DESCENT 3"});
         }).Text()},
        {"a 5-pixel strike, ink clipped",
         With([](Font& f) {
             f.properties = Properties({"FONT_ASCENT 4", "FONT_DESCENT 1"});
             f.glyphs.push_back(Glyph("bar", "124", Rows("20", 9), "DWIDTH 5 0\nBBX 5 9 0 -2\n"));
         }).Text()},
        {"a negative height is taken as its size",
         With([](Font& f) {
             f.properties = Properties({"FONT_ASCENT 2", "FONT_DESCENT -5"});
         }).Text()},
        {"a descent above the baseline",
         With([](Font& f) {
             f.properties = Properties({"FONT_ASCENT 8", "FONT_DESCENT -1"});
         }).Text()},
        {"ISO8859-2",
         With([](Font& f) {
             f.properties = Properties({"CHARSET_REGISTRY \"ISO8859\"", "CHARSET_ENCODING \"2\""});
             f.glyphs.push_back(Glyph("Lslash", "163", Rows("80")));
             f.glyphs.push_back(Glyph("none", "255", Rows("80")));
         }).Text()},
        {"KOI8-R", With([](Font& f) {
                       f.properties = Properties({"CHARSET_REGISTRY KOI8", "CHARSET_ENCODING R"});
                       f.glyphs.push_back(Glyph("ya", "241", Rows("80")));
                   }).Text()},
        {"iso8859-1, lower case",
         With([](Font& f) {
             f.properties = Properties({"CHARSET_REGISTRY \"iso8859\"", "CHARSET_ENCODING \"1\""});
             f.glyphs.push_back(Glyph("ydieresis", "255", Rows("80")));
         }).Text()},
        {"ISO646.1991-IRV", With([](Font& f) {
                                f.properties = Properties({"CHARSET_REGISTRY \"ISO646.1991\"",
                                                           "CHARSET_ENCODING \"IRV\""});
                            }).Text()},
        {"fontspecific", With([](Font& f) {
                             f.properties = Properties({"CHARSET_REGISTRY \"Misc\"",
                                                        "CHARSET_ENCODING \"FontSpecific\""});
                         }).Text()},
        {"an empty registry declares no charset",
         With([](Font& f) {
             f.properties = Properties({"CHARSET_REGISTRY \"\"", "CHARSET_ENCODING \"1\""});
         }).Text()},
        {"a charset iconv does not know",
         With([](Font& f) {
             f.properties = Properties({"CHARSET_REGISTRY \"Bogus\"", "CHARSET_ENCODING \"7\""});
         }).Text()},
        {"comments, # lines and blank lines",
         With([](Font& f) {
             f.glyphs[0].insert(f.glyphs[0].find("BITMAP"), "COMMENT in a glyph\n\n# hash\n");
             f.glyphs[1].insert(f.glyphs[1].find("88\n"), "COMMENT among rows\n");
             f.properties.insert(0, "COMMENT before\n\n");
         }).Text()},
        {"a box far beyond the cells", With([](Font& f) {
                                           f.glyphs.push_back(
                                               Glyph("C", "67", {}, "BBX 300 7 0 -1\n"));
                                       }).Text()},
        {"no glyphs", With([](Font& f) { f.glyphs.clear(); }).Text()},
        // Declined: FreeType reads these otherwise than a plain reading would.
        {"grey SIZE", With([](Font& f) { f.size = "SIZE 7 75 75 8"; }).Text(), true},
        {"two glyphs of one code",
         With([](Font& f) { f.glyphs.push_back(Glyph("A2", "65", Rows("88"))); }).Text(), true},
        {"a trailing space after ENCODING",
         With([](Font& f) { f.glyphs.push_back(Glyph("C", "-1 ", Rows("88"))); }).Text(), true},
        {"a tab in BBX", With([](Font& f) {
                             f.glyphs.push_back(Glyph("C", "67", Rows("88"), "BBX\t5 7 0 -1\n"));
                         }).Text(),
         true},
        {"a bitmap line not in hex",
         With([](Font& f) { f.glyphs.push_back(Glyph("C", "67", Rows("8G"))); }).Text(), true},
        {"no line end after ENDFONT", With([](Font& f) { f.end = "ENDFONT"; }).Text(), true},
        {"a lone CR", With([](Font& f) { f.end = "ENDFONT\r"; }).Text(), true},
        {"FONT_ASCENT twice", With([](Font& f) {
                                  f.properties = Properties({"FONT_ASCENT 6", "FONT_ASCENT 5"});
                              }).Text(),
         true},
        {"BDF 2.2 lines", With([](Font& f) { f.box += "\nMETRICSSET 0"; }).Text(), true},
        {"a glyph without ENDCHAR",
         With([](Font& f) { f.glyphs[0].erase(f.glyphs[0].find("ENDCHAR")); }).Text(), true},
    };
    std::string crlf = Letters().Text();
    for (std::size_t at = crlf.find('\n'); at != std::string::npos; at = crlf.find('\n', at + 2))
        crlf.insert(at, "\r");
    cases.push_back({"CRLF line ends", crlf});
    return cases;
}

// Every case reads as FreeType reads it, to the bit, the warning and the
// refusal, or is declined and left to FreeType.
TEST(BdfReader, ReadsWhatFreeTypeReadsOrDeclines) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.what);
        const Outcome native = Native(c.text, c.ranges);
        EXPECT_EQ(native.declined, c.declines) << native.text;
        if (native.declined) continue;
        const Outcome freetype = ThroughFreeType(c.text, c.ranges);
        EXPECT_EQ(native.text, freetype.text);
    }
}

TEST(BdfReader, TakesOnlyBdfAndNamesWhatItLeaves) {
    EXPECT_EQ(Native("not a font\n", {}).text, "not read");
    EXPECT_EQ(Native("", {}).text, "not read");
    Font grey = Letters();
    grey.size = "SIZE 7 75 75 4";
    EXPECT_EQ(Native(grey.Text(), {}).text,
              "but a form left to FreeType (a grey or odd SIZE on line 3): --from freetype "
              "reads it");
}

TEST(BdfReader, KnowsWhichCharsetsFreeTypeMapsToUnicode) {
    EXPECT_TRUE(font::HasUnicodeMap("ISO10646", "1"));
    EXPECT_TRUE(font::HasUnicodeMap("iSo10646", "anything"));
    EXPECT_TRUE(font::HasUnicodeMap("ISO8859", "1"));
    EXPECT_TRUE(font::HasUnicodeMap("ISO646.1991", "IRV"));
    EXPECT_FALSE(font::HasUnicodeMap("ISO8859", "2"));
    EXPECT_FALSE(font::HasUnicodeMap("ISO646.1991", "irv"));
    EXPECT_FALSE(font::HasUnicodeMap("ISO10646x", "1"));
    EXPECT_FALSE(font::HasUnicodeMap("IS", "1"));
    EXPECT_FALSE(font::HasUnicodeMap("KOI8", "R"));
}

}  // namespace
