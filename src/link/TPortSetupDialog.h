#pragma once

#include "link/PortLister.h"

#include <QDialog>

class QComboBox;
class QPushButton;

namespace im::link {

class TSerialPort;

// The port setup dialog: the port and its line settings. OK applies the six
// choices to the port inside one settings update bracket; Cancel changes
// nothing.
class TPortSetupDialog : public QDialog {
    Q_OBJECT
public:
    TPortSetupDialog(TSerialPort& port, const PortLister& lister, QWidget* parent = nullptr);

    // The six choices, in the order the dialog applies them.
    QComboBox* portList() const { return port_; }
    QComboBox* baudRateList() const { return baud_; }
    QComboBox* dataBitsList() const { return dataBits_; }
    QComboBox* stopBitsList() const { return stopBits_; }
    QComboBox* parityList() const { return parity_; }
    QComboBox* flowControlList() const { return flow_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

    // What OK does: set the port from the lists.
    void applyToPort();

private:
    TSerialPort& serialPort_;
    QComboBox* port_;
    QComboBox* baud_;
    QComboBox* dataBits_;
    QComboBox* stopBits_;
    QComboBox* parity_;
    QComboBox* flow_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

// Shows the dialog modally and applies OK to the port; a new port name
// reopens an open port at once. An error of the port reaches the caller.
void ShowPortDialog(TSerialPort& port, QWidget* parent = nullptr,
                    const PortLister& lister = presentSerialPorts);

}  // namespace im::link
