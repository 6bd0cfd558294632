#include "app/shell/main_window.h"

#include "app/shell/bottom_pane.h"
#include "app/common/qt_text.h"
#include "app/editor/editor_view.h"
#include "app/grid/parameter_grid_widget.h"
#include "app/shell/lock_indicators.h"
#include "app/shell/product_info.h"
#include "app/shell/qt_file_chooser.h"
#include "app/shell/qt_prompter.h"
#include "app/shell/recent_files.h"

#include <QAction>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>

namespace veltrane {

namespace {
Prompter& chosenPrompter(const ShellOptions& options, std::unique_ptr<QtPrompter>& own) {
    if (options.prompter)
        return *options.prompter;
    own = std::make_unique<QtPrompter>();
    return *own;
}

FileChooser& chosenChooser(const ShellOptions& options, std::unique_ptr<QtFileChooser>& own) {
    if (options.fileChooser)
        return *options.fileChooser;
    own = std::make_unique<QtFileChooser>();
    return *own;
}

std::unique_ptr<QSettings> openSettings(const QString& file) {
    if (file.isEmpty())
        return std::make_unique<QSettings>();
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

constexpr int kRefusalNoteMs = 6000;

const QString kGeometryKey = QStringLiteral("Window/Geometry");
const QString kDockStateKey = QStringLiteral("Window/State");
const QString kColumnsKey = QStringLiteral("Window/EditorColumns");

// "[*]" in a caption is Qt's mark for unsaved changes; a file name that holds it literally doubles it.
QString captionText(const std::string& text) {
    return toQString(text).replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
}

NetworkCheckTarget targetFromSettings(QSettings& settings) {
    NetworkCheckTarget target;
    target.host = settings.value(QStringLiteral("News/CheckHost")).toString();
    target.port = static_cast<quint16>(settings.value(QStringLiteral("News/CheckPort"), 80).toUInt());
    return target;
}
} // namespace

MainWindow::MainWindow(ShellOptions options, QWidget* parent)
    : QMainWindow(parent), m_prompter(chosenPrompter(options, m_ownPrompter)),
      m_chooser(chosenChooser(options, m_ownChooser)), m_settings(openSettings(options.settingsFile)),
      m_document(m_prompter), m_lifecycle(m_document, m_chooser) {
    if (m_ownPrompter)
        m_ownPrompter->setParent(this);
    if (m_ownChooser)
        m_ownChooser->setParent(this);

    m_document.newDocument();

    m_networkCheck = new NetworkCheck(
        options.networkTarget ? *options.networkTarget : targetFromSettings(*m_settings), this);
    m_recentFiles = new RecentFiles(*m_settings, this);
    UrlOpener opener =
        options.openUrl ? options.openUrl : [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    m_router =
        new CommandRouter({m_document, m_lifecycle, m_chooser, *m_recentFiles, *m_networkCheck, opener, this,
                           options.exportOptions, m_settings.get()},
                          this);

    m_editorView = new EditorView(m_document.editor(), this);
    setCentralWidget(m_editorView);
    m_bottomPane = new BottomPane(*m_networkCheck, QString::fromLatin1(kProductUrl), this);
    addDockWidget(Qt::BottomDockWidgetArea, m_bottomPane);
    auto* grid = new ParameterGridWidget(m_document.editor());
    grid->onHelpText = [this](const QString& text) {
        m_bottomPane->tabs()->setCurrentIndex(0);
        setHelpText(text);
    };
    grid->onHelpCleared = [this] { setHelpText({}); };
    m_editorView->setGridWidget(grid);

    buildMenus();
    buildToolBar();
    buildStatusBar();

    // The caption follows the project whatever replaced or saved it (menus, the command line, an
    // upload), and its unsaved-changes mark follows ProjectModified.
    connect(&m_router->events(), &DocumentEvents::projectChanged, this, [this](ProjectChange change) {
        if (change == ProjectChange::Replaced || change == ProjectChange::Saved)
            showDocumentCaption();
        setWindowModified(m_document.state().ProjectModified);
    });
    connect(m_router, &CommandRouter::exitRequested, this, &QWidget::close);
    connect(m_editorView, &EditorView::contextMenuRequested, this, [this](const QPoint& pos) {
        m_contextMenu->popup(pos);
    });

    setWindowTitle(captionText(veltrane::tr(Str::MainCaption)) + QStringLiteral("[*]"));
    setWindowModified(m_document.state().ProjectModified);
    placeOnScreen();
    resizeDocks({m_bottomPane}, {240}, Qt::Vertical);
    restoreLayout();
    m_networkCheck->start();
}

MainWindow::~MainWindow() {
    // Child widgets outlive the members; the editor view detaches from the document's tree when it
    // goes, so it must go while the document still exists.
    delete m_editorView;
    m_editorView = nullptr;
}

void MainWindow::placeOnScreen() {
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, kInitialWidth, kInitialHeight);
    setMinimumSize(qMin(kMinimumWidth, available.width()), qMin(kMinimumHeight, available.height()));
    resize(qMin(kInitialWidth, available.width()), qMin(kInitialHeight, available.height()));
    move(available.center() - rect().center());
    // Where the initial size does not fit beside the title bar, the window takes the whole screen
    // rather than hanging off its edge.
    if (available.width() < kInitialWidth || available.height() < kInitialHeight)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void MainWindow::restoreLayout() {
    // Each part is restored on its own: a missing or damaged entry leaves that part as placed.
    const QByteArray geometry = m_settings->value(kGeometryKey).toByteArray();
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
    const QByteArray docks = m_settings->value(kDockStateKey).toByteArray();
    if (!docks.isEmpty())
        restoreState(docks);
    const QByteArray columns = m_settings->value(kColumnsKey).toByteArray();
    if (!columns.isEmpty())
        m_editorView->horizontalSplitter()->restoreState(columns);
}

void MainWindow::saveLayout() {
    m_settings->setValue(kGeometryKey, saveGeometry());
    m_settings->setValue(kDockStateKey, saveState());
    m_settings->setValue(kColumnsKey, m_editorView->horizontalSplitter()->saveState());
    m_settings->sync();
}

void MainWindow::buildMenus() {
    const auto fill = [this](QMenu* menu, CommandMenu which) {
        for (const CommandRouter::CommandRow& row : CommandRouter::commandTable()) {
            if (row.menu != which)
                continue;
            if (row.separatorBefore) {
                menu->addSeparator();
                // The recent files sit in the File menu just before its last group.
                if (which == CommandMenu::File) {
                    m_recentMenu = menu->addMenu(qtr(Str::MenuRecentFiles));
                    menu->addSeparator();
                }
            }
            menu->addAction(m_router->action(row.id));
        }
    };
    QMenu* file = menuBar()->addMenu(qtr(Str::MenuFile));
    fill(file, CommandMenu::File);
    QMenu* edit = menuBar()->addMenu(qtr(Str::MenuEdit));
    fill(edit, CommandMenu::Edit);
    QMenu* tools = menuBar()->addMenu(qtr(Str::MenuTools));
    fill(tools, CommandMenu::Tools);
    QMenu* help = menuBar()->addMenu(qtr(Str::MenuHelp));
    fill(help, CommandMenu::Help);

    m_contextMenu = new QMenu(this);
    for (CommandId id : CommandRouter::contextMenuCommands())
        m_contextMenu->addAction(m_router->action(id));

    // The context menu's actions live in no visible widget; the window carries them so that
    // shortcuts reach them as well.
    for (CommandId id : CommandRouter::contextMenuCommands())
        addAction(m_router->action(id));

    // Queued: the list changes while one of the menu's own actions is being triggered.
    connect(m_recentFiles, &RecentFiles::changed, this, &MainWindow::fillRecentFilesMenu, Qt::QueuedConnection);
    fillRecentFilesMenu();
}

void MainWindow::fillRecentFilesMenu() {
    m_recentMenu->clear();
    const QStringList& files = m_recentFiles->files();
    if (files.isEmpty()) {
        m_recentMenu->addAction(qtr(Str::MenuRecentEmpty))->setEnabled(false);
        return;
    }
    const QString prompt = qtr(Str::PromptRecentFile);
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files.at(i);
        QAction* action =
            m_recentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path)));
        action->setStatusTip(prompt.left(prompt.indexOf(QLatin1Char('\n'))));
        connect(action, &QAction::triggered, this, [this, path] { m_router->openRecentFile(path); });
    }
}

