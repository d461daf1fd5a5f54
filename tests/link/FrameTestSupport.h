#pragma once

#include "link/FrameDecoder.h"

#include <QStringList>

namespace im::test {

// Builds a valid frame from raw values.
inline link::Frame makeFrame(std::uint8_t out, std::uint16_t t1, std::uint16_t t2, std::uint16_t t3,
                             std::uint8_t hm) {
    link::Frame f{out,
                  std::uint8_t(t1 & 0xFF),
                  std::uint8_t(t1 >> 8),
                  std::uint8_t(t2 & 0xFF),
                  std::uint8_t(t2 >> 8),
                  std::uint8_t(t3 & 0xFF),
                  std::uint8_t(t3 >> 8),
                  hm,
                  0};
    f[8] = link::frameChecksum(f);
    return f;
}

// T1 in tenths as a raw value that decodes to exactly those tenths.
inline std::uint16_t rawForTenths(int tenths) {
    return std::uint16_t((tenths * 8 + 4) / 5);
}

// Records every effect of frame decoding, in order, over a journal of lines.
class RecordingEffects final : public link::FrameEffects {
public:
    void showPanels(const link::PanelTexts& texts) override {
        panels = texts;
        calls << QStringLiteral("panels");
    }
    int appendJournalLine(const QString& line) override {
        journal << line;
        calls << QStringLiteral("append");
        return int(journal.size());
    }
    void setWindowScrollBar(int newestIndex) override {
        scrollBar = newestIndex;
        calls << QStringLiteral("scroll %1").arg(newestIndex);
    }
    void PlotChartWindow(int newestIndex) override {
        calls << QStringLiteral("plot %1").arg(newestIndex);
    }

    link::PanelTexts panels;
    QStringList journal;
    QStringList calls;
    int scrollBar = -1;
};

}  // namespace im::test
