#pragma once
// The serial line as the link uses it: one request at a time, the answer collected until
// 17 ms of silence, resends of the very same bytes, and the 500 ms time-out. It knows no
// window: whoever drives a chain builds the request, listens to the signals and decides what
// an answer, a time-out or a failure means.

#include "instrument/Frame.h"

#include <QByteArray>
#include <QObject>
#include <chrono>
#include <cstdint>

class ComPort;
class QTimer;

namespace linktiming
{

// The only pacing of the line: there is no flow control.
inline constexpr std::chrono::milliseconds AnswerSilence{17};  // silence that ends an answer
inline constexpr std::chrono::milliseconds AnswerTimeout{500}; // no byte of an answer at all
inline constexpr std::chrono::milliseconds SendDelay{10};      // before every new request
inline constexpr std::chrono::milliseconds ChunkDelay{20};     // before taking waiting bytes
inline constexpr std::chrono::milliseconds ResendDelay{5};     // before a resend
inline constexpr std::chrono::milliseconds ApplyDelay{20};     // set value stored -> apply it
inline constexpr int MaxResends = 50; // failed answers to one request that are still resent

// Blocks the calling (GUI) thread for d: the instrument needs these gaps between frames.
void pause(std::chrono::milliseconds d);

// Test seam: without a line there is nothing to pace; lets answer-handler tests that run
// thousands of answers skip the waits. On by default.
void setWaitsEnabled(bool enabled);

} // namespace linktiming

class Transport : public QObject
{
    Q_OBJECT
public:
    static constexpr int FrameSize = frame::MaxFrame;

    // port is not owned; it must outlive the transport's use of it.
    explicit Transport(ComPort* port, QObject* parent = nullptr);

    // Keeps bytes (at most FrameSize) as the request on the line: what send and every resend
    // put on the line.
    void setRequest(const QByteArray& bytes);
    // A new request: the 10 ms gap, then the output buffer flushed, txFrame queued and the
    // time-out armed; errorCount starts again at 0. A port error emits portFailed. True when
    // the request went out.
    bool send();
    // The same bytes again after 5 ms, errorCount kept; once errorCount has passed the resend
    // limit, emits resendLimitPassed instead.
    void resendOrFail();
    // Bytes waiting on the port: taken after the 20 ms gap and appended to rxFrame; the answer
    // ends 17 ms after the last of them (answerReady). Once bytes came, no time-out runs.
    void onDataAvailable(int count);
    // The end-of-answer timer: switches it off and reports the answer.
    void onSilence();
    // The request on the line waits for its answer again (a late answer of an earlier request
    // was dropped instead); nothing happens while the port is closed.
    void keepWaiting();
    // Both timers off: no request is on the line any more.
    void stop();
    bool requestOnLine() const; // either timer is running

    QTimer* silenceTimer() const { return m_silence; }
    QTimer* timeoutTimer() const { return m_timeout; }

    // Link state; the main window's members of the same names refer to it.
    std::uint8_t txFrame[FrameSize] = {}; // the request on the line, kept for resending
    int txLength = 0;
    std::uint8_t rxFrame[FrameSize] = {}; // the answer being collected, from its first byte
    std::uint8_t rxChunk[FrameSize] = {}; // bytes of one data-available event
    int rxCount = 0;                      // bytes collected in rxFrame
    int errorCount = 0;                   // failed answers to the request on the line

signals:
    void answerReady();       // rxFrame holds rxCount bytes of a complete answer
    void timedOut();          // 500 ms after a request or resend without any byte
    void resendLimitPassed(); // the failure after the last permitted resend
    void portFailed();        // the port raised an error while sending or reading

private:
    bool putOnLine();
    void onTimeout();

    ComPort* m_port;
    QTimer* m_silence; // objectName "ModbusTimer"
    QTimer* m_timeout; // objectName "TimerConnectionTimeout"
};
