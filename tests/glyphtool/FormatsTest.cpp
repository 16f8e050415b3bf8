#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

#include "Glyphtool.h"
#include "formats/Registry.h"

namespace testing_glyphtool {
namespace {

namespace fs = std::filesystem;

const std::string Misc5x7 = "/usr/share/fonts/X11/misc/5x7.pcf.gz";

bool TakesChars(const font::FontFormat& format) {
    for (const font::OptionGroup* group : format.writer->groups)
        if (group->Has("--chars")) return true;
    return false;
}

// convert gives what import into a fresh folder named like the font and
// export of that folder give: the same bytes, warnings and status, for every
// format that writes; also when nothing is left to write.
TEST(Convert, GivesWhatImportAndExportGiveForEveryWritingFormat) {
    const Scratch scratch;
    for (const font::FontFormat* format : formats::Registry()) {
        if (!format->writer) continue;
        // Latin-1 and Latin Extended-A: holes at the C1 controls, codes past 8 bits.
        for (const std::string chars : {"0x20-0x17F", "0x10000-0x10FFFF"}) {
            SCOPED_TRACE(format->name + " " + chars);
            const std::string tag = format->name + chars;
            const fs::path folder = scratch / tag / "5x7";
            const fs::path exported = scratch / (tag + ".export");
            const fs::path converted = scratch / (tag + ".convert");
            std::vector<std::string> picked = {"--chars", chars};
            std::vector<std::string> exportPicked =
                TakesChars(*format) ? picked : std::vector<std::string>{};

            std::vector<std::string> import = {"import", Misc5x7, "-o", folder};
            import.insert(import.end(), picked.begin(), picked.end());
            const Result imported = Glyphtool(import);
            Result viaFolder = imported;
            if (imported.status == 0) {
                std::vector<std::string> run = {"export", format->name, folder, "-o", exported};
                run.insert(run.end(), exportPicked.begin(), exportPicked.end());
                viaFolder = Glyphtool(run);
                viaFolder.err = imported.err + viaFolder.err;
            }
            std::vector<std::string> run = {"convert", Misc5x7, "-o",
                                            converted, "--to",  format->name};
            run.insert(run.end(), picked.begin(), picked.end());
            const Result convert = Glyphtool(run);

            EXPECT_EQ(convert.status, viaFolder.status) << convert.err;
            EXPECT_EQ(convert.err, viaFolder.err);
            EXPECT_EQ(fs::exists(converted), fs::exists(exported));
            if (fs::exists(exported)) {
                EXPECT_EQ(ReadBytes(converted), ReadBytes(exported));
                EXPECT_FALSE(ReadBytes(converted).empty());
            }
        }
    }
}

// A file of each reading format, under a name whose extension misleads.
std::map<std::string, fs::path> SampleOfEveryReadingFormat(const Scratch& scratch) {
    EXPECT_EQ(Glyphtool({"import", Misc5x7, "-o", scratch / "5x7", "--chars", "0x41-0x5A"}).status,
              0);
    std::map<std::string, fs::path> samples{{"freetype", scratch / "pcf.h"}};
    fs::copy_file(Misc5x7, samples["freetype"]);
    for (const auto& [format, file] : {std::pair<std::string, std::string>{"chart", "chart.bdf"},
                                       {"gfx", "gfx.png"},
                                       {"max72xx", "max72xx.ttf"},
                                       {"glcd", "glcd.bdf"},
                                       {"gfx-classic", "classic.png"},
                                       {"u8g2", "u8g2.bdf"},
                                       {"lvgl", "lvgl.bdf"},
                                       {"lvgl-bin", "lvgl-bin.png"}}) {
        samples[format] = scratch / file;
        EXPECT_EQ(Glyphtool({"export", format, scratch / "5x7", "-o", samples[format]}).status, 0);
    }
    samples["bdf"] = scratch / "bdf.txt";
    EXPECT_EQ(Glyphtool({"export", "bdf", scratch / "5x7", "-o", samples["bdf"]}).status, 0);
    samples["yaff"] = scratch / "yaff.h";
    EXPECT_EQ(Glyphtool({"export", "yaff", scratch / "5x7", "-o", samples["yaff"]}).status, 0);
    samples["sheet"] = scratch / "sheet.c";
    const std::string sheet = "/usr/bin/python3 " SOURCE_DIR "/make_sheet.py " + Misc5x7 + " " +
                              samples["sheet"].string() + " P 0x41 0x5A 8 1 0 0 0 0";
    EXPECT_EQ(std::system(sheet.c_str()), 0) << sheet;
    return samples;
}

// What a reader needs besides the file: a sheet's cells.
std::vector<std::string> ReadingOptions(const std::string& format) {
    if (format == "sheet") return {"--cell", "5x7", "--first", "U+0041"};
    return {};
}

// import finds each format from the content alone, as --from that format
// reads it, and --from another format refuses the file with that format's
// reason.
TEST(Import, FindsEveryReadingFormatByContentAndRefusesTheWrongOne) {
    const Scratch scratch;
    const auto samples = SampleOfEveryReadingFormat(scratch);
    for (const font::FontFormat* format : formats::Registry()) {
        if (!format->reader) continue;
        SCOPED_TRACE(format->name);
        ASSERT_TRUE(samples.contains(format->name)) << "no sample of " << format->name;
        const fs::path& sample = samples.at(format->name);
        std::vector<std::string> foundArgs = {
            "import", sample, "-o", scratch / (format->name + ".found"), "--chars", "0x41-0x5A"};
        std::vector<std::string> namedArgs = {
            "import", sample,       "-o",      scratch / (format->name + ".named"),
            "--from", format->name, "--chars", "0x41-0x5A"};
        for (const std::string& option : ReadingOptions(format->name)) {
            foundArgs.push_back(option);
            namedArgs.push_back(option);
        }
        const Result found = Glyphtool(foundArgs);
        ASSERT_EQ(found.status, 0) << found.err;
        const Result named = Glyphtool(namedArgs);
        ASSERT_EQ(named.status, 0) << named.err;
        EXPECT_EQ(found.out.substr(0, found.out.find('\n')),
                  named.out.substr(0, named.out.find('\n')));
        EXPECT_EQ(Snapshot(scratch / (format->name + ".found")),
                  Snapshot(scratch / (format->name + ".named")));
        EXPECT_EQ(Snapshot(scratch / (format->name + ".found")).size(), 26u);

        for (const font::FontFormat* other : formats::Registry()) {
            if (!other->reader || other == format) continue;
            // FreeType reads BDF too: the bdf reader leaves it the fonts it is unsure of.
            if (format->name == "bdf" && other->name == "freetype") continue;
            const fs::path out = scratch / (format->name + ".as-" + other->name);
            const Result refused = Glyphtool({"import", sample, "-o", out, "--from", other->name});
            EXPECT_EQ(refused.status, 1) << other->name;
            // What shows it may follow: "nor text (a NUL byte on line 3)".
            EXPECT_TRUE(refused.err.starts_with("glyphtool: " + sample.string() + ": not " +
                                                other->reader->kind))
                << refused.err;
            EXPECT_EQ(std::count(refused.err.begin(), refused.err.end(), '\n'), 1) << refused.err;
            EXPECT_FALSE(fs::exists(out));
        }
    }
    // A file no reader takes is refused once, naming every format tried.
    WriteBytes(scratch / "prose.txt", "Not a font at all.\n");
    std::string kinds, names;
    for (const font::FontFormat* format : formats::Registry())
        if (format->reader) {
            kinds += (kinds.empty() ? "" : ", ") + format->reader->kind;
            names += (names.empty() ? "" : ", ") + format->name;
        }
    kinds.replace(kinds.rfind(", "), 2, " nor ");
    const Result none = Glyphtool({"import", scratch / "prose.txt", "-o", scratch / "none"});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err, "glyphtool: " + (scratch / "prose.txt").string() + ": neither " + kinds +
                            " (tried " + names + ")\n");
}

// glyphtool formats prints the registry, one line a format in its order,
// and every folder under formats/ that holds a format is in it.
TEST(Formats, ListsExactlyTheRegistry) {
    const Result listed = Glyphtool({"formats"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    std::istringstream lines(listed.out);
    std::string line;
    for (const font::FontFormat* format : formats::Registry()) {
        ASSERT_TRUE(std::getline(lines, line)) << format->name;
        std::istringstream words(line);
        std::string name, modes;
        words >> name >> modes;
        EXPECT_EQ(name, format->name);
        EXPECT_EQ(modes, format->reader && format->writer ? "read/write"
                         : format->reader                 ? "read"
                                                          : "write");
        EXPECT_TRUE(line.ends_with(format->description)) << line;
    }
    EXPECT_FALSE(std::getline(lines, line)) << line;

    std::istringstream folders(FORMAT_FOLDERS);
    std::string folder;
    int count = 0;
    while (std::getline(folders, folder, ',')) {
        ++count;
        const auto all = formats::Registry();
        EXPECT_TRUE(std::any_of(all.begin(), all.end(),
                                [&](const font::FontFormat* format) {
                                    return format->name == folder ||
                                           format->name.starts_with(folder + "-");
                                }))
            << "formats/" << folder << " holds a format the registry does not list";
    }
    EXPECT_GE(count, static_cast<int>(formats::Registry().size()) - 1);
}

// A format is found by its own name, as the one the registry lists, and a
// name no format has finds none.
TEST(Formats, FindsEachFormatByItsName) {
    for (const font::FontFormat* format : formats::Registry())
        EXPECT_EQ(formats::FindFormat(format->name), format) << format->name;
    EXPECT_EQ(formats::FindFormat("pcf"), nullptr);
    EXPECT_EQ(formats::FindFormat(""), nullptr);
}

// convert's own mistakes: an option neither format takes, or a value the
// format taking it refuses, is a usage error; -o - writes to standard output.
TEST(Convert, RefusesAnOptionNeitherFormatTakesAndWritesToStandardOutput) {
    const Scratch scratch;
    const std::pair<std::vector<std::string>, std::string> mistakes[] = {
        {{"--to", "bdf", "--font", "X"}, "--font is taken by neither freetype nor bdf"},
        {{"--to", "c", "--from", "freetype", "--height", "9"},
         "--height is taken by neither freetype nor c"},
        {{"--to", "gfx", "--name", "int"}, "--name: 'int' is not a C identifier"},
        {{"--to", "c", "--layout", "diagonal"}, "--layout: 'diagonal' is not one of"},
        {{"--to", "bdf", "--ascent", "8"}, "--ascent: '8' is not a number from 0 to 7"},
        // Checked for the readers that take it before any is chosen.
        {{"--to", "c", "--ascent", "x"}, "--ascent: 'x' is not a number from 0 to 7"},
    };
    for (const auto& [args, reason] : mistakes) {
        SCOPED_TRACE(reason);
        std::vector<std::string> run = {"convert", Misc5x7, "-o", scratch / "out"};
        run.insert(run.end(), args.begin(), args.end());
        const Result refused = Glyphtool(run);
        EXPECT_EQ(refused.status, 2);
        EXPECT_NE(refused.err.find(reason), std::string::npos) << refused.err;
        EXPECT_FALSE(fs::exists(scratch / "out"));
    }
    const Result out = Glyphtool(
        {"convert", Misc5x7, "-o", "-", "--to", "max72xx", "--chars", "65", "--name", "f"});
    EXPECT_EQ(out.status, 0) << out.err;
    EXPECT_NE(out.out.find("MD_MAX72XX::fontType_t f[] PROGMEM = {\n    'F', 1, 65, 65, 8,\n"),
              std::string::npos)
        << out.out;
}

}  // namespace
}  // namespace testing_glyphtool
