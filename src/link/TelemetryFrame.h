#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace im::link {

// The controller's telemetry frame: outputs, T1 and T2 raw (1/16 degree),
// T3 (1/10 degree), humidity and an XOR checksum, no header or delimiter.
constexpr int kFrameSize = 9;
using Frame = std::array<std::uint8_t, kFrameSize>;

// XOR of bytes 0 to 7; a frame is good when it equals byte 8.
std::uint8_t frameChecksum(const Frame& frame);

// Sixteenths of a degree to tenths: the integer part of (5 * raw + 2) / 8.
int tenthsFromRaw(std::uint16_t raw);

// Eight characters, the digit k for a set bit k-1 and "_" for a clear one.
QString outputsString(std::uint8_t outputs);

struct DecodedFrame {
    std::uint8_t outputs = 0;
    int t1 = 0;  // tenths of a degree
    int t2 = 0;  // tenths of a degree
    int t3 = 0;  // tenths of a degree, as sent
    int hm = 0;  // percent
};

DecodedFrame decodeFrame(const Frame& frame);

// The shortest decimal form of tenths / 10, without trailing zeros and with
// the locale's separator: 375 -> 37,5; 370 -> 37.
QString shortNumberText(int tenths);

struct PanelTexts {
    QString panel1;   // T1: 37,5°C
    QString panel2;   // T2
    QString lbShtHM;  // T3 and humidity on two lines: 36,2°C CR LF 55%

    bool operator==(const PanelTexts&) const = default;
};

PanelTexts panelTextsFor(const DecodedFrame& frame);

}  // namespace im::link
