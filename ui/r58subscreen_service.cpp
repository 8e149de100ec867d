// The device screen's service page and the package update on the information page.

#include "ui/r58subscreen.h"

void R58SubScreen::setupServicePage()
{
}
