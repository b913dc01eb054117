#pragma once
// Shared by the main window's link files (ui/link/*.cpp): the few steps one link file hands
// to another. Not part of the window's interface. The pacing of the line is the transport's
// (instrument/Transport.h).

#include "instrument/Transport.h"

#include <QByteArray>
#include <QString>
#include <functional>

class TForm1;

namespace linkdetail
{

// Ends the connection after a failure of the link, with report (the box that tells the
// operator) shown in between. The box runs a nested event loop: before it opens, the link is
// marked down (linkDown: SendFrame and ResendOrFail refuse), the port closed, the request on
// the line forgotten, and the timers that would send (status poll, timed run, countdown)
// stopped, so nothing goes out and Disconnect runs once, after the box. The status poll runs
// on afterwards (LinkTransport.cpp).
void endConnectionAfter(TForm1& w, const std::function<void()>& report);

// Ends the running chain without sending anything more: resets a profile transfer (with
// its controls enabled again), drops a waiting set, gives the input back.
void endChainCleanly(TForm1& w);

// Answer text as Unicode: CP1251, or byte for byte where CP1251 has no character.
QString answerToText(const QByteArray& bytes);

// A text where the instrument should have sent a number: says so in the log and ends the
// chain there (LinkDispatch.cpp).
void invalidAnswer(TForm1& w, std::uint16_t reg, const QString& text);
// The log line that says so.
QString invalidAnswerLine(const TForm1& w, std::uint16_t reg, const QString& text);

// The 40066 answer, while probing or connected (LinkConnection.cpp).
void onDeviceNameAnswer(TForm1& w, const QString& text);

// The 40085 acknowledgement that no set chain waits for (LinkSetChain.cpp).
void onOutputModeAckWithoutSet(TForm1& w, const QString& text);

} // namespace linkdetail
