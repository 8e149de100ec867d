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

// Reads, writes and steps any value of the database as a number, whatever its type, so that
// tests can be written as tables of numbers.
#define MODEL_TEST_TYPES                                                                           \
    std::uint8_t, char, bool, std::uint16_t, std::uint32_t, float, Types::Settings::TripClass,     \
        Types::Settings::FaultType, Types::Fault::Type, Types::Fault::Phase,                       \
        Types::Measurement::Phase, Types::Operation::Mode, Types::Bootup::PlatformState,           \
        Types::HousingLighting::Edge, Types::HousingLighting::Type,                                \
        Types::Information::DeviceType, Types::GFX::Setting, Types::GFX::SoftstartSubSetting,      \
        Types::GFX::LimitSubSetting, Types::GFX::AboutSubSetting

template <typename... Ts> struct TypeList
{
};

// Calls f(typed, number to T, T to number) with the value as its own ModelValue<T>.
template <typename F, typename... Ts>
bool visitTyped(const Model::Interfaces::ModelValueIntf* value, F&& f, TypeList<Ts...> = {})
{
    const auto tryAs = [&](auto* tag) {
        using T = std::remove_pointer_t<decltype(tag)>;
        using R = Model::Interfaces::ModelValueCodec::RawType<T>;
        auto* typed = dynamic_cast<const Model::Interfaces::ModelValue<T>*>(value);
        if (typed)
            f(
                const_cast<Model::Interfaces::ModelValue<T>*>(typed),
                [](double n) { return static_cast<T>(static_cast<R>(n)); },
                [](T v) { return static_cast<double>(static_cast<R>(v)); });
        return typed != nullptr;
    };
    if constexpr (sizeof...(Ts) == 0)
        return visitTyped(value, std::forward<F>(f), TypeList<MODEL_TEST_TYPES> {});
    else
        return (tryAs(static_cast<Ts*>(nullptr)) || ...);
}

template <typename T>
Model::Interfaces::ModelDisplayValue<T>* asDisplay(Model::Interfaces::ModelValue<T>* value)
{
    return dynamic_cast<Model::Interfaces::ModelDisplayValue<T>*>(value);
}

inline bool assign(Model::Interfaces::ModelValueIntf* value, double number)
{
    return visitTyped(value, [&](auto* typed, auto from, auto) { typed->setValue(from(number)); });
}
inline std::optional<double> current(const Model::Interfaces::ModelValueIntf* value)
{
    std::optional<double> result;
    visitTyped(value, [&](auto* typed, auto, auto to) { result = to(typed->getValue()); });
    return result;
}
inline std::optional<double> defaultOf(const Model::Interfaces::ModelValueIntf* value)
{
    std::optional<double> result;
    visitTyped(value, [&](auto* typed, auto, auto to) { result = to(typed->getDefaultValue()); });
    return result;
}
// Previous and next of `number` by the value's own stepping.
inline std::optional<std::pair<double, double>> steps(
    const Model::Interfaces::ModelValueIntf* value, double number)
{
    std::optional<std::pair<double, double>> result;
    visitTyped(value, [&](auto* typed, auto from, auto to) {
        if (auto* display = asDisplay(typed))
            result = std::make_pair(
                to(display->previous(from(number))), to(display->next(from(number))));
    });
    return result;
}

// Bytes in a buffer of exactly their size, so the sanitizer sees any read past them.
inline std::vector<std::uint8_t> exactBytes(const QByteArray& hex)
{
    const QByteArray raw = QByteArray::fromHex(hex);
    return std::vector<std::uint8_t>(raw.begin(), raw.end());
}

} // namespace ModelTest
