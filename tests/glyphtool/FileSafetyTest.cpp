#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <fstream>
#include <random>
#include <regex>
#include <thread>

#include "Glyphtool.h"

namespace testing_glyphtool {
namespace {

namespace fs = std::filesystem;

const std::string Misc5x7 = "/usr/share/fonts/X11/misc/5x7.pcf.gz";
const std::string Misc4x6 = "/usr/share/fonts/X11/misc/4x6.pcf.gz";
constexpr unsigned Nobody = 65534;

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

// The names glyphtool gives its work in progress.
bool IsWorkInProgress(const std::string& name) {
    static const std::regex pattern("\\.~[0-9a-f]{12}\\.(tmp|staging)");
    return std::regex_match(name, pattern);
}

std::vector<std::string> WorkInProgressIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        if (IsWorkInProgress(entry.path().filename().string()))
            names.push_back(entry.path().filename().string());
    return names;
}

// Waits until glyphtool has work in progress in `dir`, so that a signal
// comes while it writes however slow the machine is; false after 30 s.
bool AwaitWorkInProgress(const fs::path& dir) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < end) {
        if (fs::exists(dir) && !WorkInProgressIn(dir).empty()) return true;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return false;
}

// How a run that showed no work in progress ended, for the failure message:
// a run that failed at once looks just like one the machine was too slow to
// watch.
std::string HowItEnded(Running& run) {
    run.Signal(SIGKILL);
    const Result result = run.Wait();
    return "glyphtool ended with status " + std::to_string(result.status) + ": " + result.err;
}

// A tmpfs of 64 KiB at `dir`, unmounted at the end of the scope.
class SmallDisk {
  public:
    explicit SmallDisk(const fs::path& dir) : dir_(dir) {
        fs::create_directory(dir);
        mounted_ = ::mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=64k") == 0;
        if (!mounted_) reason_ = std::strerror(errno);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    ~SmallDisk() {
        if (mounted_) ::umount(dir_.c_str());
    }
    bool Mounted() const { return mounted_; }
    const std::string& Reason() const { return reason_; }
    // Fills what is left of the disk but `keep` bytes.
    void Fill(const std::string& name, std::size_t keep) const {
        std::ofstream filler(dir_ / name, std::ios::binary);
        const std::vector<char> block(512, 'f');
        while (filler.write(block.data(), static_cast<long>(block.size()))) filler.flush();
        filler.close();
        const auto size = fs::file_size(dir_ / name);
        fs::resize_file(dir_ / name, size > keep ? size - keep : 0);
    }

  private:
    fs::path dir_;
    bool mounted_ = false;
    std::string reason_;
};

// Root only: on a full disk an import fails and leaves the disk as it was:
// no new folder, no glyph replaced, nothing beside.
TEST(FileSafety, AnImportOntoAFullDiskLeavesEverythingAsItWas) {
    struct Case {
        const char* name;
        bool existing;  // the folder holds some of the glyphs already
        std::size_t room;
    };
    const Case cases[] = {
        {"a new folder, room for a few files", false, 40000},
        {"a new folder, no room", false, 0},
        {"an existing folder, --force, room for a few files", true, 16000},
        {"an existing folder, --force, no room", true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Scratch scratch;
        const SmallDisk disk(scratch / "disk");
        if (!disk.Mounted()) GTEST_SKIP() << "cannot mount a small file system: " << disk.Reason();
        const fs::path dir = scratch / "disk" / "font";
        std::vector<std::string> args = {"import", Misc5x7, "-o", dir};
        if (c.existing) {
            ASSERT_EQ(Glyphtool({"import", Misc4x6, "-o", dir, "--chars", "0x41-0x44"}).status, 0);
            args.push_back("--force");
        }
        disk.Fill("filler", c.room);
        const auto before = Snapshot(scratch / "disk");

        const Result run = Glyphtool(args);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("No space left on device"), std::string::npos) << run.err;
        EXPECT_EQ(Snapshot(scratch / "disk"), before);
        EXPECT_EQ(WorkInProgressIn(scratch / "disk"), std::vector<std::string>{});
        if (c.existing) {
            EXPECT_EQ(WorkInProgressIn(dir), std::vector<std::string>{});
        }
    }
}

struct Owner {
    uid_t uid;
    gid_t gid;
    mode_t mode;
    bool operator==(const Owner&) const = default;
};

Owner OwnerOf(const fs::path& file) {
    struct stat status {};
    EXPECT_EQ(::lstat(file.c_str(), &status), 0) << file;
    return {status.st_uid, status.st_gid, status.st_mode & 07777};
}

// Root only: another user's import --force over root's world-writable glyphs
// replaces them all, each keeping its owner, group and mode, also in a sticky
// folder, where the glyphs cannot be renamed over; its new glyphs are its own.
TEST(FileSafety, AnotherUsersForcedImportKeepsEveryOwner) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as a second user";
    for (const mode_t folderMode : {01777, 0777}) {
        SCOPED_TRACE(folderMode);
        const Scratch scratch;
        fs::permissions(scratch.path(), fs::perms(0755));
        const fs::path dir = scratch / "shared";
        ASSERT_EQ(Glyphtool({"import", Misc5x7, "-o", dir, "--chars", "0x41-0x44"}).status, 0);
        ASSERT_EQ(::chmod(dir.c_str(), folderMode), 0);
        for (const char* name : {"U+0041.dat", "U+0042.dat", "U+0043.dat", "U+0044.dat"})
            ASSERT_EQ(::chmod((dir / name).c_str(), 0666), 0);
        ASSERT_EQ(::chown((dir / "U+0044.dat").c_str(), 0, Nobody), 0);
        ASSERT_EQ(Glyphtool({"import", Misc4x6, "-o", scratch / "expected", "--chars", "0x40-0x45"})
                      .status,
                  0);

        const Result run =
            GlyphtoolAs(Nobody, {"import", Misc4x6, "-o", dir, "--chars", "0x40-0x45", "--force"});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(Snapshot(dir), Snapshot(scratch / "expected"));
        EXPECT_EQ(OwnerOf(dir / "U+0041.dat"), (Owner{0, 0, 0666}));
        EXPECT_EQ(OwnerOf(dir / "U+0043.dat"), (Owner{0, 0, 0666}));
        EXPECT_EQ(OwnerOf(dir / "U+0044.dat"), (Owner{0, Nobody, 0666}));
        EXPECT_EQ(OwnerOf(dir / "U+0045.dat").uid, Nobody);
        EXPECT_EQ(WorkInProgressIn(dir), std::vector<std::string>{});
    }
}

