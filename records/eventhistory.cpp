#include "records/eventhistory.h"

#include "records/recordlocations.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace Records {

namespace {

// A field in quotes when it needs them, with quotes inside doubled.
QByteArray field(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    // One event is one line.
    bytes.replace('\r', ' ').replace('\n', ' ');
    if (!bytes.contains(',') && !bytes.contains('"'))
        return bytes;
    bytes.replace('"', "\"\"");
    return '"' + bytes + '"';
}

} // namespace

EventHistory::EventHistory(const QString& path, int cap) : m_path(path), m_cap(std::max(1, cap))
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return;
    while (!file.atEnd()) {
        const QByteArray text = file.readLine();
        ++m_fileLines;
        Event event;
        if (parse(text, event))
            m_events.append(event);
    }
    if (m_events.size() > m_cap)
        m_events.erase(m_events.begin(), m_events.end() - m_cap);
}

QByteArray EventHistory::header()
{
    return QByteArrayLiteral("time,event,details");
}

QByteArray EventHistory::line(const Event& event)
{
    return QDateTime::fromMSecsSinceEpoch(event.time, Qt::UTC)
               .toString(Qt::ISODateWithMs)
               .toLatin1()
        + ',' + field(event.kind) + ',' + field(event.text);
}

bool EventHistory::parse(const QByteArray& line, Event& event)
{
    QList<QByteArray> fields;
    QByteArray current;
    bool quoted = false;
    const QByteArray text = line.trimmed();
    for (int i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text.at(i + 1) == '"') {
                current += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                current += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.append(current);
            current.clear();
        } else {
            current += c;
        }
    }
    fields.append(current);
    if (fields.size() != 3)
        return false;
    const QDateTime time = QDateTime::fromString(QString::fromLatin1(fields[0]), Qt::ISODateWithMs);
    if (!time.isValid())
        return false;
    event.time = time.toMSecsSinceEpoch();
    event.kind = QString::fromUtf8(fields[1]);
    event.text = QString::fromUtf8(fields[2]);
    return !event.kind.isEmpty();
}

bool EventHistory::add(const QString& kind, const QString& text)
{
    return add(kind, text, QDateTime::currentMSecsSinceEpoch());
}

bool EventHistory::add(const QString& kind, const QString& text, qint64 time)
{
    m_events.append({time, kind, text});
    if (m_events.size() > m_cap)
        m_events.removeFirst();
    if (m_path.isEmpty())
        return true;
    if (m_fileLines >= m_cap + m_cap / 4)
        return rewrite();

    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QFile file(m_path);
    // Unbuffered: a failed write must not stay behind in a buffer that closing writes later.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        m_error = file.errorString();
        return false;
    }
    QByteArray bytes;
    const qint64 before = file.size();
    if (before == 0) {
        bytes = header() + '\n';
        ++m_fileLines;
    }
    // The whole line in one write to a file opened for appending: a crash leaves whole lines.
    bytes += line(m_events.last()) + '\n';
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        m_error = file.errorString();
        // A full disk may have taken part of the line: cut it off again, so that the file ends
        // with a whole line and the next append starts a line of its own.
        file.resize(before);
        return false;
    }
    ++m_fileLines;
    return true;
}

bool EventHistory::rewrite()
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    if (!exportTo(m_path))
        return false;
    m_fileLines = int(m_events.size()) + 1;
    return true;
}

bool EventHistory::exportTo(const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        m_error = file.errorString();
        return false;
    }
    QByteArray bytes = header() + '\n';
    for (const Event& event : m_events)
        bytes += line(event) + '\n';
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        m_error = file.errorString();
        return false;
    }
    return true;
}

QString EventHistory::fileFor(const QString& folder, const QString& serial)
{
    return QDir(folder).filePath(
        QStringLiteral("history_%1.csv").arg(RecordLocations::fileStem(serial)));
}

} // namespace Records
