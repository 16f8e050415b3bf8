#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Glyphtool.h"

namespace testing_glyphtool {
namespace {

// The dynamic loader's report of every library a run of glyphtool loads.
std::string LoaderReport(const std::vector<std::string>& args) {
    struct LoaderDebug {
        LoaderDebug() { setenv("LD_DEBUG", "files", 1); }
        ~LoaderDebug() { unsetenv("LD_DEBUG"); }
    } debug;
    const Result result = Glyphtool(args);
    EXPECT_EQ(result.status, 0) << result.err.substr(
        result.err.size() > 2000 ? result.err.size() - 2000 : 0);
    return result.err;
}

bool Loads(const std::string& report, const std::string& soname) {
    return report.find("file=" + soname + " ") != std::string::npos;
}

// FreeType, libpng, HarfBuzz, zlib and liburing are loaded in the runs that
// need them, not at every start.
TEST(LibraryLoading, EachLibraryLoadsOnlyInTheRunsThatNeedIt) {
    const Scratch scratch;
    const std::string font = (scratch / "font").string();
    ASSERT_EQ(Glyphtool({"import", "/usr/share/fonts/X11/misc/5x7.pcf.gz", "-o", font, "--chars",
                         "0x41-0x5A"})
                  .status,
              0);
    // A folder long enough to be read in batches through io_uring.
    const std::string whole = (scratch / "whole").string();
    ASSERT_EQ(Glyphtool({"import", "/usr/share/fonts/X11/misc/5x7.pcf.gz", "-o", whole}).status, 0);
    const std::string freetype = "libfreetype.so.6", png = "libpng16.so.16",
                      harfbuzz = "libharfbuzz.so.0", zlib = "libz.so.1", liburing = "liburing.so.2";
    // A library loaded brings its own: FreeType brings libpng, HarfBuzz FreeType.
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> loaded, notLoaded;
    };
    const std::vector<Case> cases = {
        {{"check", font}, {}, {freetype, png, harfbuzz, zlib, liburing}},
        {{"check", whole}, {liburing}, {freetype, png, harfbuzz, zlib}},
        {{"export", "c", font, "-o", (scratch / "font.h").string()},
         {},
         {freetype, png, harfbuzz, zlib, liburing}},
        {{"export", "c", whole, "-o", (scratch / "whole.h").string()},
         {liburing},
         {freetype, png, harfbuzz, zlib}},
        {{"show", font + "/U+0041.dat"}, {}, {freetype, png, harfbuzz, zlib, liburing}},
        // A one-bit BDF font is read without FreeType.
        {{"export", "bdf", font, "-o", (scratch / "font.bdf").string()}, {}, {freetype}},
        {{"convert", (scratch / "font.bdf").string(), "-o", (scratch / "bdf.h").string(), "--to",
          "gfx"},
         {},
         {freetype, png, harfbuzz, zlib, liburing}},
        {{"import", "/usr/share/fonts/X11/misc/5x7.pcf.gz", "-o", (scratch / "again").string()},
         {freetype, zlib},
         {harfbuzz}},
        {{"render", font, "HI", "-o", (scratch / "hi.png").string()}, {png}, {freetype, harfbuzz}},
        {{"chart", font, "-o", (scratch / "chart.png").string()}, {png}, {freetype, harfbuzz}},
        {{"export", "otb", font, "-o", (scratch / "font.otb").string()}, {harfbuzz}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        const std::string report = LoaderReport(c.args);
        for (const std::string& library : c.loaded) EXPECT_TRUE(Loads(report, library)) << library;
        for (const std::string& library : c.notLoaded)
            EXPECT_FALSE(Loads(report, library)) << library;
    }
}

}  // namespace
}  // namespace testing_glyphtool
