#include "ui/windowflow.h"

#include "ui/connectscreen.h"
#include "ui/mainscreen.h"
#include "ui/subscreenfactory.h"
#include "ui/welcomescreen.h"

#include <QApplication>

namespace Application::R58 {

int runWindowFlow(QSharedPointer<SerialPortManager> manager, QSharedPointer<UserAccount> account,
    QSharedPointer<Config> config, QSharedPointer<SubScreenFactory> factory)
{
    {
        WelcomeScreen welcome(account, config);
        if (welcome.exec() != QDialog::Accepted)
            return ExitCodeDialogRejected;
    }
    {
        // Gone before the main window opens, so that its one-second check and its link to the
        // port signals cannot act on a finished dialog.
        ConnectScreen connectScreen(manager);
        if (connectScreen.exec() != QDialog::Accepted)
            return ExitCodeDialogRejected;
    }
    MainScreen mainScreen(manager, account, config, factory);
    mainScreen.show();
    return QApplication::exec();
}

} // namespace Application::R58
