#pragma once
// The main window: menus, toolbar, the configuration editor, the bottom pane and the status bar
// around one open project. Commands are handled by the CommandRouter; the window only lays
// things out, keeps its caption and asks the save question when it closes. Its size, the bottom
// pane's height and the tree's width are remembered between runs.

#include "app/export/excel_export_action.h"
#include "app/shell/command_router.h"
#include "core/document/document.h"
#include "core/document/project_lifecycle.h"
#include "app/shell/network_check.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>

class QMenu;
class QSettings;
class QToolBar;

namespace veltrane {

class BottomPane;
class EditorView;
class LockIndicators;
class QtFileChooser;
class QtPrompter;
class RecentFiles;

// What the window uses to talk to the world; tests replace each part.
struct ShellOptions {
    Prompter* prompter = nullptr;       // none: message boxes
    FileChooser* fileChooser = nullptr; // none: file dialogs
    QString settingsFile;               // none: the application's usual settings
    // none: the target from the settings ("News/CheckHost", "News/CheckPort"; no host: no check)
    std::optional<NetworkCheckTarget> networkTarget;
    UrlOpener openUrl; // none: the desktop's browser
    ExcelExportOptions exportOptions; // defaults: the desktop's opener, the template beside the program
};

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kInitialWidth = 1440;
    static constexpr int kInitialHeight = 768;
    // Small enough for a 1024 x 600 screen with a panel and a title bar; the grid and the tree
    // scroll and the bottom pane gives way below that.
    static constexpr int kMinimumWidth = 760;
    static constexpr int kMinimumHeight = 480;

    explicit MainWindow(ShellOptions options = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Opens a file named on the command line; a failure leaves the new project in place.
    bool openFromCommandLine(const QString& path);

    Document& document() { return m_document; }
    ProjectLifecycle& lifecycle() { return m_lifecycle; }
    CommandRouter& router() { return *m_router; }
    EditorView& editorView() { return *m_editorView; }
    BottomPane& bottomPane() { return *m_bottomPane; }
    NetworkCheck& networkCheck() { return *m_networkCheck; }
    RecentFiles& recentFiles() { return *m_recentFiles; }
    QToolBar* toolBar() const { return m_toolBar; }
    QMenu* recentFilesMenu() const { return m_recentMenu; }
    QMenu* treeContextMenu() const { return m_contextMenu; }
    LockIndicators* lockIndicators() const { return m_locks; }

    // The help text of the selected parameter, shown in the "Info" tab.
    void setHelpText(const QString& text);
    // Where the parameter grid goes; the editor view takes ownership.
    void setGridWidget(QWidget* grid);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    void fillRecentFilesMenu();
    void showDocumentCaption();
    void placeOnScreen();
    void restoreLayout();
    void saveLayout();

    std::unique_ptr<QtPrompter> m_ownPrompter;
    Prompter& m_prompter;
    std::unique_ptr<QtFileChooser> m_ownChooser;
    FileChooser& m_chooser;
    std::unique_ptr<QSettings> m_settings;
    Document m_document;
    ProjectLifecycle m_lifecycle;

    NetworkCheck* m_networkCheck = nullptr;
    RecentFiles* m_recentFiles = nullptr;
    CommandRouter* m_router = nullptr;
    EditorView* m_editorView = nullptr;
    BottomPane* m_bottomPane = nullptr;
    QToolBar* m_toolBar = nullptr;
    QMenu* m_recentMenu = nullptr;
    QMenu* m_contextMenu = nullptr;
    LockIndicators* m_locks = nullptr;
};

} // namespace veltrane
