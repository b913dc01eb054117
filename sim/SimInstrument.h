#pragma once
// A simulated RD5540 resistance measure on a pseudo-terminal. It answers the program's
// read (function 3) and write (function 6) requests the way the instrument does, keeps
// every register as a text, applies set values with read-outs computed from its own
// actual-values profile, and can be told to misbehave (silence, bad CRC, exceptions...).
//
// The simulator runs a worker thread that reads the pty master. Its state is guarded by
// one mutex, so tests may change it while requests run (see the end of this comment).
//
// Register texts are 8-bit texts with the decimal comma, as on the line. Defaults of
// variant v (RD5540-v, decade exponents minDec..maxDec = v-4 .. v+2):
//   40001 R02 "0,0123", 40002 R04 "0,0011";
//   40003..40065 actual value of each step, nominal (9 - j) * 10^e with a deviation of a
//     few ppm, "0.0000"; 40003 is 1 * 10^minDec, 40065 is 9 * 10^maxDec;
//   40066 "RD5540-<v>", 40067 "1042", 40068 "0,02", 40069 "2024", 40070 "****",
//   40071 top of range, 10^(maxDec+1) - 10^minDec in the variant's ohm format
//     ("9999,999" for RD5540-1), 40072 step "0,001" / "0,01" / "0,1" / "1" / "10",
//   40073 zero in the ohm format ("0,000" for RD5540-1), 40074 "A", 40075 "1",
//   40076..40084 read-outs of the set value (see Read-outs below), 40077 and 40082 "0",
//   40078 "A", 40085 "A", 40086 "1.0.3", 40087 "@" (no status bits, see below).
//
// Requests:
// - Reads of 40001..40087 answer function 3, the register and its text. A register whose
//   text is empty answers with a data count of 0. Other register numbers get exception 2.
// - Writes answer function 6 echoing register and text, after storing it:
//   40001..40065 are staged; "B" to 40074 stores the staged profile (or, with
//   setRefusePassword, answers exception 11 and drops it); reads give the stored one.
//   40073 stores the value text; "A" to 40074 applies it: the text must be a number from 0
//   to the top of range, else exception 3. Applying recomputes the read-outs and makes
//   40075 answer '0' notReadyCount times before '1'.
//   40078 takes 'A'..'H', 40085 'A'..'D', 40087 only "0" (clears the status bits); other
//   texts there, other commands to 40074 and writes to any other register: exception 3
//   (exception 2 for read-only and unknown registers).
// - Status register 40087: one character, 0x40 | bits ('@' when nothing is pending), so
//   that the text stays printable and bit 6 is one the program ignores. Bit 2 (value 4,
//   not ready) is added while 40075 still has '0' answers to give.
// - Address: by default every address is answered and the answer echoes it; after
//   setAddress(a) with a in 1..255 only requests to a are answered (others are logged).
// - A request is complete when its length is known (read 8 bytes, write n + 7 bytes).
//   Leading bytes that cannot start a request are dropped; a candidate whose CRC is wrong
//   makes way for a valid request found further on; what is left after 10 ms of silence
//   is discarded. A request with a wrong CRC is logged and not answered.
// - Exception answers echo the register: function | 0x80, n = 1, the code.
// - Like a real port, the pty keeps nothing for the next user: an answer that falls due
//   while nobody has the port open (a late answer after the program closed it) is
//   dropped, and what a user left unread is discarded when the last user closes it.
//
// Read-outs of a value R (ohms), from the decade steps that R switches:
//   40076 the 7 step digits from the highest decade, e.g. "1234500" for 1234,5 on RD5540-1;
//   40079 Rвос = sum of the actual values (40003..40065) of the switched steps, plus R02 in
//     output mode 'A' (2-wire) or R04 in mode 'B' (4-wire); the compensated modes 'C', 'D'
//     add nothing. In the variant's ohm format "0.000" / "0.00" / "0.0" / "0" / "0";
//   40080 ΔR = Rвос - R, "0.0000"; 40081 δR = ΔR / R * 100, "0.0000" ("0,0000" for R = 0);
//   40084 I max = min(0,1 A, sqrt(0,25 W / R), 100 V / R): "14,23 m" (mA, the text before
//     " m" is the number) from 1 mA up, else "500,0 k" (µA, number before " k");
//   40083 U max = I max * R in volts, "0.00".
//
// start() and stop() belong to the thread that owns the object; everything else may be
// called from any thread.

