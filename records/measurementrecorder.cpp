#include "records/measurementrecorder.h"

#include <QDateTime>

namespace Records {

namespace {

const char* quantityName(Quantity quantity)
{
    switch (quantity) {
    case Quantity::Voltage:
        return "voltage";
    case Quantity::Current:
        return "current";
    case Quantity::ActivePower:
        return "active power";
    case Quantity::ReactivePower:
        return "reactive power";
    case Quantity::ApparentPower:
        return "apparent power";
    }
    return "";
}

const char* unitName(Quantity quantity)
{
    switch (quantity) {
    case Quantity::Voltage:
        return "V";
    case Quantity::Current:
        return "A";
    case Quantity::ActivePower:
        return "kW";
    case Quantity::ReactivePower:
        return "kVAr";
    case Quantity::ApparentPower:
        return "kVA";
    }
    return "";
}

} // namespace

MeasurementRecorder::~MeasurementRecorder()
{
    // Nobody is left to tell; what reached the disk stays.
    (void)stop();
}

QByteArray MeasurementRecorder::header()
{
    return QByteArrayLiteral("time,quantity,phase,value,unit");
}

QByteArray MeasurementRecorder::line(const MeasurementSample& sample)
{
    QByteArray text = QDateTime::fromMSecsSinceEpoch(sample.time, Qt::UTC)
                          .toString(Qt::ISODateWithMs)
                          .toLatin1();
    text += ',';
    text += quantityName(sample.quantity);
    text += ',';
    // The powers are totals over the three phases.
    const bool phased
        = sample.quantity == Quantity::Voltage || sample.quantity == Quantity::Current;
    if (phased && sample.phase < 3) {
        text += 'L';
        text += char('1' + sample.phase);
    }
    text += ',';
    // QByteArray::number never uses the locale: always a point.
    text += QByteArray::number(double(sample.value), 'g', 7);
    text += ',';
    text += unitName(sample.quantity);
    return text;
}

bool MeasurementRecorder::start(const QString& path)
{
    // The earlier recording's outcome was told when it ended.
    (void)stop();
    m_error.clear();
    m_count = 0;
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        m_error = m_file.errorString();
        return false;
    }
    m_goodSize = 0;
    if (m_file.write(header() + '\n') < 0 || !m_file.flush())
        return fail();
    m_goodSize = m_file.size();
    return true;
}

bool MeasurementRecorder::write(const std::vector<MeasurementSample>& samples)
{
    if (!m_file.isOpen())
        return false;
    if (samples.empty())
        return true;
    QByteArray text;
    text.reserve(int(samples.size()) * 48);
    for (const MeasurementSample& sample : samples) {
        text += line(sample);
        text += '\n';
    }
    if (m_file.write(text) != text.size() || !m_file.flush())
        return fail();
    m_count += qint64(samples.size());
    m_goodSize = m_file.size();
    return true;
}

bool MeasurementRecorder::writeNote(qint64 time, const QString& text)
{
    if (!m_file.isOpen())
        return false;
    QByteArray line = "# ";
    line += QDateTime::fromMSecsSinceEpoch(time, Qt::UTC).toString(Qt::ISODateWithMs).toLatin1();
    line += ' ';
    // One line whatever the text holds.
    line += text.simplified().toUtf8();
    line += '\n';
    if (m_file.write(line) != line.size() || !m_file.flush())
        return fail();
    m_goodSize = m_file.size();
    return true;
}

bool MeasurementRecorder::stop()
{
    if (!m_file.isOpen())
        return m_error.isEmpty();
    const bool flushed = m_file.flush();
    if (!flushed)
        m_error = m_file.errorString();
    m_file.close();
    return flushed;
}

bool MeasurementRecorder::fail()
{
    m_error = m_file.errorString();
    // A full disk may have taken part of a line: the file ends with the last whole batch, so
    // that every line in it reads.
    m_file.resize(m_goodSize);
    // What could not be written stays unwritten: closing must not try again.
    m_file.close();
    return false;
}

} // namespace Records
