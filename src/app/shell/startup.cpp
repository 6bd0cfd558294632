#include "app/shell/startup.h"

#include "app/shell/main_window.h"

#include <QSplashScreen>

namespace veltrane {

void startMainWindow(MainWindow& window, QSplashScreen* splash, const QString& fileArgument) {
    window.show();
    window.raise();
    window.activateWindow();
    if (splash)
        splash->close();
    if (!fileArgument.isEmpty())
        window.openFromCommandLine(fileArgument);
}

} // namespace veltrane