#include <QByteArray>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

class SimInstrument
{
public:
    // A fault changes the answers to the requests it matches. Several faults may be
    // active at once; each matching request uses up one of the count of every fault that
    // matches it. Silence wins over everything, an exception replaces the answer, the
    // others combine (e.g. a delayed, split answer with a wrong register).
    struct Fault {
        enum class Kind {
            Silence,       // no answer; the request is lost (not carried out)
            BadCrc,        // the answer's CRC is wrong (the request is carried out)
            ZeroCount,     // the answer has a data count of 0 and no data, CRC valid
            Split,         // the answer goes out in `pieces` pieces, `pauseMs` apart
            Delay,         // the answer goes out `delayMs` after the request
            Exception,     // function | 0x80, n = 1, data = `code`; not carried out
            WrongRegister, // the answer names register + `registerOffset`
            Oversized,     // a well-formed answer with `size` data bytes (over 121)
            Garbage,       // `size` bytes of noise instead of the answer
        };
        Kind kind = Kind::Silence;
        int count = -1;                 // requests it applies to; -1: every request, 0: none
        std::uint16_t onlyRegister = 0; // 0: any register, else only requests for it
        int code = 0;                   // Exception
        int pieces = 2;                 // Split, at least 1
        int pauseMs = 0;                // Split
        int delayMs = 0;                // Delay
        int registerOffset = 1;         // WrongRegister
        int size = 200;                 // Oversized (at most 255), Garbage

        static Fault silence(int count = -1, std::uint16_t onlyRegister = 0);
        static Fault badCrc(int count = -1);
        static Fault zeroCount(int count = -1);
        static Fault split(int pieces, int pauseMs, int count = -1);
        static Fault delay(int delayMs, int count = -1, std::uint16_t onlyRegister = 0);
        static Fault exception(int code, int count = -1, std::uint16_t onlyRegister = 0);
        static Fault wrongRegister(int registerOffset = 1, int count = -1);
        static Fault oversized(int size = 200, int count = -1);
        static Fault garbage(int size = 200, int count = -1);
    };

    // One complete request frame as received, in order.
    struct Request {
        std::uint8_t address = 0;
        std::uint8_t function = 0;
        std::uint16_t reg = 0;
        QByteArray text; // the written text (function 6), empty for a read
        QByteArray raw;  // every byte of the frame, CRC included
        bool crcOk = true;
    };

    explicit SimInstrument(int variant = 1); // RD5540-<variant>, 1..5 (clamped)
    ~SimInstrument();                        // stops and removes its link
    SimInstrument(const SimInstrument&) = delete;
    SimInstrument& operator=(const SimInstrument&) = delete;

    // Opens a pty (keeping a slave descriptor open, so the master never sees a hang-up
    // while nobody has the port open; raw mode), starts the worker and registers the link
    // "<dir>/rd5540-<pid>-<serial>" -> slave path; dir is porttable::simDirectory() when
    // empty and is created if missing. serial is a process-wide 4-digit counter, so the
    // links of one process sort in creation order. False on failure or when running.
    bool start(const QString& dir = {});
    void stop(); // joins the worker, closes the pty, removes the link; idempotent
    bool isRunning() const;
    QString linkPath() const;  // empty unless started
    QString slavePath() const; // e.g. /dev/pts/7; empty unless started

