#include "Glyphtool.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "glyph/GlyphFile.h"

extern char** environ;

namespace testing_glyphtool {

namespace fs = std::filesystem;

Running::Running(const std::vector<std::string>& args, int as) {
    char pattern[] = "/tmp/glyphtool-run-XXXXXX";
    if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
    capture_ = pattern;
    const std::string out = capture_ / "out", err = capture_ / "err";
    std::vector<std::string> words;
    if (as >= 0)
        words = {"/usr/bin/setpriv", "--reuid=" + std::to_string(as),
                 "--regid=" + std::to_string(as), "--clear-groups"};
    words.push_back(GLYPHTOOL_PATH);
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT, 0600);
    // The run gets the signals' default handling, whatever the test runner set.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&defaults, signal);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) throw std::runtime_error("cannot start glyphtool");
    pid_ = pid;
}

Running::~Running() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    std::error_code ignored;
    fs::remove_all(capture_, ignored);
}

void Running::Signal(int signal) const {
    kill(pid_, signal);
}

Result Running::Wait() {
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
            ReadBytes(capture_ / "out"), ReadBytes(capture_ / "err")};
}

Result Glyphtool(const std::vector<std::string>& args) {
    return Running(args).Wait();
}

Result GlyphtoolAs(unsigned id, const std::vector<std::string>& args) {
    return Running(args, static_cast<int>(id)).Wait();
}

Scratch::Scratch() {
    std::string pattern = (fs::temp_directory_path() / "glyphtool-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

Scratch::~Scratch() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string RandomGlyphFile(int width, std::mt19937& random) {
    glyph::CellGrid grid;
    grid.Initialise(width);
    for (int col = 0; col < width; ++col)
        for (int row = 0; row < glyph::CellGrid::RowCount; ++row)
            if (random() % 2) grid.Toggle(col, row);
    const auto bytes = glyph::EncodeGlyph(grid, width);
    return {bytes.begin(), bytes.end()};
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::pair<std::string, std::string>> Snapshot(const fs::path& dir) {
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.is_regular_file())
            files.emplace_back(fs::relative(entry.path(), dir).string(), ReadBytes(entry.path()));
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace testing_glyphtool
