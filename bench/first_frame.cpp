// Starts a program on the X display in $DISPLAY and reports, on one line of
// key=value pairs:
//   map_ms      exec -> its first top-level window mapped
//   frame_ms    exec -> the first change of that window's pixels on screen
//   vmhwm_kb    peak resident memory (VmHWM) read just before closing the window
//   maxrss_kb   peak resident memory over the whole life, from wait4()
//   settled_diff_px  pixels that still changed after the first frame (0: the
//                    first frame was the complete picture)
// Usage: first_frame [--settle-ms N] [--poll-us N] [--timeout-ms N] -- program [args...]
//
// Method: the window is found from the server's own MapNotify event, so there
// is no polling and no CPU spent before the map. From the map on, the screen
// area under the window is read back with XShmGetImage every --poll-us
// (default 250 us) and compared against a snapshot of the root taken before
// exec. One read-back of a 492 x 194 area costs some tens of microseconds, so
// the first frame is seen at most poll + read-back (about 0.3 ms) after it
// lands, while the reader takes only a small share of one of the two cores
// away from the program and the X server, and only after the map.
#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ipc.h>
#include <sys/resource.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

extern char** environ;

namespace {

double NowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

void SleepUs(long us) {
    timespec ts{us / 1000000, (us % 1000000) * 1000};
    while (nanosleep(&ts, &ts) == -1 && errno == EINTR) {
    }
}

volatile sig_atomic_t childPid = 0;

// Whoever stops the measurement must not leave the measured program behind.
void KillChildAndExit(int signal) {
    if (childPid > 0) kill(static_cast<pid_t>(childPid), SIGKILL);
    _exit(128 + signal);
}

// A window that goes away between two requests must not end the measurement.
int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

// Screen read-back through shared memory, falling back to XGetImage.
class Grabber {
  public:
    Grabber(Display* d, int w, int h) : d_(d), w_(w), h_(h) {
        const int screen = DefaultScreen(d);
        if (XShmQueryExtension(d)) {
            image_ = XShmCreateImage(d, DefaultVisual(d, screen), DefaultDepth(d, screen), ZPixmap,
                                     nullptr, &shm_, w, h);
            if (image_) {
                shm_.shmid = shmget(IPC_PRIVATE, image_->bytes_per_line * h, IPC_CREAT | 0600);
                if (shm_.shmid >= 0) {
                    shm_.shmaddr = image_->data = static_cast<char*>(shmat(shm_.shmid, nullptr, 0));
                    shm_.readOnly = False;
                    if (XShmAttach(d, &shm_)) {
                        XSync(d, False);
                        shmctl(shm_.shmid, IPC_RMID, nullptr);
                        useShm_ = true;
                        return;
                    }
                    shmdt(shm_.shmaddr);
                    shmctl(shm_.shmid, IPC_RMID, nullptr);
                }
                image_->data = nullptr;
                XDestroyImage(image_);
                image_ = nullptr;
            }
        }
    }
    ~Grabber() {
        if (useShm_) {
            XShmDetach(d_, &shm_);
            XSync(d_, False);
            image_->data = nullptr;
            XDestroyImage(image_);
            shmdt(shm_.shmaddr);
        } else if (image_) {
            XDestroyImage(image_);
        }
    }
    Grabber(const Grabber&) = delete;
    Grabber& operator=(const Grabber&) = delete;

    // Reads the root area at (x, y); returns false if the server refused.
    bool Grab(int x, int y) {
        const Window root = DefaultRootWindow(d_);
        if (useShm_) return XShmGetImage(d_, root, image_, x, y, AllPlanes);
        if (image_) XDestroyImage(image_);
        image_ = XGetImage(d_, root, x, y, w_, h_, AllPlanes, ZPixmap);
        return image_ != nullptr;
    }
    const XImage* Image() const { return image_; }
    int Width() const { return w_; }
    int Height() const { return h_; }

