#include "app/shell/command_router.h"

#include "app/shell/about_dialog.h"
#include "app/mapping/conflict_detection_dialog.h"
#include "core/mapping/mapping_calculator.h"
#include "app/common/qt_text.h"
#include "core/document/command_enabling.h"
#include "app/grid/select_command_dialog.h"
#include "app/shell/network_check.h"
#include "app/shell/product_info.h"
#include "app/shell/recent_files.h"
#include "app/shell/toolbar_icons.h"

#include <QAction>
#include <QFileInfo>
#include <QKeySequence>
#include <QWidget>

namespace veltrane {

namespace {
struct CommandEntry {
    CommandId id;
    Str text;
    Str prompt; // status-bar prompt, a line break, tooltip
    std::optional<Str> toolText;
    QList<QKeySequence> shortcuts;
};

const std::vector<CommandEntry>& commandTable() {
    using K = QKeySequence;
    static const std::vector<CommandEntry> entries = {
        {CommandId::FileNew, Str::ItemNew, Str::PromptNew, Str::ToolNew, {K(Qt::CTRL | Qt::Key_N)}},
        {CommandId::FileOpen, Str::ItemOpen, Str::PromptOpen, Str::ToolOpen, {K(Qt::CTRL | Qt::Key_O)}},
        {CommandId::FileSave, Str::ItemSave, Str::PromptSave, Str::ToolSave, {K(Qt::CTRL | Qt::Key_S)}},
        {CommandId::FileSaveAs, Str::ItemSaveAs, Str::PromptSaveAs, std::nullopt, {}},
        {CommandId::AppExit, Str::ItemExit, Str::PromptExit, std::nullopt, {}},
        {CommandId::AddNode, Str::ItemAddNode, Str::PromptAddNode, Str::ToolAddNode, {}},
        {CommandId::DeleteNode, Str::ItemDeleteNode, Str::PromptDeleteNode, Str::ToolDeleteNode, {}},
        {CommandId::AddCommand, Str::ItemAddCommand, Str::PromptAddCommand, Str::ToolAddCommand, {}},
        {CommandId::DeleteCommand,
         Str::ItemDeleteCommand,
         Str::PromptDeleteCommand,
         Str::ToolDeleteCommand,
         {}},
        {CommandId::ContextAddNode, Str::ContextAddNode, Str::PromptAddNode, std::nullopt, {}},
        {CommandId::ContextDeleteNode, Str::ContextDeleteNode, Str::PromptDeleteNode, std::nullopt, {}},
        {CommandId::ContextAddCommand, Str::ContextAddCommand, Str::PromptAddCommand, std::nullopt, {}},
        {CommandId::ContextDeleteCommand,
         Str::ContextDeleteCommand,
         Str::PromptDeleteCommand,
         std::nullopt,
         {}},
        // Ctrl+C belongs to Copy Node alone; Content gets no key so that the two never compete.
        {CommandId::CopyNode,
         Str::ItemCopyNode,
         Str::PromptCopyNode,
         std::nullopt,
         {K(Qt::CTRL | Qt::Key_C), K(Qt::CTRL | Qt::Key_Insert)}},
        {CommandId::PasteNode,
         Str::ItemPasteNode,
         Str::PromptPasteNode,
         std::nullopt,
         {K(Qt::CTRL | Qt::Key_V), K(Qt::SHIFT | Qt::Key_Insert)}},
        {CommandId::SerialConnection,
         Str::ItemSerialConnection,
         Str::PromptSerialConnection,
         std::nullopt,
         {}},
        {CommandId::EthernetConnection,
         Str::ItemEthernetConnection,
         Str::PromptEthernetConnection,
         std::nullopt,
         {}},
        {CommandId::Upload, Str::ItemUpload, Str::PromptUpload, Str::ToolUpload, {}},
        {CommandId::Download, Str::ItemDownload, Str::PromptDownload, Str::ToolDownload, {}},
        {CommandId::CalculateMapping,
         Str::ItemCalculateMapping,
         Str::PromptCalculateMapping,
         Str::ToolAutoMap,
         {K(Qt::CTRL | Qt::Key_M)}},
        {CommandId::ConflictDetection,
         Str::ItemConflictDetection,
         Str::PromptConflictDetection,
         Str::ToolConflict,
         {}},
        {CommandId::ExportExcel, Str::ItemExportExcel, Str::PromptExportExcel, Str::ToolExport, {}},
        {CommandId::Debug, Str::ItemDebug, Str::PromptDebug, Str::ToolDebug, {}},
        {CommandId::Content, Str::ItemContent, Str::PromptContent, std::nullopt, {}},
        {CommandId::About, Str::ItemAbout, Str::PromptAbout, std::nullopt, {}},
    };
    return entries;
}
} // namespace

CommandRouter::CommandRouter(Context context, QObject* parent)
    : QObject(parent), m_context(std::move(context)) {
    createActions();
    updateEnabling();
}

const QList<CommandId>& CommandRouter::toolbarCommands() {
    static const QList<CommandId> order = {
        CommandId::FileNew,
        CommandId::FileSave,
        CommandId::FileOpen,
        CommandId::AddNode,
        CommandId::DeleteNode,
        CommandId::AddCommand,
        CommandId::DeleteCommand,
        CommandId::Upload,
        CommandId::Download,
        CommandId::CalculateMapping,
        CommandId::ConflictDetection,
        CommandId::ExportExcel,
        CommandId::Debug,
    };
    return order;
}

const QList<CommandId>& CommandRouter::contextMenuCommands() {
    static const QList<CommandId> order = {
        CommandId::ContextAddNode,       CommandId::ContextDeleteNode, CommandId::ContextAddCommand,
        CommandId::ContextDeleteCommand, CommandId::CopyNode,          CommandId::PasteNode,
    };
    return order;
}

void CommandRouter::createActions() {
    QObject* owner = m_context.window ? static_cast<QObject*>(m_context.window) : this;
    for (const CommandEntry& entry : commandTable()) {
        auto* action = new QAction(qtr(entry.text), owner);
        const QString prompt = qtr(entry.prompt);
        const qsizetype lineBreak = prompt.indexOf(QLatin1Char('\n'));
        action->setStatusTip(prompt.left(lineBreak));
        action->setToolTip(lineBreak < 0 ? prompt : prompt.mid(lineBreak + 1));
        if (entry.toolText) {
            action->setIconText(qtr(*entry.toolText));
            action->setIcon(toolbarIcon(entry.id));
        }
        action->setShortcuts(entry.shortcuts);
        action->setShortcutContext(Qt::WindowShortcut);
        action->setData(static_cast<int>(entry.id));
        const CommandId id = entry.id;
        connect(action, &QAction::triggered, this, [this, id] { dispatch(id); });
        m_actions[id] = action;
    }
}

QAction* CommandRouter::action(CommandId id) const {
    const auto found = m_actions.find(id);
    return found == m_actions.end() ? nullptr : found->second;
}

void CommandRouter::trigger(CommandId id) {
    updateEnabling();
    QAction* a = action(id);
    if (a && a->isEnabled())
        a->trigger();
}

void CommandRouter::updateEnabling() {
    const CommandEnabling e = evaluateCommandEnabling(m_context.document.editor());
    const std::map<CommandId, bool> rules = {
        {CommandId::AddNode, e.addNode},
        {CommandId::ContextAddNode, e.addNode},
        {CommandId::DeleteNode, e.deleteNode},
        {CommandId::ContextDeleteNode, e.deleteNode},
        {CommandId::AddCommand, e.addCommand},
        {CommandId::ContextAddCommand, e.addCommand},
        {CommandId::DeleteCommand, e.deleteCommand},
        {CommandId::ContextDeleteCommand, e.deleteCommand},
        {CommandId::CopyNode, e.copyNode},
        {CommandId::PasteNode, e.pasteNode},
        {CommandId::SerialConnection, e.serialConnection},
        {CommandId::EthernetConnection, e.ethernetConnection},
        {CommandId::CalculateMapping, e.calculateMapping},
        {CommandId::ConflictDetection, e.conflictDetection},
        {CommandId::Debug, e.debug},
    };
    for (const auto& [id, action] : m_actions) {
        const auto rule = rules.find(id);
        action->setEnabled(rule == rules.end() || rule->second);
    }
}

void CommandRouter::dispatch(CommandId id) {
    emit commandTriggered(id);
    switch (id) {
    case CommandId::FileNew:
        onFileNew();
        break;
    case CommandId::FileOpen:
        onFileOpen();
        break;
    case CommandId::FileSave:
        onFileSave();
        break;
    case CommandId::FileSaveAs:
        onFileSaveAs();
        break;
    case CommandId::AppExit:
        onAppExit();
        break;
    case CommandId::AddNode:
        onAddNode();
        break;
    case CommandId::DeleteNode:
        onDeleteNode();
        break;
    case CommandId::AddCommand:
        onAddCommand();
        break;
    case CommandId::DeleteCommand:
        onDeleteCommand();
        break;
    case CommandId::ContextAddNode:
        onContextAddNode();
        break;
    case CommandId::ContextDeleteNode:
        onContextDeleteNode();
        break;
    case CommandId::ContextAddCommand:
        onContextAddCommand();
        break;
    case CommandId::ContextDeleteCommand:
        onContextDeleteCommand();
        break;
    case CommandId::CopyNode:
        onCopyNode();
        break;
    case CommandId::PasteNode:
        onPasteNode();
        break;
    case CommandId::SerialConnection:
        onSerialConnection();
        break;
    case CommandId::EthernetConnection:
        onEthernetConnection();
        break;
    case CommandId::Upload:
        onUpload();
        break;
    case CommandId::Download:
        onDownload();
        break;
    case CommandId::CalculateMapping:
        onCalculateMapping();
        break;
    case CommandId::ConflictDetection:
        onConflictDetection();
        break;
    case CommandId::ExportExcel:
        onExportExcel();
        break;
    case CommandId::Debug:
        onDebug();
        break;
    case CommandId::Content:
        onContent();
        break;
    case CommandId::About:
        onAbout();
        break;
    }
    updateEnabling();
}

void CommandRouter::notAvailable() {
    m_context.document.prompter().message(veltrane::tr(Str::CommandNotAvailable));
}

void CommandRouter::rememberFile() {
    const std::string& path = m_context.lifecycle.lastFileUsed();
    if (!path.empty())
        m_context.recentFiles.add(toQString(path));
}

// --- File -------------------------------------------------------------------------------------

void CommandRouter::onFileNew() {
    if (m_context.lifecycle.newProject())
        emit documentReplaced();
}

void CommandRouter::onFileOpen() {
    if (m_context.lifecycle.openProject()) {
        rememberFile();
        emit documentReplaced();
    }
}

void CommandRouter::openRecentFile(const QString& path) {
    if (m_context.lifecycle.openProject(path.toStdString())) {
        rememberFile();
        emit documentReplaced();
    } else if (!QFileInfo::exists(path)) {
        // A file that has gone away is dropped from the list; a damaged one stays so that the
        // user can see which it was.
        m_context.recentFiles.remove(path);
    }
}

void CommandRouter::onFileSave() {
    if (m_context.lifecycle.save()) {
        rememberFile();
        emit documentSaved();
    }
}

void CommandRouter::onFileSaveAs() {
    if (m_context.lifecycle.saveAs()) {
        rememberFile();
        emit documentSaved();
    }
}

// The window asks the save question when it closes, whatever closes it.
void CommandRouter::onAppExit() {
    emit exitRequested();
}

// --- Edit -------------------------------------------------------------------------------------

void CommandRouter::onAddNode() {
    m_context.document.editor().addNode();
    updateEnabling();
}
void CommandRouter::onDeleteNode() {
    m_context.document.editor().deleteNode(EditOrigin::Menu);
    updateEnabling();
}
void CommandRouter::onAddCommand() {
    // Not modal: the list stays open beside the tree so that several commands can be added.
    if (!m_selectCommand) {
        m_selectCommand = new SelectCommandDialog(m_context.document.editor(), m_context.window);
        m_selectCommand->onCommandAdded = [this] { updateEnabling(); };
    }
    m_selectCommand->show();
    m_selectCommand->raise();
    m_selectCommand->activateWindow();
}
void CommandRouter::onDeleteCommand() {
    m_context.document.editor().deleteCommand(EditOrigin::Menu);
    updateEnabling();
}
void CommandRouter::onContextAddNode() { onAddNode(); }
void CommandRouter::onContextDeleteNode() {
    m_context.document.editor().deleteNode(EditOrigin::ContextMenu);
    updateEnabling();
}
void CommandRouter::onContextAddCommand() { onAddCommand(); }
void CommandRouter::onContextDeleteCommand() {
    m_context.document.editor().deleteCommand(EditOrigin::ContextMenu);
    updateEnabling();
}
void CommandRouter::onCopyNode() {
    m_context.document.editor().copyNode();
    updateEnabling();
}
void CommandRouter::onPasteNode() {
    m_context.document.editor().pasteNode();
    updateEnabling();
}

// --- Tools ------------------------------------------------------------------------------------

void CommandRouter::onSerialConnection() {
    notAvailable();
}
void CommandRouter::onEthernetConnection() {
    notAvailable();
}
void CommandRouter::onUpload() {
    notAvailable();
}
void CommandRouter::onDownload() {
    notAvailable();
}
void CommandRouter::onCalculateMapping() {
    runCalculateMappingAddress(m_context.document.editor());
    updateEnabling();
}
void CommandRouter::onConflictDetection() {
    // Window-modal without a nested event loop; the dialog owns its detection list, so closing it
    // in any way releases the list.
    auto* dialog = new ConflictDetectionDialog(m_context.document.project(), m_context.document.state(),
                                               m_conflictState, m_context.window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}
void CommandRouter::onExportExcel() {
    runExcelExport(m_context.window, m_context.document, m_context.document.prompter(), m_context.exportOptions);
}
void CommandRouter::onDebug() {
    notAvailable();
}

// --- Help -------------------------------------------------------------------------------------

void CommandRouter::onContent() {
    // Without a configured check nothing is known about the network, so the browser is tried;
    // with one, only a check that found the network reachable lets the page open.
    const NetworkCheck& check = m_context.networkCheck;
    const bool networkKnownDown = check.enabled() && check.lastResult() != std::optional<bool>(true);
    if (networkKnownDown || !m_context.openUrl || !m_context.openUrl(QUrl(QString::fromLatin1(kProductUrl))))
        m_context.document.prompter().message(veltrane::tr(Str::ProductLinkFailed));
}

void CommandRouter::onAbout() {
    auto* dialog = new AboutDialog(m_context.window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

} // namespace veltrane
