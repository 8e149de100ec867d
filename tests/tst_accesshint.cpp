// The connect screen's hint for a recognised device port that exists but cannot be opened:
// which port, why, and that it goes away with the port or once the port opens. The reasons are
// the system's own error texts, so the cases are made with paths that fail the same way for
// root and for a user (permission denied cannot be staged as root).

#include "link/listserialportsource.h"
#include "link/serialportmanager.h"
#include "ptypair.h"
#include "ui/connectscreen.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <memory>

using Application::R58::ListSerialPortSource;
using Application::R58::SerialPortManager;

namespace {

enum class PortKind {
    MissingFolder, // a path below a folder that does not exist
    Directory,
    RegularFile, // opens, but is no terminal
    BareName, // a name the serial port module looks up under /dev
    Terminal, // a pseudo-terminal: opens
};

// The system's wording of an error number, as the serial port module reports it.
QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

Q_DECLARE_METATYPE(PortKind)

class TestAccessHint : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void hint_data();
    void hint();
    void hintFollowsPort_data();
    void hintFollowsPort();

private:
    // The port to list for the kind, made ready on disk; empty when that failed.
    QString makePort(PortKind kind);
    QLabel* hintLabel(ConnectScreen& screen) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<PtyPair> m_pty;
    QSharedPointer<ListSerialPortSource> m_source;
    QSharedPointer<SerialPortManager> m_manager;
};

void TestAccessHint::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_source = QSharedPointer<ListSerialPortSource>::create();
    m_manager = QSharedPointer<SerialPortManager>::create(m_source);
    m_manager->setPolling(false);
}

void TestAccessHint::cleanup()
{
    m_manager.reset();
    m_source.reset();
    m_pty.reset();
}

QString TestAccessHint::makePort(PortKind kind)
{
    const QDir dir(m_dir->path());
    switch (kind) {
    case PortKind::MissingFolder:
        return dir.filePath(QStringLiteral("absent/ttyACM0"));
    case PortKind::Directory: {
        const QString path = dir.filePath(QStringLiteral("ttyACM1"));
        return dir.mkdir(QStringLiteral("ttyACM1")) ? path : QString();
    }
    case PortKind::RegularFile: {
        QFile file(dir.filePath(QStringLiteral("ttyACM2")));
        if (!file.open(QIODevice::WriteOnly) || file.write("not a terminal") < 0)
            return QString();
        return file.fileName();
    }
    case PortKind::BareName:
        return QStringLiteral("ttyR58-access-hint-absent");
    case PortKind::Terminal:
        m_pty = std::make_unique<PtyPair>();
        return m_pty->isValid() ? m_pty->slavePath() : QString();
    }
    return QString();
}

QLabel* TestAccessHint::hintLabel(ConnectScreen& screen) const
{
    return screen.findChild<QLabel*>(QStringLiteral("labelAccessHint"));
}

void TestAccessHint::hint_data()
{
    QTest::addColumn<PortKind>("kind");
    QTest::addColumn<quint16>("vendor");
    // 0: no hint expected.
    QTest::addColumn<int>("error");
    // Where the hint says the port is, when not the listed path itself.
    QTest::addColumn<QString>("shownAs");

    const quint16 r58 = SerialPortManager::VendorIdentifier;
    QTest::newRow("in a missing folder") << PortKind::MissingFolder << r58 << ENOENT << QString();
    QTest::newRow("a directory") << PortKind::Directory << r58 << EISDIR << QString();
    QTest::newRow("a regular file") << PortKind::RegularFile << r58 << ENOTTY << QString();
    QTest::newRow("bare name under /dev")
        << PortKind::BareName << r58 << ENOENT << QStringLiteral("/dev/ttyR58-access-hint-absent");
    QTest::newRow("opens") << PortKind::Terminal << r58 << 0 << QString();
    // Someone else's device is none of our business, however broken its port.
    QTest::newRow("foreign device") << PortKind::MissingFolder << quint16(0x1234) << 0 << QString();
}

void TestAccessHint::hint()
{
    QFETCH(PortKind, kind);
    QFETCH(quint16, vendor);
    QFETCH(int, error);
    QFETCH(QString, shownAs);

    const QString path = makePort(kind);
    QVERIFY(!path.isEmpty());
    m_source->addPort({path, vendor, SerialPortManager::ProductIdentifier});
    m_manager->poll();

    ConnectScreen screen(m_manager);
    QLabel* label = hintLabel(screen);
    QVERIFY(label);
    QCOMPARE(label->isVisibleTo(&screen), error != 0);
    if (error == 0) {
        QVERIFY(m_manager->getOpenError(path).isEmpty());
        return;
    }

    const QString reason = m_manager->getOpenError(path);
    QCOMPARE(reason, systemReason(error));
    const QString text = label->text();
    QVERIFY2(text.contains(shownAs.isEmpty() ? path : shownAs), qPrintable(text));
    QVERIFY2(text.contains(reason), qPrintable(text));

    // The hint informs; the screen keeps waiting for a device it can open.
    screen.onScreenTimeout();
    QCOMPARE(screen.result(), int(QDialog::Rejected));
    QVERIFY(!m_manager->getKnownPorts().contains(path));
}

void TestAccessHint::hintFollowsPort_data()
{
    QTest::addColumn<bool>("unplug");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("device unplugged") << true << false;
    // The stale reason must not outlive a successful open.
    QTest::newRow("port opens on a later poll") << false << true;
}

void TestAccessHint::hintFollowsPort()
{
    QFETCH(bool, unplug);
    QFETCH(bool, accepted);

    // A link that points nowhere until the device's terminal appears behind it.
    const QString path = QDir(m_dir->path()).filePath(QStringLiteral("ttyACM9"));
    m_source->addPort(
        {path, SerialPortManager::VendorIdentifier, SerialPortManager::ProductIdentifier});
    m_manager->poll();
    ConnectScreen screen(m_manager);
    QLabel* label = hintLabel(screen);
    QVERIFY(label);
    QVERIFY(label->isVisibleTo(&screen));
    QVERIFY(label->text().contains(path));

    if (unplug) {
        m_source->removePort(path);
    } else {
        m_pty = std::make_unique<PtyPair>();
        QVERIFY(m_pty->isValid());
        QVERIFY(QFile::link(m_pty->slavePath(), path));
    }
    m_manager->poll();
    screen.updateAccessHint();

    QVERIFY(!label->isVisibleTo(&screen));
    QVERIFY(label->text().isEmpty());
    QCOMPARE(screen.result() == QDialog::Accepted, accepted);
}

QTEST_MAIN(TestAccessHint)
#include "tst_accesshint.moc"
