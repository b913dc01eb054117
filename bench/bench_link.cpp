// Time per request/answer exchange of the main window's link, measured against a simulated
// instrument on a pseudo-terminal, next to the floor the protocol's own waits impose and the
// time a real 9600-baud 8N2 line would add. What is left over is the program's own cost.
//
// Usage: bench_link [chains]   (default 10 identification chains of 8 exchanges each, then a
// whole profile read, 65 exchanges, and a whole profile write, 66, through the window's own
// handlers)

#include "instrument/Frame.h"
#include "instrument/Mydialogs.h"
#include "instrument/Transport.h"
#include "platform/ComPort.h"
#include "platform/PortTable.h"
#include "sim/SimInstrument.h"
#include "ui/main.h"
#include "ui_TForm1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <tuple>
#include <vector>

namespace
{

constexpr double BitsPerByte = 11.0; // start, 8 data, 2 stop
constexpr double Baud = 9600.0;
constexpr double OverheadBudgetMs = 2.0;

bool waitIdle(TForm1& w, std::chrono::milliseconds deadline)
{
    QElapsedTimer clock;
    clock.start();
    while (w.requestOnLine()) {
        if (clock.elapsed() > deadline.count())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

double ms(std::chrono::milliseconds d)
{
    return double(d.count());
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// Intervals between requests arriving at the instrument, in ms.
std::vector<double> intervalsOf(const std::vector<std::chrono::steady_clock::time_point>& at)
{
    std::vector<double> out;
    for (std::size_t i = 1; i < at.size(); ++i)
        out.push_back(std::chrono::duration<double, std::milli>(at[i] - at[i - 1]).count());
    return out;
}

struct Transfer {
    int exchanges = 0;
    double meanMs = 0.0;   // whole transfer, from the click to the end, per exchange
    double medianMs = 0.0; // request to request at the instrument
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int chains = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;

    QTemporaryDir simDir;
    porttable::setIncludeSystemPorts(false);
    porttable::setSimDirectoryOverride(simDir.path());
    SimInstrument sim(1);
    if (!simDir.isValid() || !sim.start(simDir.path())) {
        std::fprintf(stderr, "cannot start the simulated instrument\n");
        return 1;
    }

    DialogSeam seam; // a failure must not wait for a person
    TForm1 w;
    w.FormCreate();
    w.RequestTimer->stop(); // status polls would be timed with the chains

    w.ConnectionButtonClick();
    if (!waitIdle(w, std::chrono::seconds(10)) || !w.connected) {
        std::fprintf(stderr, "no connection to the simulated instrument\n");
        return 1;
    }

    int events = 0;
    QObject::connect(w.comPort, &ComPort::TriggerAvail, [&events](int) { ++events; });
    sim.clearRequests();
    // Arrival times of the requests at the instrument: from one to the next is exactly one
    // exchange (answer, waits, handler, next request), free of this program's idle checks.
    std::mutex arrivalsLock;
    std::vector<std::chrono::steady_clock::time_point> arrivals;
    sim.setRequestObserver([&](const SimInstrument::Request&) {
        std::lock_guard lock(arrivalsLock);
        arrivals.push_back(std::chrono::steady_clock::now());
    });

    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < chains; ++i) {
        w.SendFrame(frame::FuncRead, 40067); // the identification from the serial number on
        if (!waitIdle(w, std::chrono::seconds(10)) || !w.connected) {
            std::fprintf(stderr, "chain %d did not complete\n", i + 1);
            return 1;
        }
    }
    const double elapsedMs = double(clock.nsecsElapsed()) / 1e6;
    sim.setRequestObserver({});
    std::vector<std::chrono::steady_clock::time_point> chainArrivals;
    {
        std::lock_guard lock(arrivalsLock);
        chainArrivals = arrivals;
    }

    // A whole profile read and write, each driven by its own handlers from the first request
    // to the end message, as the operator's buttons start them.
    const std::vector<SimInstrument::Request> chainRequests = sim.requests();
    const int chainEvents = events;
    auto transfer = [&](void (TForm1::*start)(), int expected, Transfer& out) {
        sim.clearRequests();
        {
            std::lock_guard lock(arrivalsLock);
            arrivals.clear();
        }
        sim.setRequestObserver([&](const SimInstrument::Request&) {
            std::lock_guard lock(arrivalsLock);
            arrivals.push_back(std::chrono::steady_clock::now());
        });
        QElapsedTimer transferClock;
        transferClock.start();
        (w.*start)();
        if (!waitIdle(w, std::chrono::seconds(30)) || !w.connected || w.profTransfer ||
            sim.requestCount() != expected)
            return false;
        const double totalMs = double(transferClock.nsecsElapsed()) / 1e6;
        sim.setRequestObserver({});
        std::lock_guard lock(arrivalsLock);
        out.exchanges = expected;
        out.meanMs = totalMs / expected;
        out.medianMs = median(intervalsOf(arrivals));
        return true;
    };
    Transfer profileRead, profileWrite;
    if (!transfer(&TForm1::ButtonFProfileGetClick, 65, profileRead)) {
        std::fprintf(stderr, "the profile read did not complete\n");
        return 1;
    }
    if (!transfer(&TForm1::ButtonFProfileSendClick, 66, profileWrite)) {
        std::fprintf(stderr, "the profile write did not complete\n");
        return 1;
    }

    const std::vector<SimInstrument::Request>& requests = chainRequests;
    const int exchanges = int(requests.size());
    if (exchanges == 0)
        return 1;
    long lineBytes = 0;
    for (const SimInstrument::Request& r : requests)
        lineBytes += r.raw.size() + sim.registerText(r.reg).size() + 7; // request + answer
    const double eventsPerExchange = double(chainEvents) / exchanges;

    // Intervals inside each chain of 8 requests; the gap between chains is the bench's own.
    std::vector<double> intervals;
    {
        std::lock_guard lock(arrivalsLock);
        const std::vector<double> all = intervalsOf(chainArrivals);
        for (std::size_t i = 0; i < all.size(); ++i)
            if ((i + 1) % 8 != 0)
                intervals.push_back(all[i]);
    }
    const double chainMedian = median(intervals);
    const double worst = intervals.empty() ? 0.0 : *std::max_element(intervals.begin(), intervals.end());

    const double perExchange = elapsedMs / exchanges;
    const double waitFloor = ms(linktiming::SendDelay) + eventsPerExchange * ms(linktiming::ChunkDelay) +
                             ms(linktiming::AnswerSilence);
    const double lineMs = double(lineBytes) / exchanges * BitsPerByte / Baud * 1000.0;
    const double overhead = chainMedian - waitFloor;
    const double readOverhead = profileRead.medianMs - waitFloor;
    const double writeOverhead = profileWrite.medianMs - waitFloor;
    const double worstOverhead = std::max({overhead, readOverhead, writeOverhead});

    std::printf("exchanges:                   %d (%d chains)\n", exchanges, chains);
    std::printf("data-available events each:  %.2f\n", eventsPerExchange);
    std::printf("time per exchange, mean:     %.2f ms (whole run)\n", perExchange);
    std::printf("time per exchange, median:   %.2f ms (slowest %.2f ms)\n", chainMedian, worst);
    std::printf(
        "floor of the waits:          %.2f ms (10 ms before send + 20 ms per event + 17 ms silence)\n",
        waitFloor);
    std::printf("9600 baud 8N2 line time:     %.2f ms per exchange (%.1f bytes), not present on a pty\n",
                lineMs, double(lineBytes) / exchanges);
    std::printf("floor on a real line:        %.2f ms\n", waitFloor + lineMs);
    std::printf("own overhead, mean:          %.2f ms (scheduling outliers included)\n",
                perExchange - waitFloor);
    std::printf("own overhead, median:        %.2f ms (budget %.1f ms): %s\n", overhead, OverheadBudgetMs,
                overhead < OverheadBudgetMs ? "ok" : "OVER BUDGET");
    for (const auto& [name, t, own] : {std::tuple{"profile read: ", profileRead, readOverhead},
                                       std::tuple{"profile write:", profileWrite, writeOverhead}})
        std::printf("%s               %d exchanges, %.2f ms each (median %.2f ms), own overhead %.2f ms "
                    "(budget %.1f ms): %s\n",
                    name, t.exchanges, t.meanMs, t.medianMs, own, OverheadBudgetMs,
                    own < OverheadBudgetMs ? "ok" : "OVER BUDGET");
    return worstOverhead < OverheadBudgetMs ? 0 : 2;
}
