#pragma once

#include "link/ESerialPortError.h"
#include "link/PortSettings.h"
#include "link/UucpLock.h"

#include <QObject>
#include <QString>

#include <functional>

class QSocketNotifier;
struct termios;

namespace im::link {

// The serial port. It owns the device descriptor itself (termios, and a
// socket notifier on the user-interface thread in place of an event thread),
// so that a device that goes away can be switched off at once instead of
// reporting its hang-up over and over.
//
// Settings changed while the port is closed, or inside a settings update
// bracket, are only stored; on an open port outside a bracket they take
// effect at once (a new Port reopens the device).
class TSerialPort : public QObject {
    Q_OBJECT
public:
    explicit TSerialPort(QObject* parent = nullptr);
    ~TSerialPort() override;

    // COMn opens /dev/ttyS(n-1); a name starting with "/" is a path used as
    // it is; any other name opens /dev/<name>.
    static QString devicePathFor(const QString& port);

    const QString& Port() const { return port_; }
    void setPort(const QString& port);
    BaudRate baudRate() const { return baudRate_; }
    void setBaudRate(BaudRate rate);
    int customBaudRate() const { return customBaudRate_; }
    void setCustomBaudRate(int bitsPerSecond);
    DataBits dataBits() const { return dataBits_; }
    void setDataBits(DataBits bits);
    StopBits stopBits() const { return stopBits_; }
    void setStopBits(StopBits bits);
    const Parity& parity() const { return parity_; }
    void setParity(const Parity& parity);
    const FlowControl& flowControl() const { return flowControl_; }
    void setFlowControl(const FlowControl& flow);
    const Buffer& buffer() const { return buffer_; }
    void setBuffer(const Buffer& buffer);
    const Timeouts& timeouts() const { return timeouts_; }
    void setTimeouts(const Timeouts& timeouts);
    char eventChar() const { return eventChar_; }
    void setEventChar(char c);
    bool discardNull() const { return discardNull_; }
    void setDiscardNull(bool discard);

    // The speed that the line runs at: the table value, or CustomBaudRate
    // while BaudRate is Custom.
    int effectiveBitsPerSecond() const;

    void BeginSettingsUpdate();
    // Lowers the bracket counter; at 0 all settings reach an open port.
    void EndSettingsUpdate();

    bool Connected() const { return fd_ >= 0; }
    // Opens the device exclusively and configures it. Throws
    // ESerialPortError (code 1 when the device is absent or in use, also by
    // a program that only announced it with a lock file); the port is then
    // closed.
    void OpenPort();
    void ClosePort();

    // Reads up to count waiting bytes without waiting; returns how many.
    int ReadBytes(char* buffer, int count);
    int QueuedInputCount() const;
    void PurgeQueues(bool input, bool output);
    // A pseudo-terminal refuses modem lines; that is not an error.
    void SetDtrLine(bool on);
    void SetRtsLine(bool on);

    // Characters were received: the number of bytes waiting. Called on the
    // user-interface thread; an error it throws reaches the default error
    // report and ends that event.
    std::function<void(int count)> OnRxChar;

    // The line configuration these settings make, over t's other fields.
    void fillTermios(termios& t) const;

    // The descriptor of the open device, -1 when closed (tests read the
    // line settings back through it).
    int handle() const { return fd_; }

Q_SIGNALS:
    void connectedChanged(bool connected);
    // The open device went away (unplugged adapter, pseudo-terminal whose
    // other side closed). The port has already been closed.
    void deviceLost(const QString& message);

private:
    void onReadable();
    void loseDevice(int osError);
    void settingChanged();
    void applyLineSettings();
    void applyModemControl();
    void closeDevice();

    QString port_ = QStringLiteral("COM1");
    BaudRate baudRate_ = BaudRate::br9600;
    int customBaudRate_ = 9600;
    DataBits dataBits_ = DataBits::db8;
    StopBits stopBits_ = StopBits::sb1;
    Parity parity_;
    FlowControl flowControl_;
    Buffer buffer_;
    Timeouts timeouts_;
    char eventChar_ = 0;
    bool discardNull_ = false;

    int fd_ = -1;
    QString openedPath_;
    int updateCounter_ = 0;
    int bytesReadInEvent_ = 0;
    QSocketNotifier* notifier_ = nullptr;
    UucpLock lock_;
};

}  // namespace im::link
