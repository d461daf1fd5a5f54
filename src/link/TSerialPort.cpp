#include "link/TSerialPort.h"

#include "link/SerialSpeed.h"
#include "link/UucpLock.h"

#include <QFile>
#include <QRegularExpression>
#include <QSocketNotifier>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>

namespace im::link {

namespace {

// Error codes of the operations.
constexpr int kOpenFailed = 1;
constexpr int kReadFailed = 3;
constexpr int kPurgeFailed = 5;
constexpr int kLineSettingsFailed = 7;
constexpr int kStatusFailed = 10;
constexpr int kModemLineFailed = 12;

// A modem-control request that the device does not support (a
// pseudo-terminal, a bare UART without the lines) is no failure.
bool unsupported(int err) {
    return err == ENOTTY || err == EINVAL;
}

// The device has gone: unplugged, or the other side of a pseudo-terminal
// closed.
bool deviceGone(int err) {
    return err == EIO || err == ENXIO || err == ENODEV || err == EBADF;
}

int modemLine(int fd, int bit, bool on) {
    if (::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bit) != 0 && !unsupported(errno)) {
        return errno;
    }
    return 0;
}

speed_t standardSpeed(int bitsPerSecond) {
    switch (bitsPerSecond) {
        case 110:
            return B110;
        case 300:
            return B300;
        case 600:
            return B600;
        case 1200:
            return B1200;
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        case 230400:
            return B230400;
        default:
            return B0;
    }
}

tcflag_t characterSize(DataBits bits) {
    switch (bits) {
        case DataBits::db5:
            return CS5;
        case DataBits::db6:
            return CS6;
        case DataBits::db7:
            return CS7;
        case DataBits::db8:
            break;
    }
    return CS8;
}

}  // namespace

TSerialPort::TSerialPort(QObject* parent) : QObject(parent) {}

TSerialPort::~TSerialPort() {
    ClosePort();
}

QString TSerialPort::devicePathFor(const QString& port) {
    static const QRegularExpression com(QStringLiteral("^COM([0-9]+)$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = com.match(port);
    if (m.hasMatch()) {
        bool ok = false;
        const int n = m.captured(1).toInt(&ok);
        if (ok && n >= 1) {
            return QStringLiteral("/dev/ttyS%1").arg(n - 1);
        }
    }
    if (port.startsWith(QLatin1Char('/'))) {
        return port;
    }
    return QStringLiteral("/dev/") + port;
}

void TSerialPort::setPort(const QString& port) {
    if (port == port_) {
        return;
    }
    port_ = port;
    settingChanged();
}

void TSerialPort::setBaudRate(BaudRate rate) {
    baudRate_ = rate;
    settingChanged();
}

void TSerialPort::setCustomBaudRate(int bitsPerSecond) {
    customBaudRate_ = bitsPerSecond;
    settingChanged();
}

void TSerialPort::setDataBits(DataBits bits) {
    dataBits_ = bits;
    settingChanged();
}

void TSerialPort::setStopBits(StopBits bits) {
    stopBits_ = bits;
    settingChanged();
}

void TSerialPort::setParity(const Parity& parity) {
    parity_ = parity;
    settingChanged();
}

void TSerialPort::setFlowControl(const FlowControl& flow) {
    flowControl_ = flow;
    settingChanged();
}

void TSerialPort::setBuffer(const Buffer& buffer) {
    buffer_ = buffer;
    settingChanged();
}

void TSerialPort::setTimeouts(const Timeouts& timeouts) {
    timeouts_ = timeouts;
    settingChanged();
}

void TSerialPort::setEventChar(char c) {
    eventChar_ = c;
    settingChanged();
}

void TSerialPort::setDiscardNull(bool discard) {
    discardNull_ = discard;
    settingChanged();
}

int TSerialPort::effectiveBitsPerSecond() const {
    return baudRate_ == BaudRate::Custom ? customBaudRate_ : bitsPerSecond(baudRate_);
}

void TSerialPort::BeginSettingsUpdate() {
    ++updateCounter_;
}

void TSerialPort::EndSettingsUpdate() {
    if (updateCounter_ > 0) {
        --updateCounter_;
    }
    settingChanged();
}

void TSerialPort::settingChanged() {
    if (!Connected() || updateCounter_ > 0) {
        return;
    }
    if (devicePathFor(port_) != openedPath_) {
        ClosePort();
        OpenPort();
        return;
    }
    applyLineSettings();
}

void TSerialPort::OpenPort() {
    if (Connected()) {
        return;
    }
    const QString path = devicePathFor(port_);
    // Another serial program announced the device as its own.
    if (UucpLock::holderOf(path) != 0) {
        throw ESerialPortError(kOpenFailed, EBUSY);
    }
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        throw ESerialPortError(kOpenFailed, errno);
    }
    // Exclusive against every other program: the kernel refuses later
    // opens of the terminal, and the lock refuses a second copy of this
    // program even where the kernel would let it through (root). The kernel
    // drops the lock with the descriptor, also when the process is killed.
    if (::ioctl(fd, TIOCEXCL) != 0 && !unsupported(errno)) {
        const int err = errno;
        ::close(fd);
        throw ESerialPortError(kOpenFailed, err);
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        throw ESerialPortError(kOpenFailed, err);
    }
    fd_ = fd;
    openedPath_ = path;
    try {
        applyLineSettings();
        applyModemControl();
    } catch (...) {
        closeDevice();
        throw;
    }
    lock_.acquire(path);
    // A fresh start: whatever waited in the queues before the open is
    // not this session's data.
    ::tcflush(fd_, TCIOFLUSH);
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TSerialPort::onReadable);
    Q_EMIT connectedChanged(true);
}

