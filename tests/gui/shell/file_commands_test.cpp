#include "app/shell/command_router.h"
#include "support/gui_test_support.h"
#include "app/shell/recent_files.h"

#include <QFile>
#include <QMenu>
#include <QSettings>
#include <QTest>

#include <gtest/gtest.h>

using namespace veltrane;
using namespace veltrane::test;

namespace {
const char* const kQuestion = "Configuration has been changed, save it or not?";

// A shown window with unsaved changes.
struct ModifiedWindow : WindowHarness {
    ModifiedWindow() {
        window->show();
        window->document().state().ProjectModified = true;
    }
};
} // namespace

TEST(ExitPrompt, ClosesAtOnceWithoutChanges) {
    WindowHarness h;
    h.window->show();
    EXPECT_TRUE(h.window->close());
    EXPECT_TRUE(h.prompter.shown().empty());
}

TEST(ExitPrompt, YesSavesToTheChosenFileAndCloses) {
    ModifiedWindow h;
    h.prompter.addAnswer(Answer::Yes);
    h.chooser.saveAnswers.push_back(h.stdPath("exit"));
    EXPECT_TRUE(h.window->close());
    EXPECT_EQ(h.prompter.shown(), (std::vector<std::string>{kQuestion}));
    EXPECT_TRUE(QFile::exists(h.path("exit.chg"))) << "the default extension is added";
    EXPECT_FALSE(h.window->document().state().ProjectModified);
    EXPECT_FALSE(h.window->isVisible());
}

TEST(ExitPrompt, YesWithACancelledFileDialogKeepsTheWindowOpen) {
    ModifiedWindow h;
    h.prompter.addAnswer(Answer::Yes);
    h.chooser.saveAnswers.push_back(std::nullopt);
    EXPECT_FALSE(h.window->close());
    EXPECT_TRUE(h.window->isVisible());
    EXPECT_TRUE(h.window->document().state().ProjectModified);
}

TEST(ExitPrompt, YesWithAFailedSaveKeepsTheWindowOpen) {
    ModifiedWindow h;
    h.prompter.addAnswer(Answer::Yes);
    h.chooser.saveAnswers.push_back("/nonexistent-veltrane-dir/x.chg");
    EXPECT_FALSE(h.window->close());
    EXPECT_TRUE(h.window->isVisible());
    EXPECT_EQ(h.prompter.shown().size(), 2u) << "the question, then the save error";
}

TEST(ExitPrompt, YesOnANamedProjectSavesWithoutADialog) {
    ModifiedWindow h;
    h.chooser.saveAnswers.push_back(h.stdPath("named.chg"));
    h.window->router().trigger(CommandId::FileSaveAs);
    ASSERT_EQ(h.chooser.saveCalls, 1);
    QFile::remove(h.path("named.chg"));
    h.window->document().state().ProjectModified = true;

    h.prompter.addAnswer(Answer::Yes);
    EXPECT_TRUE(h.window->close());
    EXPECT_EQ(h.chooser.saveCalls, 1);
    EXPECT_TRUE(QFile::exists(h.path("named.chg")));
}

TEST(ExitPrompt, NoClosesWithoutSavingAndCancelStays) {
    {
        ModifiedWindow h;
        h.prompter.addAnswer(Answer::No);
        EXPECT_TRUE(h.window->close());
        EXPECT_EQ(h.chooser.saveCalls, 0);
    }
    {
        ModifiedWindow h;
        h.prompter.addAnswer(Answer::Cancel);
        EXPECT_FALSE(h.window->close());
        EXPECT_TRUE(h.window->isVisible());
        EXPECT_EQ(h.chooser.saveCalls, 0);
    }
}

TEST(ExitPrompt, TheExitCommandAsksToo) {
    ModifiedWindow h;
    h.prompter.addAnswer(Answer::Cancel);
    h.window->router().trigger(CommandId::AppExit);
    EXPECT_TRUE(h.window->isVisible());
    h.prompter.addAnswer(Answer::No);
    h.window->router().trigger(CommandId::AppExit);
    EXPECT_FALSE(h.window->isVisible());
    EXPECT_EQ(h.prompter.shown(), (std::vector<std::string>{kQuestion, kQuestion}));
}

TEST(FileCommands, NewAndOpenAskBeforeDiscardingChanges) {
    ModifiedWindow h;
    CommandRouter& r = h.window->router();
    Document& d = h.window->document();
    d.project().subnets[0].nodeCount = 3;

    h.prompter.addAnswer(Answer::Cancel);
    r.trigger(CommandId::FileNew);
    EXPECT_EQ(d.project().subnets[0].nodeCount, 3);
    EXPECT_EQ(h.prompter.shown(), (std::vector<std::string>{kQuestion}));

    // Open: the file first, then the question; Cancel keeps everything.
    h.prompter.clearShown();
    h.chooser.openAnswers.push_back(h.stdPath("any.chg"));
    h.prompter.addAnswer(Answer::Cancel);
    r.trigger(CommandId::FileOpen);
    EXPECT_EQ(d.project().subnets[0].nodeCount, 3);
    EXPECT_EQ(h.prompter.shown(), (std::vector<std::string>{kQuestion}));

    h.prompter.addAnswer(Answer::No);
    r.trigger(CommandId::FileNew);
    EXPECT_EQ(d.project().subnets[0].nodeCount, 0);
    EXPECT_FALSE(d.state().ProjectModified);
    EXPECT_EQ(h.window->windowTitle(), "Modbus[*] - Veltrane");
}

