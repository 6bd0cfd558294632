#pragma once
// The start-up window: the product's name while the main window is built. It closes itself once
// the main window is shown (startMainWindow), with no fixed wait.

#include <QSplashScreen>

#include <memory>

namespace veltrane {

std::unique_ptr<QSplashScreen> makeSplashScreen();

} // namespace veltrane
