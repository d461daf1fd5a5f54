#include "journal/RecordLine.h"
#include "link/TelemetryFrame.h"
#include "support/TestMain.h"

using namespace im;
using namespace im::link;

namespace {

Frame frameWith(std::uint8_t out, std::uint16_t t1, std::uint16_t t2, std::uint16_t t3,
                std::uint8_t hm) {
    Frame f{out,
            std::uint8_t(t1 & 0xFF),
            std::uint8_t(t1 >> 8),
            std::uint8_t(t2 & 0xFF),
            std::uint8_t(t2 >> 8),
            std::uint8_t(t3 & 0xFF),
            std::uint8_t(t3 >> 8),
            hm,
            0};
    f[8] = frameChecksum(f);
    return f;
}

}  // namespace

class TestTelemetryFrame : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rawToTenthsIsNotRounding_data() {
        QTest::addColumn<int>("raw");
        QTest::addColumn<int>("tenths");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("record");
        QTest::newRow("raw 1") << 1 << 0 << "0°C"
                               << "00,0";
        QTest::newRow("raw 599") << 599 << 374 << "37,4°C"
                                 << "37,4";
        QTest::newRow("raw 600") << 600 << 375 << "37,5°C"
                                 << "37,5";
        QTest::newRow("raw 601") << 601 << 375 << "37,5°C"
                                 << "37,5";
        QTest::newRow("raw 592: whole degrees") << 592 << 370 << "37°C"
                                                << "37,0";
        QTest::newRow("raw 0xFFF0 is unsigned") << 0xFFF0 << 40950 << "4095°C"
                                                << "4095,0";
        QTest::newRow("raw 0xFFFF: the largest") << 0xFFFF << 40959 << "4095,9°C"
                                                 << "4095,9";
    }
    void rawToTenthsIsNotRounding() {
        QFETCH(int, raw);
        QFETCH(int, tenths);
        QFETCH(QString, panel);
        QFETCH(QString, record);
        const DecodedFrame d =
            decodeFrame(frameWith(0, std::uint16_t(raw), std::uint16_t(raw), 0, 0));
        QCOMPARE(d.t1, tenths);
        QCOMPARE(d.t2, tenths);
        const PanelTexts texts = panelTextsFor(d);
        QCOMPARE(texts.panel1, panel);
        QCOMPARE(texts.panel2, panel);
        QCOMPARE(journal::formatTenths(d.t1), record);
    }

    void bytesAreLittleEndianInTheirPlaces() {
        // T1 raw 600 = 0x0258, T2 raw 592 = 0x0250, T3 362 = 0x016A.
        const Frame f{0x05, 0x58, 0x02, 0x50, 0x02, 0x6A, 0x01, 55, 0};
        const DecodedFrame d = decodeFrame(f);
        QCOMPARE(d.outputs, std::uint8_t(0x05));
        QCOMPARE(d.t1, 375);
        QCOMPARE(d.t2, 370);
        QCOMPARE(d.t3, 362);  // tenths as sent, not converted like T1 and T2
        QCOMPARE(d.hm, 55);
        QCOMPARE(panelTextsFor(d).lbShtHM, QStringLiteral("36,2°C\r\n55%"));
    }

    void zeroFrameIsValid() {
        const Frame f{};
        QCOMPARE(frameChecksum(f), std::uint8_t(0));
        const PanelTexts texts = panelTextsFor(decodeFrame(f));
        QCOMPARE(texts.panel1, QStringLiteral("0°C"));
        QCOMPARE(texts.lbShtHM, QStringLiteral("0°C\r\n0%"));
        QCOMPARE(link::outputsString(0), QStringLiteral("________"));
    }

    void humidityTakesTheWholeByte() {
        const DecodedFrame d = decodeFrame(frameWith(0, 0, 0, 0, 255));
        QCOMPARE(d.hm, 255);
        QVERIFY(panelTextsFor(d).lbShtHM.endsWith(QStringLiteral("\r\n255%")));
    }

    void largeT3HasNoGroupSeparator() {
        const DecodedFrame d = decodeFrame(frameWith(0, 0, 0, 65535, 0));
        QCOMPARE(d.t3, 65535);
        QCOMPARE(panelTextsFor(d).lbShtHM, QStringLiteral("6553,5°C\r\n0%"));
        QCOMPARE(journal::formatTenths(d.t3), QStringLiteral("6553,5"));
    }

    void outputsString_data() {
        QTest::addColumn<int>("byte");
        QTest::addColumn<QString>("text");
        QTest::newRow("0x05") << 0x05 << "1_3_____";
        QTest::newRow("0x80") << 0x80 << "_______8";
        QTest::newRow("0xFF") << 0xFF << "12345678";
        QTest::newRow("0x12") << 0x12 << "_2__5___";
    }
    void outputsString() {
        QFETCH(int, byte);
        QFETCH(QString, text);
        QCOMPARE(link::outputsString(std::uint8_t(byte)), text);
    }

    void checksumIsXorOfTheFirstEight() {
        const Frame f{0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80, 0};
        QCOMPARE(frameChecksum(f), std::uint8_t(0xFF));
        const Frame g{0xFF, 0xFF, 0, 0, 0, 0, 0, 0x0F, 0x77};
        QCOMPARE(frameChecksum(g), std::uint8_t(0x0F));  // byte 8 takes no part
    }
};

IM_TEST_MAIN(TestTelemetryFrame)
#include "tst_telemetryframe.moc"
