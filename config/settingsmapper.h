#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

#include <functional>
#include <optional>

namespace Model::Database {
class ModelSettings;
}
namespace Model::Interfaces {
enum class ModelValueID : std::uint16_t;
}

namespace Application::R58 {

class Settings;
struct DeviceModel;

// Every protection setting a device has, in the order an import sends them: the nominal
// current before the undercurrent and load asymmetry thresholds, whose maximum it sets. The
// first twelve are the settings file's; the rest are kept in backups as extra keys.
enum class SettingKey {
    TripClass,
    NominalCurrent,
    OverloadReset,
    UndercurrentEnable,
    UndercurrentThreshold,
    UndercurrentFaultType,
    UndervoltageEnable,
    UndervoltageThreshold,
    UndervoltageFaultType,
    OvervoltageEnable,
    OvervoltageThreshold,
    OvervoltageFaultType,
    Softstart,
    AsymmetryEnable,
    AsymmetryThreshold,
    AsymmetryFaultType,
};

// Between the device model's settings and the settings file, and the one place that names each
// setting, gives its unit, its limits and the text of its value, for the configuration page,
// the comparison, the report and the history alike. Every value passes through as a double:
// on/off as 0 and 1, trip classes and fault types as their numbers.
class SettingsMapper
{
public:
    enum class Kind { Number, OnOff, FaultType, TripClass };
    // Words for a person (the program's language and locale) or for a record the tool keeps
    // (English, a decimal point), which a screen turns into a person's words when it shows it.
    enum class Wording { Display, Record };
    // A value of a file the device must not get, and why, in a sentence that names the setting.
    struct Refusal
    {
        SettingKey key;
        QString text;
    };
    struct Limits
    {
        double minimum = 0.0;
        double maximum = 0.0;
    };

    explicit SettingsMapper(Model::Database::ModelSettings& model);

    // All settings, in sending order.
    [[nodiscard]] static const QList<SettingKey>& keys();
    // True for the settings the file format does not hold.
    [[nodiscard]] static bool isExtra(SettingKey key);
    [[nodiscard]] static Kind kind(SettingKey key);
    // The load asymmetry protection's settings, which only some devices have.
    [[nodiscard]] static bool isAsymmetry(SettingKey key);
    // The setting's name for the user, in the program's language, or for a record.
    [[nodiscard]] static QString name(SettingKey key, Wording wording = Wording::Display);
    // The setting a record's name stands for.
    [[nodiscard]] static std::optional<SettingKey> keyOfRecordName(const QString& name);
    // "A", "V" or empty.
    [[nodiscard]] static QString unit(SettingKey key);
    // The value for the user: numbers to the file's two decimals with their unit, on/off,
    // fault types and trip classes by name.
    [[nodiscard]] static QString text(
        SettingKey key, double value, Wording wording = Wording::Display);
    // A record's text of a value in the program's words; the text as it is when it is none.
    [[nodiscard]] static QString displayText(SettingKey key, const QString& recordText);
    [[nodiscard]] static Model::Interfaces::ModelValueID valueId(SettingKey key);
    [[nodiscard]] static std::optional<SettingKey> keyOf(Model::Interfaces::ModelValueID id);
    // The setting a frame the tool sent writes; empty for any other frame.
    [[nodiscard]] static std::optional<SettingKey> keyOfWrite(const QByteArray& frame);
    // The setting of a key of the settings file ("TripClass", "Undercurrent/FaultType").
    [[nodiscard]] static std::optional<SettingKey> keyOfFileKey(const QString& fileKey);
    // A file's value that is no value of its setting at all (a trip class of 260).
    [[nodiscard]] static Refusal notAValue(SettingKey key, double number);
    // The file's value; empty for an extra the file does not hold.
    [[nodiscard]] static std::optional<double> fileValue(const Settings& settings, SettingKey key);
    // Sets the file's value; an extra the file does not hold is added with the others of its
    // group as they were before (starting values when there were none).
    static void setFileValue(Settings& settings, SettingKey key, double value);
    // Equal as the file keeps them: numbers to two decimals.
    [[nodiscard]] static bool sameValue(SettingKey key, double a, double b);

    // The value the model holds, which is the device's but while a user's write is on its way.
    [[nodiscard]] double deviceValue(SettingKey key) const;
    [[nodiscard]] QString deviceText(SettingKey key, Wording wording = Wording::Display) const
    {
        return text(key, deviceValue(key), wording);
    }
    // The device's settings in the settings file's form; with the extras for a backup.
    [[nodiscard]] Settings deviceSettings(bool withExtras) const;
    // What the device accepts: the lower limits the configuration page offers (0.1 A, 1 V), the
    // upper ones the device reports. A threshold in amperes may not exceed the nominal current,
    // which a file brings along (`nominalCurrent`) or the device holds.
    [[nodiscard]] Limits limits(SettingKey key, std::optional<double> nominalCurrent = {}) const;
    // Every value of the file the device would not accept, one sentence each; empty when all
    // fit. `withAsymmetry`: the device has the load asymmetry protection.
    [[nodiscard]] QStringList check(const Settings& file, bool withAsymmetry) const;
    // The same, with the setting of each.
    [[nodiscard]] QList<Refusal> refusals(const Settings& file, bool withAsymmetry) const;
    // What a device of `model` accepts, without a device: the same lower limits, the upper ones
    // the model has. Thresholds in amperes may not exceed `nominalCurrent`.
    [[nodiscard]] static Limits limits(
        SettingKey key, const DeviceModel& model, double nominalCurrent);
    // As check() above, for a device of `model`; the load asymmetry settings count on the models
    // that have that protection.
    [[nodiscard]] static QStringList check(const Settings& file, const DeviceModel& model);
    // Stores the value in the model and sends it to the device.
    void write(SettingKey key, double value);

private:
    using LimitsOf = std::function<Limits(SettingKey, std::optional<double> nominalCurrent)>;
    [[nodiscard]] static QList<Refusal> refusals(
        const Settings& file, bool withAsymmetry, const LimitsOf& limitsOf);

    Model::Database::ModelSettings& m_model;
};

} // namespace Application::R58
