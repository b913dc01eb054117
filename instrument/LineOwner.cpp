#include "instrument/LineOwner.h"

#include "instrument/Transport.h"

#include <QTimer>
#include <utility>

LineOwner::LineOwner(Transport* transport, QObject* parent) : QObject(parent), m_transport(transport) {}

bool LineOwner::busy() const
{
    switch (m_chain) {
    case Chain::None:
    case Chain::Probe:
    case Chain::Poll:
        return m_actionWaits;
    default:
        return true;
    }
}

void LineOwner::begin(Chain chain)
{
    setChain(chain);
}

bool LineOwner::isFree() const
{
    return m_chain == Chain::None && m_queue.empty() && !m_transport->requestOnLine();
}

void LineOwner::settle()
{
    if (m_transport->requestOnLine())
        return;
    setChain(Chain::None);
    if (!m_queue.empty())
        // After the handler that ended the chain has returned, and before any timer: the poll
        // does not start while anything waits.
        QTimer::singleShot(0, this, &LineOwner::runWaiting);
}

void LineOwner::reset()
{
    m_queue.clear();
    m_actionWaits = false;
    ++m_connection;
    setChain(Chain::None);
}

bool LineOwner::run(std::function<void()> action)
{
    if (isFree()) {
        action();
        return true;
    }
    // A request that no chain began is waited for like a poll.
    const bool shortChain = m_chain == Chain::Poll || m_chain == Chain::Option || m_chain == Chain::None;
    if (m_actionWaits || !shortChain)
        return false;
    m_queue.push_back(std::move(action));
    m_actionWaits = true;
    setChain(m_chain); // busy now: the controls lock until the action's own chain ends
    return true;
}

void LineOwner::hold(std::function<void()> input)
{
    m_queue.push_back(std::move(input));
}

void LineOwner::runWaiting()
{
    // The connection may have ended, or another chain begun, since the line came free.
    if (m_queue.empty() || m_chain != Chain::None || m_transport->requestOnLine())
        return;
    // All in the order of arrival, each as on a free line: an action that starts a chain makes
    // what follows meet that chain, as it would have met it had the line been free.
    std::deque<std::function<void()>> queue;
    queue.swap(m_queue);
    m_actionWaits = false;
    const unsigned connection = m_connection;
    for (const std::function<void()>& entry : queue) {
        if (m_connection != connection)
            break; // the connection ended on the way: the rest goes with it
        entry();
    }
    // An action that sent nothing (refused by its own checks) leaves the line free.
    setChain(m_chain);
}

void LineOwner::setChain(Chain chain)
{
    m_chain = chain;
    const bool nowBusy = busy();
    const bool nowLong = longChain();
    if (nowBusy == m_lastBusy && nowLong == m_lastLong)
        return;
    m_lastBusy = nowBusy;
    m_lastLong = nowLong;
    emit lockChanged();
}
