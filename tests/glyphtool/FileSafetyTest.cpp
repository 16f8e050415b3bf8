#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <regex>
#include <thread>

#include "Glyphtool.h"

namespace testing_glyphtool {
namespace {

namespace fs = std::filesystem;

const std::string Misc5x7 = "/usr/share/fonts/X11/misc/5x7.pcf.gz";
const std::string Misc4x6 = "/usr/share/fonts/X11/misc/4x6.pcf.gz";

// Names in a folder that are not glyph files, such as a temporary file left
// behind.
std::vector<std::string> Strays(const fs::path& dir) {
    static const std::regex glyphName("U\\+[0-9A-F]{4,6}\\.dat");
    std::vector<std::string> strays;
    for (const auto& entry : fs::directory_iterator(dir))
        if (!std::regex_match(entry.path().filename().string(), glyphName))
            strays.push_back(entry.path().filename().string());
    return strays;
}

// Each thing in the way is found before a single file is written: the import
// fails, names it, and the folder and whatever its links point to stay as
// they were.
TEST(FileSafety, ImportRefusesWhatAPlainFileCannotReplaceBeforeWritingAnything) {
    struct Case {
        const char* name;
        std::function<void(const fs::path& dir, const fs::path& outside)> setUp;
    };
    const Case cases[] = {
        {"a FIFO",
         [](const fs::path& dir, const fs::path&) {
             fs::remove(dir / "U+0043.dat");
             ASSERT_EQ(::mkfifo((dir / "U+0043.dat").c_str(), 0644), 0);
         }},
        {"a link to a FIFO",
         [](const fs::path& dir, const fs::path& outside) {
             fs::remove(dir / "U+0043.dat");
             ASSERT_EQ(::mkfifo((outside.parent_path() / "fifo").c_str(), 0644), 0);
             fs::create_symlink(outside.parent_path() / "fifo", dir / "U+0043.dat");
         }},
        {"a link to a file elsewhere",
         [](const fs::path& dir, const fs::path& outside) {
             fs::remove(dir / "U+0043.dat");
             fs::create_symlink(outside, dir / "U+0043.dat");
         }},
        {"a link to /dev/zero",
         [](const fs::path& dir, const fs::path&) {
             fs::remove(dir / "U+0043.dat");
             fs::create_symlink("/dev/zero", dir / "U+0043.dat");
         }},
        {"a link to another glyph",
         [](const fs::path& dir, const fs::path&) {
             fs::remove(dir / "U+0043.dat");
             fs::create_symlink("U+0041.dat", dir / "U+0043.dat");
         }},
        {"a read-only glyph",
         [](const fs::path& dir, const fs::path&) {
             fs::permissions(dir / "U+0043.dat", fs::perms::owner_read | fs::perms::group_read);
         }},
        {"a folder named like a glyph",
         [](const fs::path& dir, const fs::path&) {
             fs::remove(dir / "U+0043.dat");
             fs::create_directory(dir / "U+0043.dat");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Scratch scratch;
        const fs::path dir = scratch / "font";
        ASSERT_EQ(Glyphtool({"import", Misc4x6, "-o", dir, "--chars", "0x41-0x44"}).status, 0);
        WriteBytes(scratch / "outside", "not a glyph");
        c.setUp(dir, scratch / "outside");
        const auto before = Snapshot(scratch.path());

        const Result run =
            Glyphtool({"import", Misc5x7, "-o", dir, "--chars", "0x41-0x44", "--force"});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find((dir / "U+0043.dat").string() + ": "), std::string::npos) << run.err;
        EXPECT_EQ(Snapshot(scratch.path()), before);
    }
}

TEST(FileSafety, ImportReplacesAHardLinkedGlyphWithAFileOfItsOwn) {
    const Scratch scratch;
    const fs::path dir = scratch / "font";
    ASSERT_EQ(Glyphtool({"import", Misc4x6, "-o", dir, "--chars", "0x41-0x42"}).status, 0);
    fs::remove(dir / "U+0042.dat");
    fs::create_hard_link(dir / "U+0041.dat", dir / "U+0042.dat");
    ASSERT_EQ(Glyphtool({"import", Misc5x7, "-o", dir, "--chars", "0x41-0x42", "--force"}).status,
              0);
    EXPECT_NE(ReadBytes(dir / "U+0041.dat"), ReadBytes(dir / "U+0042.dat"))
        << "A and B share one glyph";
    ASSERT_EQ(
        Glyphtool({"import", Misc5x7, "-o", scratch / "fresh", "--chars", "0x41-0x42"}).status, 0);
    EXPECT_EQ(Snapshot(dir), Snapshot(scratch / "fresh")) << "--force replaces what was there";
}

// Without --force a file that appears while the import writes is not
// replaced, so two imports into one new folder cannot both succeed, and the
// one that succeeds leaves only its own glyphs.
TEST(FileSafety, TwoImportsIntoOneNewFolderNeverBothSucceed) {
    const Scratch scratch;
    const std::vector<std::string> fonts = {Misc5x7, Misc4x6};
    std::vector<std::vector<std::pair<std::string, std::string>>> alone;
    for (const std::string& font : fonts) {
        const fs::path dir = scratch / ("alone" + std::to_string(alone.size()));
        ASSERT_EQ(Glyphtool({"import", font, "-o", dir, "--chars", "0x20-0x7E"}).status, 0);
        alone.push_back(Snapshot(dir));
    }
    for (int round = 0; round < 8; ++round) {
        const fs::path dir = scratch / ("both" + std::to_string(round));
        Running first({"import", fonts[0], "-o", dir, "--chars", "0x20-0x7E"});
        Running second({"import", fonts[1], "-o", dir, "--chars", "0x20-0x7E"});
        const Result results[] = {first.Wait(), second.Wait()};
        EXPECT_FALSE(results[0].status == 0 && results[1].status == 0) << "round " << round;
        for (std::size_t i = 0; i < 2; ++i) {
            if (results[i].status == 0) {
                EXPECT_EQ(Snapshot(dir), alone[i]) << "round " << round;
            } else {
                EXPECT_EQ(results[i].status, 1);
                EXPECT_NE(results[i].err.find("--force overwrites it"), std::string::npos)
                    << results[i].err;
            }
        }
    }
}

// An import cut off by a signal leaves no temporary file: SIGINT, SIGTERM and
// SIGHUP remove the one being written, and SIGKILL finds none with a name.
TEST(FileSafety, AnInterruptedImportLeavesNoTemporaryFile) {
    const Scratch scratch;
    const fs::path dir = scratch / "font";
    int interrupted = 0;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGKILL}) {
        for (const int delayMs : {1, 3, 8, 15, 30}) {
            SCOPED_TRACE(std::to_string(signal) + " after " + std::to_string(delayMs) + " ms");
            // SIGKILL on a fresh import; the others while files are replaced.
            if (signal == SIGKILL) fs::remove_all(dir);
            std::vector<std::string> args = {"import", Misc5x7, "-o", dir};
            if (signal != SIGKILL) args.push_back("--force");
            Running run(args);
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
            run.Signal(signal);
            const Result result = run.Wait();
            if (result.status == 128 + signal) ++interrupted;
            if (fs::exists(dir)) {
                EXPECT_EQ(Strays(dir), std::vector<std::string>{});
            }
        }
    }
    EXPECT_GT(interrupted, 4) << "the runs ended before the signals came";
}

TEST(FileSafety, OutputsFollowLinksKeepHardLinksAndNeverOverwriteAnInput) {
    const Scratch scratch;
    const fs::path font = scratch / "font";
    ASSERT_EQ(Glyphtool({"import", Misc5x7, "-o", font, "--chars", "0x41-0x43"}).status, 0);
    const auto glyphs = Snapshot(font);

    fs::create_directory(scratch / "out");
    fs::create_symlink("out/made.h", scratch / "dangling.h");
    EXPECT_EQ(Glyphtool({"export", "c", font, "-o", scratch / "dangling.h"}).status, 0);
    EXPECT_TRUE(fs::is_symlink(scratch / "dangling.h"));
    EXPECT_NE(ReadBytes(scratch / "out/made.h").find("font_codepoints"), std::string::npos);

    fs::create_symlink("missing/made.h", scratch / "into nowhere.h");
    const Result nowhere = Glyphtool({"export", "c", font, "-o", scratch / "into nowhere.h"});
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_NE(nowhere.err.find(": cannot create: No such file or directory"), std::string::npos)
        << nowhere.err;
    EXPECT_FALSE(fs::exists(scratch / "missing"));

    WriteBytes(scratch / "linked.bdf", "old");
    fs::create_hard_link(scratch / "linked.bdf", scratch / "second.bdf");
    EXPECT_EQ(Glyphtool({"export", "bdf", font, "-o", scratch / "linked.bdf"}).status, 0);
    EXPECT_TRUE(ReadBytes(scratch / "second.bdf").starts_with("STARTFONT"));

    const std::string longName(255 - 2, 'n');
    EXPECT_EQ(Glyphtool({"export", "c", font, "-o", scratch / (longName + ".h")}).status, 0);
    EXPECT_EQ(Glyphtool({"export", "c", font, "-o", scratch / (longName + ".h")}).status, 0);

    fs::create_symlink(font / "U+0042.dat", scratch / "alias.dat");
    fs::create_hard_link(font / "U+0043.dat", scratch / "second name.dat");
    const std::vector<std::string> overInputs[] = {
        {"export", "c", font, "-o", font / "U+0041.dat"},
        {"export", "bdf", font, "-o", scratch / "alias.dat"},
        {"render", font, "ABC", "-o", scratch / "second name.dat"},
    };
    for (const auto& args : overInputs) {
        const Result run = Glyphtool(args);
        EXPECT_EQ(run.status, 1) << args.back();
        EXPECT_NE(run.err.find("which this command reads"), std::string::npos) << run.err;
    }
    EXPECT_EQ(Snapshot(font), glyphs);
}

}  // namespace
}  // namespace testing_glyphtool
