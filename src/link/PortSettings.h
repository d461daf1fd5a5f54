#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace im::link {

// The port's enumerated settings. Each enumeration runs in the order of its
// texts, the texts under which the settings file and the setup dialog show
// the values.
enum class BaudRate {
    Custom,
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000
};
enum class DataBits { db5, db6, db7, db8 };
enum class StopBits { sb1, sb1_5, sb2 };
enum class ParityBits { None, Odd, Even, Mark, Space };
enum class DtrControl { Disable, Enable, Handshake };
enum class RtsControl { Disable, Enable, Handshake, Toggle };
enum class FlowControlKind { Hardware, Software, None, Custom };

const QStringList& baudRateTexts();
const QStringList& dataBitsTexts();
const QStringList& stopBitsTexts();
const QStringList& parityTexts();
const QStringList& flowControlTexts();

// Position of text in list, Latin letters matched without regard to case.
std::optional<int> indexOfText(const QStringList& list, const QString& text);

template <typename Enum>
QString textOf(const QStringList& list, Enum value) {
    return list.at(static_cast<int>(value));
}

template <typename Enum>
std::optional<Enum> enumOf(const QStringList& list, const QString& text) {
    if (const std::optional<int> i = indexOfText(list, text)) {
        return static_cast<Enum>(*i);
    }
    return std::nullopt;
}

// Bits per second of a baud rate other than Custom.
int bitsPerSecond(BaudRate rate);

struct Parity {
    ParityBits Bits = ParityBits::None;
    bool Check = false;
    bool Replace = false;
    char ReplaceChar = 0;

    bool operator==(const Parity&) const = default;
};

struct FlowControl {
    bool OutCTSFlow = false;
    bool OutDSRFlow = false;
    bool XonXoffOut = false;
    bool XonXoffIn = false;
    bool DSRSensitivity = false;
    bool TxContinueOnXoff = false;
    DtrControl ControlDTR = DtrControl::Disable;
    RtsControl ControlRTS = RtsControl::Disable;
    char XonChar = 17;
    char XoffChar = 19;

    // The kind the settings file and the dialog show, derived from the fields.
    FlowControlKind kind() const;
    // Custom changes nothing; the other kinds reset the RTS handshake, CTS
    // flow and Xon/Xoff fields and then set their own.
    void setKind(FlowControlKind kind);

    bool operator==(const FlowControl&) const = default;
};

struct Buffer {
    int InputSize = 1024;
    int OutputSize = 1024;
    bool operator==(const Buffer&) const = default;
};

// Milliseconds; -1 in ReadInterval is the largest value: a read returns at
// once with what is waiting.
struct Timeouts {
    int ReadInterval = -1;
    int ReadTotalMultiplier = 0;
    int ReadTotalConstant = 0;
    int WriteTotalMultiplier = 100;
    int WriteTotalConstant = 1000;
    bool operator==(const Timeouts&) const = default;
};

}  // namespace im::link
