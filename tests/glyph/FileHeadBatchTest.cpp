#include "glyph/FileHeadBatch.h"
#include "glyph/Liburing.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr std::size_t Limit = 18;

// Where the folder is made: the temporary folder, and /dev/shm, a tmpfs,
// whose files io_uring cannot read without a worker thread, so that the batch
// reads them the plain way.
fs::path Root(const std::string& where) {
    return where == "temp" ? fs::temp_directory_path() : fs::path(where);
}

class FileHeadBatch : public ::testing::TestWithParam<std::string> {
  protected:
    FileHeadBatch() {
        std::string pattern = (Root(GetParam()) / "heads-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            if (GetParam() == "temp") throw std::runtime_error("mkdtemp failed");
            return;
        }
        dir_ = pattern;
        fd_ = ::open(dir_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    ~FileHeadBatch() override {
        if (fd_ < 0) return;
        ::close(fd_);
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    void SetUp() override {
        if (GetParam() == "temp") return;
        if (fd_ < 0) GTEST_SKIP() << GetParam() << " cannot hold a test folder";
        // Only a file system that refuses reads without waiting takes the plain way.
        Write("probe", 1);
        const int probe = ::openat(fd_, "probe", O_RDONLY | O_CLOEXEC);
        char byte = 0;
        iovec into{&byte, 1};
        const bool refuses = ::preadv2(probe, &into, 1, 0, RWF_NOWAIT) < 0 && errno == EOPNOTSUPP;
        ::close(probe);
        ::unlinkat(fd_, "probe", 0);
        if (!refuses) GTEST_SKIP() << GetParam() << " reads without waiting";
    }
    void Write(const std::string& name, std::size_t size) const {
        std::ofstream out(dir_ / name, std::ios::binary);
        for (std::size_t i = 0; i < size; ++i) out.put(static_cast<char>(i * 31 + name.size()));
    }

    fs::path dir_;
    int fd_ = -1;
};

// Every entry reads as ReadFileHeadAt reads it alone, whether the batch
// reads it or passes it to the plain way: files shorter than, as long as and
// longer than the limit, empty ones, entries that are gone, folders, FIFOs
// and links listed as regular files or not, across several batches.
TEST_P(FileHeadBatch, ReadsEveryEntryAsTheSingleReadDoes) {
    std::vector<glyph::HeadRequest> requests;
    std::vector<std::string> kept;
    for (int i = 0; i < 420; ++i) {
        const std::string name = "f" + std::to_string(i);
        kept.push_back(name);
        switch (i % 7) {
            case 0:
                Write(name, 0);
                break;
            case 1:
                Write(name, Limit);
                break;
            case 2:
                Write(name, Limit + 1);
                break;
            case 3:
                Write(name, 5000);
                break;
            case 4:
                break;  // listed, then gone
            case 5:
                if (i % 2 == 0)
                    fs::create_directory(dir_ / name);
                else
                    ASSERT_EQ(::mkfifo((dir_ / name).c_str(), 0600), 0);
                break;
            default:
                Write(name, 7);
                break;
        }
    }
    fs::create_symlink("f1", dir_ / "link");
    kept.push_back("link");
    for (std::size_t i = 0; i < kept.size(); ++i)
        // Most entries are listed as regular files, as a listing of glyph files says.
        requests.push_back({kept[i].c_str(), i % 7 != 5 || i % 3 == 0});

    std::vector<std::size_t> order;
    glyph::ReadFileHeadsAt(
        fd_, requests.size(), [&](std::size_t i) { return requests[i]; }, Limit,
        [&](std::size_t index, glyph::FileHead&& head) {
            order.push_back(index);
            const glyph::FileHead alone = glyph::ReadFileHeadAt(fd_, requests[index].name, Limit,
                                                                requests[index].listedRegular);
            SCOPED_TRACE(requests[index].name);
            EXPECT_EQ(head.status, alone.status);
            EXPECT_EQ(head.error, alone.error);
            EXPECT_EQ(head.size, alone.size);
            EXPECT_EQ(head.bytes, alone.bytes);
        });
    ASSERT_EQ(order.size(), requests.size());
    for (std::size_t i = 0; i < order.size(); ++i) EXPECT_EQ(order[i], i);
}

TEST_P(FileHeadBatch, ReadsTheBytesOfEachFile) {
    std::vector<std::string> names;
    for (int i = 0; i < 200; ++i) {
        names.push_back("g" + std::to_string(i));
        Write(names.back(), static_cast<std::size_t>(i % 25));
    }
    std::vector<glyph::HeadRequest> requests;
    for (const std::string& name : names) requests.push_back({name.c_str(), true});
    std::size_t seen = 0;
    glyph::ReadFileHeadsAt(
        fd_, requests.size(), [&](std::size_t i) { return requests[i]; }, Limit,
        [&](std::size_t index, glyph::FileHead&& head) {
            ++seen;
            const std::size_t size = index % 25;
            ASSERT_EQ(head.status, glyph::FileHeadStatus::Ok);
            EXPECT_EQ(head.size, size);
            ASSERT_EQ(head.bytes.size(), std::min(size, Limit));
            for (std::size_t k = 0; k < head.bytes.size(); ++k)
                EXPECT_EQ(head.bytes[k], static_cast<std::uint8_t>(k * 31 + names[index].size()));
        });
    EXPECT_EQ(seen, names.size());
}

// The batches need liburing, which the project installs: without it every
// folder would still read correctly, only one file at a time, unnoticed.
TEST(Liburing, LoadsWithEveryFunctionTheBatchesCall) {
    const glyph::LiburingFunctions* liburing = glyph::Liburing();
    ASSERT_NE(liburing, nullptr);
    EXPECT_NE(liburing->io_uring_queue_init, nullptr);
    EXPECT_NE(liburing->io_uring_queue_exit, nullptr);
    EXPECT_NE(liburing->io_uring_submit_and_wait, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Folders, FileHeadBatch, ::testing::Values("temp", "/dev/shm"),
                         [](const auto& info) { return info.param == "temp" ? "Temp" : "Tmpfs"; });

}  // namespace