  private:
    Display* d_;
    int w_, h_;
    XImage* image_ = nullptr;
    XShmSegmentInfo shm_{};
    bool useShm_ = false;
};

std::vector<char> CopyPixels(const XImage* image) {
    const char* data = image->data;
    return std::vector<char>(data, data + static_cast<size_t>(image->bytes_per_line) * image->height);
}

// Pixels of `now` (at x, y on the root) that differ from `before` (the whole root).
long Differing(const XImage* before, const XImage* now, int x, int y) {
    const int bpp = now->bits_per_pixel / 8;
    long count = 0;
    for (int row = 0; row < now->height; ++row) {
        const char* a = before->data + static_cast<long>(y + row) * before->bytes_per_line +
                        static_cast<long>(x) * bpp;
        const char* b = now->data + static_cast<long>(row) * now->bytes_per_line;
        if (std::memcmp(a, b, static_cast<size_t>(now->width) * bpp) == 0) continue;
        for (int col = 0; col < now->width; ++col)
            if (std::memcmp(a + col * bpp, b + col * bpp, bpp) != 0) ++count;
    }
    return count;
}

long DifferingFrames(const std::vector<char>& a, const XImage* b) {
    const int bpp = b->bits_per_pixel / 8;
    long count = 0;
    for (int row = 0; row < b->height; ++row)
        for (int col = 0; col < b->width; ++col) {
            const long at = static_cast<long>(row) * b->bytes_per_line + col * bpp;
            if (std::memcmp(a.data() + at, b->data + at, bpp) != 0) ++count;
        }
    return count;
}

long ProcStatusKb(pid_t pid, const char* key) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(in, line))
        if (line.rfind(prefix, 0) == 0) return std::atol(line.c_str() + prefix.size());
    return -1;
}

// The _NET_WM_PID a toolkit sets on its windows, or -1 without one.
long WindowPid(Display* d, Window w) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_PID", False), 0, 1, False, XA_CARDINAL,
                           &type, &format, &count, &after, &data) == Success &&
        data && format == 32 && count == 1)
        pid = *reinterpret_cast<long*>(data);
    if (data) XFree(data);
    return pid;
}

bool AnyViewableTopLevel(Display* d) {
    Window rootReturn = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(d, DefaultRootWindow(d), &rootReturn, &parent, &children, &count)) return false;
    bool viewable = false;
    for (unsigned int i = 0; i < count && !viewable; ++i) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(d, children[i], &attributes) &&
            attributes.map_state == IsViewable)
            viewable = true;
    }
    if (children) XFree(children);
    return viewable;
}

// Waits for the next X event until `deadline` (ms); false on time-out.
bool WaitEvent(Display* d, XEvent& event, double deadline) {
    while (!XPending(d)) {
        const double left = deadline - NowMs();
        if (left <= 0) return false;
        pollfd fd{ConnectionNumber(d), POLLIN, 0};
        poll(&fd, 1, static_cast<int>(left) + 1);
    }
    XNextEvent(d, &event);
    return true;
}

void CloseWindow(Display* d, Window w) {
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = w;
    message.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    message.xclient.format = 32;
    message.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    message.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &message);
    XFlush(d);
}

[[noreturn]] void Usage() {
    std::fprintf(stderr,
                 "usage: first_frame [--settle-ms N] [--poll-us N] [--timeout-ms N] -- program "
                 "[args...]\n");
    std::exit(64);
}

}  // namespace

