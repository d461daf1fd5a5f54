#pragma once

#include "link/TelemetryFrame.h"

#include <QByteArray>

namespace im::test {

// A frame from raw values, with the XOR checksum computed here rather than
// by the code under test.
inline link::Frame makeFrame(int out, int t1, int t2, int t3, int hm) {
    const int bytes[] = {out, t1 & 0xFF, t1 >> 8, t2 & 0xFF, t2 >> 8, t3 & 0xFF, t3 >> 8, hm};
    link::Frame f{};
    for (std::size_t i = 0; i < 8; ++i) {
        f[i] = std::uint8_t(bytes[i]);
        f[8] ^= f[i];
    }
    return f;
}

// A temperature in tenths as the raw sixteenths that decode to exactly it.
inline int rawForTenths(int tenths) {
    return (tenths * 8 + 4) / 5;
}

inline QByteArray bytesOf(const link::Frame& f) {
    return QByteArray(reinterpret_cast<const char*>(f.data()), link::kFrameSize);
}

}  // namespace im::test
