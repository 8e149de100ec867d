#pragma once

#include <QTranslator>

namespace Application::R58 {

// What every executable that shows the program's windows sets up right after the QApplication:
// the names that place config.json, the dialogs' title bars, the two translators and the font
// fallbacks. Lives on the stack of main() until the event loop has ended.
class StartUp
{
public:
    StartUp();

    StartUp(const StartUp&) = delete;
    StartUp& operator=(const StartUp&) = delete;

private:
    // Declared in load order so that the program's translator goes first on destruction.
    QTranslator m_qtTranslator;
    QTranslator m_programTranslator;
};

} // namespace Application::R58
