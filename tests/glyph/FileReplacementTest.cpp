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
#include <iterator>

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

    fs::path dir_;
};

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

    const pid_t child = ::fork();
    if (child == 0) {
        int status = 2;
        if (::setgid(OtherUser) == 0 && ::setuid(OtherUser) == 0) {
            try {
                ReplaceFile(file, New);
                status = 0;
            } catch (const FileWriteError&) {
                status = 1;
            }
        }
        ::_exit(status);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
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

}  // namespace
