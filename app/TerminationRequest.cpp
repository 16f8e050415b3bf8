#include "app/TerminationRequest.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>

namespace {

constexpr std::array Signals = {SIGTERM, SIGINT, SIGHUP};
// The signal handler may only write to a descriptor; the event loop reads
// the other end.
int pipeEnds[2] = {-1, -1};

extern "C" void OnSignal(int) {
    const char byte = 1;
    const int saved = errno;
    [[maybe_unused]] const ssize_t ignored = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}

}  // namespace

TerminationRequest::TerminationRequest(std::function<void()> onRequest)
    : onRequest_(std::move(onRequest)) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pipeEnds) != 0)
        return;  // The signals then keep their default effect.
    notifier_ = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(pipeEnds[0], bytes, sizeof bytes) > 0) {
        }
        onRequest_();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : Signals) ::sigaction(signal, &action, nullptr);
}

TerminationRequest::~TerminationRequest() {
    if (notifier_ == nullptr) return;
    for (const int signal : Signals) std::signal(signal, SIG_DFL);
    delete notifier_;
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}