// Root only: a glyph that can neither be written in place (it has a second
// name) nor replaced keeping its owner stops the import before it writes.
TEST(FileSafety, AnotherUsersGlyphWithASecondNameStopsTheImportBeforeItWrites) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as a second user";
    const Scratch scratch;
    fs::permissions(scratch.path(), fs::perms(0755));
    const fs::path dir = scratch / "shared";
    ASSERT_EQ(Glyphtool({"import", Misc5x7, "-o", dir, "--chars", "0x41-0x44"}).status, 0);
    ASSERT_EQ(::chmod(dir.c_str(), 0777), 0);
    for (const char* name : {"U+0041.dat", "U+0042.dat", "U+0043.dat", "U+0044.dat"})
        ASSERT_EQ(::chmod((dir / name).c_str(), 0666), 0);
    fs::create_hard_link(dir / "U+0043.dat", scratch / "second name");
    const auto before = Snapshot(scratch.path());

    const Result run =
        GlyphtoolAs(Nobody, {"import", Misc4x6, "-o", dir, "--chars", "0x40-0x45", "--force"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find((dir / "U+0043.dat").string() + ": is another user's file"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(Snapshot(scratch.path()), before);
    EXPECT_EQ(WorkInProgressIn(dir), std::vector<std::string>{});
}

// Two import --force into one folder never interleave: the second waits for
// the first, and the folder ends as the one that ran last left it.
TEST(FileSafety, TwoForcedImportsIntoOneFolderNeverMix) {
    const Scratch scratch;
    const std::vector<std::string> fonts = {Misc5x7, Misc4x6};
    const std::vector<std::string> chars = {"--chars", "0x20-0x24F"};
    auto import = [&](const std::string& font, const fs::path& dir) {
        std::vector<std::string> args = {"import", font, "-o", dir, "--force"};
        args.insert(args.end(), chars.begin(), chars.end());
        return args;
    };
    // What the folder holds when each import runs alone, last.
    std::vector<std::vector<std::pair<std::string, std::string>>> last;
    for (std::size_t i = 0; i < 2; ++i) {
        const fs::path dir = scratch / ("last" + std::to_string(i));
        ASSERT_EQ(Glyphtool(import(fonts[1 - i], dir)).status, 0);
        ASSERT_EQ(Glyphtool(import(fonts[i], dir)).status, 0);
        last.push_back(Snapshot(dir));
    }
    ASSERT_NE(last[0], last[1]);
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const fs::path dir = scratch / ("both" + std::to_string(round));
        // Even rounds start from a folder that has glyphs, odd ones from none.
        if (round % 2 == 0) {
            ASSERT_EQ(Glyphtool({"import", Misc4x6, "-o", dir, "--chars", "0x20-0x7E"}).status, 0);
        }
        Running first(import(fonts[0], dir));
        Running second(import(fonts[1], dir));
        const Result results[] = {first.Wait(), second.Wait()};
        EXPECT_EQ(results[0].status, 0) << results[0].err;
        EXPECT_EQ(results[1].status, 0) << results[1].err;
        const auto after = Snapshot(dir);
        EXPECT_TRUE(after == last[0] || after == last[1]) << "the fonts are mixed";
        EXPECT_EQ(WorkInProgressIn(dir), std::vector<std::string>{});
    }
}

// An import --force ended by SIGTERM undoes what it had done: the folder is
// as it was, or, when the signal came after the last file took its name,
// wholly the new font.
TEST(FileSafety, AnImportEndedBySignalIsUndone) {
    const Scratch scratch;
    const fs::path dir = scratch / "font";
    ASSERT_EQ(Glyphtool({"import", Misc4x6, "-o", scratch / "after"}).status, 0);
    ASSERT_EQ(Glyphtool({"import", Misc5x7, "-o", scratch / "after", "--force"}).status, 0);
    const auto after = Snapshot(scratch / "after");
    ASSERT_EQ(Glyphtool({"import", Misc4x6, "-o", dir}).status, 0);
    const auto before = Snapshot(dir);
    std::mt19937 random(19);
    int undone = 0;
    for (int round = 0; round < 8; ++round) {
        const int delayMs = static_cast<int>(random() % 30);
        SCOPED_TRACE("SIGTERM " + std::to_string(delayMs) + " ms into the writing");
        Running run({"import", Misc5x7, "-o", dir, "--force"});
        ASSERT_TRUE(AwaitWorkInProgress(dir)) << HowItEnded(run);
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        run.Signal(SIGTERM);
        const Result result = run.Wait();
        const auto now = Snapshot(dir);
        if (result.status == 128 + SIGTERM && now == before) ++undone;
        EXPECT_TRUE(now == before || now == after) << "status " << result.status;
        EXPECT_EQ(WorkInProgressIn(dir), std::vector<std::string>{});
        if (now == after) {
            // The new font has glyphs the old one lacks: start the next round afresh.
            fs::remove_all(dir);
            ASSERT_EQ(Glyphtool({"import", Misc4x6, "-o", dir}).status, 0);
            ASSERT_EQ(Snapshot(dir), before);
        }
    }
    EXPECT_GT(undone, 2) << "the runs ended before the signals came";
}

// SIGKILL at random points: what a killed import leaves is named by check,
// and the next import into the folder, or into a new one beside it, removes it.
TEST(FileSafety, WhatAKilledImportLeavesCheckNamesAndTheNextImportRemoves) {
    const Scratch scratch;
    const fs::path dir = scratch / "font";
    ASSERT_EQ(Glyphtool({"import", Misc4x6, "-o", dir}).status, 0);
    std::mt19937 random(7);
    int left = 0;
    for (int round = 0; round < 10; ++round) {
        const int delayMs = static_cast<int>(random() % 30);
        // Even rounds replace the glyphs of the folder, odd ones make a new folder beside it.
        const bool fresh = round % 2 == 1;
        const fs::path target = fresh ? scratch / ("new" + std::to_string(round)) : dir;
        const fs::path holder = fresh ? scratch.path() : dir;
        SCOPED_TRACE((fresh ? "new folder, " : "--force, ") + std::to_string(delayMs) +
                     " ms into the writing");
        std::vector<std::string> args = {"import", Misc5x7, "-o", target};
        if (!fresh) args.push_back("--force");
        Running run(args);
        ASSERT_TRUE(AwaitWorkInProgress(holder)) << HowItEnded(run);
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        run.Signal(SIGKILL);
        run.Wait();
        if (fresh && fs::exists(target)) {
            EXPECT_EQ(Strays(target), std::vector<std::string>{}) << "a new folder is whole";
        }
        const auto leftovers = WorkInProgressIn(holder);
        if (leftovers.empty()) continue;
        ++left;
        const Result check = Glyphtool({"check", holder});
        for (const std::string& name : leftovers)
            EXPECT_NE(check.out.find((holder / name).string() + ": warning: "), std::string::npos)
                << check.out;
        const fs::path next = fresh ? scratch / ("next" + std::to_string(round)) : dir;
        ASSERT_EQ(Glyphtool({"import", Misc4x6, "-o", next, "--force"}).status, 0);
        EXPECT_EQ(WorkInProgressIn(holder), std::vector<std::string>{});
        EXPECT_EQ(Strays(dir), std::vector<std::string>{});
    }
    EXPECT_GT(left, 2) << "the kills came after the writing";
}

}  // namespace
}  // namespace testing_glyphtool
