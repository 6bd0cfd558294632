#include "app/mapping/bit_popup.h"
#include "app/mapping/buffer_grid_model.h"
#include "app/mapping/conflict_detection_dialog.h"

#include "support/project_builder.h"
#include "support/gui_app.h"

#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

using namespace veltrane;
using veltrane::testing::ProjectBuilder;

namespace {

const QColor kRed(255, 0, 0), kGreen(0, 255, 0), kBlue(0, 0, 255), kYellow(255, 255, 0);

QVariant background(const ConflictDetectionDialog& dialog, BufferGrid grid, int row, int column) {
    const QAbstractItemModel* model = dialog.view(grid)->model();
    return model->data(model->index(row, column), Qt::BackgroundRole);
}

QColor colourAt(const ConflictDetectionDialog& dialog, BufferGrid grid, int row, int column) {
    return background(dialog, grid, row, column).value<QBrush>().color();
}

QPoint cellCentre(QTableView* view, int row, int column) {
    return view->visualRect(view->model()->index(row, column)).center();
}

// A read register command over bytes 0..3, a coil command on byte 1 (conflict), a write into the
// input space at 0x10 (local data exchange) and a write in the output buffer.
ProjectBuilder conflictingProject() {
    ProjectBuilder b;
    b.node(1, "1");
    b.command(1, 1, {"3", "2", "0"});
    b.command(1, 1, {"1", "8", "1"});
    b.command(1, 1, {"16", "1", "10"});
    b.command(1, 1, {"6", "1", "4000"});
    return b;
}

class ConflictDialogTest : public ::testing::Test {
protected:
    void SetUp() override { veltrane::testing::guiApp(); }
};

}  // namespace

TEST_F(ConflictDialogTest, OpensWithColouredGridsLabelsAndTheCommandList) {
    ProjectBuilder b = conflictingProject();
    MappingConflictState state;
    ConflictDetectionDialog dialog(b.project, b.state, state);
    EXPECT_TRUE(state.MappingConflictFound);

    ASSERT_EQ(dialog.commandList()->count(), 4);
    EXPECT_EQ(dialog.commandList()->item(0)->text(), "03 Read Holding Register");
    EXPECT_EQ(dialog.commandList()->item(3)->text(), "06 Preset Single Register");
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(dialog.commandList()->item(i)->checkState(), Qt::Checked);

    for (BufferGrid grid : {BufferGrid::Input, BufferGrid::Output}) {
        EXPECT_EQ(dialog.model(grid)->rowCount(), 1024);
        EXPECT_EQ(dialog.model(grid)->columnCount(), 17);
    }
    const BufferGridModel* in = dialog.model(BufferGrid::Input);
    const BufferGridModel* out = dialog.model(BufferGrid::Output);
    EXPECT_EQ(in->data(in->index(0, 0)).toString(), "0000");
    EXPECT_EQ(in->data(in->index(1023, 0)).toString(), "3FF0");
    EXPECT_EQ(out->data(out->index(0, 0)).toString(), "4000");
    EXPECT_EQ(out->data(out->index(0xAB, 0)).toString(), "4AB0");

    EXPECT_EQ(colourAt(dialog, BufferGrid::Input, 0, 1), kGreen);
    EXPECT_EQ(colourAt(dialog, BufferGrid::Input, 0, 2), kRed);
    EXPECT_EQ(colourAt(dialog, BufferGrid::Input, 0, 4), kGreen);
    EXPECT_FALSE(background(dialog, BufferGrid::Input, 0, 5).isValid());
    EXPECT_EQ(colourAt(dialog, BufferGrid::Input, 1, 1), kYellow);
    EXPECT_EQ(colourAt(dialog, BufferGrid::Input, 1, 2), kYellow);
    EXPECT_FALSE(background(dialog, BufferGrid::Input, 1, 3).isValid());
    EXPECT_EQ(colourAt(dialog, BufferGrid::Output, 0, 1), kBlue);
    EXPECT_EQ(colourAt(dialog, BufferGrid::Output, 0, 2), kBlue);
    EXPECT_FALSE(background(dialog, BufferGrid::Output, 0, 3).isValid());

    dialog.show();
    const QString png = QStringLiteral(VELTRANE_BINARY_DIR "/conflict_detection_dialog.png");
    EXPECT_TRUE(dialog.grab().save(png));

    // Close ends it as Escape does: not OK, so the detection list goes with it.
    QPushButton* close = nullptr;
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text() == "Close")
            close = button;
    ASSERT_NE(close, nullptr);
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(ConflictDialogTest, UncheckingACommandRecoloursItsCellsButKeepsTheFlag) {
    ProjectBuilder b = conflictingProject();
    MappingConflictState state;
    ConflictDetectionDialog dialog(b.project, b.state, state);
    QSignalSpy changed(dialog.model(BufferGrid::Input), &QAbstractItemModel::dataChanged);

    dialog.commandList()->item(1)->setCheckState(Qt::Unchecked);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].toModelIndex().row(), 0);
    EXPECT_EQ(colourAt(dialog, BufferGrid::Input, 0, 2), kGreen);
    EXPECT_TRUE(state.MappingConflictFound);

    // Selecting a line without changing its check does nothing.
    dialog.commandList()->setCurrentRow(2);
    EXPECT_EQ(changed.count(), 1);

    dialog.commandList()->item(3)->setCheckState(Qt::Unchecked);
    EXPECT_FALSE(background(dialog, BufferGrid::Output, 0, 1).isValid());
    dialog.commandList()->item(1)->setCheckState(Qt::Checked);
    EXPECT_EQ(colourAt(dialog, BufferGrid::Input, 0, 2), kRed);

    // A new dialog on a project without conflict clears the flag.
    b.at(1, 2).mappingAddress = "20";
    ConflictDetectionDialog again(b.project, b.state, state);
    EXPECT_FALSE(state.MappingConflictFound);
}

