#pragma once
// The start-up window: the product's name while the main window is built. It closes itself once
// the main window is shown (QSplashScreen::finish), with no fixed wait.

#include <QSplashScreen>

#include <memory>

namespace veltrane {

std::unique_ptr<QSplashScreen> makeSplashScreen();

} // namespace veltrane
