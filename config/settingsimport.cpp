#include "config/settingsimport.h"

#include "app/application.h"
#include "config/devicemodel.h"
#include "config/settings.h"
#include "link/talolinkterminalservice.h"
#include "model/modelvalueid.h"
#include "model/modeldatabase.h"
#include "records/devicesnapshot.h"

#include <QDir>

namespace Application::R58 {

SettingsImport::SettingsImport(Application& device) : m_device(device) { }

bool SettingsImport::load(const QString& path)
{
    m_comparison.reset();
    m_refusals.clear();
    m_notice.clear();
    const QString name = QDir::toNativeSeparators(path);
    const SettingsMapper mapper(m_device.getModelDatabase()->getSettings());
    const Settings device = mapper.deviceSettings(true);
    // The device's extras take part only when the file brings them (a backup).
    Settings file = device;
    file.setSoftstart(std::nullopt);
    file.setLoadAsymmetry(std::nullopt);
    if (!file.load(path)) {
        m_error = tr("%1 could not be read.").arg(name);
        return false;
    }
    if (file.getLoadedCount() == 0 && file.getRefusedKeys().isEmpty()) {
        m_error = tr("%1 holds no device settings.").arg(name);
        return false;
    }
    if (m_device.getTerminalService()->hasReported(
            Model::Interfaces::ModelValueID::ArticleNumber))
        m_notice = DeviceModel::mismatch(file.getArticleNumber(),
            static_cast<quint32>(
                m_device.getModelDatabase()->getInformation().getArticleNumberValue().getValue()));
    // A number cut to fit its field would be another setting, and a value out of range is one
    // the device must not get.
    for (const auto& refused : file.getRefusedKeys())
        m_refusals << tr("\"%1\" holds %2, which is no value of that setting.")
                          .arg(refused.key, QString::number(refused.number));
    const bool asymmetry = Records::DeviceSnapshot::hasAsymmetryProtection(m_device);
    m_refusals << mapper.check(file, asymmetry);
    if (!asymmetry)
        file.setLoadAsymmetry(std::nullopt);
    m_comparison.emplace(device, file);
    return true;
}

QList<SettingsVerifier::Outcome> SettingsImport::write() const
{
    QList<SettingsVerifier::Outcome> written;
    if (!m_comparison || !m_refusals.isEmpty())
        return written;
    SettingsMapper mapper(m_device.getModelDatabase()->getSettings());
    for (const SettingsComparison::Row& row : m_comparison->getRows()) {
        if (!row.changed)
            continue;
        mapper.write(row.key, row.fileValue);
        SettingsVerifier::Outcome outcome;
        outcome.key = row.key;
        outcome.written = row.fileValue;
        written << outcome;
    }
    return written;
}

} // namespace Application::R58
