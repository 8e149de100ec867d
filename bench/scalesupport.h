#pragma once

// Shared by the programs that run several devices at once (bench_scale, r58_soak): the device
// screens of the main window, counting what their links announce, and the simulated devices on
// a thread of their own, so that the GUI thread's CPU time is the tool's alone.

#include "config/config.h"
#include "config/useraccount.h"
#include "link/listserialportsource.h"
#include "link/serialportmanager.h"
#include "link/talolinkterminalservice.h"
#include "link/talolinkusbcomponent.h"
#include "sim/simulateddevice.h"
#include "ui/r58subscreen.h"
#include "ui/subscreenfactory.h"
#include "ui/trendplot.h"

#include <QCheckBox>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <memory>
#include <vector>

namespace {

using Application::R58::ListSerialPortSource;
using Application::R58::SerialPortManager;
using Service::R58::TaloLinkTerminalService;
using Simulator::SimulatedDevice;

constexpr int MeasurementInterval = 4; // milliseconds: two frames each, about 500 per second

// The second argument: the service page's log.
constexpr int LogDisabled = 0;
constexpr int LogEnabled = 1; // enabled, as a screen starts, but out of view
constexpr int LogInView = 2;

// The program's own device screens, each counting the measurements its link announces.
class CountingFactory : public Application::R58::SubScreenFactory
{
public:
    CountingFactory(QSharedPointer<SerialPortManager> manager,
        QSharedPointer<Application::R58::UserAccount> account,
        QSharedPointer<Application::R58::Config> config)
        : m_screens(std::move(manager), std::move(account), std::move(config))
    {
    }

    QWidget* createSubScreen(const QString& portName) override
    {
        QWidget* widget = m_screens.createSubScreen(portName);
        auto* screen = qobject_cast<R58SubScreen*>(widget);
        if (!screen)
            return widget;
        // Counted on the receive thread where the announcement is made, so that counting adds
        // nothing to the GUI thread's figures.
        TaloLinkTerminalService* service = screen->getTerminalService().data();
        QObject::connect(
            service, &TaloLinkTerminalService::measurementPhaseModelValue, service,
            [this] { ++m_announced; }, Qt::DirectConnection);
        QObject::connect(
            service, &TaloLinkTerminalService::measurementVoltageModelValue, service,
            [this](unsigned char) { ++m_announced; }, Qt::DirectConnection);
        m_created.push_back(screen);
        return widget;
    }
    QString getPortName(const QWidget* screen) const override
    {
        return m_screens.getPortName(screen);
    }
    bool isClosable(const QWidget* screen) const override { return m_screens.isClosable(screen); }

    // Opens every screen's data page, which starts its device's voltage measurement, with the
    // service page's log enabled or not; or, for LogInView, opens the service page and starts
    // the measurement from there, as a technician watching the traffic would.
    void startMeasurements(int log)
    {
        for (R58SubScreen* screen : m_created) {
            if (auto* box = screen->findChild<QCheckBox*>(QStringLiteral("checkBoxLogEnable")))
                box->setChecked(log != LogDisabled);
            if (log == LogInView) {
                screen->handleServiceTab();
                screen->getUSBComponent()->fireModelAction(
                    Model::Interfaces::ModelActionID::StartVoltageMeasurement);
            } else {
                screen->handleDataTab();
            }
        }
    }
    void pausePlots(bool paused)
    {
        for (R58SubScreen* screen : m_created) {
            if (auto* plot = screen->findChild<TrendPlot*>(QStringLiteral("trendPlot")))
                plot->setPaused(paused);
        }
    }
    [[nodiscard]] long getAnnounced() const { return m_announced; }
    [[nodiscard]] int getScreenCount() const { return int(m_created.size()); }
    [[nodiscard]] const std::vector<R58SubScreen*>& getScreens() const { return m_created; }

private:
    Application::R58::R58SubScreenFactory m_screens;
    std::vector<R58SubScreen*> m_created; // owned by the main window's tabs
    std::atomic<long> m_announced {0};
};

// The simulated devices, living on their own thread.
class DeviceThread
{
public:
    DeviceThread(int count, QSharedPointer<ListSerialPortSource> source,
        int measurementInterval = MeasurementInterval)
    {
        m_thread.start();
        m_context.moveToThread(&m_thread);
        QMetaObject::invokeMethod(
            &m_context,
            [&] {
                for (int i = 0; i < count; ++i) {
                    auto device = std::make_unique<SimulatedDevice>(m_dir.path(), source);
                    SimulatedDevice::Faults faults;
                    faults.rateLimited = true;
                    device->setFaults(faults);
                    device->setRecording(false);
                    device->setMeasurementInterval(measurementInterval);
                    if (device->plugIn())
                        m_devices.push_back(std::move(device));
                }
            },
            Qt::BlockingQueuedConnection);
    }
    ~DeviceThread()
    {
        QMetaObject::invokeMethod(
            &m_context, [this] { m_devices.clear(); }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    [[nodiscard]] int getCount() const { return int(m_devices.size()); }
    [[nodiscard]] const std::vector<std::unique_ptr<SimulatedDevice>>& getDevices() const
    {
        return m_devices;
    }

private:
    QTemporaryDir m_dir;
    QThread m_thread;
    QObject m_context;
    std::vector<std::unique_ptr<SimulatedDevice>> m_devices;
};

} // namespace
