#pragma once

#include <memory>

namespace tavrel::qt {

// A request from outside the window to end the program: SIGTERM (a session
// logging out, a service manager stopping it), SIGINT (Ctrl+C in the
// terminal that started it) or SIGHUP (that terminal going away). The
// default action of those signals kills the process on the spot; Tavrel
// instead leaves its event loop as if the window had been closed, so it
// exits with status 0 and tears the window down in order.
//
// Build one before the application object, so that the signals are blocked
// before the toolkit starts any thread of its own (a signal blocked in one
// thread can still be delivered to another). Then `quitOnRequest` once the
// event loop can watch a descriptor. Where the platform has no such
// mechanism (outside Linux) this does nothing and the signals keep their
// default action.
class TerminationRequests
{
public:
    TerminationRequests();
    ~TerminationRequests();
    TerminationRequests(const TerminationRequests &) = delete;
    TerminationRequests &operator=(const TerminationRequests &) = delete;
    TerminationRequests(TerminationRequests &&) = delete;
    TerminationRequests &operator=(TerminationRequests &&) = delete;

    // Quits the application's event loop (and any dialog's loop running
    // inside it) when one of the signals arrives. The watch belongs to the
    // application object and ends with it.
    void quitOnRequest() const;

private:
    struct Platform;
    std::unique_ptr<Platform> platform;
};

} // namespace tavrel::qt
