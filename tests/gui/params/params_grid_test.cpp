// The fieldbus and subnet rows in the real grid widget, offscreen: what each gateway kind shows,
// and a pick through the option list. Screenshots go to the build folder for a person to look at.
#include "app/editor/editor_view.h"
#include "app/grid/parameter_grid_widget.h"

#include "core/document/document.h"
#include "core/model/project_defaults.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <functional>

using namespace veltrane;

namespace {

int argc = 1;
char arg0[] = "params_gui_tests";
char* argv[] = {arg0, nullptr};

const QColor kGrey(200, 200, 200);

class ParamsGrid : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }

    ParamsGrid() : document(prompter) { document.newDocument(); }

    // Turns the open project into a gateway of another kind, then shows it.
    void open(std::int32_t deviceType, const std::function<void(ModelFlags&)>& flags = {}) {
        ProjectState& state = document.state();
        state.DeviceType = deviceType;
        if (flags)
            flags(state.flags);
        applyProjectDefaults(document.project(), state);
        const std::string& type = fieldbusTypeFor(deviceType);
        if (!type.empty())
            document.project().fieldbus.fieldbusType = type;
        document.editor().rebuildTree();
        view = std::make_unique<EditorView>(document.editor());
        grid = new ParameterGridWidget(document.editor());
        grid->onHelpText = [this](const QString& text) { helpText = text; };
        view->setGridWidget(grid);
        view->resize(1000, 600);
        view->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    }

    void clickTree(const QString& text) {
        const auto found = view->treeWidget()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        QTreeWidget* tree = view->treeWidget();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(found.front()).center());
        QApplication::processEvents();
    }

    void clickCell(int row, int column) {
        QTableWidget* table = grid->table();
        table->scrollToItem(table->item(row, column));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(table->item(row, column)).center());
        QApplication::processEvents();
    }

    void pick(int row, const QString& option) {
        clickCell(row, 1);
        QComboBox* options = grid->optionList();
        ASSERT_TRUE(options->isVisible()) << row;
        const int index = options->findText(option);
        ASSERT_GE(index, 0) << option.toStdString();
        QAbstractItemView* popup = options->view();
        QTest::mouseClick(popup->viewport(), Qt::LeftButton, {},
                          popup->visualRect(popup->model()->index(index, 0)).center());
        QApplication::processEvents();
    }

    QString cell(int row, int column) { return grid->table()->item(row, column)->text(); }
    bool grey(int row) { return grid->table()->item(row, 1)->background().color() == kGrey; }

    void grab(const QString& name) {
        const QString dir = QStringLiteral(VELTRANE_BINARY_DIR) + "/screenshots";
        QDir().mkpath(dir);
        grid->table()->scrollToTop();
        QApplication::processEvents();
        EXPECT_TRUE(view->grab().save(dir + "/" + name));
    }

    ScriptedPrompter prompter;
    QString helpText; // what the "Info" tab would show
    Document document;
    std::unique_ptr<EditorView> view;
    ParameterGridWidget* grid = nullptr;
};

TEST_F(ParamsGrid, EtherNetIpFieldbus) {
    open(device::EtherNetIP);
    clickTree("Ethernet");
    EXPECT_EQ(cell(4, 0), "Default Gateway ");
    EXPECT_EQ(cell(2, 1), "192.168.0.110");
    EXPECT_TRUE(grey(5));
    EXPECT_FALSE(grey(2));
    pick(1, "DHCP");
    EXPECT_EQ(document.project().fieldbus.ipAssignMode, "DHCP");
    EXPECT_TRUE(grey(2));
    clickCell(2, 1);
    EXPECT_FALSE(grid->editBox()->isVisible());
    EXPECT_EQ(helpText, "The IP Address of the device");
    grab("params_fieldbus_ethernet.png");
}

TEST_F(ParamsGrid, DeviceNetFieldbus) {
    open(device::DeviceNet);
    clickTree("Fieldbus");
    EXPECT_EQ(cell(1, 0), "DeviceNet Address (0~63)");
    pick(3, "160");
    EXPECT_EQ(document.project().fieldbus.inputSize, "160");
    EXPECT_EQ(cell(3, 1), "160");
    clickCell(1, 1);
    ASSERT_TRUE(grid->editBox()->isVisible());
    grid->editBox()->selectAll();
    QTest::keyClicks(grid->editBox(), "64");
    QTest::keyClick(grid->editBox(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(cell(1, 1), "0");  // 64 is out of range: the stored address comes back
    grab("params_fieldbus_devicenet.png");
}

TEST_F(ParamsGrid, ProfibusFieldbusShowsTheClearChoiceAsAWord) {
    open(device::ProfibusFilter, [](ModelFlags& f) { f.commandStatusModel = true; });
    clickTree("Fieldbus");
    EXPECT_EQ(cell(1, 1), "Setting through Hardware Configuration of PROFIBUS DP");
    EXPECT_EQ(cell(3, 0), "Input data timeout cleared/hold");
    EXPECT_EQ(cell(3, 1), "Clear");
    EXPECT_FALSE(grey(4));
    clickCell(3, 1);
    QComboBox* options = grid->optionList();
    ASSERT_TRUE(options->isVisible());
    EXPECT_EQ(options->itemText(0), "Clear");
    EXPECT_EQ(options->itemText(1), "hold");
    grab("params_fieldbus_profibus_options.png");
    pick(3, "hold");
    EXPECT_EQ(document.project().subnets[0].timeoutAction, "hold");
    EXPECT_TRUE(grey(4));
    pick(3, "Clear");
    EXPECT_EQ(document.project().subnets[0].timeoutAction, "\\Template.xls");
    EXPECT_EQ(cell(3, 1), "Clear");
    grab("params_fieldbus_profibus.png");
}

TEST_F(ParamsGrid, UserConfigSubnet) {
    open(device::EtherNetIP, [](ModelFlags& f) { f.singleSubnetModel = true; });
    clickTree("Subnet 1");
    EXPECT_EQ(cell(0, 1), "User Config");
    EXPECT_EQ(cell(12, 0), "Frame Type");
    EXPECT_EQ(cell(15, 0), "Start Delimiter");
    EXPECT_TRUE(grey(15));
    pick(12, "Delimiter");
    EXPECT_FALSE(grey(15));
    pick(17, "Enable");
    EXPECT_FALSE(grey(18));
    clickCell(18, 1);
    ASSERT_TRUE(grid->editBox()->isVisible());
    grid->editBox()->selectAll();
    QTest::keyClicks(grid->editBox(), "250");
    QTest::keyClick(grid->editBox(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(document.project().subnets[0].autoSendPeriod, "250");
    clickCell(16, 0);
    EXPECT_EQ(helpText, "Input decimal format encoding data when using ASCII to encode end character, range 0~255");
    grab("params_subnet_user_config.png");
}

}  // namespace
