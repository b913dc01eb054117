#pragma once
// Shared by the main window's link files (instrument/Link*.cpp): the pacing of the line,
// and the few steps one link file hands to another. Not part of the window's interface.

#include <QByteArray>
#include <QString>
#include <chrono>
#include <cstdint>

class TForm1;

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

// Blocks the GUI thread for d: the instrument needs these gaps between frames.
void pause(std::chrono::milliseconds d);

// Test seam: without a line there is nothing to pace; lets answer-handler tests that run
// thousands of answers skip the waits. On by default.
void setWaitsEnabled(bool enabled);

} // namespace linktiming

namespace linkdetail
{

// Switches off the end-of-answer and time-out timers: no request is on the line any more.
void stopLinkTimers(TForm1& w);

// Ends the running chain without sending anything more: resets a profile transfer (with
// its controls enabled again), drops a waiting set, gives the input back.
void endChainCleanly(TForm1& w);

// Answer text as Unicode: CP1251, or byte for byte where CP1251 has no character.
QString answerToText(const QByteArray& bytes);

// The 40066 answer, while probing or connected (LinkConnection.cpp).
void onDeviceNameAnswer(TForm1& w, const QString& text);

// The 40085 acknowledgement that no set chain waits for (LinkSetChain.cpp).
void onOutputModeAckWithoutSet(TForm1& w, const QString& text);

} // namespace linkdetail
