#include "glyph/DeferredSignals.h"

#include <atomic>

namespace glyph {
namespace {

volatile std::sig_atomic_t noted = 0;

extern "C" void Note(int signal) {
    noted = signal;
}

}  // namespace

DeferredSignals::DeferredSignals() {
    noted = 0;
    for (std::size_t i = 0; i < std::size(EndingSignals); ++i) {
        if (::sigaction(EndingSignals[i], nullptr, &before_[i]) != 0 ||
            before_[i].sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = Note;
        sigemptyset(&action.sa_mask);
        // No SA_RESTART: a wait for a lock returns, so that the signal is seen.
        action.sa_flags = 0;
        installed_[i] = ::sigaction(EndingSignals[i], &action, nullptr) == 0;
    }
}

DeferredSignals::~DeferredSignals() {
    for (std::size_t i = 0; i < std::size(EndingSignals); ++i)
        if (installed_[i]) ::sigaction(EndingSignals[i], &before_[i], nullptr);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    if (noted != 0) ::raise(noted);
}

bool DeferredSignals::Pending() {
    return noted != 0;
}

}  // namespace glyph
