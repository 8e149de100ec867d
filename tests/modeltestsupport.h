#pragma once

// Test doubles shared by the terminal service test and the stream fuzzer: an application
// object and a TaloLink component that records the frames it is asked to write.

#include "framework/abstractapplication.h"
#include "link/talolinkcomponent.h"
#include "link/talolinkpacket.h"

#include <QByteArray>

#include <cstdint>
#include <string>
#include <vector>

namespace ModelTest {

// One frame as written, with the component that wrote it.
struct WrittenFrame
{
    Component::Interfaces::ComponentID link;
    QByteArray bytes;
};

class CaptureLink : public Component::R58::TaloLinkComponent
{
public:
    CaptureLink(Component::Interfaces::ComponentID id, std::vector<WrittenFrame>& log)
        : TaloLinkComponent(id, Terminal::Host, Terminal::Platform), m_log(log)
    {
    }
    bool open() override { return true; }
    void close() override { }
    int writeData(const unsigned char* data, unsigned long size) override
    {
        m_log.push_back({getID(), QByteArray(reinterpret_cast<const char*>(data), int(size))});
        return 0;
    }
    int writeData(const std::string& data) override
    {
        return writeData(reinterpret_cast<const unsigned char*>(data.data()), data.size());
    }

protected:
    void performStartup() override { }
    void performShutdown() override { }

private:
    std::vector<WrittenFrame>& m_log;
};

class TestApplication : public Component::Interfaces::AbstractApplication
{
public:
    TestApplication()
        : AbstractApplication(Component::Interfaces::ServiceID::MainApplication, "r58_test",
            0x00040304u, std::string())
    {
    }

protected:
    int performInitialize() override { return 0; }
};

} // namespace ModelTest
