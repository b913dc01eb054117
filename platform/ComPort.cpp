#include "platform/ComPort.h"

#include "platform/PortTable.h"

#include <QSerialPort>

namespace
{

constexpr qint64 ReceiveBufferSize = 4096;

// Errors that are not failures: none, and a wait that ran out.
bool isFailure(QSerialPort::SerialPortError e)
{
    return e != QSerialPort::NoError && e != QSerialPort::TimeoutError;
}

} // namespace

ComPort::ComPort(QObject* parent) : QObject(parent), m_port(new QSerialPort(this))
{
    connect(m_port, &QSerialPort::readyRead, this, &ComPort::onReadyRead);
    // Bounds what a device that floods the line can pile up; answers are far shorter.
    m_port->setReadBufferSize(ReceiveBufferSize);
}

ComPort::~ComPort()
{
    close();
}

void ComPort::setComNumber(int number)
{
    // Takes effect at the next open, as the link always sets the number before opening.
    m_number = number;
}

void ComPort::open()
{
    close();
    m_location = porttable::location(m_number);
    if (m_location.isEmpty())
        throw ComPortError(QStringLiteral("COM%1: no such port").arg(m_number).toStdString());

    m_port->setPortName(m_location);
    m_port->setBaudRate(QSerialPort::Baud9600);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::TwoStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    m_port->clearError();
    if (!m_port->open(QIODevice::ReadWrite)) {
        const QString why = m_port->errorString();
        m_port->clearError();
        throw ComPortError(QStringLiteral("%1: %2").arg(m_location, why).toStdString());
    }
    // The instrument's USB bridge wants DTR on and RTS off; a pseudo-terminal has no
    // modem lines and refuses both, which does not make the port unusable.
    m_port->setDataTerminalReady(true);
    m_port->setRequestToSend(false);
    // Whatever the device still held from an earlier user is not an answer to us.
    m_port->clear(QSerialPort::Input);
    m_port->clearError();
}

void ComPort::close()
{
    if (m_port->isOpen())
        m_port->close();
    m_port->clearError();
}

bool ComPort::isOpen() const
{
    return m_port->isOpen();
}

void ComPort::FlushOutBuffer()
{
    if (!m_port->isOpen())
        throw ComPortError("flush: port not open");
    if (!m_port->clear(QSerialPort::Output) || isFailure(m_port->error())) {
        const QString why = m_port->errorString();
        m_port->clearError();
        throw ComPortError(QStringLiteral("%1: flush: %2").arg(m_location, why).toStdString());
    }
}

void ComPort::PutBlock(const std::uint8_t* data, int count)
{
    if (!m_port->isOpen())
        throw ComPortError("write: port not open");
    if (count <= 0 || data == nullptr)
        return;
    const qint64 written = m_port->write(reinterpret_cast<const char*>(data), count);
    if (written != count || isFailure(m_port->error())) {
        const QString why = m_port->errorString();
        m_port->clearError();
        throw ComPortError(QStringLiteral("%1: write: %2").arg(m_location, why).toStdString());
    }
    // Hand the frame to the device now rather than at the next turn of the event loop:
    // the link may block the GUI thread for its pacing waits right after sending.
    m_port->flush();
    if (isFailure(m_port->error())) {
        const QString why = m_port->errorString();
        m_port->clearError();
        throw ComPortError(QStringLiteral("%1: write: %2").arg(m_location, why).toStdString());
    }
}

int ComPort::GetBlock(std::uint8_t* buffer, int count)
{
    if (!m_port->isOpen())
        throw ComPortError("read: port not open");
    if (count <= 0 || buffer == nullptr)
        return 0;
    const qint64 got = m_port->read(reinterpret_cast<char*>(buffer), count);
    if (got < 0 || isFailure(m_port->error())) {
        const QString why = m_port->errorString();
        m_port->clearError();
        throw ComPortError(QStringLiteral("%1: read: %2").arg(m_location, why).toStdString());
    }
    return int(got);
}

int ComPort::bytesAvailable() const
{
    return m_port->isOpen() ? int(m_port->bytesAvailable()) : 0;
}

void ComPort::onReadyRead()
{
    const int count = bytesAvailable();
    if (count > 0)
        emit TriggerAvail(count);
}
