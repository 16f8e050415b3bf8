#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <span>
#include <stdexcept>

#include "glyph/FileReplacement.h"

namespace {

namespace fs = std::filesystem;
using glyph::ExistingFile;
using glyph::FileWriteError;
using glyph::ReplaceFile;
using glyph::ReplaceOptions;

constexpr uid_t Nobody = 65534;
constexpr uid_t OtherUser = 65533;

const std::vector<std::uint8_t> Old = {3, 0, 7, 0, 1, 2, 3, 4, 5, 6, 7};
const std::vector<std::uint8_t> New = {9, 0, 7, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};

class FileReplacement : public ::testing::Test {
  protected:
    FileReplacement() {
        std::string pattern = (fs::temp_directory_path() / "replace-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        dir_ = pattern;
    }
    ~FileReplacement() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    static void Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    }
    static std::vector<std::uint8_t> Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static struct stat Stat(const std::string& path) {
        struct stat status {};
        EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
        return status;
    }
    // Every name in a folder, so that a temporary file left behind shows.
    static std::vector<std::string> Names(const fs::path& dir) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // ReplaceFile of `bytes` put by a maker three bytes at a time, the file
    // taking them `piece` bytes at a time.
    static void ReplaceInPieces(const std::string& path, const std::vector<std::uint8_t>& bytes,
                                std::size_t piece, ReplaceOptions options = {}) {
        options.piece = piece;
        ReplaceFile(
            path,
            [&](glyph::ContentSink& sink) {
                for (std::size_t i = 0; i < bytes.size(); i += 3)
                    sink.Put(
                        std::span(bytes).subspan(i, std::min<std::size_t>(3, bytes.size() - i)));
            },
            options);
    }

    // Runs `write` in a child process as another user: 0 when it wrote, 1
    // when it raised FileWriteError, else the child's status.
    static int AsOtherUser(const std::function<void()>& write) {
        const pid_t child = ::fork();
        if (child == 0) {
            int status = 2;
            if (::setgid(OtherUser) == 0 && ::setuid(OtherUser) == 0) {
                try {
                    write();
                    status = 0;
                } catch (const FileWriteError&) {
                    status = 1;
                }
            }
            ::_exit(status);
        }
        int status = -1;
        if (::waitpid(child, &status, 0) != child) return -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : status;
    }