    // Variant: sets the variant-dependent registers (40066, 40071, 40072, the profile,
    // 40073 = zero) and recomputes the read-outs; the other registers keep their texts.
    void setVariant(int v);
    int variant() const;
    void setAddress(int a); // 0 (default): answer every address
    int address() const;

    void setRegisterText(std::uint16_t reg, const QByteArray& text);
    QByteArray registerText(std::uint16_t reg) const;

    // A change made on the instrument's front panel: stores the text as it is and raises
    // the status bit (40073: applies the value, bit 1; 40078: bit 4; 40085: recomputes the
    // read-outs, bit 5). Bit 2 (not ready) shows while 40075 has '0' answers to give, as
    // after a value the program applies.
    void panelChange(std::uint16_t reg, const QByteArray& text);
    // The front panel as the operator at the instrument uses it. False, and nothing changed,
    // for what the panel cannot set: a value that is no number (decimal comma or point),
    // outside 0 to the top of range or not a whole number of steps; a display letter
    // outside 'A'..'H' or an output mode outside 'A'..'D'. The value is stored in the
    // variant's ohm format ("123,450" for 123,45 on RD5540-1).
    bool panelValue(const QByteArray& text);
    bool panelDisplay(char letter);
    bool panelMode(char letter);

    void setNotReadyCount(int n);          // '0' answers of 40075 after each apply
    void setStatusBits(std::uint8_t bits); // bits 0..5 that 40087 reports
    std::uint8_t statusBits() const;
    void setRefusePassword(bool on); // "B" to 40074 answered with exception 11

    void addFault(const Fault& fault);
    void clearFaults();

    std::vector<Request> requests() const;
    void clearRequests();
    int requestCount() const;
    int discardedBytes() const; // bytes dropped while resynchronising
    int droppedAnswers() const; // answers that fell due while nobody had the port open
    // Users that have the port open now (the simulator's own descriptor not counted), as
    // far as the worker has seen their opens and closes; e.g. 0 once the program closed it.
    int openCount() const;

    // Called on the worker thread, without the lock held, for every request logged.
    void setRequestObserver(std::function<void(const Request&)> observer);

private:
    struct Answer;  // what the worker sends for one request
    struct Effects; // what the matching faults do to it

    void run();
    void parse(bool atSilence);
    Answer handleRequest(const QByteArray& raw, bool crcOk);
    Answer answerLocked(const Request& request);
    Effects takeFaultsLocked(std::uint16_t reg);
    QByteArray execute(std::uint8_t function, std::uint16_t reg, const QByteArray& text, int& exceptionCode);
    void applyValueLocked(double value);
    void loadVariantLocked(int v);
    bool sendAnswer(const Answer& answer);
    bool writeAll(const char* data, int size);
    bool sleepMs(int ms); // false when woken by stop()
    void trackClients();  // counts opens and closes of the slave by others

    mutable std::mutex m_mutex;
    int m_variant = 1;
    int m_address = 0;
    std::map<std::uint16_t, QByteArray> m_regs;
    std::map<std::uint16_t, QByteArray> m_staged; // profile texts written, not yet stored
    int m_notReadyCount = 0;
    int m_notReadyLeft = 0;
    bool m_refusePassword = false;
    std::vector<Fault> m_faults;
    std::vector<Request> m_requests;
    int m_discarded = 0;
    int m_droppedAnswers = 0;
    std::function<void(const Request&)> m_observer;
    std::uint32_t m_noise = 0x1234567u;

    // Worker side; set up by start() before the thread runs, torn down after it joined.
    int m_master = -1;
    int m_slave = -1;
    int m_wake = -1;
    int m_notify = -1; // inotify on the slave; -1 when unavailable (clients then assumed)
    QString m_linkPath;
    QString m_slavePath;
    std::thread m_thread;
    QByteArray m_rx;               // worker only
    std::atomic<int> m_clients{0}; // written by the worker: open descriptions besides m_slave
};
