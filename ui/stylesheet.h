#pragma once

#include <QString>

namespace Application::R58 {

// The style sheet ":/styles/<name>.qss" compiled into the program; empty if there is none.
[[nodiscard]] QString loadStyleSheet(const QString& name);

// Maps the maker's typefaces, which are not shipped, to the best sans-serif face installed, so
// that sizes and weights of the style sheets still hold on any machine.
void installFontFallbacks();

} // namespace Application::R58
