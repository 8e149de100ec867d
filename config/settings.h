#pragma once

#include "config/thresholdsettings.h"
#include "model/modeltypes.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

class QJsonObject;
class QJsonValue;

namespace Application::R58 {

// The protection settings of one device as exported to and imported from a
// JSON file. It only converts between its fields and the file.
class Settings
{
public:
    using TripClass = Model::Interfaces::ModelTypes::Settings::TripClass;

    Settings() = default;
    virtual ~Settings() = default;

    [[nodiscard]] TripClass getTripClass() const { return m_tripClass; }
    void setTripClass(TripClass tripClass) { m_tripClass = tripClass; }
    [[nodiscard]] float getNominalCurrent() const { return m_nominalCurrent; }
    void setNominalCurrent(float current) { m_nominalCurrent = current; }
    [[nodiscard]] bool getOverloadReset() const { return m_overloadReset; }
    void setOverloadReset(bool automatic) { m_overloadReset = automatic; }
    UndercurrentSettings& getUndercurrentSettings() { return m_undercurrent; }
    UndervoltageSettings& getUndervoltageSettings() { return m_undervoltage; }
    OvervoltageSettings& getOvervoltageSettings() { return m_overvoltage; }
    const UndercurrentSettings& getUndercurrentSettings() const { return m_undercurrent; }
    const UndervoltageSettings& getUndervoltageSettings() const { return m_undervoltage; }
    const OvervoltageSettings& getOvervoltageSettings() const { return m_overvoltage; }

    // Settings a device has beyond the file format's twelve. A backup keeps them as extra keys,
    // which the format's readers ignore; an export leaves them out (empty).
    [[nodiscard]] const std::optional<bool>& getSoftstart() const { return m_softstart; }
    void setSoftstart(std::optional<bool> on) { m_softstart = on; }
    [[nodiscard]] const std::optional<ThresholdSettings>& getLoadAsymmetry() const
    {
        return m_loadAsymmetry;
    }
    void setLoadAsymmetry(std::optional<ThresholdSettings> group)
    {
        m_loadAsymmetry = std::move(group);
    }

    // The article number of the device model a file was prepared for, kept as an extra key;
    // empty for a file that names none (an export, a backup).
    [[nodiscard]] const std::optional<quint32>& getArticleNumber() const { return m_articleNumber; }
    void setArticleNumber(std::optional<quint32> articleNumber) { m_articleNumber = articleNumber; }

    // False when the file cannot be opened; an unparsable file reads as empty.
    [[nodiscard]] bool load(const QString& fileName);
    // What load does with the file's bytes, so that a fuzzer reads exactly as an import does.
    void loadData(const QByteArray& data);
    // Replaces the file atomically; false when it could not be written completely.
    [[nodiscard]] bool save(const QString& fileName) const;
    // The bytes save writes.
    [[nodiscard]] QByteArray toData() const;

    // Returns how many of the file format's settings the object held (twelve for a complete
    // file); the extra keys are not counted.
    int read(const QJsonObject& json);
    void write(QJsonObject& json) const;

    // How many settings the last load took from its file: 0 means the file held
    // none, so an import must not send anything.
    [[nodiscard]] int getLoadedCount() const { return m_loadedCount; }

    // A key of the file whose number is no value of its 8-bit field (260, 2.5, -1): cutting it
    // to fit would turn it into another setting, so it is left out and named here instead.
    struct RefusedKey
    {
        QString key; // "TripClass", or the group and key, such as "Undercurrent/FaultType"
        double number = 0.0;
    };
    // The keys the last read left out for that reason, in file order; an import must refuse them.
    [[nodiscard]] const QList<RefusedKey>& getRefusedKeys() const { return m_refusedKeys; }
    // The number a field of the 8-bit enumerations takes: a whole number from 0 to 255.
    [[nodiscard]] static std::optional<std::uint8_t> toByte(const QJsonValue& value);

    // The cut to two decimals the file format uses: 0.129 is written as 0.12.
    [[nodiscard]] static double cutToTwoDecimals(float value);
    // A number of the file as a float field takes it; empty for other types and for
    // numbers no float holds, which would turn into an infinity sent to the device.
    [[nodiscard]] static std::optional<float> toFloat(const QJsonValue& value);

private:
    int readGroup(ThresholdSettings& group, const QString& key, const QJsonObject& json);

    TripClass m_tripClass = TripClass(0);
    float m_nominalCurrent = 0.0f;
    UndercurrentSettings m_undercurrent;
    UndervoltageSettings m_undervoltage;
    OvervoltageSettings m_overvoltage;
    bool m_overloadReset = false;
    std::optional<bool> m_softstart;
    std::optional<ThresholdSettings> m_loadAsymmetry;
    std::optional<quint32> m_articleNumber;
    int m_loadedCount = 0;
    QList<RefusedKey> m_refusedKeys;
};

} // namespace Application::R58
