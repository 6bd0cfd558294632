#pragma once
// Every command of the menus, the toolbar, the accelerators and the tree's context menu ends up
// here. Each command is one row of a table (text, prompt, toolbar text, keys, handler, enabling
// rule); the rows are split by menu into file_commands.cpp, edit_commands.cpp, tools_commands.cpp
// and help_commands.cpp, next to their handlers. The enabling follows the document's change
// events, so nothing polls.

#include "app/export/excel_export_action.h"
#include "app/shell/command_ids.h"
#include "app/shell/document_events.h"
#include "core/document/command_enabling.h"
#include "core/document/document.h"
#include "core/document/project_lifecycle.h"
#include "core/interaction/file_chooser.h"
#include "core/transfer/ethernet_entry.h"
#include "core/transfer/link_session.h"

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QUrl>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <cstdint>
#include <vector>

class QAction;
class QSettings;
class QWidget;

namespace veltrane {

// The string table's ids; its header is not for moc, which cannot read the generated enum.
enum class Str : std::uint16_t;

struct DebugConnection;
class NetworkCheck;
class SelectCommandDialog;
class RecentFiles;

using UrlOpener = std::function<bool(const QUrl&)>;

// Where a command is offered besides its keys and the toolbar.
enum class CommandMenu { File, Edit, Tools, Help, ContextOnly };

class CommandRouter : public QObject {
    Q_OBJECT
public:
    struct Context {
        Document& document;
        ProjectLifecycle& lifecycle;
        FileChooser& fileChooser;
        RecentFiles& recentFiles;
        NetworkCheck& networkCheck;
        UrlOpener openUrl;
        QWidget* window = nullptr; // parent of the actions and dialogs
        ExcelExportOptions exportOptions;
        QSettings* settings = nullptr;  // where the kind of a new project is remembered
    };

    // One command: everything about it in one place.
    struct CommandRow {
        CommandId id;
        CommandMenu menu;
        Str text;
        Str prompt; // status-bar prompt, a line break, tooltip
        std::optional<Str> toolText;
        QList<QKeySequence> shortcuts;
        void (CommandRouter::*handler)();
        bool CommandEnabling::*enabledBy = nullptr; // none: always enabled
        bool inContextMenu = false;
        bool separatorBefore = false;
    };

    explicit CommandRouter(Context context, QObject* parent = nullptr);

    QAction* action(CommandId id) const;
    // Every command, menu by menu in menu order.
    static const std::vector<CommandRow>& commandTable();
    // The commands of one menu, in order (ContextOnly: none of the menus).
    static QList<CommandId> menuCommands(CommandMenu menu);
    // The toolbar's buttons, in order.
    static const QList<CommandId>& toolbarCommands();
    static QList<CommandId> contextMenuCommands();

    // Runs a command's handler (as the action's trigger does) when the command is enabled.
    void trigger(CommandId id);
    // Opens a file as File Open does, without the file dialog; false when it could not be opened.
    bool openFile(const QString& path);
    void openRecentFile(const QString& path);
    // Applies the enabling rules to every action.
    void updateEnabling();
    DocumentEvents& events() { return *m_events; }
    LinkSession& linkSession() { return m_session; }

signals:
    void commandTriggered(veltrane::CommandId id);
    // A new project or another file is now open.
    void documentReplaced();
    // The project was saved under its file name.
    void documentSaved();
    void exitRequested();

private:
    static std::vector<CommandRow> fileCommands();
    static std::vector<CommandRow> editCommands();
    static std::vector<CommandRow> toolsCommands();
    static std::vector<CommandRow> helpCommands();

    void createActions();
    void dispatch(const CommandRow& row);
    void rememberFile();

    // File
    void onFileNew();
    void onNewForGateway();
    void onFileOpen();
    void onFileSave();
    void onFileSaveAs();
    void onExportCommands();
    void onImportCommands();
    void onAppExit();
    // Edit (menu, toolbar and the tree's context menu)
    void onUndo();
    void onRedo();
    void onAddNode();
    void onDeleteNode();
    void onAddCommand();
    void onDeleteCommand();
    void onContextDeleteNode();
    void onContextDeleteCommand();
    void onCopyNode();
    void onPasteNode();
    // Tools
    void onSerialConnection();
    void onEthernetConnection();
    void onUpload();
    void onDownload();
    void onCompareGateway();
    void onCalculateMapping();
    void onConflictDetection();
    void onExportExcel();
    void onDebug();
    // Scan, Log In, the entry checks, then the Download or Upload dialog; none of it blocks.
    void runEthernetTransfer(EthernetOperation operation);
    void openSerialTransfer(bool download);
    // Runs `then` once a serial port is chosen: the first time in a run the port dialog comes
    // first, whichever button closes it. Nothing waits in a nested event loop.
    void withSerialPortChosen(std::function<void()> then);
    // Runs the Scan dialog; `loggedIn` follows a "Log In".
    void scanThen(std::function<void()> loggedIn);
    void openDebugMonitor(const DebugConnection& connection);
    // Help
    void onContent();
    void onAbout();

    Context m_context;
    DocumentEvents* m_events = nullptr;
    // The serial port choice, the gateway selection and the conflict verdict: they last for the
    // run, except what a new or opened project resets (LinkSession::projectReplaced).
    LinkSession m_session;
    std::unique_ptr<FileChooser> m_debugFiles;  // "Save Content"'s save dialog
    std::unique_ptr<Prompter> m_debugPrompter;  // the debug window's own message boxes
    std::map<CommandId, QAction*> m_actions;
    SelectCommandDialog* m_selectCommand = nullptr;
};

} // namespace veltrane
