// vardeko-sim: a simulated RD5540 on a pseudo-terminal, for trying the program without
// the instrument. Prints its link and pty, answers until SIGINT/SIGTERM/SIGHUP, then
// removes its link. Lines on its standard input work its front panel (sim/SimPanel.h).

#include "sim/SimInstrument.h"
#include "sim/SimPanel.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <pthread.h>
#include <thread>

namespace
{

// Counts such as --bad-crc take a number of answers or "all".
bool parseCount(const QString& text, int& out)
{
    if (text.compare(QLatin1String("all"), Qt::CaseInsensitive) == 0) {
        out = -1;
        return true;
    }
    bool ok = false;
    out = text.toInt(&ok);
    return ok && out >= -1;
}

[[noreturn]] void fail(const QString& message)
{
    std::fprintf(stderr, "vardeko-sim: %s\n", qPrintable(message));
    std::exit(2);
}

int intValue(const QCommandLineParser& parser, const QString& name, int low, int high)
{
    bool ok = false;
    const int v = parser.value(name).toInt(&ok, 0);
    if (!ok || v < low || v > high)
        fail(QStringLiteral("--%1 needs a number from %2 to %3").arg(name).arg(low).arg(high));
    return v;
}

int countValue(const QCommandLineParser& parser, const QString& name)
{
    int n = 0;
    if (!parseCount(parser.value(name), n))
        fail(QStringLiteral("--%1 needs a count or \"all\"").arg(name));
    return n;
}

} // namespace