void TSerialPort::ClosePort() {
    if (!Connected()) {
        return;
    }
    if (notifier_) {
        notifier_->setEnabled(false);
        // The notifier may be the sender of the event being handled.
        notifier_->deleteLater();
        notifier_ = nullptr;
    }
    ::tcflush(fd_, TCIOFLUSH);
    closeDevice();
    Q_EMIT connectedChanged(false);
}

void TSerialPort::closeDevice() {
    // The exclusive flag belongs to the terminal, not to the descriptor: it
    // would outlive this close while anyone else still holds the device.
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
    openedPath_.clear();
    lock_.release();
}

void TSerialPort::fillTermios(termios& t) const {
    ::cfmakeraw(&t);  // binary: no echo, no line editing, no translation
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS);
    t.c_cflag |= characterSize(dataBits_);
    // Termios knows one or two stop bits; two is what a UART sends for
    // one and a half at five data bits.
    if (stopBits_ != StopBits::sb1) {
        t.c_cflag |= CSTOPB;
    }
    switch (parity_.Bits) {
        case ParityBits::None:
            break;
        case ParityBits::Odd:
            t.c_cflag |= PARENB | PARODD;
            break;
        case ParityBits::Even:
            t.c_cflag |= PARENB;
            break;
        case ParityBits::Mark:
            t.c_cflag |= PARENB | CMSPAR | PARODD;
            break;
        case ParityBits::Space:
            t.c_cflag |= PARENB | CMSPAR;
            break;
    }
    t.c_iflag &= ~(INPCK | IGNPAR | PARMRK | IXON | IXOFF | IXANY);
    if (parity_.Check) {
        t.c_iflag |= INPCK;
    }
    if (flowControl_.OutCTSFlow || flowControl_.ControlRTS == RtsControl::Handshake) {
        t.c_cflag |= CRTSCTS;
    }
    if (flowControl_.XonXoffOut) {
        t.c_iflag |= IXON;
    }
    if (flowControl_.XonXoffIn) {
        t.c_iflag |= IXOFF;
    }
    t.c_cc[VSTART] = static_cast<cc_t>(flowControl_.XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(flowControl_.XoffChar);
    // A read returns at once with what is waiting.
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    // Speeds without a B-constant are set afterwards, through termios2.
    const speed_t standard = standardSpeed(effectiveBitsPerSecond());
    const speed_t speed = standard != B0 ? standard : B38400;
    ::cfsetispeed(&t, speed);
    ::cfsetospeed(&t, speed);
}

