#pragma once

#include <csignal>
#include <iterator>

namespace glyph {

// The signals that end a program which does not handle them, and which a
// writer of files handles so that it leaves nothing half done.
inline constexpr int EndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

// While it lives, the ending signals are noted instead of acted on (one the
// process ignores stays ignored). When it ends, the handling from before
// comes back and a noted signal is raised again, so that the process ends as
// the signal would have ended it, only later. One at a time.
class DeferredSignals {
  public:
    DeferredSignals();
    DeferredSignals(const DeferredSignals&) = delete;
    DeferredSignals& operator=(const DeferredSignals&) = delete;
    ~DeferredSignals();

    // Whether a signal came, so that the work can stop and undo itself.
    static bool Pending();

  private:
    struct sigaction before_[std::size(EndingSignals)]{};
    bool installed_[std::size(EndingSignals)]{};
};

}  // namespace glyph
