// The device screen's demo page.

#include "ui/r58subscreen.h"

void R58SubScreen::setupDemoMode()
{
}
