#pragma once
// Who holds the serial line. Every chain of requests (probing, identification, a set with its
// read-outs, a profile transfer, a status poll, an option written from a menu) starts here and
// holds the line until an answer has been handled and nothing new went out. An operator action
// that meets a status poll or an option write waits for it, then runs ahead of the next poll;
// one that meets a longer chain is refused: the windows lock its controls while `busy`.
// What the operator does meanwhile without needing the line (keys, wheel notches, a step)
// waits in the same queue, so that everything runs in the order the operator did it.

#include <QObject>
#include <deque>
#include <functional>

class Transport;

class LineOwner : public QObject
{
    Q_OBJECT
public:
    enum class Chain {
        None,
        Probe,    // the model text asked of one port after another
        Identify, // the identification registers after the instrument was found
        Poll,     // the status poll and the reads that its answer asks for
        Option,   // an output mode or display selection written on its own
        Set,      // a value set, its ready loop and read-outs
        Transfer, // a profile read or write
    };

    // transport is not owned; it must outlive the owner.
    explicit LineOwner(Transport* transport, QObject* parent = nullptr);

    // The chain that the next request starts or continues (a chain may go on as another kind:
    // an output-mode switch of the verification window goes on to set zero).
    void begin(Chain chain);
    // An answer was handled, or a request could not go out: with nothing on the line, the chain
    // is over and what waits for the line runs next.
    void settle();
    // The connection is over: the chain and everything that waits are dropped unrun.
    void reset();

    // An operator action that needs the line: runs at once on a free line; while a poll or an
    // option write holds it, waits (one action at most) and runs as soon as that chain has
    // ended. False when refused: another chain holds the line, or an action already waits.
    bool run(std::function<void()> action);
    // An operator input that needs no line but must not overtake what waits: queued behind it
    // and run in its turn. The input checks again then whether it still has to wait.
    void hold(std::function<void()> input);

    Chain chain() const { return m_chain; }
    // No chain, no request on the line and nothing waiting for it.
    bool isFree() const;
    // An action waits for the line.
    bool hasWaiting() const { return m_actionWaits; }
    // Something the operator did waits: an action or an input held behind one, or behind a poll.
    bool holding() const { return !m_queue.empty(); }
    // A chain of the operator's holds the line, or an action waits for it.
    bool busy() const;
    // Identification or a profile transfer: the whole value input is locked.
    bool longChain() const { return m_chain == Chain::Identify || m_chain == Chain::Transfer; }

signals:
    // busy() or longChain() changed: the windows lock or free their controls.
    void lockChanged();

private:
    void setChain(Chain chain);
    void runWaiting();

    Transport* m_transport;
    Chain m_chain = Chain::None;
    std::deque<std::function<void()>> m_queue; // in the order the operator did it
    bool m_actionWaits = false;                // one of the queue needs the line
    unsigned m_connection = 0;                 // counts resets: what waited goes with its connection
    bool m_lastBusy = false;
    bool m_lastLong = false;
};
