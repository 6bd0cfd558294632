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
                           options.exportOptions},
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
    m_editorView->setGridWidget(grid);

    buildMenus();
    buildToolBar();
    buildStatusBar();

    connect(m_router, &CommandRouter::documentReplaced, this, &MainWindow::showDocumentCaption);
    connect(m_router, &CommandRouter::documentSaved, this, &MainWindow::showDocumentCaption);
    connect(m_router, &CommandRouter::exitRequested, this, &QWidget::close);
    connect(m_editorView, &EditorView::contextMenuRequested, this, [this](const QPoint& pos) {
        m_contextMenu->popup(pos);
    });

    setWindowTitle(qtr(Str::MainCaption));
    placeOnScreen();
    resizeDocks({m_bottomPane}, {240}, Qt::Vertical);
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
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, kInitialWidth, kMinimumHeight);
    // The minimum is taller than the initial size; both give way to a small screen.
    setMinimumSize(qMin(kMinimumWidth, available.width()), qMin(kMinimumHeight, available.height()));
    resize(qMin(kInitialWidth, available.width()), qMin(kInitialHeight, available.height()));
    move(available.center() - rect().center());
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
}

void MainWindow::showDocumentCaption() {
    setWindowTitle(qformat(Str::DocumentCaption, {m_document.title(), veltrane::tr(Str::AppTitle)}));
}

bool MainWindow::openFromCommandLine(const QString& path) {
    if (!m_lifecycle.openProject(path.toStdString()))
        return false;
    m_recentFiles->add(path);
    return true;
}

void MainWindow::setHelpText(const QString& text) {
    m_bottomPane->setInfoText(text);
}

void MainWindow::setGridWidget(QWidget* grid) {
    m_editorView->setGridWidget(grid);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_lifecycle.confirmDiscard())
        event->accept();
    else
        event->ignore();
}

} // namespace veltrane