    fs::path dir_;
};

// Content much longer than a piece, so that it crosses many.
std::vector<std::uint8_t> Long(std::uint8_t seed) {
    std::vector<std::uint8_t> bytes(10007);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(seed + i * 7 + i / 251);
    return bytes;
}

TEST_F(FileReplacement, ReplacesTheContentAndKeepsTheMode) {
    const std::string file = Path("a.dat");
    Write(file, Old);
    ::chmod(file.c_str(), 0640);
    ReplaceFile(file, New);
    EXPECT_EQ(Read(file), New);
    EXPECT_EQ(Stat(file).st_mode & 07777, 0640u);

    const mode_t umask = ::umask(027);
    ReplaceFile(Path("new.dat"), Old);
    ::umask(umask);
    EXPECT_EQ(Stat(Path("new.dat")).st_mode & 07777, 0640u) << "a new file takes the umask's mode";
    EXPECT_EQ(Names(dir_), (std::vector<std::string>{"a.dat", "new.dat"}));
}

TEST_F(FileReplacement, AHardLinkedFileStaysLinkedAndBothNamesShowTheNewBytes) {
    const std::string file = Path("a.dat");
    const std::string second = Path("second name.dat");
    Write(file, Old);
    ASSERT_EQ(::link(file.c_str(), second.c_str()), 0);
    const ino_t inode = Stat(file).st_ino;
    ReplaceFile(file, New);
    EXPECT_EQ(Read(file), New);
    EXPECT_EQ(Read(second), New);
    EXPECT_EQ(Stat(file).st_ino, inode);
    EXPECT_EQ(Stat(file).st_nlink, 2u);
}

TEST_F(FileReplacement, SymbolicLinksAreFollowedOrReplacedAsAsked) {
    fs::create_directory(dir_ / "real");
    Write(Path("real/a.dat"), Old);
    fs::create_symlink("real/a.dat", dir_ / "link.dat");
    fs::create_symlink("link.dat", dir_ / "link to link.dat");
    fs::create_symlink("real/absent.dat", dir_ / "dangling.dat");

    ReplaceFile(Path("link to link.dat"), New);
    EXPECT_EQ(Read(Path("real/a.dat")), New);
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.dat"));

    ReplaceFile(Path("dangling.dat"), Old);
    EXPECT_EQ(Read(Path("real/absent.dat")), Old) << "a dangling link's target is created";
    EXPECT_TRUE(fs::is_symlink(dir_ / "dangling.dat"));

    ReplaceFile(Path("link.dat"), Old, {.existing = ExistingFile::Replace});
    EXPECT_FALSE(fs::is_symlink(dir_ / "link.dat")) << "the link itself is replaced";
    EXPECT_EQ(Read(Path("link.dat")), Old);
    EXPECT_EQ(Read(Path("real/a.dat")), New);
    EXPECT_EQ(Names(dir_ / "real"), (std::vector<std::string>{"a.dat", "absent.dat"}));
}

TEST_F(FileReplacement, RefusalsChangeNothing) {
    const std::string file = Path("a.dat");
    Write(file, Old);
    fs::create_directory(dir_ / "folder.dat");
    ASSERT_EQ(::mkfifo(Path("fifo.dat").c_str(), 0666), 0);
    Write(Path("read-only.dat"), Old);
    ::chmod(Path("read-only.dat").c_str(), 0444);
    fs::create_symlink("missing/x.dat", dir_ / "into nowhere.dat");
    fs::create_symlink("nothing.dat", dir_ / "dangling.dat");
    fs::create_symlink("self.dat", dir_ / "self.dat");

    using Kind = FileWriteError::Kind;
    struct Case {
        std::string path;
        ExistingFile existing;
        Kind kind;
        int error;
    };
    const Case cases[] = {
        {Path("folder.dat"), ExistingFile::Keep, Kind::CannotCreate, EISDIR},
        {Path("fifo.dat"), ExistingFile::Keep, Kind::NotRegularFile, 0},
        {Path("fifo.dat"), ExistingFile::Replace, Kind::NotRegularFile, 0},
        {Path("read-only.dat"), ExistingFile::Keep, Kind::CannotCreate, EACCES},
        {Path("read-only.dat"), ExistingFile::Replace, Kind::CannotCreate, EACCES},
        {Path("into nowhere.dat"), ExistingFile::Keep, Kind::CannotCreate, ENOENT},
        {Path("self.dat"), ExistingFile::Keep, Kind::CannotCreate, ELOOP},
        {Path("missing/x.dat"), ExistingFile::Keep, Kind::CannotCreate, ENOENT},
        {Path("a.dat"), ExistingFile::Refuse, Kind::CannotCreate, EEXIST},
        {Path("dangling.dat"), ExistingFile::Refuse, Kind::CannotCreate, EEXIST},
        {"", ExistingFile::Keep, Kind::CannotCreate, ENOENT},
    };
    const auto before = Names(dir_);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        try {
            ReplaceFile(c.path, New, {.existing = c.existing});
            ADD_FAILURE() << "written";
        } catch (const FileWriteError& error) {
            EXPECT_EQ(error.GetKind(), c.kind);
            EXPECT_EQ(error.Error(), c.error) << error.what();
        }
    }
    EXPECT_EQ(Names(dir_), before);
    EXPECT_EQ(Read(file), Old);
    EXPECT_EQ(Read(Path("read-only.dat")), Old);
}

TEST_F(FileReplacement, TheLongestNameAFolderTakesCanBeReplaced) {
    const std::string file = Path(std::string(255, 'n'));
    ReplaceFile(file, Old);
    ReplaceFile(file, New);
    EXPECT_EQ(Read(file), New);
    EXPECT_EQ(Names(dir_).size(), 1u);
}

// Root only: a file owned by another user keeps its owner and group.
TEST_F(FileReplacement, AFileOfAnotherUserKeepsItsOwnerAndGroup) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a file to another user";
    const std::string file = Path("a.dat");
    Write(file, Old);
    ASSERT_EQ(::chown(file.c_str(), Nobody, Nobody), 0);
    ReplaceFile(file, New);
    EXPECT_EQ(Read(file), New);
    EXPECT_EQ(Stat(file).st_uid, Nobody);
    EXPECT_EQ(Stat(file).st_gid, Nobody);
}

