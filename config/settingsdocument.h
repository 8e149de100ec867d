#pragma once

#include "config/devicemodel.h"
#include "config/settings.h"
#include "config/settingsmapper.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <optional>

namespace Application::R58 {

// A settings file prepared without a device, for one device model: its values, the model it is
// for, whether it changed since it was opened or saved, and the values the model would refuse.
// The editor window and `r58ctl check` both work on it.
class SettingsDocument
{
    Q_DECLARE_TR_FUNCTIONS(SettingsDocument)

public:
    // A new file with the starting values of `model`.
    explicit SettingsDocument(const DeviceModel& model);

    // The article number `path` names, without loading it: empty when it names none or cannot be
    // read.
    [[nodiscard]] static std::optional<quint32> articleNumberOf(const QString& path);

    // Reads `path` over the starting values, so that a setting the file lacks keeps its starting
    // value; false with errorString() when the file cannot be read or holds no settings.
    [[nodiscard]] bool load(const QString& path);
    // Writes the settings file format with the extra keys and the model's article number,
    // atomically; false with errorString() when it could not be written completely.
    [[nodiscard]] bool save(const QString& path);
    [[nodiscard]] QString errorString() const { return m_error; }

    [[nodiscard]] const DeviceModel& getModel() const { return *m_model; }
    // The model the file was made for, as it says; empty for a new file and one naming none.
    [[nodiscard]] std::optional<quint32> getFileArticleNumber() const { return m_fileArticle; }
    [[nodiscard]] QString getFilePath() const { return m_path; }
    [[nodiscard]] bool isModified() const { return m_modified; }
    [[nodiscard]] const Settings& getSettings() const { return m_settings; }

    // Every setting the model has and the editor shows, in sending order (no soft start, which
    // the configuration page shows no role either).
    [[nodiscard]] QList<SettingKey> keys() const;
    [[nodiscard]] double value(SettingKey key) const;
    // Marks the document modified when the value differs as the file keeps it.
    void setValue(SettingKey key, double value);
    // With the document's own nominal current for the thresholds in amperes.
    [[nodiscard]] SettingsMapper::Limits limits(SettingKey key) const;
    // Every value the model would not accept, one sentence each (as an import refuses them);
    // numbers the file held that are no value of their setting come first.
    [[nodiscard]] QStringList problems() const;

private:
    const DeviceModel* m_model;
    Settings m_settings;
    std::optional<quint32> m_fileArticle;
    QStringList m_refused;
    QString m_path;
    QString m_error;
    bool m_modified = false;
};

} // namespace Application::R58
