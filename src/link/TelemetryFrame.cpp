#include "link/TelemetryFrame.h"

#include <QLocale>

namespace im::link {

namespace {

std::uint16_t littleEndian(const Frame& frame, int low) {
    return static_cast<std::uint16_t>(frame[low] | (frame[low + 1] << 8));
}

QString degreesText(int tenths) {
    return shortNumberText(tenths) + QStringLiteral("°C");
}

}  // namespace

std::uint8_t frameChecksum(const Frame& frame) {
    std::uint8_t x = 0;
    for (int i = 0; i < kFrameSize - 1; ++i) {
        x ^= frame[i];
    }
    return x;
}

int tenthsFromRaw(std::uint16_t raw) {
    return static_cast<int>((static_cast<std::uint32_t>(raw) * 5 + 2) >> 3);
}

QString outputsString(std::uint8_t outputs) {
    QString text(8, QLatin1Char('_'));
    for (int bit = 0; bit < 8; ++bit) {
        if (outputs & (1u << bit)) {
            text[bit] = QLatin1Char(static_cast<char>('1' + bit));
        }
    }
    return text;
}

DecodedFrame decodeFrame(const Frame& frame) {
    DecodedFrame d;
    d.outputs = frame[0];
    d.t1 = tenthsFromRaw(littleEndian(frame, 1));
    d.t2 = tenthsFromRaw(littleEndian(frame, 3));
    d.t3 = littleEndian(frame, 5);
    d.hm = frame[7];
    return d;
}

QString shortNumberText(int tenths) {
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale.toString(tenths / 10.0, 'g', 15);
}

PanelTexts panelTextsFor(const DecodedFrame& frame) {
    PanelTexts texts;
    texts.panel1 = degreesText(frame.t1);
    texts.panel2 = degreesText(frame.t2);
    texts.lbShtHM = degreesText(frame.t3) + QStringLiteral("\r\n") + QString::number(frame.hm) +
                    QLatin1Char('%');
    return texts;
}

}  // namespace im::link
