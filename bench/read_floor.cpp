// The floor under the verbs that read a font folder: list the folder once
// and read every ".dat" file in it, nothing else.
//
//   read_floor DIR
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string_view>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: read_floor DIR\n");
        return 2;
    }
    DIR* folder = ::opendir(argv[1]);
    if (folder == nullptr) return 1;
    unsigned long bytes = 0;
    char buffer[64];
    while (const dirent* entry = ::readdir(folder)) {
        if (!std::string_view(entry->d_name).ends_with(".dat")) continue;
        const int fd = ::openat(::dirfd(folder), entry->d_name, O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) bytes += static_cast<unsigned long>(got);
        ::close(fd);
    }
    ::closedir(folder);
    std::printf("%lu\n", bytes);
    return 0;
}