void MainWindow::buildToolBar() {
    m_toolBar = addToolBar(QString());
    m_toolBar->setObjectName(QStringLiteral("mainToolBar"));
    m_toolBar->setIconSize(QSize(32, 32));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolBar->setMovable(false);
    for (CommandId id : CommandRouter::toolbarCommands())
        m_toolBar->addAction(m_router->action(id));
}

void MainWindow::buildStatusBar() {
    QStatusBar* bar = statusBar();
    m_locks = new LockIndicators(bar);
    bar->addPermanentWidget(m_locks);
    // A command's prompt replaces the idle text while the pointer is over it.
    connect(bar, &QStatusBar::messageChanged, bar, [bar](const QString& message) {
        if (message.isEmpty())
            bar->showMessage(qtr(Str::StatusReady));
    });
    bar->showMessage(qtr(Str::StatusReady));
    // A value the grid put back without a message says why, briefly, where the eye already is.
    m_document.editor().onInputRefused = [bar](const std::string& note) {
        bar->showMessage(toQString(note), kRefusalNoteMs);
    };
}

void MainWindow::showDocumentCaption() {
    // Qt puts the "*" of unsaved changes where "[*]" stands: right after the file's name.
    std::string name = m_document.title();
    if (!m_document.origin().empty())
        name = format(Str::UploadedCaption, {name, m_document.origin()});
    const QString title = captionText(name) + QStringLiteral("[*]");
    setWindowTitle(qformat(Str::DocumentCaption, {title.toStdString(), veltrane::tr(Str::AppTitle)}));
}

bool MainWindow::openFromCommandLine(const QString& path) { return m_router->openFile(path); }

void MainWindow::setHelpText(const QString& text) {
    m_bottomPane->setInfoText(text);
}

void MainWindow::setGridWidget(QWidget* grid) {
    m_editorView->setGridWidget(grid);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // On a small window the pane gives way, so that the tree and the grid keep the larger part.
    const int limit = height() / 3;
    if (!m_bottomPane->isFloating() && m_bottomPane->height() > limit)
        resizeDocks({m_bottomPane}, {limit}, Qt::Vertical);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Text still in the grid's edit box is part of the work the save question protects.
    m_document.editor().commitEdit();
    if (!m_lifecycle.confirmDiscard()) {
        event->ignore();
        return;
    }
    saveLayout();
    event->accept();
}

} // namespace veltrane
