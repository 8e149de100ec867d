#pragma once

#include "config/settingscomparison.h"
#include "config/settingsverifier.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace Application::R58 {

class Application;

// A settings file on its way to a device, without a window: read against what the device holds
// (a setting the file lacks stays as the device has it), checked against what the device
// accepts, compared, and then only the changed settings written. The caller backs up first and
// confirms with a SettingsVerifier afterwards.
class SettingsImport
{
    Q_DECLARE_TR_FUNCTIONS(SettingsImport)

public:
    explicit SettingsImport(Application& device);

    // False with errorString() when the file cannot be read or holds no settings; values the
    // device would not accept do not fail here, they are refusals().
    [[nodiscard]] bool load(const QString& path);
    [[nodiscard]] QString errorString() const { return m_error; }
    // One sentence per value the device would not accept; an import must send nothing then.
    [[nodiscard]] const QStringList& refusals() const { return m_refusals; }
    // A sentence when the file was made for another model than the device; empty otherwise.
    [[nodiscard]] const QString& notice() const { return m_notice; }
    // Valid after a successful load().
    [[nodiscard]] const SettingsComparison& comparison() const { return *m_comparison; }

    // Sends each changed setting once, in sending order, and returns what was written.
    [[nodiscard]] QList<SettingsVerifier::Outcome> write() const;

private:
    Application& m_device;
    std::optional<SettingsComparison> m_comparison;
    QStringList m_refusals;
    QString m_notice;
    QString m_error;
};

} // namespace Application::R58
