#pragma once

#include <QStringList>

#include <functional>

namespace im::link {

// Names of the serial devices the system reports as present, for the setup
// dialog; tests give their own list.
using PortLister = std::function<QStringList()>;

// The system's serial devices (ttyS0, ttyUSB0, ...), sorted as text without
// regard to case, then their stable names (below).
QStringList presentSerialPorts();

// The stable names of the serial devices present, as full paths: the links
// in dir (/dev/serial/by-id), which name an adapter by its maker, model and
// serial number, so that it is found again when it comes back as another
// ttyUSBn. Sorted; none when dir does not exist.
QStringList stableSerialNames(const QString& dir = QStringLiteral("/dev/serial/by-id"));

// Sorts names as text without regard to case and drops what is not a serial
// device of its own (pseudo-terminals, links under /dev/serial).
QStringList cleanPortList(QStringList names);

}  // namespace im::link
