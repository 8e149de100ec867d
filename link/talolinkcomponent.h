#pragma once

#include "framework/abstractcomponent.h"
#include "link/talolinkpacket.h"
#include "model/modelactionid.h"
#include "model/modelvalueid.h"
#include "update/crc32.h"

#include <array>
#include <string>

namespace Component::R58 {

// The sending half of the link: turns each request of the program into one
// TaloLink frame and hands the bytes to the transport of the derived class.
// Every request returns 0: what the transport did is its own business.
class TaloLinkComponent : public Interfaces::AbstractComponent
{
public:
    using Terminal = Interfaces::TaloLinkPacket::Terminal;
    using ArgList = Interfaces::TaloLinkPacket::ArgList;
    using CommandID = Interfaces::TaloLinkCommandID;

    TaloLinkComponent(Interfaces::ComponentID id, Terminal source, Terminal destination);
    ~TaloLinkComponent() override = default;

    virtual bool open() = 0;
    virtual void close() = 0;
    virtual int writeData(const unsigned char* data, unsigned long size) = 0;
    virtual int writeData(const std::string& data) = 0;

    int reset();
    int jumpToBootloader(Terminal terminal);
    int getPlatformName();
    int getDisplayName();
    // Sends the low `size` bytes (1, 2 or 4) of the value, low byte first.
    int setModelValue(Model::Interfaces::ModelValueID id, int value, unsigned long size);
    int setModelValue(Model::Interfaces::ModelValueID id, float value);
    int getModelValue(Model::Interfaces::ModelValueID id);
    int fireModelAction(Model::Interfaces::ModelActionID id);
    int startApplicationUpdate(Terminal terminal, unsigned short blockCount, unsigned int crc);
    int sendMemblock(Terminal terminal, unsigned short blockNumber, const unsigned char* data,
        unsigned long size, unsigned int crc);
    // Sends the packet's command, terminals and arguments as a new frame.
    int sendPacket(const Interfaces::TaloLinkPacket& packet);
    int writeCommand(CommandID command, Terminal source, Terminal destination);
    int writeCommand(CommandID command, Terminal source, Terminal destination, const ArgList& args);
    // Plain text followed by "\r\n", not a frame.
    int writeLine(const std::string& text);

    [[nodiscard]] Terminal getSource() const { return m_source; }
    [[nodiscard]] Terminal getDestination() const { return m_destination; }

private:
    std::array<char, 4> m_coding {{'7', '0', '2', '#'}};
    Terminal m_source;
    Terminal m_destination;
    Utilities::CRC32 m_crc;
};

} // namespace Component::R58
