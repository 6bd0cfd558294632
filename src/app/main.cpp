// Veltrane: the gateway configuration tool's window.

#include "app/common/qt_text.h"
#include "app/shell/main_window.h"
#include "app/shell/splash_screen.h"
#include "app/shell/startup.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Veltrane"));
    QCoreApplication::setApplicationName(veltrane::qtr(veltrane::Str::AppTitle));

    auto splash = veltrane::makeSplashScreen();
    splash->show();
    QCoreApplication::processEvents();

    veltrane::MainWindow window;
    // No argument: the new project the window starts with; a file name: that file.
    const QStringList arguments = QCoreApplication::arguments();
    veltrane::startMainWindow(window, splash.get(), arguments.size() > 1 ? arguments.at(1) : QString());
    return QApplication::exec();
}
