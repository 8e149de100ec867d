#pragma once

#include <QSharedPointer>

namespace Application::R58 {

class Config;
class SerialPortManager;
class SubScreenFactory;
class UserAccount;

// Exit code of a run that ends at the login or connect screen.
constexpr int ExitCodeDialogRejected = 0;

// The program's windows in turn: login, connect screen, then the main window with the event
// loop. Returns the exit code: 0 when a dialog is closed, else the event loop's result. The
// factory decides what device tabs show; null means the program's device screen.
int runWindowFlow(QSharedPointer<SerialPortManager> manager, QSharedPointer<UserAccount> account,
    QSharedPointer<Config> config, QSharedPointer<SubScreenFactory> factory = {});

} // namespace Application::R58
