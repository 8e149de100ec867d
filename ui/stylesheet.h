#pragma once

#include <QString>

class QDialog;

namespace Application::R58 {

// The style sheet ":/styles/<name>.qss" compiled into the program; empty if there is none.
[[nodiscard]] QString loadStyleSheet(const QString& name);

// Gives a dialog the device screen's look, whatever window it opens over; its rejecting
// buttons become the secondary ones.
void styleDialog(QDialog& dialog);

// Maps the maker's typefaces, which are not shipped, to the best sans-serif face installed, so
// that sizes and weights of the style sheets still hold on any machine.
void installFontFallbacks();

} // namespace Application::R58
