#pragma once

#include <QStringList>

#include <functional>

namespace im::link {

// Names of the serial devices the system reports as present, for the setup
// dialog; tests give their own list.
using PortLister = std::function<QStringList()>;

// The system's serial devices (ttyS0, ttyUSB0, ...), sorted as text without
// regard to case. Pseudo-terminals and by-id links are never among them.
QStringList presentSerialPorts();

// Sorts names as text without regard to case and drops what is not a serial
// device of its own (pseudo-terminals, links under /dev/serial).
QStringList cleanPortList(QStringList names);

}  // namespace im::link