void TSerialPort::applyLineSettings() {
    struct termios t {};
    if (::tcgetattr(fd_, &t) != 0) {
        throw ESerialPortError(kLineSettingsFailed, errno);
    }
    fillTermios(t);
    // Straight to the driver: the C library's tcsetattr calls it a failure
    // when a pseudo-terminal ignores parity and character size, which a
    // pseudo-terminal, having no wire, always does.
    if (::ioctl(fd_, TCSETS, &t) != 0) {
        throw ESerialPortError(kLineSettingsFailed, errno);
    }
    const int bps = effectiveBitsPerSecond();
    if (standardSpeed(bps) == B0) {
        if (bps <= 0) {
            throw ESerialPortError(kLineSettingsFailed, EINVAL);
        }
        if (const int err = setArbitrarySpeed(fd_, static_cast<unsigned>(bps))) {
            throw ESerialPortError(kLineSettingsFailed, err);
        }
    }
}

void TSerialPort::applyModemControl() {
    // DTR and RTS as the line configuration holds them; the caller may
    // raise or lower them afterwards.
    const bool dtr = flowControl_.ControlDTR != DtrControl::Disable;
    const bool rts = flowControl_.ControlRTS == RtsControl::Enable ||
                     flowControl_.ControlRTS == RtsControl::Handshake;
    if (const int err = modemLine(fd_, TIOCM_DTR, dtr)) {
        throw ESerialPortError(kLineSettingsFailed, err);
    }
    if (const int err = modemLine(fd_, TIOCM_RTS, rts)) {
        throw ESerialPortError(kLineSettingsFailed, err);
    }
}

int TSerialPort::QueuedInputCount() const {
    int count = 0;
    if (::ioctl(fd_, FIONREAD, &count) != 0) {
        throw ESerialPortError(kStatusFailed, errno);
    }
    return count;
}

int TSerialPort::ReadBytes(char* buffer, int count) {
    if (!Connected()) {
        throw ESerialPortError(kReadFailed, EBADF);
    }
    if (count <= 0) {
        return 0;
    }
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, static_cast<size_t>(count));
        if (n >= 0) {
            bytesReadInEvent_ += static_cast<int>(n);
            return static_cast<int>(n);
        }
        const int err = errno;
        if (err == EINTR) {
            continue;
        }
        if (err == EAGAIN) {
            return 0;
        }
        if (deviceGone(err)) {
            loseDevice(err);
            return 0;
        }
        throw ESerialPortError(kReadFailed, err);
    }
}

void TSerialPort::PurgeQueues(bool input, bool output) {
    if (!input && !output) {
        return;
    }
    const int which = input && output ? TCIOFLUSH : (input ? TCIFLUSH : TCOFLUSH);
    if (!Connected() || ::tcflush(fd_, which) != 0) {
        throw ESerialPortError(kPurgeFailed, Connected() ? errno : EBADF);
    }
}

void TSerialPort::SetDtrLine(bool on) {
    if (!Connected()) {
        throw ESerialPortError(kModemLineFailed, EBADF);
    }
    if (const int err = modemLine(fd_, TIOCM_DTR, on)) {
        throw ESerialPortError(kModemLineFailed, err);
    }
}

void TSerialPort::SetRtsLine(bool on) {
    if (!Connected()) {
        throw ESerialPortError(kModemLineFailed, EBADF);
    }
    if (const int err = modemLine(fd_, TIOCM_RTS, on)) {
        throw ESerialPortError(kModemLineFailed, err);
    }
}

void TSerialPort::onReadable() {
    if (!Connected()) {
        return;
    }
    int count = 0;
    if (::ioctl(fd_, FIONREAD, &count) != 0) {
        const int err = errno;
        if (deviceGone(err)) {
            loseDevice(err);
        } else {
            core::runGuarded([err] { throw ESerialPortError(kStatusFailed, err); });
        }
        return;
    }
    if (count > 0) {
        bytesReadInEvent_ = 0;
        if (OnRxChar) {
            core::runGuarded([this, count] { OnRxChar(count); });
        }
        // The notifier reports for as long as bytes wait; bytes that nobody
        // took (no handler, or it failed before reading) would keep it
        // firing, so they are dropped as a driver drops an overrun.
        if (bytesReadInEvent_ == 0 && Connected()) {
            ::tcflush(fd_, TCIFLUSH);
        }
        return;
    }
    // Readable with nothing to read: a hang-up or an error on the line.
    struct pollfd p {};
    p.fd = fd_;
    p.events = POLLIN;
    if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) {
        loseDevice(EIO);
    }
}

void TSerialPort::loseDevice(int osError) {
    const QString message = ESerialPortError(kReadFailed, osError).message();
    ClosePort();
    Q_EMIT deviceLost(message);
}

}  // namespace im::link
