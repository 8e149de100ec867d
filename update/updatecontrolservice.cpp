#include "update/updatecontrolservice.h"

#include "link/talolinkcomponent.h"
#include "update/filedecryptor.h"

#include <algorithm>

namespace Service::R58 {

namespace {

constexpr std::uint32_t CrcStart = 0xFFFFFFFFu;

std::uint64_t blockCountOf(std::uint64_t size)
{
    return (size + UpdateControlService::m_flashPageSize - 1)
        / UpdateControlService::m_flashPageSize;
}

} // namespace

UpdateControlService::UpdateControlService(QObject* parent)
    : QObject(parent), AbstractService(Component::Interfaces::ServiceID::UpdateControl)
{
}

UpdateControlService::~UpdateControlService() = default;

UpdateControlService::Preparation UpdateControlService::prepareImage(
    const QByteArray& data, UpdateType type)
{
    using Result = External::Crypto::FileDecryptor::CheckResult;

    Preparation preparation;
    QByteArray image = data;
    if (type == Encrypted) {
        External::Crypto::FileDecryptor decryptor;
        decryptor.setBuffer(data);
        switch (decryptor.checkImage(image)) {
        case Result::Accepted:
            break;
        case Result::Truncated:
        case Result::WrongDigest:
            preparation.verdict = Verdict::DigestError;
            return preparation;
        case Result::BadLength:
            // Only a file made with our key gets here, so it is no transmission
            // fault: the maker wrote a length the content does not have.
            preparation.reason = tr("The image's length field does not match its content.");
            return preparation;
        }
    }

    if (image.isEmpty()) {
        preparation.reason = tr("The image is empty.");
        return preparation;
    }
    const std::uint64_t blocks = blockCountOf(std::uint64_t(image.size()));
    if (blocks > MaxBlockCount) {
        preparation.reason = tr("The image is too large: it needs %1 blocks, the device takes "
                                "at most %2.")
                                 .arg(blocks)
                                 .arg(MaxBlockCount);
        return preparation;
    }
    preparation.verdict = Verdict::Accepted;
    preparation.image = image;
    return preparation;
}

bool UpdateControlService::start(const QByteArray& data, UpdateType type, Terminal terminal)
{
    if (isTransferring())
        return false;
    // Whatever happens below, the previous image is no longer the one asked for.
    discardImage();

    if (terminal != Terminal::Platform && terminal != Terminal::Display) {
        emit updateRefused(tr("An image can only go to the platform or the display processor."));
        return false;
    }
    Preparation preparation = prepareImage(data, type);
    if (preparation.verdict == Verdict::DigestError) {
        emit digestError();
        return false;
    }
    if (preparation.verdict == Verdict::Refused) {
        emit updateRefused(preparation.reason);
        return false;
    }

    m_image = preparation.image;
    m_imageSize = std::uint64_t(m_image.size());
    m_blockCount = std::uint16_t(blockCountOf(m_imageSize));
    m_ready = true;
    emit progressChanged(0);

    const std::uint32_t crc
        = m_checksum.calculateChecksum(reinterpret_cast<const std::uint8_t*>(m_image.constData()),
            std::uint32_t(m_imageSize), CrcStart);
    m_terminal = terminal;
    m_component = dynamic_cast<Component::R58::TaloLinkComponent*>(
        getComponent(Component::Interfaces::ComponentID::TaloLinkUSB));
    if (m_component)
        m_component->startApplicationUpdate(m_terminal, m_blockCount, crc);
    return true;
}

void UpdateControlService::sendMemoryBlock(unsigned short blockIndex)
{
    // The device's requests are input: an index outside the image would read
    // past it, and after a refusal there is nothing it may have.
    if (!m_ready || blockIndex >= m_blockCount)
        return;

    const std::uint64_t offset = std::uint64_t(blockIndex) * m_flashPageSize;
    const auto length
        = std::uint32_t(std::min<std::uint64_t>(m_imageSize - offset, m_flashPageSize));
    const auto* block = reinterpret_cast<const std::uint8_t*>(m_image.constData()) + offset;
    const std::uint32_t crc = m_checksum.calculateChecksum(block, length, CrcStart);
    if (m_component)
        m_component->sendMemblock(m_terminal, blockIndex, block, length, crc);

    // Copied first: a receiver of the progress may already start the next image.
    const std::uint32_t blockCount = m_blockCount;
    const std::uint32_t sent = std::uint32_t(blockIndex) + 1;
    if (sent == blockCount)
        m_complete = true;
    emit progressChanged(int(sent * 100 / blockCount));
    if (sent == blockCount)
        emit updateFinished();
}

void UpdateControlService::cancel()
{
    discardImage();
}

void UpdateControlService::discardImage()
{
    m_ready = false;
    m_complete = false;
    m_image.clear();
    m_imageSize = 0;
    m_blockCount = 0;
}

} // namespace Service::R58
