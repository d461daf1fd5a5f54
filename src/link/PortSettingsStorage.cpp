#include "link/PortSettingsStorage.h"

#include "link/TSerialPort.h"
#include "settings/SettingsFile.h"

namespace im::link {

namespace {

constexpr int kStoreFailed = 16;
constexpr int kLoadFailed = 17;

namespace keys = settings::keys;

template <typename Enum>
Enum readEnum(const settings::SettingsFile& file, const settings::StringKey& key,
              const QStringList& texts, Enum current, Enum fallback) {
    const QString text = file.ReadString(QLatin1String(key.section), QLatin1String(key.name),
                                         textOf(texts, current));
    return enumOf<Enum>(texts, text).value_or(fallback);
}

}  // namespace

void LoadPortSettings(TSerialPort& port, const QString& path) {
    const settings::SettingsFile file(path);
    port.BeginSettingsUpdate();
    try {
        port.setPort(file.ReadString(QLatin1String(keys::Port.section),
                                     QLatin1String(keys::Port.name), port.Port()));
        const BaudRate rate =
            readEnum(file, keys::BaudRate, baudRateTexts(), port.baudRate(), BaudRate::br9600);
        port.setBaudRate(rate);
        if (rate == BaudRate::Custom) {
            port.setCustomBaudRate(file.read(keys::CustomBaudRate));
        }
        port.setStopBits(
            readEnum(file, keys::StopBits, stopBitsTexts(), port.stopBits(), StopBits::sb1));
        port.setDataBits(
            readEnum(file, keys::DataBits, dataBitsTexts(), port.dataBits(), DataBits::db8));
        Parity parity = port.parity();
        parity.Bits = readEnum(file, keys::Parity, parityTexts(), parity.Bits, ParityBits::None);
        port.setParity(parity);
        FlowControl flow = port.flowControl();
        flow.setKind(readEnum(file, keys::FlowControl, flowControlTexts(), flow.kind(),
                              FlowControlKind::Custom));
        port.setFlowControl(flow);
    } catch (const settings::SettingsReadError&) {
        port.EndSettingsUpdate();
        throw ESerialPortError(kLoadFailed, ESerialPortError::kNoOsError);
    } catch (...) {
        port.EndSettingsUpdate();
        throw;
    }
    port.EndSettingsUpdate();
}

ESerialPortError storeFailedError() {
    return ESerialPortError(kStoreFailed, ESerialPortError::kNoOsError);
}

void StorePortSettings(const TSerialPort& port, const QString& path) {
    settings::SettingsFile file(path);
    StorePortSettings(port, file);
}

void StorePortSettings(const TSerialPort& port, settings::SettingsFile& file) {
    try {
        file.write(keys::Port, port.Port());
        file.write(keys::BaudRate, textOf(baudRateTexts(), port.baudRate()));
        if (port.baudRate() == BaudRate::Custom) {
            file.write(keys::CustomBaudRate, port.customBaudRate());
        }
        file.write(keys::StopBits, textOf(stopBitsTexts(), port.stopBits()));
        file.write(keys::DataBits, textOf(dataBitsTexts(), port.dataBits()));
        file.write(keys::Parity, textOf(parityTexts(), port.parity().Bits));
        file.write(keys::FlowControl, textOf(flowControlTexts(), port.flowControl().kind()));
    } catch (const settings::SettingsWriteError&) {
        throw storeFailedError();
    } catch (const settings::SettingsReadError&) {
        throw storeFailedError();
    }
}

}  // namespace im::link
