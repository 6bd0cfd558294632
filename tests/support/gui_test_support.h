#pragma once
// Shared pieces of the window tests: one QApplication, a scripted file chooser and a window whose
// settings live in a temporary folder and whose network check stays on this machine.

#include "core/interaction/file_chooser.h"
#include "core/interaction/prompter.h"
#include "app/shell/main_window.h"

#include <QApplication>
#include <QTemporaryDir>

#include <memory>

namespace veltrane::test {

inline void ensureApplication() {
    static int argc = 1;
    static char name[] = "shell_gui_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
}

struct WindowHarness {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    std::vector<QUrl> openedUrls;
    bool browserWorks = true;
    std::optional<NetworkCheckTarget> networkTarget;
    std::unique_ptr<MainWindow> window;

    explicit WindowHarness(std::optional<NetworkCheckTarget> target = NetworkCheckTarget{})
        : networkTarget(std::move(target)) {
        ensureApplication();
        chooser.workbookAnswers.push_back(stdPath(QStringLiteral("export.xlsx")));
        window = std::make_unique<MainWindow>(options());
    }

    // The options the harness's window was built with; another window built with them shares its
    // settings file, as a second run of the program would.
    ShellOptions options() {
        ShellOptions options;
        options.prompter = &prompter;
        options.fileChooser = &chooser;
        options.settingsFile = dir.filePath(QStringLiteral("settings.ini"));
        options.networkTarget = networkTarget;
        options.openUrl = [this](const QUrl& url) {
            openedUrls.push_back(url);
            return browserWorks;
        };
        options.exportOptions.openWorkbook = [](const QString&) { return true; };
        options.exportOptions.templatePath = QStringLiteral(VELTRANE_SOURCE_DIR "/resources/Veltrane.xlsx");
        return options;
    }

    QString path(const QString& name) const { return dir.filePath(name); }
    std::string stdPath(const QString& name) const { return path(name).toStdString(); }
};

} // namespace veltrane::test
