#pragma once

#include "framework/abstractservice.h"
#include "link/talolinkpacket.h"
#include "update/crc32.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>

namespace Component::R58 {
class TaloLinkComponent;
}

namespace Service::R58 {

// Sends one firmware image to one processor: checks and decrypts it, announces
// its block count and CRC-32, and answers each block request of the device.
class UpdateControlService : public QObject, public Component::Interfaces::AbstractService
{
    Q_OBJECT

public:
    using Terminal = Component::Interfaces::TaloLinkPacket::Terminal;

    // Any value but Encrypted is taken as Plain.
    enum UpdateType {
        Plain = 0,
        Encrypted = 1,
    };

    // What the checks before an announcement made of an image.
    enum class Verdict {
        Accepted,
        DigestError, // damaged, foreign or made with another key
        Refused, // well-formed but not something the device can take
    };

    struct Preparation
    {
        Verdict verdict = Verdict::Refused;
        QByteArray image; // the bytes for the device; empty unless accepted
        QString reason; // why it was refused, for the user
    };

    static constexpr std::uint16_t m_flashPageSize = 512; // bytes per memory block
    // The block count travels in 16 bits.
    static constexpr std::uint32_t MaxBlockCount = 65535;

    explicit UpdateControlService(QObject* parent = nullptr);
    ~UpdateControlService() override;

    // Runs every check `start` makes, without touching the device or this
    // service, so that a caller can refuse a whole package before it begins.
    [[nodiscard]] static Preparation prepareImage(const QByteArray& data, UpdateType type);

    // Prepares the image and announces the transfer. A digest error emits
    // digestError(), any other refusal updateRefused(); either way nothing is
    // sent and block requests are ignored until the next successful start.
    // Refused while another transfer runs (one update at a time per device): then false, and
    // no signal, as the running transfer's owner must not take it for its own failure.
    bool start(const QByteArray& data, UpdateType type, Terminal terminal);
    // Ends a failed transfer: the image is dropped and block requests get no answer
    // until the next start.
    void cancel();
    // Answers one block request; requests outside the image are ignored.
    void sendMemoryBlock(unsigned short blockIndex);

    [[nodiscard]] bool hasImage() const { return m_ready; }
    // Announced and not all blocks sent yet.
    [[nodiscard]] bool isTransferring() const { return m_ready && !m_complete; }
    [[nodiscard]] std::uint16_t getBlockCount() const { return m_blockCount; }
    [[nodiscard]] const QByteArray& getImage() const { return m_image; }

signals:
    void progressChanged(int percent);
    void updateFinished();
    void digestError();
    void updateRefused(const QString& reason);

protected:
    void performStartup() override { }
    void performShutdown() override { }
    void performRun() override { }

private:
    void discardImage();

    Utilities::CRC32 m_checksum;
    std::uint16_t m_blockCount = 0;
    QByteArray m_image;
    std::uint64_t m_imageSize = 0;
    Terminal m_terminal = Terminal::Platform;
    Component::R58::TaloLinkComponent* m_component = nullptr;
    // False after a failed check or refusal: the old image must not be sent then.
    bool m_ready = false;
    // Every block has been sent at least once.
    bool m_complete = false;
};

} // namespace Service::R58
