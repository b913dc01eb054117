#pragma once
// The serial port as the link uses it: chosen by number, opened and closed by the
// program, whole blocks out, a data-available event with the count of waiting bytes.
// 9600 baud, 8 data bits, no parity, 2 stop bits, no flow control, DTR on, RTS off.

#include <QObject>
#include <QString>
#include <cstdint>
#include <stdexcept>

class QSerialPort;

// Raised by open, flush, write and read when the port fails.
class ComPortError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class ComPort : public QObject
{
    Q_OBJECT
public:
    explicit ComPort(QObject* parent = nullptr);
    ~ComPort() override;

    // 1..256: the N-th entry of the port table (PortTable.h).
    void setComNumber(int number);
    int comNumber() const { return m_number; }

    // Opens the port of comNumber; throws ComPortError when there is no such entry or the
    // device is missing, busy or not permitted. Failing DTR/RTS calls (pseudo-terminals)
    // are not errors.
    void open();
    void close(); // never throws
    bool isOpen() const;
    QString systemLocation() const { return m_location; }

    void FlushOutBuffer();                              // drops unsent bytes; throws on error
    void PutBlock(const std::uint8_t* data, int count); // queues all bytes; throws on error
    int GetBlock(std::uint8_t* buffer, int count);      // takes up to count waiting bytes
    int bytesAvailable() const;

signals:
    // On the GUI thread, whenever bytes have arrived; count is the number waiting.
    void TriggerAvail(int count);

private:
    void onReadyRead();

    QSerialPort* m_port;
    int m_number = 1;
    QString m_location;
};
