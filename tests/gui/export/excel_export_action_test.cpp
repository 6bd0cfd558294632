#include "app/export/excel_export_action.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace veltrane;

namespace {

const QString kTemplate = QStringLiteral(VELTRANE_TEST_DATA "/../../../resources/Veltrane.xlsx");

QApplication& application() {
    static int argc = 1;
    static char name[] = "export_ui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

class ExcelExportActionTest : public ::testing::Test {
protected:
    void SetUp() override {
        application();
        ASSERT_TRUE(dir.isValid());
        document.newDocument();
        CONFIG& subnet = document.project().subnets[0];
        subnet.commands[0] = {"1", "3", "0", "2", "1eb", "0", "4", "No Swap", "CRC", "Fast Scan", 1};
        subnet.commandCount = 1;
        output = dir.filePath(QStringLiteral("project.xlsx"));
        window = std::make_unique<QWidget>();
    }

    // Runs the command as the menu would, with the dialog answered by `chosen` (empty: cancelled).
    void run(const QString& chosen, const QString& templatePath = kTemplate) {
        ExcelExportOptions options;
        options.openWorkbook = [&](const QString& path) {
            opened << path;
            return openSucceeds;
        };
        options.templatePath = templatePath;
        TemplateWorkbookWriter writer(options);
        ScriptedFileChooser chooser;
        chooser.workbookAnswers.push_back(chosen.isEmpty() ? std::nullopt
                                                           : std::optional<std::string>(chosen.toStdString()));
        runExcelExport(document, chooser, writer);
        for (const std::string& suggested : chooser.workbookSuggestions)
            suggestions << QString::fromStdString(suggested);
    }

    QTemporaryDir dir;
    QString output;
    ScriptedPrompter prompter;
    Document document{prompter};
    std::unique_ptr<QWidget> window;
    QStringList suggestions;
    QStringList opened;
    bool openSucceeds = true;
};

TEST_F(ExcelExportActionTest, ExportsThenOffersToOpenTheWorkbook) {
    prompter.addAnswer(Answer::Yes);
    run(output);
    ASSERT_TRUE(QFile::exists(output));
    EXPECT_EQ(suggestions, QStringList{QStringLiteral("Modbus.xlsx")});
    EXPECT_EQ(prompter.shown(),
              std::vector<std::string>{"The project was exported to " + output.toStdString() + ".\nOpen the workbook now?"});
    EXPECT_EQ(opened, QStringList{output});
    EXPECT_EQ(document.project().subnets[0].commands[0].mappingAddress, "1EB");
}

TEST_F(ExcelExportActionTest, DecliningToOpenOrNothingToOpenWith) {
    run(output);  // the scripted prompter answers No
    EXPECT_TRUE(QFile::exists(output));
    EXPECT_TRUE(opened.isEmpty());

    prompter.clearShown();
    prompter.addAnswer(Answer::Yes);
    openSucceeds = false;
    run(output);
    ASSERT_EQ(prompter.shown().size(), 2u);
    EXPECT_EQ(prompter.shown()[1], "No application could open " + output.toStdString() + ".");
}

TEST_F(ExcelExportActionTest, OtherDeviceTypesAreToldBeforeTheDialog) {
    document.state().DeviceType = 0;
    run(output);
    EXPECT_TRUE(suggestions.isEmpty());
    EXPECT_EQ(prompter.shown(), std::vector<std::string>{"The Excel export covers EtherNet/IP projects only. Nothing is "
                                                         "exported for this device type."});
    EXPECT_FALSE(QFile::exists(output));
}

TEST_F(ExcelExportActionTest, CancelledDialogChangesNothing) {
    run(QString());
    EXPECT_EQ(suggestions.size(), 1);
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_EQ(document.project().subnets[0].commands[0].mappingAddress, "1eb");
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

// Failures end in one message; the command returns and the window and project are still there.
TEST_F(ExcelExportActionTest, FailuresShowOneMessageAndReturn) {
    run(output, dir.filePath(QStringLiteral("missing.xlsx")));
    EXPECT_EQ(prompter.shown(), std::vector<std::string>{"xls template file do not exist!"});
    EXPECT_FALSE(QFile::exists(output));

    prompter.clearShown();
    const QString unwritable = dir.filePath(QStringLiteral("gone/project.xlsx"));
    run(unwritable);
    EXPECT_EQ(prompter.shown(), std::vector<std::string>{"The workbook " + unwritable.toStdString() +
                                                         " could not be written. No file was created or changed."});
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(window->isWidgetType());
    EXPECT_EQ(document.state().DeviceType, 4);
}

TEST_F(ExcelExportActionTest, SuggestionFollowsTheProjectFile) {
    // A project that came from a file suggests a workbook of the same name beside it.
    const QString chg = dir.filePath(QStringLiteral("plant 7.chg"));
    ASSERT_TRUE(document.saveDocument(chg.toStdString()));
    run(QString());
    EXPECT_EQ(suggestions, QStringList{dir.filePath(QStringLiteral("plant 7.xlsx"))});
}

TEST_F(ExcelExportActionTest, SaveDialogOffersWorkbooks) {
    std::unique_ptr<QFileDialog> dialog(createExportFileDialog(window.get(), dir.filePath(QStringLiteral("plant.xlsx"))));
    EXPECT_EQ(dialog->nameFilters(), QStringList{QStringLiteral("Excel File(*.xlsx)")});
    EXPECT_EQ(dialog->defaultSuffix(), QStringLiteral("xlsx"));
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Export EXCEL"));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->show();
    QApplication::processEvents();
    const QString png = QStringLiteral(VELTRANE_BINARY_DIR "/export_save_dialog.png");
    EXPECT_TRUE(dialog->grab().save(png));
    dialog->hide();
}

}  // namespace
