#pragma once

// Every section and key of the settings file with its default, in one place.
// Readers and writers name keys only through these constants, so a spelling
// (MinToTrey, StartInTrey and Gird are spelled so on purpose) or a default
// cannot drift between the places that use it.

namespace im::settings {

struct StringKey {
    const char* section;
    const char* name;
    const char* defaultValue;  // UTF-8
};

struct IntKey {
    const char* section;
    const char* name;
    int defaultValue;
};

struct BoolKey {
    const char* section;
    const char* name;
    bool defaultValue;
};

namespace keys {

inline constexpr const char* kForm = "Form";
inline constexpr const char* kScrollBar = "ScrollBar";
inline constexpr const char* kAlarm = "Alarm";
inline constexpr const char* kColor = "Color";
inline constexpr const char* kFont = "Font";
inline constexpr const char* kLogFile = "LogFile";
// The serial port object's own section; it is named after the port object.
inline constexpr const char* kComPort1 = "ComPort1";
inline constexpr const char* kMqtt = "Mqtt";
inline constexpr const char* kWeb = "Web";

// Section Form: the main window and the journal decimation.
inline constexpr IntKey Top{kForm, "Top", 100};
inline constexpr IntKey Left{kForm, "Left", 100};
inline constexpr IntKey Width{kForm, "Width", 900};
inline constexpr IntKey Height{kForm, "Height", 620};
inline constexpr BoolKey InitMax{kForm, "InitMax", false};
inline constexpr BoolKey MinToTrey{kForm, "MinToTrey", false};
inline constexpr BoolKey StartInTrey{kForm, "StartInTrey", false};
inline constexpr IntKey SkipData{kForm, "SkipData", 0};

// Section ScrollBar: positions of the chart's scroll bars.
inline constexpr IntKey GainY{kScrollBar, "GainY", 40};
inline constexpr IntKey PosY{kScrollBar, "PosY", 450};
inline constexpr IntKey XScale{kScrollBar, "XScale", 100};

// Section Alarm: T1 and T2 bands in tenths of a degree; the T3_ keys hold
// the humidity band in whole percent.
inline constexpr IntKey T1_HI{kAlarm, "T1_HI", 390};
inline constexpr IntKey T1_LOW{kAlarm, "T1_LOW", 350};
inline constexpr IntKey T2_HI{kAlarm, "T2_HI", 390};
inline constexpr IntKey T2_LOW{kAlarm, "T2_LOW", 350};
inline constexpr IntKey T3_HI{kAlarm, "T3_HI", 90};
inline constexpr IntKey T3_LOW{kAlarm, "T3_LOW", 30};
inline constexpr StringKey Sound{kAlarm, "Sound", "Windows XP - ошибка.wav"};
inline constexpr IntKey TimeSound{kAlarm, "TimeSound", 3};
inline constexpr BoolKey T1_enable{kAlarm, "T1_enable", true};
inline constexpr BoolKey T2_enable{kAlarm, "T2_enable", true};
inline constexpr BoolKey HM_enable{kAlarm, "HM_enable", true};

// Section Color: colours 0x00BBGGRR (red in the low byte) as decimal.
inline constexpr IntKey ColorT1{kColor, "T1", 0};
inline constexpr IntKey ColorT2{kColor, "T2", 16711680};
inline constexpr IntKey ColorT3{kColor, "T3", 8421440};
inline constexpr IntKey ColorHM{kColor, "HM", 65280};
inline constexpr IntKey ColorFon{kColor, "Fon", 16777215};
inline constexpr IntKey ColorGird{kColor, "Gird", 12632256};

// Section Font: the journal view's and the Data window's fonts. The program
// reads them with the view's current font as the default.
inline constexpr StringKey FontName{kFont, "Name", "MS Sans Serif"};
inline constexpr IntKey FontSize{kFont, "Size", 8};
inline constexpr StringKey FontNameLog{kFont, "NameLog", "MS Sans Serif"};
inline constexpr IntKey FontSizeLog{kFont, "SizeLog", 8};

// Section LogFile: the period of the day-file save in minutes; 0 is off.
inline constexpr IntKey Time{kLogFile, "Time", 0};

// Section ComPort1: the port's line settings (read with the port's current
// values as defaults) and the main window's link options.
inline constexpr StringKey Port{kComPort1, "Port", "COM1"};
inline constexpr StringKey BaudRate{kComPort1, "BaudRate", "4800"};
inline constexpr IntKey CustomBaudRate{kComPort1, "CustomBaudRate", 9600};
inline constexpr StringKey StopBits{kComPort1, "StopBits", "2"};
inline constexpr StringKey DataBits{kComPort1, "DataBits", "8"};
inline constexpr StringKey Parity{kComPort1, "Parity", "None"};
inline constexpr StringKey FlowControl{kComPort1, "FlowControl", "None"};
inline constexpr BoolKey OpenStart{kComPort1, "OpenStart", false};
inline constexpr BoolKey SignalOffData{kComPort1, "SignalOffData", false};
inline constexpr BoolKey SignalOffDataSound{kComPort1, "SignalOffDataSound", false};
// While the port is open the machine is kept from sleeping.
inline constexpr BoolKey KeepAwake{kComPort1, "KeepAwake", true};

// Section Mqtt: publishing to an MQTT broker. Empty Name and Topic stand
// for the host name and incubator/<Name>.
inline constexpr BoolKey MqttEnabled{kMqtt, "Enabled", false};
inline constexpr StringKey MqttHost{kMqtt, "Host", ""};
inline constexpr IntKey MqttPort{kMqtt, "Port", 1883};
inline constexpr StringKey MqttUser{kMqtt, "User", ""};
inline constexpr StringKey MqttPassword{kMqtt, "Password", ""};
inline constexpr BoolKey MqttTls{kMqtt, "Tls", false};
inline constexpr StringKey MqttCaFile{kMqtt, "CaFile", ""};
inline constexpr StringKey MqttName{kMqtt, "Name", ""};
inline constexpr StringKey MqttTopic{kMqtt, "Topic", ""};
inline constexpr BoolKey MqttDiscovery{kMqtt, "Discovery", true};
inline constexpr StringKey MqttDiscoveryPrefix{kMqtt, "DiscoveryPrefix", "homeassistant"};

// Section Web: the read-only web page. The token is made the first time the
// page is switched on.
inline constexpr BoolKey WebEnabled{kWeb, "Enabled", false};
inline constexpr StringKey WebListen{kWeb, "Listen", "127.0.0.1"};
inline constexpr IntKey WebPort{kWeb, "Port", 8787};
inline constexpr StringKey WebToken{kWeb, "Token", ""};

// Every key, for whatever must go through them all.
inline constexpr const IntKey* intKeys[] = {
    &Top,       &Left,        &Width,   &Height,         &SkipData, &GainY,    &PosY,
    &XScale,    &T1_HI,       &T1_LOW,  &T2_HI,          &T2_LOW,   &T3_HI,    &T3_LOW,
    &TimeSound, &ColorT1,     &ColorT2, &ColorT3,        &ColorHM,  &ColorFon, &ColorGird,
    &FontSize,  &FontSizeLog, &Time,    &CustomBaudRate, &MqttPort, &WebPort};
inline constexpr const BoolKey* boolKeys[] = {
    &InitMax,     &MinToTrey, &StartInTrey,   &T1_enable,          &T2_enable,
    &HM_enable,   &OpenStart, &SignalOffData, &SignalOffDataSound, &KeepAwake,
    &MqttEnabled, &MqttTls,   &MqttDiscovery, &WebEnabled};
inline constexpr const StringKey* stringKeys[] = {
    &Sound,       &FontName, &FontNameLog, &Port,
    &BaudRate,    &StopBits, &DataBits,    &Parity,
    &FlowControl, &MqttHost, &MqttUser,    &MqttPassword,
    &MqttCaFile,  &MqttName, &MqttTopic,   &MqttDiscoveryPrefix,
    &WebListen,   &WebToken};

}  // namespace keys
}  // namespace im::settings