// Root only: in a sticky folder a writable file of another user cannot be
// replaced by rename, yet it can be written.
TEST_F(FileReplacement, AFileOfAnotherUserInAStickyFolderIsWritten) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as two users";
    ASSERT_EQ(::chmod(dir_.c_str(), 01777), 0);
    const std::string file = Path("shared.dat");
    Write(file, Old);
    ASSERT_EQ(::chown(file.c_str(), Nobody, Nobody), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0666), 0);

    EXPECT_EQ(AsOtherUser([&] { ReplaceFile(file, New); }), 0);
    EXPECT_EQ(Read(file), New);
    EXPECT_EQ(Stat(file).st_uid, Nobody);
    EXPECT_EQ(Names(dir_), std::vector<std::string>{"shared.dat"});
}

// Root only: on a full disk both ways of replacing fail before the old bytes
// change, and leave nothing behind.
TEST_F(FileReplacement, ADiskFullKeepsTheOldBytes) {
    const fs::path disk = dir_ / "disk";
    fs::create_directory(disk);
    if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small file system here: " << std::strerror(errno);
    const std::string file = (disk / "a.dat").string();
    const std::string big = (disk / "big.h").string();
    const std::string bigLink = (disk / "big link.h").string();
    Write(file, Old);
    Write(big, std::vector<std::uint8_t>(100, 'o'));
    ASSERT_EQ(::link(big.c_str(), bigLink.c_str()), 0);
    {
        // Fill what is left.
        std::ofstream filler(disk / "filler", std::ios::binary);
        const std::vector<char> block(4096, 'f');
        while (filler.write(block.data(), static_cast<long>(block.size()))) filler.flush();
    }
    const auto before = Names(disk);
    for (const auto& [path, bytes] :
         {std::pair{file, New}, std::pair{big, std::vector<std::uint8_t>(20000, 'n')}}) {
        SCOPED_TRACE(path);
        try {
            ReplaceFile(path, bytes);
            ADD_FAILURE() << "written to a full disk";
        } catch (const FileWriteError& error) {
            EXPECT_EQ(error.Error(), ENOSPC);
        }
    }
    EXPECT_EQ(Read(file), Old);
    EXPECT_EQ(Read(big), std::vector<std::uint8_t>(100, 'o'));
    EXPECT_EQ(Names(disk), before);
    ::umount(disk.c_str());
}

// Content put in pieces lands exactly as the same bytes given whole do, on
// each way a file is written: a new file, a replaced one keeping its mode, a
// hard-linked one written in place, through a link, and a link replaced;
// whether the pieces outgrow the memory held or not.
TEST_F(FileReplacement, ContentPutInPiecesLandsAsWholeContentDoes) {
    for (const std::size_t piece : {std::size_t{1}, std::size_t{1000}, std::size_t{1} << 16}) {
        SCOPED_TRACE(piece);
        const fs::path dir = dir_ / std::to_string(piece);
        fs::create_directory(dir);
        const auto at = [&](const std::string& name) { return (dir / name).string(); };
        Write(at("kept mode.h"), Old);
        ::chmod(at("kept mode.h").c_str(), 0640);
        Write(at("linked.h"), Old);
        ASSERT_EQ(::link(at("linked.h").c_str(), at("second name.h").c_str()), 0);
        Write(at("target.h"), Old);
        fs::create_symlink("target.h", dir / "link.h");
        fs::create_symlink("target.h", dir / "replaced link.h");

        ReplaceInPieces(at("new.h"), Long(1), piece);
        ReplaceInPieces(at("kept mode.h"), Long(2), piece);
        ReplaceInPieces(at("linked.h"), Long(3), piece);
        ReplaceInPieces(at("link.h"), Long(4), piece);
        ReplaceInPieces(at("replaced link.h"), New, piece, {.existing = ExistingFile::Replace});
        ReplaceInPieces(at("empty.h"), {}, piece);

        EXPECT_EQ(Read(at("new.h")), Long(1));
        EXPECT_EQ(Read(at("kept mode.h")), Long(2));
        EXPECT_EQ(Stat(at("kept mode.h")).st_mode & 07777, 0640u);
        EXPECT_EQ(Read(at("second name.h")), Long(3));
        EXPECT_EQ(Stat(at("linked.h")).st_nlink, 2u);
        EXPECT_EQ(Read(at("target.h")), Long(4));
        EXPECT_TRUE(fs::is_symlink(dir / "link.h"));
        EXPECT_FALSE(fs::is_symlink(dir / "replaced link.h"));
        EXPECT_EQ(Read(at("replaced link.h")), New);
        EXPECT_TRUE(fs::exists(dir / "empty.h"));
        EXPECT_TRUE(Read(at("empty.h")).empty());
        EXPECT_EQ(Names(dir),
                  (std::vector<std::string>{"empty.h", "kept mode.h", "link.h", "linked.h", "new.h",
                                            "replaced link.h", "second name.h", "target.h"}));
    }
}

