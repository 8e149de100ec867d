// Writes the starting inputs of the fuzzers into <folder>/<fuzzer>/: real
// frames, streams, answers, packages, encrypted images and files as the tool
// and the device make them.
//   r58_fuzz_corpus fuzz/corpus

#include "config/config.h"
#include "config/settings.h"
#include "link/talolinkpacket.h"
#include "update/fileencryptor.h"
#include "update/tarballwriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <cstdint>
#include <vector>

using Component::Interfaces::TaloLinkCommandID;
using Component::Interfaces::TaloLinkPacket;
using Terminal = TaloLinkPacket::Terminal;

namespace {

QString g_root;
bool g_ok = true;

void put(const QString& fuzzer, const QString& name, const QByteArray& bytes)
{
    QDir().mkpath(g_root + QLatin1Char('/') + fuzzer);
    QFile file(g_root + QLatin1Char('/') + fuzzer + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        g_ok = false;
}

QByteArray frame(
    TaloLinkCommandID command, Terminal source, const std::vector<QByteArray>& args = {})
{
    TaloLinkPacket::ArgList list;
    for (const QByteArray& a : args)
        list.append(
            {reinterpret_cast<const std::uint8_t*>(a.constData()), std::uint16_t(a.size())});
    return TaloLinkPacket::build(command, source, Terminal::Host, list);
}

QByteArray u16(std::uint16_t v)
{
    return QByteArray(reinterpret_cast<const char*>(&v), 2);
}

QByteArray f32(float v)
{
    return QByteArray(reinterpret_cast<const char*>(&v), 4);
}

QByteArray value(std::uint16_t id, const QByteArray& bytes)
{
    return frame(TaloLinkCommandID::SetModelValue, Terminal::Platform, {u16(id), bytes});
}

// Frames a device sends, by name.
std::vector<std::pair<QString, QByteArray>> deviceFrames()
{
    using C = TaloLinkCommandID;
    const auto P = Terminal::Platform;
    const auto D = Terminal::Display;
    return {
        {"name_platform", frame(C::GetName, P, {"Application"})},
        {"name_display", frame(C::GetName, D, {"Bootloader"})},
        {"memblock", frame(C::Memblock, P, {u16(7)})},
        {"value_tripclass", value(0, "\x03")},
        {"value_nominalcurrent", value(2, f32(2.5f))},
        {"value_softstart", value(4, "\x01")},
        {"value_operatingmode", value(10, "\x02")},
        {"value_error", value(18, "\x02")},
        {"value_phase", value(20, "\x01")},
        {"value_undercurrent", value(26, f32(0.75f))},
        {"value_voltage", value(34, f32(401.5f))},
        {"value_current", value(35, f32(1.25f))},
        {"value_activepower", value(36, f32(1200.0f))},
        {"value_platformversion", value(39, QByteArray::fromHex("04030201"))},
        {"value_hardwareid", value(40, u16(3))},
        {"value_serialnumber", value(45, QByteArray::fromHex("39300000"))},
        {"value_articlenumber", value(46, QByteArray::fromHex("7ac80000"))},
        {"value_articleindex", value(47, "B")},
        {"value_productionyear", value(49, u16(2024))},
        {"value_loadasymmetry", value(53, f32(12.5f))},
        {"value_unknown_id", value(99, "\x01")},
        {"answer_swversion", frame(C::GetSWVersion, P, {QByteArray::fromHex("04030201")})},
        {"answer_halversion", frame(C::GetHALVersion, D, {QByteArray::fromHex("00000102")})},
        {"answer_failure", frame(C::PhaseCtrlGetFailureStatus, P, {"\x01", "\x01"})},
        {"answer_ready", frame(C::PhaseCtrlGetReadyStatus, P, {"\x02", QByteArray(1, '\0')})},
        {"answer_rms", frame(C::MeasurementGetRMSValue, P, {"\x01", "\x01", f32(3.5f)})},
        {"answer_offset", frame(C::MeasurementGetStaticOffset, P, {"\x00", "\x00", f32(-0.5f)})},
        {"answer_waveform", frame(C::MeasurementGetWaveform, P, {"\x05", f32(1.0f)})},
        {"answer_state", frame(C::StateMachineGetState, P, {"\x04"})},
        {"answer_temperature", frame(C::GetTemperature, P, {"\x01", f32(41.5f)})},
        {"answer_auxvoltage", frame(C::GetAuxVoltage, P, {f32(24.1f)})},
        {"answer_supplystate", frame(C::GetSupplyState, P, {"\x01"})},
        {"answer_thermal", frame(C::SetThermalCapacity, P, {f32(0.42f)})},
        {"answer_flashid", frame(C::ExternalFlashGetDeviceID, P, {QByteArray::fromHex("ef4018")})},
        {"answer_analog", frame(C::AnalogSignalsGetInputStatus, P, {"\x02", "\x01"})},
        {"answer_mosfet", frame(C::MosfetMonitorGetState, P, {"\x01"})},
        {"answer_dcprotection", frame(C::DeviceProtectionGetDCProtection, D, {"\x01"})},
        {"answer_button", frame(C::GetButtonStatus, D, {"\x01", "\x01"})},
        {"no_arguments", frame(C::GetThermalCapacity, P)},
    };
}

// The answer fuzzer's own input form: command, count, then length-prefixed arguments.
QByteArray answerInput(const QByteArray& wireFrame)
{
    const TaloLinkPacket packet = TaloLinkPacket::decode(wireFrame);
    QByteArray input = u16(std::uint16_t(packet.command));
    input += char(packet.args.size());
    for (const TaloLinkPacket::Arg& arg : packet.args)
        input += char(arg.length)
            + QByteArray(reinterpret_cast<const char*>(arg.data), int(arg.length));
    return input;
}

QByteArray manifest(const QString& platformVersion, const QString& displayVersion)
{
    QJsonObject image;
    QJsonObject platform;
    image = {{"Path", "platform_bootloader.crypt"}, {"Version", "V0.1.0.2"}};
    platform.insert("Bootloader", image);
    image = {{"Path", "platform_application.crypt"}, {"Version", platformVersion}};
    platform.insert("Application", image);
    QJsonObject display;
    image = {{"Path", "display_bootloader.crypt"}, {"Version", "0.0.0.9"}};
    display.insert("Bootloader", image);
    image = {{"Path", "display_application.crypt"}, {"Version", displayVersion}};
    display.insert("Application", image);
    const QJsonObject root {{"Package", QJsonObject {{"Version", "R58 package 7"}}},
        {"Platform", platform}, {"Display", display}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QByteArray pattern(int size, int start)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((start + i * 7) & 0xFF);
    return bytes;
}

QByteArray settingsFile(int tripClass, float current, bool undercurrent)
{
    Application::R58::Settings settings;
    settings.setTripClass(Application::R58::Settings::TripClass(tripClass));
    settings.setNominalCurrent(current);
    settings.setOverloadReset(true);
    settings.getUndercurrentSettings().setEnable(undercurrent);
    settings.getUndercurrentSettings().setThreshold(0.5f);
    settings.getOvervoltageSettings().setThreshold(440.0f);
    QJsonObject json;
    settings.write(json);
    return QJsonDocument(json).toJson(QJsonDocument::Indented);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: r58_fuzz_corpus <folder>\n";
        return 2;
    }
    g_root = QString::fromLocal8Bit(argv[1]);

    // Frames one by one, answers in their own form, and streams of several frames.
    const auto frames = deviceFrames();
    QByteArray all;
    for (const auto& [name, bytes] : frames) {
        put("packet", name, bytes);
        if (name.startsWith(QLatin1String("answer_")))
            put("answer", name, answerInput(bytes));
        all += bytes;
    }
    put("packet", "truncated", frames[3].second.left(12));
    put("stream", "all_frames", all);
    put("stream", "start_up",
        frames[0].second + frames[1].second + frames[3].second + frames[4].second);
    put("stream", "measurements_with_noise",
        QByteArray("\x01\x02garbage 702") + frames[9].second + "zz" + frames[10].second + "702#"
            + frames[9].second + frames[11].second + QByteArray(5, '\xff') + frames[12].second);
    put("stream", "transfer_requests", frames[2].second + frames[2].second + frames[2].second);
    QByteArray oversized = frames[3].second;
    oversized[4] = '\xff';
    oversized[5] = '\x0f';
    put("stream", "declared_too_long", oversized + frames[4].second);

    // Encrypted images (mode byte 0: as they are) and packages holding them.
    const QByteArray iv = QByteArray::fromHex("000102030405060708090a0b0c0d0e0f");
    std::vector<QByteArray> images;
    for (const int size : {1, 16, 17, 200}) {
        images.push_back(External::Crypto::FileEncryptor::encrypt(pattern(size, size), iv));
        put("image", QStringLiteral("image_%1_bytes").arg(size),
            QByteArray(1, '\0') + images.back());
    }
    put("image", "image_200_bytes_digest_fixed", QByteArray(1, '\1') + images.back());

    const QByteArray version = manifest("V1.2.3.4", "2.0.1.0");
    put("manifest", "package", version);
    put("manifest", "versions_odd", manifest("1.2.3", "V300.1.0.0"));
    put("manifest", "platform_only",
        R"({"Platform": {"Application": {"Path": "a.crypt", "Version": "V1.0.0.0"}}})");

    Utilities::TarballWriter package(1700000000);
    package.addFile("version.json", version);
    package.addFile("platform_bootloader.crypt", images[0]);
    package.addFile("platform_application.crypt", images[3]);
    package.addFile("display_bootloader.crypt", images[1]);
    package.addFile("display_application.crypt", images[2]);
    put("tarball", "package", package.getArchive());
    Utilities::TarballWriter single(0);
    single.addFile("r58_platform.bin", pattern(700, 3));
    put("tarball", "single_file", single.getArchive());
    put("tarball", "cut_in_data", package.getArchive().left(1300));

    // config.json and settings files as the tool writes them.
    put("config", "every_key",
        R"({"SoftwareUpdateDir": "/home/u/r58/package.tar", "SettingsDir": "/home/u/r58.json",
"UserAccounts": [{"User": 2, "Password": "secret"}, {"User": 4, "Password": "demo"}]})");
    put("config", "empty_object", "{}");
    put("config", "unreadable", R"({"UserAccounts": [{"User": 3, "Pass)");
    put("settings", "complete", settingsFile(3, 2.5f, true));
    put("settings", "other_values", settingsFile(30, 0.12f, false));
    put("settings", "partial", R"({"TripClass": 10, "Undervoltage": {"Enable": true}})");
    put("settings", "beyond_float_range",
        R"({"NominalCurrent": 1e39, "Overvoltage": {"Threshold": -1e300}})");

    if (!g_ok) {
        QTextStream(stderr) << "r58_fuzz_corpus: could not write every file below " << g_root
                            << '\n';
        return 1;
    }
    return 0;
}
