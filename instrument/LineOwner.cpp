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
        return bool(m_waiting);
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
    return m_chain == Chain::None && !m_waiting && !m_transport->requestOnLine();
}

void LineOwner::settle()
{
    if (m_transport->requestOnLine())
        return;
    const bool ended = m_chain != Chain::None;
    setChain(Chain::None);
    if (ended)
        emit freed();
    if (m_waiting)
        // After the handler that ended the chain has returned, and before any timer: the poll
        // does not start while an action waits.
        QTimer::singleShot(0, this, &LineOwner::runWaiting);
}

void LineOwner::reset()
{
    m_waiting = nullptr;
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
    if (m_waiting || !shortChain)
        return false;
    m_waiting = std::move(action);
    setChain(m_chain); // busy now: the controls lock until the action's own chain ends
    return true;
}

void LineOwner::runWaiting()
{
    // The connection may have ended, or another chain begun, since the line came free.
    if (!m_waiting || m_chain != Chain::None || m_transport->requestOnLine())
        return;
    std::function<void()> action = std::move(m_waiting);
    m_waiting = nullptr;
    action();
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