// A maker that fails, before or after its content outgrew the memory held,
// leaves every file as it was and no temporary file, and its own error is
// the one raised; before, the path was not even looked at.
TEST_F(FileReplacement, AMakerThatFailsLeavesEverythingAsItWas) {
    Write(Path("a.h"), Old);
    Write(Path("linked.h"), Old);
    ASSERT_EQ(::link(Path("linked.h").c_str(), Path("second name.h").c_str()), 0);
    const auto before = Names(dir_);
    for (const std::string name : {"a.h", "linked.h", "new.h", "missing/x.h"}) {
        for (const std::size_t piece : {std::size_t{1}, std::size_t{1} << 16}) {
            SCOPED_TRACE(name + " " + std::to_string(piece));
            try {
                ReplaceFile(Path(name),
                            [](glyph::ContentSink& sink) {
                                sink.Put(Long(5));
                                throw std::invalid_argument("no font");
                            },
                            {.piece = piece});
                ADD_FAILURE() << "written";
            } catch (const std::invalid_argument&) {
            } catch (const FileWriteError& error) {
                // Only a path looked at fails with its own error.
                EXPECT_EQ(piece, 1u) << error.what();
                EXPECT_EQ(name, "missing/x.h") << error.what();
            }
            EXPECT_EQ(Names(dir_), before);
            EXPECT_EQ(Read(Path("a.h")), Old);
            EXPECT_EQ(Read(Path("second name.h")), Old);
        }
    }
}

// Root only: in a sticky folder, where a writable file of another user
// cannot be replaced by rename, content that went to a new file in pieces is
// written over the file itself.
TEST_F(FileReplacement, ContentInPiecesReachesAFileThatCannotBeReplaced) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as two users";
    ASSERT_EQ(::chmod(dir_.c_str(), 01777), 0);
    const std::string file = Path("shared.h");
    Write(file, Old);
    ASSERT_EQ(::chown(file.c_str(), Nobody, Nobody), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0666), 0);

    EXPECT_EQ(AsOtherUser([&] { ReplaceInPieces(file, Long(6), 100); }), 0);
    EXPECT_EQ(Read(file), Long(6));
    EXPECT_EQ(Stat(file).st_uid, Nobody);
    EXPECT_EQ(Names(dir_), std::vector<std::string>{"shared.h"});
}

// Root only: a disk that fills while the pieces go out fails the write and
// leaves the old file and nothing else.
TEST_F(FileReplacement, ADiskThatFillsWhilePiecesGoOutKeepsTheOldBytes) {
    const fs::path disk = dir_ / "disk";
    fs::create_directory(disk);
    if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small file system here: " << std::strerror(errno);
    const std::string file = (disk / "a.h").string();
    Write(file, Old);
    const auto before = Names(disk);
    try {
        ReplaceInPieces(file, std::vector<std::uint8_t>(100000, 'n'), 4096);
        ADD_FAILURE() << "written to a full disk";
    } catch (const FileWriteError& error) {
        EXPECT_EQ(error.Error(), ENOSPC);
    }
    EXPECT_EQ(Read(file), Old);
    EXPECT_EQ(Names(disk), before);
    ::umount(disk.c_str());
}

}  // namespace
