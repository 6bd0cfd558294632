#pragma once
// Every command of the menus, the toolbar, the accelerators and the tree's context menu ends up
// here: one action per command id, one handler per command, and the enabling rules applied to the
// actions. Later features replace a handler's body; nothing else needs to change.

#include "app/shell/command_ids.h"
#include "core/document/document.h"
#include "core/document/project_lifecycle.h"
#include "app/export/excel_export_action.h"
#include "core/mapping/conflict_state.h"

#include <QList>
#include <QObject>
#include <QUrl>

#include <functional>
#include <map>

class QAction;
class QWidget;

namespace veltrane {

class NetworkCheck;
class SelectCommandDialog;
class RecentFiles;

using UrlOpener = std::function<bool(const QUrl&)>;

class CommandRouter : public QObject {
    Q_OBJECT
public:
    struct Context {
        Document& document;
        ProjectLifecycle& lifecycle;
        RecentFiles& recentFiles;
        NetworkCheck& networkCheck;
        UrlOpener openUrl;
        QWidget* window = nullptr; // parent of the actions and dialogs
        ExcelExportOptions exportOptions;
    };

    explicit CommandRouter(Context context, QObject* parent = nullptr);

    QAction* action(CommandId id) const;
    // The toolbar's buttons, in order.
    static const QList<CommandId>& toolbarCommands();
    static const QList<CommandId>& contextMenuCommands();

    // Runs a command's handler (as the action's trigger does) when the command is enabled.
    void trigger(CommandId id);
    void openRecentFile(const QString& path);
    // Applies the enabling rules to every action.
    void updateEnabling();

signals:
    void commandTriggered(veltrane::CommandId id);
    // A new project or another file is now open.
    void documentReplaced();
    // The project was saved under its file name.
    void documentSaved();
    void exitRequested();

private:
    void createActions();
    void dispatch(CommandId id);
    void notAvailable();
    void rememberFile();

    // File
    void onFileNew();
    void onFileOpen();
    void onFileSave();
    void onFileSaveAs();
    void onAppExit();
    // Edit (menu and toolbar)
    void onAddNode();
    void onDeleteNode();
    void onAddCommand();
    void onDeleteCommand();
    // Edit (tree context menu)
    void onContextAddNode();
    void onContextDeleteNode();
    void onContextAddCommand();
    void onContextDeleteCommand();
    void onCopyNode();
    void onPasteNode();
    // Tools
    void onSerialConnection();
    void onEthernetConnection();
    void onUpload();
    void onDownload();
    void onCalculateMapping();
    void onConflictDetection();
    void onExportExcel();
    void onDebug();
    // Help
    void onContent();
    void onAbout();

    Context m_context;
    // Lives for the run and is never saved: the last detection's or check's verdict.
    MappingConflictState m_conflictState;
    std::map<CommandId, QAction*> m_actions;
    SelectCommandDialog* m_selectCommand = nullptr;
};

} // namespace veltrane
