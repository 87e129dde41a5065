#include "qt/termination_requests.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#ifdef Q_OS_LINUX
#include <csignal>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>
#endif

namespace tavrel::qt {

#ifdef Q_OS_LINUX

// The signals are blocked and read from a signal descriptor instead of
// being caught by a handler: reading them is then ordinary event-loop work,
// with none of the limits on what a handler may call.
struct TerminationRequests::Platform
{
    sigset_t requests{};
    sigset_t previousMask{};
    int descriptor = -1;

    Platform()
    {
        sigemptyset(&requests);
        sigaddset(&requests, SIGTERM);
        sigaddset(&requests, SIGINT);
        sigaddset(&requests, SIGHUP);
        if (pthread_sigmask(SIG_BLOCK, &requests, &previousMask) != 0)
            return;
        descriptor = signalfd(-1, &requests, SFD_NONBLOCK | SFD_CLOEXEC);
        if (descriptor < 0)
            pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    }

    ~Platform()
    {
        if (descriptor < 0)
            return;
        close(descriptor);
        pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    }

    Platform(const Platform &) = delete;
    Platform &operator=(const Platform &) = delete;
    Platform(Platform &&) = delete;
    Platform &operator=(Platform &&) = delete;

    // Drains what has arrived; true if that was at least one request.
    [[nodiscard]] bool takeRequests() const
    {
        bool any = false;
        signalfd_siginfo info{};
        while (read(descriptor, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
            any = true;
        return any;
    }
};

#else

struct TerminationRequests::Platform
{
    int descriptor = -1;
    [[nodiscard]] static bool takeRequests() { return false; }
};

#endif

TerminationRequests::TerminationRequests() : platform(std::make_unique<Platform>()) { }

TerminationRequests::~TerminationRequests() = default;

void TerminationRequests::quitOnRequest() const
{
    QCoreApplication *const application = QCoreApplication::instance();
    if (platform->descriptor < 0 || application == nullptr)
        return;
    // Owned by the application, so it stops watching before the descriptor
    // closes: this object is built before the application and outlives it.
    auto *const watch
        = new QSocketNotifier(platform->descriptor, QSocketNotifier::Read, application);
    const Platform *const requests = platform.get();
    QObject::connect(watch, &QSocketNotifier::activated, watch, [requests] {
        if (requests->takeRequests())
            QCoreApplication::quit();
    });
}

} // namespace tavrel::qt
