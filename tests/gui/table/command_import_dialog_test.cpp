// The import preview: what it lists, that a refusal keeps Import disabled and the project as it is,
// and that Import applies the table as one edit.

#include "app/table/command_import_dialog.h"
#include "core/document/document.h"
#include "core/table/csv_reader.h"
#include "support/gui_app.h"

#include <QCheckBox>
#include <QDir>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace veltrane;

namespace {

const std::string kHeader = "Subnet,Slave Address,Function Code,Starting Address,Number of Data,"
                            "Mapping Address (HEX),Mapping Bit (0~7),Type of Scan\n";

CommandTable tableOf(const std::string& csv) {
    const Result<CommandTable> table = readCommandTable(*readCsv(csv));
    EXPECT_TRUE(table) << table.message();
    return *table;
}

TEST(CommandImportDialog, ShowsRefusalsAndImportsNothingUntilTheyAreGone) {
    veltrane::testing::guiApp();
    ScriptedPrompter prompter;
    Document document(prompter);
    document.newDocument();
    CommandImportDialog dialog(document.editor(),
                               tableOf(kHeader + "1,5,3,40011,10,0,,Slow Scan\n1,5,1,0,8,1A,9,Fast Scan\n1,6,16,0,4,4000,,\n"),
                               QStringLiteral("plant.csv"));
    dialog.show();
    QApplication::processEvents();
    const QList<QTreeWidget*> trees = dialog.findChildren<QTreeWidget*>();
    ASSERT_EQ(trees.size(), 2);
    EXPECT_EQ(trees[0]->topLevelItemCount(), 3);  // the refused row too, beside its refusal
    ASSERT_EQ(trees[1]->topLevelItemCount(), 1);
    EXPECT_EQ(trees[1]->topLevelItem(0)->text(0).toStdString(),
              "line 3, Mapping Bit (0~7): \"9\" was not accepted: Mapping Bit (0~7) takes 0 to 7.");
    QPushButton* import = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    EXPECT_FALSE(import->isEnabled());
    QDir().mkpath(QStringLiteral(VELTRANE_BINARY_DIR "/screenshots"));
    EXPECT_TRUE(dialog.grab().save(QStringLiteral(VELTRANE_BINARY_DIR "/screenshots/command_import_preview.png")));
    EXPECT_EQ(document.project().subnets[0].commandCount, 0);

    // The PLC question is answered in the preview: the first row's address converts.
    CommandImportDialog fine(document.editor(), tableOf(kHeader + "1,5,3,40011,10,0,,Slow Scan\n"), QStringLiteral("t.csv"));
    fine.findChildren<QCheckBox*>()[1]->setChecked(true);
    EXPECT_EQ(fine.preview().project.subnets[0].commands[0].startAddress, "10");
    QPushButton* ok = fine.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    ASSERT_TRUE(ok->isEnabled());
    ok->click();
    EXPECT_EQ(document.project().subnets[0].commandCount, 1);
    EXPECT_TRUE(document.state().ProjectModified);
}

}  // namespace
