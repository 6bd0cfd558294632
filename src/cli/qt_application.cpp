#include "cli/qt_application.h"

#include <QCoreApplication>

namespace veltrane::cli {

void ensureQtCore() {
    if (QCoreApplication::instance())
        return;
    // Never destroyed: it lives for the rest of the process, as the transports expect.
    static int argc = 1;
    static char name[] = "veltrane-cli";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);
}

}  // namespace veltrane::cli
