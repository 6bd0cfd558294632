#pragma once
// Bringing the main window up at start-up, whatever the keyboard, the window manager or the file
// on the command line do meanwhile.

#include <QString>

class QSplashScreen;

namespace veltrane {

class MainWindow;

// Shows, raises and activates the main window, closes the start-up window at once (no waiting in
// a nested event loop for the main window to be exposed), and only then opens the file named on
// the command line, so that any message about it appears over the main window instead of under
// the start-up window with the main window not yet shown.
void startMainWindow(MainWindow& window, QSplashScreen* splash, const QString& fileArgument);

} // namespace veltrane
