#pragma once

#include "link/terminalcommanditem.h"

#include <QByteArray>
#include <QList>

#include <memory>
#include <vector>

namespace Application::R58 {

// The fixed list of service commands, platform commands first, then display ones.
class TerminalCommandCatalogue
{
public:
    TerminalCommandCatalogue();

    [[nodiscard]] const std::vector<std::unique_ptr<TerminalCommandItem>>& getItems() const
    {
        return m_items;
    }

    // New copies (owned by the caller) of the items each terminal's reported
    // software state allows; an unknown state offers nothing for that terminal.
    [[nodiscard]] QList<TerminalCommandItem*> filter(
        const QByteArray& platformState, const QByteArray& displayState) const;

private:
    std::vector<std::unique_ptr<TerminalCommandItem>> m_items;
};

} // namespace Application::R58