int main(int argc, char* argv[]) {
    long settleMs = 300;
    long pollUs = 250;
    long timeoutMs = 20000;
    int first = 1;
    for (; first < argc; ++first) {
        const std::string arg = argv[first];
        if (arg == "--") {
            ++first;
            break;
        }
        if (first + 1 >= argc) Usage();
        if (arg == "--settle-ms")
            settleMs = std::atol(argv[++first]);
        else if (arg == "--poll-us")
            pollUs = std::max(1L, std::atol(argv[++first]));
        else if (arg == "--timeout-ms")
            timeoutMs = std::atol(argv[++first]);
        else
            Usage();
    }
    if (first >= argc) Usage();

    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "first_frame: cannot open display %s\n", std::getenv("DISPLAY"));
        return 69;
    }
    XSetErrorHandler(IgnoreXErrors);
    const Window root = DefaultRootWindow(d);
    const int screenW = DisplayWidth(d, DefaultScreen(d));
    const int screenH = DisplayHeight(d, DefaultScreen(d));

    // A window of the previous run still on screen would spoil the snapshot.
    for (const double until = NowMs() + 3000; AnyViewableTopLevel(d) && NowMs() < until;)
        SleepUs(2000);
    XSelectInput(d, root, SubstructureNotifyMask);
    auto background = std::make_unique<Grabber>(d, screenW, screenH);
    if (!background->Grab(0, 0)) {
        std::fprintf(stderr, "first_frame: cannot read the screen\n");
        return 69;
    }
    XSync(d, True);  // drop events from before the launch

    struct sigaction onStop{};
    onStop.sa_handler = KillChildAndExit;
    sigaction(SIGTERM, &onStop, nullptr);
    sigaction(SIGINT, &onStop, nullptr);
    sigaction(SIGHUP, &onStop, nullptr);

    pid_t pid = 0;
    const double start = NowMs();
    if (posix_spawnp(&pid, argv[first], nullptr, nullptr, &argv[first], environ) != 0) {
        std::perror("first_frame: spawn");
        return 69;
    }
    childPid = pid;

    const auto fail = [&](const char* why) {
        std::fprintf(stderr, "first_frame: %s\n", why);
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        std::exit(1);
    };

    Window window = 0;
    XWindowAttributes where{};
    double mapMs = -1;
    const double deadline = start + static_cast<double>(timeoutMs);
    while (!window) {
        XEvent event{};
        if (!WaitEvent(d, event, deadline)) fail("no window was mapped in time");
        // Another client on the same display must not be taken for the program.
        if (event.type == MapNotify && event.xmap.event == root &&
            !event.xmap.override_redirect && WindowPid(d, event.xmap.window) != -1 &&
            WindowPid(d, event.xmap.window) != pid)
            continue;
        if (event.type == MapNotify && event.xmap.event == root &&
            !event.xmap.override_redirect) {
            mapMs = NowMs() - start;
            if (XGetWindowAttributes(d, event.xmap.window, &where)) window = event.xmap.window;
        }
    }

    const int x = std::clamp(where.x, 0, screenW - 1);
    const int y = std::clamp(where.y, 0, screenH - 1);
    const int w = std::min(where.width, screenW - x);
    const int h = std::min(where.height, screenH - y);
    auto grabber = std::make_unique<Grabber>(d, w, h);
    double frameMs = -1;
    while (frameMs < 0) {
        if (grabber->Grab(x, y) && Differing(background->Image(), grabber->Image(), x, y) > 0) {
            frameMs = NowMs() - start;
            break;
        }
        if (NowMs() > deadline) fail("the window was never painted in time");
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            std::fprintf(stderr, "first_frame: the program exited before painting\n");
            return 1;
        }
        SleepUs(pollUs);
    }
    const std::vector<char> firstFrame = CopyPixels(grabber->Image());

    SleepUs(settleMs * 1000);
    const long vmhwm = ProcStatusKb(pid, "VmHWM");
    const long vmrss = ProcStatusKb(pid, "VmRSS");
    long settledDiff = -1;
    if (grabber->Grab(x, y)) settledDiff = DifferingFrames(firstFrame, grabber->Image());

    const double closeStart = NowMs();
    CloseWindow(d, window);
    int status = 0;
    rusage usage{};
    pid_t done = 0;
    while ((done = wait4(pid, &status, WNOHANG, &usage)) == 0 && NowMs() - closeStart < 5000)
        SleepUs(1000);
    bool killed = false;
    if (done == 0) {
        kill(pid, SIGKILL);
        wait4(pid, &status, 0, &usage);
        killed = true;
    }
    const double closeMs = NowMs() - closeStart;

    std::printf(
        "map_ms=%.2f frame_ms=%.2f vmhwm_kb=%ld vmrss_kb=%ld maxrss_kb=%ld settled_diff_px=%ld "
        "close_ms=%.1f killed=%d window=0x%lx geometry=%dx%d+%d+%d\n",
        mapMs, frameMs, vmhwm, vmrss, usage.ru_maxrss, settledDiff, closeMs, killed ? 1 : 0,
        window, where.width, where.height, where.x, where.y);
    grabber.reset();
    background.reset();
    XCloseDisplay(d);
    return killed ? 3 : 0;
}
