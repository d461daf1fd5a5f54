#include "link/PortSettings.h"

namespace im::link {

const QStringList& baudRateTexts() {
    static const QStringList texts = {
        QStringLiteral("Custom"), QStringLiteral("110"),    QStringLiteral("300"),
        QStringLiteral("600"),    QStringLiteral("1200"),   QStringLiteral("2400"),
        QStringLiteral("4800"),   QStringLiteral("9600"),   QStringLiteral("14400"),
        QStringLiteral("19200"),  QStringLiteral("38400"),  QStringLiteral("56000"),
        QStringLiteral("57600"),  QStringLiteral("115200"), QStringLiteral("128000"),
        QStringLiteral("256000")};
    return texts;
}

const QStringList& dataBitsTexts() {
    static const QStringList texts = {QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"),
                                      QStringLiteral("8")};
    return texts;
}

const QStringList& stopBitsTexts() {
    static const QStringList texts = {QStringLiteral("1"), QStringLiteral("1.5"),
                                      QStringLiteral("2")};
    return texts;
}

const QStringList& parityTexts() {
    static const QStringList texts = {QStringLiteral("None"), QStringLiteral("Odd"),
                                      QStringLiteral("Even"), QStringLiteral("Mark"),
                                      QStringLiteral("Space")};
    return texts;
}

const QStringList& flowControlTexts() {
    static const QStringList texts = {QStringLiteral("Hardware"), QStringLiteral("Software"),
                                      QStringLiteral("None"), QStringLiteral("Custom")};
    return texts;
}

std::optional<int> indexOfText(const QStringList& list, const QString& text) {
    for (int i = 0; i < list.size(); ++i) {
        if (list[i].compare(text, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return std::nullopt;
}

int bitsPerSecond(BaudRate rate) {
    return rate == BaudRate::Custom ? 0 : baudRateTexts().at(static_cast<int>(rate)).toInt();
}

FlowControlKind FlowControl::kind() const {
    const bool xonXoff = XonXoffIn && XonXoffOut;
    const bool noXonXoff = !XonXoffIn && !XonXoffOut;
    if (ControlRTS == RtsControl::Handshake && OutCTSFlow && noXonXoff) {
        return FlowControlKind::Hardware;
    }
    if (ControlRTS == RtsControl::Disable && !OutCTSFlow && xonXoff) {
        return FlowControlKind::Software;
    }
    if (ControlRTS == RtsControl::Disable && !OutCTSFlow && noXonXoff) {
        return FlowControlKind::None;
    }
    return FlowControlKind::Custom;
}

void FlowControl::setKind(FlowControlKind kind) {
    if (kind == FlowControlKind::Custom) {
        return;
    }
    ControlRTS = RtsControl::Disable;
    OutCTSFlow = false;
    XonXoffIn = false;
    XonXoffOut = false;
    if (kind == FlowControlKind::Hardware) {
        ControlRTS = RtsControl::Handshake;
        OutCTSFlow = true;
    } else if (kind == FlowControlKind::Software) {
        XonXoffIn = true;
        XonXoffOut = true;
    }
}

}  // namespace im::link