int main(int argc, char** argv)
{
    // Block the exit signals before any thread starts, so that only sigwait below sees them
    // and the link is removed on every ordinary way out.
    sigset_t exitSignals;
    sigemptyset(&exitSignals);
    sigaddset(&exitSignals, SIGINT);
    sigaddset(&exitSignals, SIGTERM);
    sigaddset(&exitSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &exitSignals, nullptr);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vardeko-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Simulated RD5540 resistance measure on a pseudo-terminal.\n\n") +
        simpanel::panelHelp());
    parser.addHelpOption();
    const auto opt = [&parser](const char* name, const char* help, const char* value = nullptr) {
        QCommandLineOption o(QString::fromLatin1(name), QString::fromLatin1(help));
        if (value)
            o.setValueName(QString::fromLatin1(value));
        parser.addOption(o);
    };
    opt("variant", "Instrument variant RD5540-N, 1..5 (default 1).", "N");
    opt("address", "Answer only this bus address (default: every address).", "A");
    opt("dir", "Directory of the link (default: the simulator directory).", "D");
    opt("model", "Text of the model register 40066 (another variant's name).", "TEXT");
    opt("serial", "Serial number text, register 40067.", "S");
    opt("status", "Status bits that register 40087 reports.", "BITS");
    opt("not-ready", "Answer '0' from 40075 N times after each applied value.", "N");
    opt("refuse-password", "Refuse to store a written profile (exception 11).");
    opt("silent", "Never answer.");
    opt("silent-register", "Never answer requests for register R.", "R");
    opt("bad-crc", "Wrong CRC in the next N answers (N or all).", "N");
    opt("zero-count", "Data count 0 in the next N answers (N or all).", "N");
    opt("split", "Send every answer in K pieces.", "K");
    opt("pause", "Pause between the pieces of a split answer, ms.", "P");
    opt("delay", "Answer D ms late.", "D");
    opt("status-delay", "Answer the status register 40087 D ms late.", "D");
    opt("exception", "Answer with exception CODE.", "CODE");
    opt("count", "Number of exception answers (default all).", "N");
    opt("register", "Exception answers only for register R.", "R");
    opt("wrong-register", "Name register + 1 in the next N answers (N or all).", "N");
    opt("oversized", "Answer with 200 data bytes in the next N answers (N or all).", "N");
    opt("garbage", "Send 200 bytes of noise instead of the next N answers (N or all).", "N");
    opt("verbose", "Log every request.");
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        fail(QStringLiteral("unexpected argument %1").arg(parser.positionalArguments().front()));

    SimInstrument sim(parser.isSet("variant") ? intValue(parser, "variant", 1, 5) : 1);
    using Fault = SimInstrument::Fault;
    if (parser.isSet("address"))
        sim.setAddress(intValue(parser, "address", 0, 255));
    if (parser.isSet("model"))
        sim.setRegisterText(40066, parser.value("model").toLatin1());
    if (parser.isSet("serial"))
        sim.setRegisterText(40067, parser.value("serial").toLatin1());
    if (parser.isSet("status"))
        sim.setStatusBits(std::uint8_t(intValue(parser, "status", 0, 63)));
    if (parser.isSet("not-ready"))
        sim.setNotReadyCount(intValue(parser, "not-ready", 0, 1000000));
    sim.setRefusePassword(parser.isSet("refuse-password"));
    if (parser.isSet("silent"))
        sim.addFault(Fault::silence());
    if (parser.isSet("silent-register"))
        sim.addFault(Fault::silence(-1, std::uint16_t(intValue(parser, "silent-register", 1, 65535))));
    if (parser.isSet("bad-crc"))
        sim.addFault(Fault::badCrc(countValue(parser, "bad-crc")));
    if (parser.isSet("zero-count"))
        sim.addFault(Fault::zeroCount(countValue(parser, "zero-count")));
    if (parser.isSet("split")) {
        const int pause = parser.isSet("pause") ? intValue(parser, "pause", 0, 60000) : 0;
        sim.addFault(Fault::split(intValue(parser, "split", 1, 255), pause));
    }
    if (parser.isSet("delay"))
        sim.addFault(Fault::delay(intValue(parser, "delay", 0, 600000)));
    if (parser.isSet("status-delay"))
        sim.addFault(Fault::delay(intValue(parser, "status-delay", 0, 600000), -1, 40087));
    if (parser.isSet("exception")) {
        const int count = parser.isSet("count") ? countValue(parser, "count") : -1;
        const int reg = parser.isSet("register") ? intValue(parser, "register", 1, 65535) : 0;
        sim.addFault(Fault::exception(intValue(parser, "exception", 0, 255), count, std::uint16_t(reg)));
    }
    if (parser.isSet("wrong-register"))
        sim.addFault(Fault::wrongRegister(1, countValue(parser, "wrong-register")));
    if (parser.isSet("oversized"))
        sim.addFault(Fault::oversized(200, countValue(parser, "oversized")));
    if (parser.isSet("garbage"))
        sim.addFault(Fault::garbage(200, countValue(parser, "garbage")));
    if (parser.isSet("verbose")) {
        sim.setRequestObserver([](const SimInstrument::Request& r) {
            std::printf("%s function %u register %u%s%s\n", r.crcOk ? "request" : "bad CRC",
                        unsigned(r.function), unsigned(r.reg), r.function == 6 ? " text " : "",
                        r.function == 6 ? r.text.constData() : "");
            std::fflush(stdout);
        });
    }

    if (!sim.start(parser.value("dir")))
        fail(QStringLiteral("cannot create the pseudo-terminal or its link"));
    std::printf("link: %s\npty: %s\n", qPrintable(sim.linkPath()), qPrintable(sim.slavePath()));
    std::fflush(stdout);

    // The front panel reads standard input until it ends; the process ends by a signal.
    // Started in the background of a terminal, a read would stop the whole simulator: it
    // fails instead, and is tried again until the simulator is brought to the foreground.
    std::signal(SIGTTIN, SIG_IGN);
    std::thread panel([&sim] {
        char line[256];
        for (;;) {
            if (!std::fgets(line, sizeof line, stdin)) {
                if (std::feof(stdin))
                    return;
                std::clearerr(stdin);
                std::this_thread::sleep_for(std::chrono::seconds(1));
                continue;
            }
            const simpanel::Reply reply = simpanel::command(sim, QString::fromUtf8(line));
            if (reply.ok && !reply.text.isEmpty())
                std::printf("panel: %s\n", qPrintable(reply.text));
            else if (!reply.ok)
                std::fprintf(stderr, "vardeko-sim: %s\n", qPrintable(reply.text));
            std::fflush(stdout);
        }
    });
    panel.detach();

    int signal = 0;
    sigwait(&exitSignals, &signal);
    sim.stop();
    // Out at once: the panel thread may still be waiting for a line, and must not meet a
    // simulator that is being destroyed.
    std::fflush(stdout);
    std::_Exit(0);
}
