#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>

#include "glyph/FolderUpdate.h"
#include "glyph/Leftovers.h"

namespace {

namespace fs = std::filesystem;
using glyph::FolderUpdate;
using glyph::FolderUpdateError;

using Bytes = std::vector<std::uint8_t>;
using Files = std::map<std::string, std::string>;

const Bytes Old = {3, 0, 7, 0, 1, 2, 3, 4, 5, 6, 7};
const Bytes New = {9, 0, 7, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};

class FolderUpdateTest : public ::testing::Test {
  protected:
    FolderUpdateTest() {
        std::string pattern = (fs::temp_directory_path() / "folder-update-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        root_ = pattern;
    }
    ~FolderUpdateTest() override {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    static void Write(const fs::path& path, const Bytes& bytes) {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    }
    // Every file below `dir`, hidden ones too, by its path relative to it.
    static Files Contents(const fs::path& dir) {
        Files files;
        for (const auto& entry : fs::recursive_directory_iterator(dir)) {
            const std::string name = fs::relative(entry.path(), dir).string();
            if (entry.is_symlink() || !entry.is_regular_file()) {
                files[name] = entry.is_symlink() ? "(link)" : "(folder)";
                continue;
            }
            std::ifstream in(entry.path(), std::ios::binary);
            files[name] = {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        }
        return files;
    }
    static struct stat Stat(const fs::path& path) {
        struct stat status {};
        EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
        return status;
    }

    fs::path root_;
};

// A commit that fails at any file puts back every file it had moved or
// replaced, and leaves nothing of its own behind.
TEST_F(FolderUpdateTest, ACommitThatFailsPutsEveryFileBack) {
    for (std::size_t intruder = 0; intruder < 4; ++intruder) {
        SCOPED_TRACE("the name of file " + std::to_string(intruder) + " is taken");
        const fs::path dir = root_ / ("font" + std::to_string(intruder));
        fs::create_directory(dir);
        Write(dir / "a", Old);
        Write(dir / "b", Old);
        const std::string names[] = {"n1", "a", "n2", "b"};
        auto update = std::make_optional<FolderUpdate>(dir.string(), nullptr);
        for (const std::string& name : names) {
            const bool replaces = name.size() == 1;
            struct stat status {};
            if (replaces) status = Stat(dir / name);
            update->Stage(name, New, replaces ? &status : nullptr);
        }
        // Another program takes a name the update needs free, or replaces a file it replaces.
        Write(dir / names[intruder], {42});
        Files expected = {{"a", std::string(Old.begin(), Old.end())},
                          {"b", std::string(Old.begin(), Old.end())}};
        expected[names[intruder]] = "*";

        if (names[intruder].size() == 1) {
            EXPECT_TRUE(update->Commit()) << "a replaced file is replaced, whatever it is now";
            continue;
        }
        try {
            update->Commit();
            ADD_FAILURE() << "committed over a file that took a new name";
        } catch (const FolderUpdateError& error) {
            EXPECT_EQ(error.Name(), names[intruder]);
            EXPECT_EQ(error.Error(), EEXIST);
        }
        update.reset();
        EXPECT_EQ(Contents(dir), expected);
    }
}

// A folder that does not exist is made, with its parents, only by the commit.
TEST_F(FolderUpdateTest, ANewFolderAppearsWholeOrNotAtAll) {
    const fs::path dir = root_ / "a" / "b" / "font";
    {
        FolderUpdate update(dir.string(), nullptr);
        EXPECT_EQ(update.Fd(), -1);
        update.Stage("x", New, nullptr);
        EXPECT_FALSE(fs::exists(dir));
    }
    EXPECT_EQ(Contents(root_), Files{}) << "no folder, no parent, no staging folder";

    FolderUpdate update(dir.string(), nullptr);
    update.Stage("x", New, nullptr);
    update.Stage("y", Old, nullptr);
    EXPECT_TRUE(update.Commit());
    EXPECT_EQ(Contents(root_ / "a" / "b"),
              (Files{{"font", "(folder)"},
                     {"font/x", std::string(New.begin(), New.end())},
                     {"font/y", std::string(Old.begin(), Old.end())}}));
}

// A folder, or anything else, that takes the new folder's name meanwhile is
// left alone: a folder asks for the update to be made again, anything else
// fails it.
TEST_F(FolderUpdateTest, WhatTakesTheNewFoldersNameMeanwhileIsLeftAlone) {
    const std::string old(Old.begin(), Old.end());
    struct Case {
        const char* name;
        void (*make)(const fs::path&);
        bool folder;
        Files left;
    };
    const Case cases[] = {
        {"empty",
         [](const fs::path& dir) { fs::create_directory(dir); },
         true,
         {{"empty", "(folder)"}}},
        {"full",
         [](const fs::path& dir) {
             fs::create_directory(dir);
             Write(dir / "x", Old);
         },
         true,
         {{"full", "(folder)"}, {"full/x", old}}},
        {"file", [](const fs::path& dir) { Write(dir, Old); }, false, {{"file", old}}},
        {"link",
         [](const fs::path& dir) { fs::create_symlink("nowhere", dir); },
         false,
         {{"link", "(link)"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path dir = root_ / c.name;
        {
            FolderUpdate update(dir.string(), nullptr);
            update.Stage("x", New, nullptr);
            c.make(dir);
            if (c.folder) {
                EXPECT_FALSE(update.Commit());
            } else {
                EXPECT_THROW(update.Commit(), FolderUpdateError);
            }
        }
        EXPECT_EQ(Contents(root_), c.left);
        fs::remove_all(dir);
    }
}

// An update waits for the one that holds the folder, and says so first.
TEST_F(FolderUpdateTest, AnUpdateWaitsForTheOneThatHoldsTheFolder) {
    int ready[2], release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        char byte = 0;
        {
            FolderUpdate holder(root_.string(), nullptr);
            holder.Stage("first", Old, nullptr);
            (void)!::write(ready[1], "r", 1);
            (void)!::read(release[0], &byte, 1);
            holder.Commit();
        }
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    bool waited = false;
    FolderUpdate update(root_.string(), [&] {
        waited = true;
        (void)!::write(release[1], "g", 1);
    });
    EXPECT_TRUE(waited);
    EXPECT_TRUE(fs::exists(root_ / "first")) << "the first update ended before this went on";
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    for (const int fd : {ready[0], ready[1], release[0], release[1]}) ::close(fd);
}

// SIGINT, SIGTERM or SIGHUP during an update undoes it, and then ends the
// process as the signal would have.
TEST_F(FolderUpdateTest, ASignalUndoesTheUpdateAndThenEndsTheProcess) {
    Write(root_ / "a", Old);
    const Files before = Contents(root_);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        const pid_t child = ::fork();
        if (child == 0) {
            try {
                FolderUpdate update(root_.string(), nullptr);
                const struct stat status = Stat(root_ / "a");
                update.Stage("a", New, &status);
                update.Stage("b", New, nullptr);
                ::raise(signal);
                update.Commit();
            } catch (const FolderUpdateError& error) {
                ::_exit(error.Error() == EINTR ? 3 : 4);  // the signal should have come first
            }
            ::_exit(5);
        }
        int status = -1;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_EQ(Contents(root_), before);
    }
}

// Only work in progress that nobody holds is a leftover, and only that is
// removed.
TEST_F(FolderUpdateTest, OnlyWorkInProgressNobodyHoldsIsALeftover) {
    using glyph::LeftoverKind;
    const std::string stale = glyph::StagingFolderName();
    const std::string staleFile = glyph::TemporaryFileName();
    const std::string held = glyph::TemporaryFileName();
    const std::string heldFolder = glyph::StagingFolderName();
    const std::string crowded = glyph::StagingFolderName();
    fs::create_directory(root_ / stale);
    Write(root_ / stale / "U+0041.dat", Old);
    Write(root_ / staleFile, Old);
    Write(root_ / held, Old);
    fs::create_directory(root_ / heldFolder);
    fs::create_directories(root_ / crowded / "inner");
    ASSERT_EQ(::mkfifo((root_ / ".~0000000000ff.tmp").c_str(), 0644), 0);
    for (const char* name : {".~00000000000g.tmp", ".~000000000000.tmp.dat", "~000000000000.tmp",
                             ".~0000000000000.tmp", ".~000000000000.stage"})
        Write(root_ / name, Old);
    fs::create_directory(root_ / ".~0000000000ab.tmp");  // a folder under a file's name
    const int heldFd = ::open((root_ / held).c_str(), O_RDONLY);
    const int heldFolderFd = ::open((root_ / heldFolder).c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(heldFd, LOCK_EX), 0);
    ASSERT_EQ(::flock(heldFolderFd, LOCK_EX), 0);

    const int dirFd = ::open(root_.c_str(), O_RDONLY | O_DIRECTORY);
    std::vector<std::string> found;
    for (const glyph::Leftover& leftover : glyph::FindLeftovers(dirFd))
        found.push_back(leftover.name + (leftover.kind == LeftoverKind::StagingFolder ? "/" : ""));
    std::sort(found.begin(), found.end());
    std::vector<std::string> expected = {stale + "/", staleFile, crowded + "/"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);

    const Files before = Contents(root_);
    glyph::RemoveLeftovers(dirFd);
    Files after = before;
    for (auto file = after.begin(); file != after.end();)
        file = file->first.starts_with(stale) || file->first == staleFile ? after.erase(file)
                                                                          : std::next(file);
    EXPECT_EQ(Contents(root_), after) << "a staging folder that holds a folder stays";
    for (const int fd : {heldFd, heldFolderFd, dirFd}) ::close(fd);
}

}  // namespace
