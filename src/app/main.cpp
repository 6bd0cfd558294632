// Veltrane: the gateway configuration tool's window.

#include "app/common/qt_text.h"
#include "app/shell/main_window.h"
#include "app/shell/splash_screen.h"

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
    if (arguments.size() > 1)
        window.openFromCommandLine(arguments.at(1));
    window.show();
    splash->finish(&window);
    return QApplication::exec();
}
