#include "app/shell/command_router.h"
#include "core/strings/strings.h"

#include "app/common/qt_text.h"
#include "app/shell/recent_files.h"
#include "app/shell/toolbar_icons.h"
#include "link/serial_port_enumeration.h"

#include <QAction>
#include <QWidget>

namespace veltrane {

CommandRouter::CommandRouter(Context context, QObject* parent)
    : QObject(parent), m_context(std::move(context)) {
    m_events = new DocumentEvents(m_context.document, this);
    // Anything that changes the project, the tree's selection or the grid can change what is
    // enabled; each tells us at once.
    connect(m_events, &DocumentEvents::projectChanged, this, &CommandRouter::updateEnabling);
    connect(m_events, &DocumentEvents::treeChanged, this, &CommandRouter::updateEnabling);
    connect(m_events, &DocumentEvents::gridChanged, this, &CommandRouter::updateEnabling);
    connect(m_events, &DocumentEvents::commandStateChanged, this, &CommandRouter::updateEnabling);
    // A new or opened project lists the serial ports again and takes its type's usual baud rate.
    connect(this, &CommandRouter::documentReplaced, this, [this] {
        m_session.projectReplaced(availableSerialPorts(), m_context.document.state().DeviceType);
    });
    createActions();
    updateEnabling();
}

const std::vector<CommandRouter::CommandRow>& CommandRouter::commandTable() {
    static const std::vector<CommandRow> table = [] {
        std::vector<CommandRow> rows;
        for (auto part : {fileCommands(), editCommands(), toolsCommands(), helpCommands()})
            rows.insert(rows.end(), part.begin(), part.end());
        return rows;
    }();
    return table;
}

QList<CommandId> CommandRouter::menuCommands(CommandMenu menu) {
    QList<CommandId> ids;
    for (const CommandRow& row : commandTable())
        if (row.menu == menu)
            ids.append(row.id);
    return ids;
}

QList<CommandId> CommandRouter::contextMenuCommands() {
    QList<CommandId> ids;
    for (const CommandRow& row : commandTable())
        if (row.inContextMenu)
            ids.append(row.id);
    return ids;
}

const QList<CommandId>& CommandRouter::toolbarCommands() {
    static const QList<CommandId> order = {
        CommandId::FileNew,       CommandId::FileSave,         CommandId::FileOpen,
        CommandId::AddNode,       CommandId::DeleteNode,       CommandId::AddCommand,
        CommandId::DeleteCommand, CommandId::Upload,           CommandId::Download,
        CommandId::CalculateMapping, CommandId::ConflictDetection, CommandId::ExportExcel,
        CommandId::Debug,
    };
    return order;
}

void CommandRouter::createActions() {
    QObject* owner = m_context.window ? static_cast<QObject*>(m_context.window) : this;
    for (const CommandRow& row : commandTable()) {
        auto* action = new QAction(qtr(row.text), owner);  // its prompts follow the enabling
        if (row.toolText) {
            action->setIconText(qtr(*row.toolText));
            action->setIcon(toolbarIcon(row.id));
        }
        action->setShortcuts(row.shortcuts);
        action->setShortcutContext(Qt::WindowShortcut);
        action->setData(static_cast<int>(row.id));
        connect(action, &QAction::triggered, this, [this, &row] { dispatch(row); });
        m_actions[row.id] = action;
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
    const CommandEnabling enabling = evaluateCommandEnabling(m_context.document.editor());
    const Editor& editor = m_context.document.editor();
    for (const CommandRow& row : commandTable()) {
        QAction* action = m_actions.at(row.id);
        action->setEnabled(row.enabledBy == nullptr || enabling.*row.enabledBy);
        // A command the project's kind switches off says why where its prompt would be.
        const QString prompt = qtr(row.prompt);
        const qsizetype lineBreak = prompt.indexOf(QLatin1Char('\n'));
        const QString tip = lineBreak < 0 ? prompt : prompt.mid(lineBreak + 1);
        const QString why = toQString(disabledReason(row.enabledBy, editor.state(), editor.project()));
        action->setStatusTip(why.isEmpty() ? prompt.left(lineBreak) : why);
        action->setToolTip(why.isEmpty() ? tip : tip + QLatin1Char('\n') + why);
    }
    m_actions.at(CommandId::Undo)->setText(enabling.undo ? qformat(Str::ItemUndoStep, {editor.undoName()})
                                                         : qtr(Str::ItemUndo));
    m_actions.at(CommandId::Redo)->setText(enabling.redo ? qformat(Str::ItemRedoStep, {editor.redoName()})
                                                         : qtr(Str::ItemRedo));
}

void CommandRouter::dispatch(const CommandRow& row) {
    // A shortcut or a toolbar button leaves the grid's edit box open with its focus; what was
    // typed there is committed first, as leaving the box would, so that New, Open and Exit see
    // it in their save question and Save writes it.
    m_context.document.editor().commitEdit();
    emit commandTriggered(row.id);
    (this->*row.handler)();
    // Handlers that open a window or a question may change nothing the events report (a cancelled
    // dialog); the enabling is cheap, so it is brought up to date once more.
    updateEnabling();
}

void CommandRouter::rememberFile() {
    const std::string& path = m_context.lifecycle.lastFileUsed();
    if (!path.empty())
        m_context.recentFiles.add(toQString(path));
}

} // namespace veltrane
