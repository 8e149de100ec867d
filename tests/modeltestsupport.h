#pragma once

// Test doubles shared by the model tests: an application object and a
// TaloLink component that records the frames it is asked to write.

#include "framework/abstractapplication.h"
#include "link/talolinkcomponent.h"
#include "link/talolinkpacket.h"
#include "model/modeldisplayvalue.h"
#include "model/modeltypes.h"

#include <QByteArray>

#include <cstdint>
#include <optional>
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

namespace Types = Model::Interfaces::ModelTypes;

// Reads and writes any value of the database as a number, whatever its type,
// so that tests can be written as tables of numbers.
template <typename T> bool assignAs(Model::Interfaces::ModelValueIntf* value, double number)
{
    auto* typed = dynamic_cast<Model::Interfaces::ModelValue<T>*>(value);
    if (!typed)
        return false;
    using R = Model::Interfaces::ModelValueCodec::RawType<T>;
    typed->setValue(static_cast<T>(static_cast<R>(number)));
    return true;
}

template <typename T>
std::optional<double> readAs(const Model::Interfaces::ModelValueIntf* value, bool wantDefault)
{
    auto* typed = dynamic_cast<const Model::Interfaces::ModelValue<T>*>(value);
    if (!typed)
        return std::nullopt;
    using R = Model::Interfaces::ModelValueCodec::RawType<T>;
    return static_cast<double>(
        static_cast<R>(wantDefault ? typed->getDefaultValue() : typed->getValue()));
}

// Previous and next of `number` by the value's own stepping.
template <typename T>
std::optional<std::pair<double, double>> stepAs(
    const Model::Interfaces::ModelValueIntf* value, double number)
{
    auto* typed = dynamic_cast<const Model::Interfaces::ModelDisplayValue<T>*>(value);
    if (!typed)
        return std::nullopt;
    using R = Model::Interfaces::ModelValueCodec::RawType<T>;
    const T v = static_cast<T>(static_cast<R>(number));
    return std::make_pair(static_cast<double>(static_cast<R>(typed->previous(v))),
        static_cast<double>(static_cast<R>(typed->next(v))));
}

#define MODEL_TEST_TYPES                                                                           \
    std::uint8_t, char, bool, std::uint16_t, std::uint32_t, float, Types::Settings::TripClass,     \
        Types::Settings::FaultType, Types::Fault::Type, Types::Fault::Phase,                       \
        Types::Measurement::Phase, Types::Operation::Mode, Types::Bootup::PlatformState,           \
        Types::HousingLighting::Edge, Types::HousingLighting::Type,                                \
        Types::Information::DeviceType, Types::GFX::Setting, Types::GFX::SoftstartSubSetting,      \
        Types::GFX::LimitSubSetting, Types::GFX::AboutSubSetting

template <typename... Ts> bool assignAny(Model::Interfaces::ModelValueIntf* value, double number)
{
    return (assignAs<Ts>(value, number) || ...);
}

template <typename... Ts>
std::optional<double> readAny(const Model::Interfaces::ModelValueIntf* value, bool wantDefault)
{
    std::optional<double> result;
    ((result = result ? result : readAs<Ts>(value, wantDefault)), ...);
    return result;
}

template <typename... Ts>
std::optional<std::pair<double, double>> stepAny(
    const Model::Interfaces::ModelValueIntf* value, double number)
{
    std::optional<std::pair<double, double>> result;
    ((result = result ? result : stepAs<Ts>(value, number)), ...);
    return result;
}

inline bool assign(Model::Interfaces::ModelValueIntf* value, double number)
{
    return assignAny<MODEL_TEST_TYPES>(value, number);
}
inline std::optional<double> current(const Model::Interfaces::ModelValueIntf* value)
{
    return readAny<MODEL_TEST_TYPES>(value, false);
}
inline std::optional<double> defaultOf(const Model::Interfaces::ModelValueIntf* value)
{
    return readAny<MODEL_TEST_TYPES>(value, true);
}
inline std::optional<std::pair<double, double>> steps(
    const Model::Interfaces::ModelValueIntf* value, double number)
{
    return stepAny<MODEL_TEST_TYPES>(value, number);
}

// Bytes in a buffer of exactly their size, so the sanitizer sees any read past them.
inline std::vector<std::uint8_t> exactBytes(const QByteArray& hex)
{
    const QByteArray raw = QByteArray::fromHex(hex);
    return std::vector<std::uint8_t>(raw.begin(), raw.end());
}

} // namespace ModelTest
