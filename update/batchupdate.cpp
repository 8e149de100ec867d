#include "update/batchupdate.h"

#include <QSaveFile>
#include <QTimer>

namespace Service::R58 {

BatchUpdate::BatchUpdate(const QList<Application::R58::Application*>& devices,
    Application::R58::UserAccount::User role, QObject* parent)
    : QObject(parent)
{
    for (Application::R58::Application* device : devices) {
        auto* update = new DeviceUpdate(*device, role, this);
        const int index = int(m_updates.size());
        connect(update, &DeviceUpdate::progressChanged, this,
            [this, index](int percent) { emit progressChanged(index, percent); });
        connect(update, &DeviceUpdate::finished, this,
            [this, index](const DeviceUpdate::Result& result) {
                emit deviceFinished(index, result);
                // On the next turn: the device's own services finish their signal first.
                QTimer::singleShot(0, this, &BatchUpdate::next);
            });
        m_updates << update;
    }
}

void BatchUpdate::setVerifyWait(int milliseconds)
{
    for (DeviceUpdate* update : qAsConst(m_updates))
        update->setVerifyWait(milliseconds);
}

int BatchUpdate::check(const QString& packagePath)
{
    int applicable = 0;
    for (DeviceUpdate* update : qAsConst(m_updates)) {
        if (update->check(packagePath))
            ++applicable;
    }
    return applicable;
}

void BatchUpdate::start()
{
    if (isRunning())
        return;
    m_current = -1;
    next();
}

void BatchUpdate::next()
{
    for (int i = m_current + 1; i < m_updates.size(); ++i) {
        if (m_updates[i]->result().outcome != DeviceUpdate::Outcome::Pending)
            continue;
        m_current = i;
        emit deviceStarted(i);
        m_updates[i]->start();
        return;
    }
    m_current = -1;
    emit finished();
}

QList<DeviceUpdate::Result> BatchUpdate::results() const
{
    QList<DeviceUpdate::Result> results;
    for (const DeviceUpdate* update : m_updates)
        results << update->result();
    return results;
}

QString BatchUpdate::outcomeKey(DeviceUpdate::Outcome outcome)
{
    // Fixed, as the history file keeps its kinds, so that a script reads every language.
    switch (outcome) {
    case DeviceUpdate::Outcome::Pending:
        return QStringLiteral("pending");
    case DeviceUpdate::Outcome::Refused:
        return QStringLiteral("refused");
    case DeviceUpdate::Outcome::Failed:
        return QStringLiteral("failed");
    case DeviceUpdate::Outcome::Updated:
        return QStringLiteral("updated");
    case DeviceUpdate::Outcome::SettingsChanged:
        return QStringLiteral("settings changed");
    }
    return {};
}

QByteArray BatchUpdate::csv(const QList<DeviceUpdate::Result>& results)
{
    const auto field = [](QString text) {
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')))
            text = QLatin1Char('"') + text.replace(QLatin1Char('"'), QStringLiteral("\"\""))
                + QLatin1Char('"');
        return text;
    };
    QByteArray data("serial,port,before,after,result,seconds,message\n");
    for (const DeviceUpdate::Result& result : results) {
        const QStringList fields {field(result.serialNumber), field(result.port),
            field(result.before), field(result.after), outcomeKey(result.outcome),
            QString::number(double(result.milliseconds) / 1000.0, 'f', 1), field(result.message)};
        data += fields.join(QLatin1Char(',')).toUtf8() + '\n';
    }
    return data;
}

bool BatchUpdate::saveCsv(const QString& path)
{
    const QByteArray data = csv(results());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(data) != data.size() || !file.commit()) {
        m_error = file.errorString();
        return false;
    }
    return true;
}

} // namespace Service::R58