TEST(FileCommands, SaveOfAnUntitledProjectAsksForAName) {
    WindowHarness h;
    CommandRouter& r = h.window->router();
    h.chooser.saveAnswers.push_back(h.stdPath("first.chg"));
    r.trigger(CommandId::FileSave);
    EXPECT_EQ(h.chooser.saveCalls, 1);
    EXPECT_TRUE(QFile::exists(h.path("first.chg")));
    EXPECT_EQ(h.window->windowTitle(), "first.chg[*] - Veltrane");
    r.trigger(CommandId::FileSave);
    EXPECT_EQ(h.chooser.saveCalls, 1) << "a named project is saved in place";
}

TEST(RecentFiles, KeepsTheFourLatestAndSurvivesARestart) {
    QTemporaryDir dir;
    const QString settingsFile = dir.filePath(QStringLiteral("recent.ini"));
    ensureApplication();
    {
        QSettings settings(settingsFile, QSettings::IniFormat);
        RecentFiles recent(settings);
        for (const char* name : {"a.chg", "b.chg", "c.chg", "d.chg", "e.chg", "c.chg"})
            recent.add(dir.filePath(QString::fromLatin1(name)));
        EXPECT_EQ(recent.files(), (QStringList{dir.filePath("c.chg"), dir.filePath("e.chg"),
                                               dir.filePath("d.chg"), dir.filePath("b.chg")}));
    }
    QSettings settings(settingsFile, QSettings::IniFormat);
    RecentFiles reloaded(settings);
    EXPECT_EQ(reloaded.files().size(), 4);
    EXPECT_EQ(reloaded.files().first(), dir.filePath("c.chg"));
    EXPECT_EQ(settings.value("Recent File List/File1").toString(), dir.filePath("c.chg"));
}

TEST(RecentFiles, TheMenuOpensASavedFile) {
    WindowHarness h;
    MainWindow& w = *h.window;
    w.document().state().DeviceType = device::FourSubnets;
    h.chooser.saveAnswers.push_back(h.stdPath("four.chg"));
    w.router().trigger(CommandId::FileSaveAs);
    ASSERT_EQ(w.recentFiles().files(), QStringList{h.path("four.chg")});
    w.router().trigger(CommandId::FileNew);
    ASSERT_EQ(w.document().state().DeviceType, device::EtherNetIP);

    QCoreApplication::processEvents();
    QList<QAction*> entries = w.recentFilesMenu()->actions();
    ASSERT_EQ(entries.size(), 1);
    EXPECT_TRUE(entries[0]->text().endsWith("four.chg"));
    entries[0]->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(w.document().state().DeviceType, device::FourSubnets);
    EXPECT_EQ(w.document().filePath(), h.stdPath("four.chg"));

    // A file that has disappeared leaves the list when it is chosen.
    w.recentFiles().add(h.path("gone.chg"));
    QCoreApplication::processEvents();
    ASSERT_EQ(w.recentFilesMenu()->actions().size(), 2);
    w.recentFilesMenu()->actions().at(0)->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(w.recentFiles().files(), QStringList{h.path("four.chg")});
    EXPECT_EQ(w.recentFilesMenu()->actions().size(), 1);
    EXPECT_EQ(w.document().filePath(), h.stdPath("four.chg"));
}

TEST(FileCommands, CommandLineOpensTheFileOrKeepsTheNewProject) {
    WindowHarness h;
    MainWindow& w = *h.window;
    w.document().state().DeviceType = device::DeviceNet;
    h.chooser.saveAnswers.push_back(h.stdPath("devicenet.chg"));
    w.router().trigger(CommandId::FileSaveAs);

    WindowHarness fresh;
    EXPECT_FALSE(fresh.window->openFromCommandLine(fresh.path("missing.chg")));
    EXPECT_EQ(fresh.prompter.shown().size(), 1u) << "the open error is shown";
    EXPECT_EQ(fresh.window->document().state().DeviceType, device::EtherNetIP);
    EXPECT_TRUE(fresh.window->recentFiles().files().isEmpty());

    EXPECT_TRUE(fresh.window->openFromCommandLine(h.path("devicenet.chg")));
    EXPECT_EQ(fresh.window->document().state().DeviceType, device::DeviceNet);
    EXPECT_EQ(fresh.window->windowTitle(), "devicenet.chg[*] - Veltrane");
    EXPECT_EQ(fresh.window->recentFiles().files(), QStringList{h.path("devicenet.chg")});
}
