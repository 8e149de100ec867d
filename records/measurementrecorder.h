#pragma once

#include "records/measurementsamples.h"

#include <QFile>
#include <QString>

#include <vector>

namespace Records {

// Writes measured values to a CSV file as they arrive, one line each:
//   time,quantity,phase,value,unit
//   2026-05-04T09:12:33.417Z,voltage,L1,231.4,V
//   # 2026-05-04T09:12:40.002Z no values from the device for 5 s
// The time is UTC in ISO 8601 with milliseconds and numbers always have a point as their decimal
// separator, so that the file reads the same on every machine. The file grows while the
// recording runs and is pushed to the disk with every batch, so that a crash or a pulled cable
// keeps what was recorded up to then; it is therefore written in place, not replaced at the end.
class MeasurementRecorder
{
public:
    MeasurementRecorder() = default;
    ~MeasurementRecorder();
    MeasurementRecorder(const MeasurementRecorder&) = delete;
    MeasurementRecorder& operator=(const MeasurementRecorder&) = delete;

    // Creates (or empties) the file and writes the header; false with errorString() if that
    // fails.
    [[nodiscard]] bool start(const QString& path);
    // Appends the values and pushes them to the disk. A failure stops the recording: false,
    // with errorString() saying why.
    [[nodiscard]] bool write(const std::vector<MeasurementSample>& samples);
    // A comment line ("# <time> <text>") where the values have a story to tell, such as a gap
    // in the stream; readers of the CSV skip it. A failure stops the recording as write() does.
    [[nodiscard]] bool writeNote(qint64 time, const QString& text);
    // Writes what is left and closes the file; false with errorString() if that fails.
    [[nodiscard]] bool stop();

    [[nodiscard]] bool isRecording() const { return m_file.isOpen(); }
    [[nodiscard]] QString errorString() const { return m_error; }
    [[nodiscard]] QString fileName() const { return m_file.fileName(); }
    // Values written since start().
    [[nodiscard]] qint64 count() const { return m_count; }

    // One line of the file, without its line end.
    [[nodiscard]] static QByteArray line(const MeasurementSample& sample);
    [[nodiscard]] static QByteArray header();

private:
    bool fail();

    QFile m_file;
    QString m_error;
    qint64 m_count = 0;
    // The file's size after the last whole write.
    qint64 m_goodSize = 0;
};

} // namespace Records
