#include "glyph/FileHeadBatch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <vector>

#include "glyph/Liburing.h"
#include "glyph/UniqueFd.h"

namespace glyph {
namespace {

// Files a batch holds open at once, well below the usual limit of 1024.
constexpr unsigned Batch = 128;
// Fewer files than this are read the plain way: setting up a ring costs more.
constexpr std::size_t FewestBatched = 32;

constexpr int OpenFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;

class Ring {
  public:
    Ring() : liburing_(Liburing()) {
        ready_ = liburing_ != nullptr && liburing_->io_uring_queue_init(Batch, &ring_, 0) == 0;
    }
    Ring(const Ring&) = delete;
    Ring& operator=(const Ring&) = delete;
    ~Ring() {
        if (ready_) liburing_->io_uring_queue_exit(&ring_);
    }
    bool Ready() const { return ready_ && !broken_; }

    // A submission for slot `slot` of the batch; the ring holds Batch of them.
    io_uring_sqe* Next(unsigned slot) {
        io_uring_sqe* sqe = io_uring_get_sqe(&ring_);
        io_uring_sqe_set_data64(sqe, slot);
        return sqe;
    }

    // Submits what was prepared and sets results[slot] for each of the
    // `count` completions. False when the ring failed, with the results of
    // the completions not seen unknown; the ring is not used again, lest a
    // late completion be taken for another.
    bool Run(unsigned count, std::vector<int>& results) {
        unsigned done = 0;
        while (done < count) {
            const int submitted = liburing_->io_uring_submit_and_wait(&ring_, 1);
            if (submitted < 0 && submitted != -EINTR) {
                broken_ = true;
                return false;
            }
            io_uring_cqe* cqe = nullptr;
            unsigned head = 0;
            unsigned seen = 0;
            io_uring_for_each_cqe(&ring_, head, cqe) {
                results[static_cast<std::size_t>(io_uring_cqe_get_data64(cqe))] = cqe->res;
                ++seen;
            }
            io_uring_cq_advance(&ring_, seen);
            done += seen;
        }
        return true;
    }

  private:
    const LiburingFunctions* liburing_;
    io_uring ring_{};
    bool ready_ = false;
    bool broken_ = false;
};

// How the opened files of a folder are read. io_uring hands a read the file
// system cannot do without blocking (all of tmpfs) to a worker thread, which
// costs more than a plain read; preadv2 with RWF_NOWAIT is refused on exactly
// those file systems, so one such read of the first file chooses.
enum class ReadWay { Unknown, Ring, Plain };

ReadWay ChooseReadWay(int fd, std::vector<std::uint8_t>& buffer) {
    iovec into{buffer.data(), buffer.size()};
    if (::preadv2(fd, &into, 1, 0, RWF_NOWAIT) < 0 && errno == EOPNOTSUPP) return ReadWay::Plain;
    return ReadWay::Ring;
}

// What one read(2) of an open regular file gives, as a ring read reports it:
// the bytes read, or minus the error.
int PlainRead(int fd, std::vector<std::uint8_t>& buffer) {
    ssize_t got = 0;
    do got = ::read(fd, buffer.data(), buffer.size());
    while (got < 0 && errno == EINTR);
    return got < 0 ? -errno : static_cast<int>(got);
}

// The head of an opened regular file read `got` bytes of, as ReadFileHeadAt
// makes it; nothing when the plain way must say why.
std::optional<FileHead> HeadOf(int fd, std::vector<std::uint8_t>&& bytes, int got,
                               std::size_t limit) {
    if (got < 0) return std::nullopt;
    FileHead head;
    head.bytes = std::move(bytes);
    auto filled = static_cast<std::size_t>(got);
    head.size = filled;
    if (filled > limit) {
        struct stat status {};
        if (::fstat(fd, &status) != 0) return std::nullopt;
        head.size = std::max<std::uint64_t>(static_cast<std::uint64_t>(status.st_size), filled);
        filled = limit;
    }
    head.bytes.resize(filled);
    return head;
}

using Requests = std::function<HeadRequest(std::size_t)>;

// Reads requests [first, first + count), all listed as regular files,
// through the ring; false when the ring failed before any was taken.
bool ReadBatch(Ring& ring, ReadWay& way, int dirFd, const Requests& request, std::size_t first,
               unsigned count, std::size_t limit,
               const std::function<void(std::size_t, FileHead&&)>& take) {
    std::vector<const char*> names(count);
    std::vector<int> opened(count, -1), got(count, -1);
    for (unsigned i = 0; i < count; ++i) {
        names[i] = request(first + i).name;
        io_uring_prep_openat(ring.Next(i), dirFd, names[i], OpenFlags, 0);
    }
    const bool opens = ring.Run(count, opened);
    std::vector<UniqueFd> files(count);
    for (unsigned i = 0; i < count; ++i)
        if (opened[i] >= 0) files[i].Reset(opened[i]);
    if (!opens) return false;

    std::vector<std::vector<std::uint8_t>> bytes(count);
    unsigned reads = 0;
    for (unsigned i = 0; i < count; ++i) {
        if (!files[i].Valid()) continue;
        bytes[i].resize(limit + 1);
        // The choosing read only tells the way: a read without waiting may
        // stop short of the end, so the file is read again below.
        if (way == ReadWay::Unknown) way = ChooseReadWay(files[i].Get(), bytes[i]);
        if (way == ReadWay::Plain) {
            got[i] = PlainRead(files[i].Get(), bytes[i]);
            continue;
        }
        io_uring_prep_read(ring.Next(i), files[i].Get(), bytes[i].data(),
                           static_cast<unsigned>(limit + 1), 0);
        ++reads;
    }
    // Should the ring fail now, the files close the plain way and are read so.
    const bool readsDone = ring.Run(reads, got);

    std::vector<std::optional<FileHead>> heads(count);
    unsigned closes = 0;
    for (unsigned i = 0; i < count; ++i) {
        if (!files[i].Valid()) continue;
        if (readsDone) heads[i] = HeadOf(files[i].Get(), std::move(bytes[i]), got[i], limit);
        io_uring_prep_close(ring.Next(i), files[i].Release());
        ++closes;
    }
    std::vector<int> closed(count);
    if (!ring.Run(closes, closed)) return false;

    for (unsigned i = 0; i < count; ++i)
        take(first + i,
             heads[i] ? std::move(*heads[i]) : ReadFileHeadAt(dirFd, names[i], limit, true));
    return true;
}

}  // namespace

void ReadFileHeadsAt(int dirFd, std::size_t count, const Requests& request, std::size_t limit,
                     const std::function<void(std::size_t, FileHead&&)>& take) {
    std::optional<Ring> ring;
    ReadWay way = ReadWay::Unknown;
    if (count >= FewestBatched && limit < (1u << 30)) ring.emplace();
    std::size_t next = 0;
    while (next < count) {
        // A run of regular files goes through the ring; any other entry the plain way.
        std::size_t end = next;
        while (end < count && end - next < Batch && request(end).listedRegular) ++end;
        if (end > next && ring && ring->Ready() &&
            ReadBatch(*ring, way, dirFd, request, next, static_cast<unsigned>(end - next), limit,
                      take)) {
            next = end;
            continue;
        }
        if (end == next) end = next + 1;
        for (; next < end; ++next) {
            const HeadRequest asked = request(next);
            take(next, ReadFileHeadAt(dirFd, asked.name, limit, asked.listedRegular));
        }
    }
}

}  // namespace glyph