TEST_F(ConflictDialogTest, PressingACellShowsItsBitsUntilRelease) {
    ProjectBuilder b = conflictingProject();
    b.at(1, 2).dataCount = "4";  // coil bits 0..3 of byte 1
    MappingConflictState state;
    ConflictDetectionDialog dialog(b.project, b.state, state);
    dialog.show();
    QTableView* input = dialog.view(BufferGrid::Input);

    QTest::mousePress(input->viewport(), Qt::LeftButton, {}, cellCentre(input, 0, 0));
    EXPECT_EQ(dialog.bitPopup(), nullptr);  // the address column shows nothing

    QTest::mousePress(input->viewport(), Qt::LeftButton, {}, cellCentre(input, 0, 2));
    ASSERT_NE(dialog.bitPopup(), nullptr);
    EXPECT_TRUE(dialog.bitPopup()->isVisible());
    EXPECT_EQ(dialog.bitPopup()->size(), QSize(165, 23));
    for (int bit = 0; bit < 8; ++bit)
        EXPECT_EQ(dialog.bitPopup()->bit(bit), bit < 4 ? OccupancyColour::Conflict : OccupancyColour::Input) << bit;
    const QString png = QStringLiteral(VELTRANE_BINARY_DIR "/conflict_bit_popup.png");
    EXPECT_TRUE(dialog.bitPopup()->grab().save(png));
    QTest::mouseRelease(input->viewport(), Qt::LeftButton, {}, cellCentre(input, 0, 2));
    EXPECT_FALSE(dialog.bitPopup()->isVisible());

    QTableView* output = dialog.view(BufferGrid::Output);
    QTest::mousePress(output->viewport(), Qt::LeftButton, {}, cellCentre(output, 0, 1));
    ASSERT_NE(dialog.bitPopup(), nullptr);
    EXPECT_EQ(dialog.bitPopup()->bit(0), OccupancyColour::Output);
    QTest::mouseRelease(output->viewport(), Qt::LeftButton, {}, cellCentre(output, 0, 1));

    // A right press on the dialog swallows the next grid press; the one after works again.
    QTest::mousePress(&dialog, Qt::RightButton, {}, QPoint(2, 2));
    QTest::mousePress(input->viewport(), Qt::LeftButton, {}, cellCentre(input, 1, 1));
    EXPECT_FALSE(dialog.bitPopup()->isVisible());
    QTest::mouseRelease(input->viewport(), Qt::LeftButton, {}, cellCentre(input, 1, 1));
    QTest::mousePress(input->viewport(), Qt::LeftButton, {}, cellCentre(input, 1, 1));
    EXPECT_TRUE(dialog.bitPopup()->isVisible());
    EXPECT_EQ(dialog.bitPopup()->bit(0), OccupancyColour::LocalExchange);
    QTest::mouseRelease(input->viewport(), Qt::LeftButton, {}, cellCentre(input, 1, 1));
}
