#pragma once

// Shared by the update tests: a TaloLink component that keeps a readable trace
// of what it is asked to send, and makers of images and update packages.

#include "link/talolinkcomponent.h"
#include "link/talolinkpacket.h"
#include "update/fileencryptor.h"
#include "update/tarballwriter.h"

#include <QByteArray>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>
#include <zlib.h>

namespace UpdateTest {

using Component::Interfaces::TaloLinkCommandID;
using Component::Interfaces::TaloLinkPacket;
using Terminal = TaloLinkPacket::Terminal;

inline quint32 argNumber(const TaloLinkPacket& packet, std::size_t index)
{
    if (index >= packet.args.size())
        return 0xFFFFFFFFu;
    quint32 value = 0;
    for (int i = packet.args[index].length - 1; i >= 0; --i)
        value = value << 8 | packet.args[index].data[i];
    return value;
}

inline QByteArray argBytes(const TaloLinkPacket& packet, std::size_t index)
{
    if (index >= packet.args.size())
        return {};
    return QByteArray(
        reinterpret_cast<const char*>(packet.args[index].data), packet.args[index].length);
}

// zlib's CRC-32, independent of the project's own.
inline quint32 zcrc(const QByteArray& data)
{
    return quint32(crc32(0L, reinterpret_cast<const Bytef*>(data.constData()), uInt(data.size())));
}

// One line of trace for a frame the update code sends: "jump P", "announce D 2",
// "block P 1", "action 11"; anything else by its command number.
inline QString describe(const TaloLinkPacket& packet)
{
    const QString to = packet.destination == Terminal::Display ? QStringLiteral("D")
        : packet.destination == Terminal::Platform             ? QStringLiteral("P")
                                                               : QStringLiteral("H");
    switch (packet.command) {
    case TaloLinkCommandID::JumpToBootloader:
        return QStringLiteral("jump ") + to;
    case TaloLinkCommandID::ApplicationUpdate:
        return QStringLiteral("announce %1 %2").arg(to).arg(argNumber(packet, 0));
    case TaloLinkCommandID::Memblock:
        return QStringLiteral("block %1 %2").arg(to).arg(argNumber(packet, 0));
    case TaloLinkCommandID::FireModelAction:
        return QStringLiteral("action %1").arg(argNumber(packet, 0));
    case TaloLinkCommandID::GetModelValue:
        return QStringLiteral("get value %1").arg(argNumber(packet, 0));
    default:
        return QStringLiteral("command %1").arg(int(packet.command));
    }
}

// Decodes every frame it is given and appends a trace line to a shared log.
class RecordingLink : public Component::R58::TaloLinkComponent
{
public:
    explicit RecordingLink(QStringList& trace)
        : TaloLinkComponent(
            Component::Interfaces::ComponentID::TaloLinkUSB, Terminal::Host, Terminal::Platform),
          m_trace(trace)
    {
    }
    bool open() override
    {
        m_trace.append(QStringLiteral("open"));
        return true;
    }
    void close() override { }
    int writeData(const unsigned char* data, unsigned long size) override
    {
        packets.append(
            TaloLinkPacket::decode(QByteArray(reinterpret_cast<const char*>(data), int(size))));
        m_trace.append(describe(packets.last()));
        return 0;
    }
    int writeData(const std::string& data) override
    {
        m_trace.append(QString::fromStdString(data));
        return 0;
    }

    // The last frame of the command to the terminal, or a packet of length 0.
    TaloLinkPacket last(TaloLinkCommandID command, Terminal terminal) const
    {
        for (int i = packets.size() - 1; i >= 0; --i) {
            if (packets[i].command == command && packets[i].destination == terminal)
                return packets[i];
        }
        return {};
    }

    QList<TaloLinkPacket> packets;

protected:
    void performStartup() override { }
    void performShutdown() override { }

private:
    QStringList& m_trace;
};

inline QByteArray randomImage(quint32 start, int size)
{
    QRandomGenerator random(start);
    QByteArray image(size, '\0');
    for (char& byte : image)
        byte = char(random.bounded(256));
    return image;
}

// A platform image the simulator recognises: after taking it the device reports this version
// (4.4.0.0 by default, the platform version of `manifest`).
inline QByteArray versionedImage(quint32 start, int size, quint32 version = 0x04040000u)
{
    QByteArray image = randomImage(start, size);
    image.replace(0, 4, "R58V");
    for (int i = 0; i < 4; ++i)
        image[4 + i] = char(version >> (8 * i));
    return image;
}

inline QByteArray encrypted(const QByteArray& image)
{
    return External::Crypto::FileEncryptor::encrypt(image, QByteArray(16, '\x5A'));
}

// The 8-byte length field of an encrypted image set to any value; the digest
// does not cover it, so the file still passes the digest check.
inline QByteArray withLengthField(QByteArray file, quint64 length)
{
    for (int i = 0; i < 8; ++i)
        file[64 + i] = char(length >> (8 * i));
    return file;
}

inline QByteArray manifest(const QString& packageVersion, const QString& platformPath,
    const QString& displayPath, const QString& platformVersion = QStringLiteral("4.4.0.0"))
{
    auto application = [](const QString& path, const QString& version) {
        return QJsonObject {{"Application", QJsonObject {{"Path", path}, {"Version", version}}}};
    };
    return QJsonDocument(QJsonObject {{"Package", QJsonObject {{"Version", packageVersion}}},
                             {"Platform", application(platformPath, platformVersion)},
                             {"Display", application(displayPath, QStringLiteral("4.4.0.1"))}})
        .toJson();
}

using Members = QList<QPair<QByteArray, QByteArray>>;

// The archive of the members; empty when one cannot be added.
inline QByteArray archive(const Members& members)
{
    Utilities::TarballWriter writer;
    for (const auto& member : members) {
        if (!writer.addFile(member.first, member.second))
            return {};
    }
    return writer.getArchive();
}

// Written through QSaveFile as the package builder does: a new file each time.
inline bool writePackage(const QString& path, const Members& members)
{
    const QByteArray data = archive(members);
    QSaveFile file(path);
    return !data.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(data) == data.size()
        && file.commit();
}

} // namespace UpdateTest
