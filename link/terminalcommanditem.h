#pragma once

#include "link/talolinkpacket.h"
#include "model/modelactionid.h"
#include "model/modelvalueid.h"

#include <QList>
#include <QListWidgetItem>
#include <QSharedPointer>
#include <QString>

#include <cstdint>

namespace Application::R58 {

// One service command in the service page's list: code, terminals, the
// software state it needs and descriptors of its arguments. It is a list item
// so the page can show catalogue copies directly.
class TerminalCommandItem : public QListWidgetItem
{
public:
    using CommandID = Component::Interfaces::TaloLinkCommandID;
    using Terminal = Component::Interfaces::TaloLinkPacket::Terminal;

    enum Availability : std::uint32_t {
        Application = 0,
        Bootloader = 1,
        Any = 2,
    };

    // Describes one argument; the page writes the value just before sending.
    class Arg
    {
    public:
        enum Type : std::uint32_t {
            UInt8 = 0,
            UInt16 = 1,
            UInt32 = 2,
            Float = 3,
            ModelValueID = 4,
            ModelActionID = 5,
        };

        virtual ~Arg() = default;
        [[nodiscard]] virtual void* getData() = 0;
        [[nodiscard]] virtual int getSize() const = 0;
        [[nodiscard]] Type getType() const { return m_type; }
        [[nodiscard]] const QString& getName() const { return m_name; }

    protected:
        Arg(Type type, const QString& name) : m_type(type), m_name(name) { }

    private:
        Type m_type;
        QString m_name;
    };

    // An argument stored in memory as it goes on the wire (little-endian host).
    template <typename T, Arg::Type TypeTag> class ValueArg : public Arg
    {
    public:
        explicit ValueArg(const QString& name) : Arg(TypeTag, name) { }
        void* getData() override { return &m_value; }
        int getSize() const override { return int(sizeof(T)); }
        void setValue(T value) { m_value = value; }
        [[nodiscard]] T getValue() const { return m_value; }

    private:
        T m_value {}; // zero until the page writes it
    };

    using UInt8Arg = ValueArg<std::uint8_t, Arg::UInt8>;
    using UInt16Arg = ValueArg<std::uint16_t, Arg::UInt16>;
    using UInt32Arg = ValueArg<std::uint32_t, Arg::UInt32>;
    using FloatArg = ValueArg<float, Arg::Float>;
    using ModelValueIDArg = ValueArg<Model::Interfaces::ModelValueID, Arg::ModelValueID>;
    using ModelActionIDArg = ValueArg<Model::Interfaces::ModelActionID, Arg::ModelActionID>;
    using ArgList = QList<QSharedPointer<Arg>>;

    static constexpr int ItemType = QListWidgetItem::UserType;

    TerminalCommandItem(CommandID command, const QString& name, bool hidden,
        Availability availability, Terminal source, Terminal destination, const ArgList& args,
        QListWidget* parent = nullptr);
    // Copies share the argument objects with the original.
    TerminalCommandItem(const TerminalCommandItem& other);
    TerminalCommandItem& operator=(const TerminalCommandItem&) = delete;
    ~TerminalCommandItem() override = default;

    QListWidgetItem* clone() const override { return new TerminalCommandItem(*this); }

    [[nodiscard]] CommandID getCommand() const { return m_command; }
    [[nodiscard]] Availability getAvailability() const { return m_availability; }
    [[nodiscard]] Terminal getSource() const { return m_source; }
    [[nodiscard]] Terminal getDestination() const { return m_destination; }
    [[nodiscard]] const ArgList& getArgs() const { return m_args; }
    void setArgs(const ArgList& args) { m_args = args; }

    // The packet to send: command, terminals and each argument's current bytes.
    // The arguments point into the argument objects, which must outlive it.
    [[nodiscard]] Component::Interfaces::TaloLinkPacket toPacket() const;

    // Whether a terminal reporting `state` ("Application" or "Bootloader", exactly, with any
    // trailing NUL bytes or blanks) accepts it.
    [[nodiscard]] bool isOfferedIn(const QByteArray& state) const;

private:
    CommandID m_command;
    Availability m_availability;
    Terminal m_source;
    Terminal m_destination;
    ArgList m_args;
};

} // namespace Application::R58
