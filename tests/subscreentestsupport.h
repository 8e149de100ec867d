#pragma once

// Shared by the device screen tests: one screen on a simulated device over a pseudo-terminal,
// what the device received from it, and a barrier that makes "nothing was sent" observable.

#include "config/config.h"
#include "config/useraccount.h"
#include "link/listserialportsource.h"
#include "link/serialportmanager.h"
#include "link/talolinkpacket.h"
#include "linktestsupport.h"
#include "link/talolinkterminalservice.h"
#include "link/talolinkusbcomponent.h"
#include "model/modelvalueid.h"
#include "sim/simulateddevice.h"
#include "ui/r58subscreen.h"
#include "updatetestsupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QList>
#include <QMessageBox>
#include <QPair>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace SubScreenTest {

using Component::Interfaces::TaloLinkCommandID;
using Component::Interfaces::TaloLinkPacket;
using Model::Interfaces::ModelValueID;

constexpr int Wait = 10000; // milliseconds; generous for sanitizer builds

using UpdateTest::argNumber;

// One device screen for a role, on a simulated device unless told to be offline.
struct Bench : LinkTest::SimulatedLinks
{
    QSharedPointer<Application::R58::UserAccount> account
        = QSharedPointer<Application::R58::UserAccount>::create();
    QSharedPointer<Application::R58::Config> config;
    std::unique_ptr<Simulator::SimulatedDevice> device;
    std::unique_ptr<R58SubScreen> screen;
    // How the factory reset's question is answered.
    QMessageBox::StandardButton resetAnswer = QMessageBox::Yes;

    Bench() { config = QSharedPointer<Application::R58::Config>::create(); }

    ~Bench()
    {
        screen.reset();
        manager.reset();
        device.reset();
    }

    // Adds the device, so that tests can change its values before the screen asks for them.
    Simulator::SimulatedDevice& addDevice()
    {
        device = std::make_unique<Simulator::SimulatedDevice>(links.path(), source);
        device->setMeasurementInterval(20);
        return *device;
    }

    // Builds and initialises the screen; with a device, waits until its start-up reports are on
    // screen and forgets what the device received until then.
    bool open(Application::R58::UserAccount::User role, bool offline = false)
    {
        account->setUser(role);
        if (!offline) {
            if (!device)
                addDevice();
            if (!device->plugIn())
                return false;
            manager->poll();
        }
        screen = std::make_unique<R58SubScreen>(
            account, config, manager, offline ? QStringLiteral("Offline") : device->portName());
        screen->initialize();
        // Modal dialogs answer at once: a comparison is applied when it can be, any other
        // dialog (a question, a list) is taken as it stands.
        screen->setDialogRunner([this](QDialog& dialog) {
            if (auto* apply = dialog.findChild<QPushButton*>(QStringLiteral("pushButtonApply")))
                return int(apply->isEnabled() ? QDialog::Accepted : QDialog::Rejected);
            if (dialog.objectName() == QStringLiteral("FactoryResetQuestion"))
                return int(resetAnswer);
            return int(QDialog::Accepted);
        });
        if (offline)
            return true;
        // The article index is among the last values asked for at start-up.
        auto* article = screen->findChild<QLabel*>(QStringLiteral("labelArticleNumber"));
        const QString expected
            = QString::number(device->uintValue(46)) + QChar(char(device->uintValue(47)));
        if (!QTest::qWaitFor([&] { return article->text() == expected; }, Wait))
            return false;
        if (!sync())
            return false;
        device->clearReceivedFrames();
        return true;
    }

    // Returns once every frame the screen sent so far has reached the device and every report
    // the device sent so far has been handled on screen, including what the handlers sent.
    bool sync()
    {
        int handled = 0;
        auto connection = QObject::connect(screen->getTerminalService().data(),
            &Service::R58::TaloLinkTerminalService::serialNumberModelValue, screen.get(),
            [&handled] { ++handled; });
        screen->getUSBComponent()->getModelValue(ModelValueID::SerialNumber);
        const bool answered = QTest::qWaitFor([&] { return handled > 0; }, Wait);
        QObject::disconnect(connection);
        if (!answered)
            return false;
        const int before = markers();
        screen->getUSBComponent()->getModelValue(ModelValueID::SerialNumber);
        return QTest::qWaitFor([&] { return markers() > before; }, Wait);
    }

    // The packets the device received since the last clear, without reads (the barrier's and
    // the read-back of what was written: reading never changes the device).
    QList<TaloLinkPacket> received() const
    {
        QList<TaloLinkPacket> packets;
        for (const QByteArray& raw : device->receivedFrames()) {
            const TaloLinkPacket packet = TaloLinkPacket::decode(raw);
            if (packet.command != TaloLinkCommandID::GetModelValue)
                packets << packet;
        }
        return packets;
    }

    // The model actions the device was told to run, in order.
    QList<int> actions() const { return firstArguments(TaloLinkCommandID::FireModelAction); }
    // The identifiers of the values written to the device, in order.
    QList<int> writtenValues() const { return firstArguments(TaloLinkCommandID::SetModelValue); }

    // Sets a value at the device and has the device report it, as if it changed there.
    void report(quint16 id, quint32 value)
    {
        device->setUIntValue(id, value);
        device->reportValue(id);
    }
    void reportFloat(quint16 id, float value)
    {
        device->setFloatValue(id, value);
        device->reportValue(id);
    }

    // Every file dialog of the screen answers with this path (empty: cancelled); counts the
    // dialogs and notes the folder the last one started in.
    int fileDialogs = 0;
    QString fileDialogDirectory;
    void answerFileDialogs(const QString& path)
    {
        screen->setFileDialog([this, path](QWidget*, R58SubScreen::FileDialogMode, const QString&,
                                  const QString& directory, const QString&) {
            ++fileDialogs;
            fileDialogDirectory = directory;
            return path;
        });
    }

    // Two barriers: the device's report of what it was sent is handled, too.
    bool settle() { return sync() && sync(); }

    template <typename T> T* widget(const char* name) const
    {
        return screen->findChild<T*>(QString::fromLatin1(name));
    }

private:
    QList<int> firstArguments(TaloLinkCommandID command) const
    {
        QList<int> ids;
        for (const TaloLinkPacket& packet : received()) {
            if (packet.command == command)
                ids << int(argNumber(packet, 0));
        }
        return ids;
    }
    static bool isMarker(const TaloLinkPacket& packet)
    {
        return packet.command == TaloLinkCommandID::GetModelValue
            && argNumber(packet, 0) == quint32(ModelValueID::SerialNumber);
    }
    int markers() const
    {
        int count = 0;
        for (const QByteArray& raw : device->receivedFrames())
            count += isMarker(TaloLinkPacket::decode(raw)) ? 1 : 0;
        return count;
    }
};

} // namespace SubScreenTest
