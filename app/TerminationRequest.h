#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP, the ways a session, a service manager or
// a terminal ask a program to end, into a call of `onRequest` on the event
// loop, so that the program closes as through its close box and exits 0.
// One instance at a time; the signals' former handling returns with it.
class TerminationRequest : public QObject {
  public:
    explicit TerminationRequest(std::function<void()> onRequest);
    ~TerminationRequest() override;

  private:
    std::function<void()> onRequest_;
    QSocketNotifier* notifier_ = nullptr;
};
