#pragma once
// One QApplication for the whole test program, on the offscreen platform unless told otherwise.

#include <QApplication>

namespace veltrane::testing {

inline QApplication& guiApp() {
    static int argc = 1;
    static char name[] = "mapping_gui_tests";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: a QApplication torn down among the exit handlers crashes after Qt's own
    // statics are gone.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

}  // namespace veltrane::testing
