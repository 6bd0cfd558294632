// veltrane-cli export end to end: the built program, the template beside it, real files.

#include "core/document/document.h"
#include "core/interaction/prompter.h"

#include "support/cli_test_fixture.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <string>

using namespace veltrane;
using veltrane::testing::runProgram;
using veltrane::testing::RunResult;

namespace {

class CliExportTest : public veltrane::testing::CliTestFixture {
protected:
    void SetUp() override {
        CliTestFixture::SetUp();
        document.newDocument();
        CONFIG& subnet = document.project().subnets[1];
        subnet.commands[0] = {"12", "3", "40001", "10", "1eb", "0", "20", "No Swap", "CRC", "Slow Scan", 1};
        subnet.commandCount = 1;
        subnet.nodeCount = 1;
        subnet.nodes[0] = {"12", "Node-1"};
    }

    std::string save(const std::string& name) {
        const std::string path = file(name);
        EXPECT_TRUE(document.saveDocument(path));
        return path;
    }

    ScriptedPrompter prompter;
    Document document{prompter};
};

TEST_F(CliExportTest, ExportsWithTheTemplateBesideTheProgram) {
    const std::string project = save("plant.chg");
    const std::string workbook = file("plant.xlsx");
    const RunResult result = cli({"export", project, workbook});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(result.err.empty());

    const RunResult read = runProgram("/usr/bin/python3", {VELTRANE_TEST_DATA "/read_workbook.py", workbook});
    ASSERT_EQ(read.exitCode, 0) << read.err;
    const QJsonDocument json = QJsonDocument::fromJson(QByteArray::fromStdString(read.out));
    const QJsonObject cells =
        json[QStringLiteral("sheets")][QStringLiteral("Command List")][QStringLiteral("cells")].toObject();
    QStringList row2;
    for (const char* column : {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K"})
        row2 << cells[QString::fromLatin1(column) + QStringLiteral("2")].toArray()[0].toString();
    EXPECT_EQ(row2.join(u'|'), QStringLiteral("2|12|3|40001|10|1EBH|0|20|No Swap|CRC|Slow Scan"));
    EXPECT_FALSE(cells.contains(QStringLiteral("A3")));
}

TEST_F(CliExportTest, FailuresExitWithOneAndSayWhy) {
    const std::string project = save("plant.chg");
    const std::string workbook = file("plant.xlsx");

    RunResult result = cli({"export", project, workbook, "--template", file("none.xlsx")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "xls template file do not exist!\n");

    result = cli({"export", project, file("missing/plant.xlsx")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("could not be written"), std::string::npos) << result.err;

    result = cli({"export", file("nothing.chg"), workbook});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_FALSE(result.err.empty());

    document.state().DeviceType = 0;
    const std::string deviceNet = save("devicenet.chg");
    result = cli({"export", deviceNet, workbook});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(
        result.err,
        "The Excel export covers EtherNet/IP projects only. Nothing is exported for this device type.\n");
    EXPECT_FALSE(std::filesystem::exists(workbook));

    EXPECT_EQ(cli({"export", project}).exitCode, 2);
    EXPECT_EQ(cli({"export", project, workbook, "--bogus"}).exitCode, 2);
}

}  // namespace
