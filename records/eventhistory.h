#pragma once

#include <QList>
#include <QString>

namespace Records {

// One thing that happened to a device: when (milliseconds since the epoch, UTC), what kind of
// thing (a fixed English key such as "error", which a screen shows in its own words), and what
// exactly.
struct Event
{
    qint64 time = 0;
    QString kind;
    QString text;
};

// What a device reported and what was done to it, across sessions: one file per device, a CSV
// line per event, appended as each happens. The file is capped: once it holds a quarter more
// than the cap, it is rewritten with the newest events only, so that it never fails for being
// full and never grows without end.
class EventHistory
{
public:
    static constexpr int DefaultCap = 2000;

    // Reads the events already in the file, if there is one; a line that cannot be read is
    // skipped.
    explicit EventHistory(const QString& path, int cap = DefaultCap);

    // Keeps the event and appends it to the file; false with errorString() if the file cannot
    // be written (the event is kept for this session all the same).
    [[nodiscard]] bool add(const QString& kind, const QString& text, qint64 time);
    [[nodiscard]] bool add(const QString& kind, const QString& text);

    // Oldest first, at most the cap.
    [[nodiscard]] const QList<Event>& events() const { return m_events; }
    [[nodiscard]] QString path() const { return m_path; }
    [[nodiscard]] QString errorString() const { return m_error; }

    // Writes every event to a CSV file in one go; false with errorString() if that fails.
    [[nodiscard]] bool exportTo(const QString& path);

    // The file for a device's serial number in the given folder.
    [[nodiscard]] static QString fileFor(const QString& folder, const QString& serial);
    [[nodiscard]] static QByteArray header();
    [[nodiscard]] static QByteArray line(const Event& event);
    // Reads one line as line() writes it; false if it is not one.
    [[nodiscard]] static bool parse(const QByteArray& line, Event& event);

private:
    bool rewrite();

    QString m_path;
    int m_cap;
    // Lines in the file, read or appended, which may run ahead of the events kept.
    int m_fileLines = 0;
    QList<Event> m_events;
    QString m_error;
};

} // namespace Records
