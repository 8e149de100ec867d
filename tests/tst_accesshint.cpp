// The connect screen's hint for a recognised device port that exists but cannot be opened: which
// port, why, and that it goes away with the port or once the port opens. The reasons are the
// system's own error texts, so the cases use paths that fail the same way for root and for a user.

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

enum class PortKind { MissingFolder, Directory, RegularFile, BareName, Terminal };

} // namespace

Q_DECLARE_METATYPE(PortKind)

class TestAccessHint : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void hint_data();
    void hint();
    void hintFollowsPort_data();
    void hintFollowsPort();

private:
    // Lists the port as one of ours (or another vendor's) and polls.
    void listPort(const QString& path, quint16 vendor = SerialPortManager::VendorIdentifier)
    {
        m_source->addPort({path, vendor, SerialPortManager::ProductIdentifier});
        m_manager->poll();
    }
    QLabel* hintOf(ConnectScreen& screen) { return screen.findChild<QLabel*>("labelAccessHint"); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<PtyPair> m_pty;
    QSharedPointer<ListSerialPortSource> m_source;
    QSharedPointer<SerialPortManager> m_manager;
};

void TestAccessHint::init()
{
    m_manager.reset();
    m_pty.reset();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_source = QSharedPointer<ListSerialPortSource>::create();
    m_manager = QSharedPointer<SerialPortManager>::create(m_source);
    m_manager->setPolling(false);
}

void TestAccessHint::hint_data()
{
    QTest::addColumn<PortKind>("kind");
    QTest::addColumn<quint16>("vendor");
    QTest::addColumn<int>("error"); // 0: no hint expected
    QTest::addColumn<QString>("shownAs"); // where the hint says the port is, if not its path

    const quint16 r58 = SerialPortManager::VendorIdentifier;
    QTest::newRow("in a missing folder") << PortKind::MissingFolder << r58 << ENOENT << QString();
    QTest::newRow("a directory") << PortKind::Directory << r58 << EISDIR << QString();
    QTest::newRow("a regular file, no terminal")
        << PortKind::RegularFile << r58 << ENOTTY << QString();
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

    const QDir dir(m_dir->path());
    QString path = dir.filePath(QStringLiteral("absent/ttyACM0"));
    if (kind == PortKind::Directory) {
        path = dir.filePath(QStringLiteral("ttyACM1"));
        QVERIFY(dir.mkdir(QStringLiteral("ttyACM1")));
    } else if (kind == PortKind::RegularFile) {
        QFile file(dir.filePath(QStringLiteral("ttyACM2")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("not a terminal") > 0);
        path = file.fileName();
    } else if (kind == PortKind::BareName) {
        path = QStringLiteral("ttyR58-access-hint-absent");
    } else if (kind == PortKind::Terminal) {
        m_pty = std::make_unique<PtyPair>();
        QVERIFY(m_pty->isValid());
        path = m_pty->slavePath();
    }
    listPort(path, vendor);

    ConnectScreen screen(m_manager);
    QCOMPARE(hintOf(screen)->isVisibleTo(&screen), error != 0);
    const QString reason = m_manager->getOpenError(path);
    if (error == 0) {
        QVERIFY(reason.isEmpty());
        return;
    }
    QCOMPARE(reason, QString::fromLocal8Bit(std::strerror(error)));
    const QString text = hintOf(screen)->text();
    QVERIFY2(text.contains(shownAs.isEmpty() ? path : shownAs), qPrintable(text));
    // The system's English words stay out of the window.
    QVERIFY2(!text.contains(reason), qPrintable(text));
    // The hint informs; the screen keeps waiting for a device it can open.
    screen.onScreenTimeout();
    QCOMPARE(screen.result(), int(QDialog::Rejected));
    QVERIFY(!m_manager->getKnownPorts().contains(path));
}

void TestAccessHint::hintFollowsPort_data()
{
    QTest::addColumn<bool>("unplug");
    QTest::newRow("device unplugged") << true;
    // The stale reason must not outlive a successful open.
    QTest::newRow("port opens on a later poll") << false;
}

void TestAccessHint::hintFollowsPort()
{
    QFETCH(bool, unplug);

    // A link that points nowhere until the device's terminal appears behind it.
    const QString path = QDir(m_dir->path()).filePath(QStringLiteral("ttyACM9"));
    listPort(path);
    ConnectScreen screen(m_manager);
    QLabel* label = hintOf(screen);
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
    QCOMPARE(screen.result() == QDialog::Accepted, !unplug);
}

QTEST_MAIN(TestAccessHint)
#include "tst_accesshint.moc"
