// Veltrane: the gateway configuration tool's window.

#include "app/common/qt_text.h"
#include "app/shell/command_line.h"
#include "app/shell/main_window.h"
#include "app/shell/product_info.h"
#include "app/shell/splash_screen.h"
#include "app/shell/startup.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char** argv) {
    QCoreApplication::setOrganizationName(QStringLiteral("Veltrane"));
    QCoreApplication::setApplicationName(veltrane::qtr(veltrane::Str::AppTitle));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(veltrane::productVersion()));
    QCommandLineParser parser;
    veltrane::describeCommandLine(parser);

    if (veltrane::asksForInformationOnly(argc, argv)) {
        // Help and version print and exit here, before anything needs a display.
        QCoreApplication information(argc, argv);
        parser.process(information);
        return 0;
    }

    QApplication app(argc, argv);
    parser.process(app);  // prints a message and exits on an unknown option

    auto splash = veltrane::makeSplashScreen();
    splash->show();
    QCoreApplication::processEvents();

    veltrane::MainWindow window;
    // No argument: the new project the window starts with; a file name: that file.
    veltrane::startMainWindow(window, splash.get(), veltrane::fileArgument(parser));
    return QApplication::exec();
}
