#pragma once

// Shared by the tests that run the link on simulated devices over pseudo-terminals: a home of
// the test's own and a port manager that lists the simulators' links.

#include "link/listserialportsource.h"
#include "link/serialportmanager.h"
#include "model/modelvalueid.h"

#include <QFile>
#include <QSharedPointer>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace LinkTest {

struct SimulatedLinks
{
    QTemporaryDir home;
    QTemporaryDir links; // where the simulators make their pseudo-terminals
    QSharedPointer<Application::R58::ListSerialPortSource> source
        = QSharedPointer<Application::R58::ListSerialPortSource>::create();
    QSharedPointer<Application::R58::SerialPortManager> manager
        = QSharedPointer<Application::R58::SerialPortManager>::create(source);

    SimulatedLinks()
    {
        // Never the user's own config.json, history or backups.
        qputenv("HOME", QFile::encodeName(home.path()));
        QStandardPaths::setTestModeEnabled(true);
        // The tests poll when they need to.
        manager->setPolling(false);
    }
};

inline quint16 id(Model::Interfaces::ModelValueID value)
{
    return quint16(value);
}

} // namespace LinkTest
