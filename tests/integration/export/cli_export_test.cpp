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

#include <chrono>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>
#include <string>
#include <vector>

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

namespace {

const std::string kTemplateSource = VELTRANE_SOURCE_DIR "/resources/Veltrane.xlsx";

// A copy of the template changed by a few lines of Python: `src` and `out` are zip files, `z` the
// template open for reading.
void makeTemplate(const std::string& path, const std::string& change) {
    const std::string script = "import sys, zipfile\n"
                               "z = zipfile.ZipFile(sys.argv[1])\n"
                               "out = zipfile.ZipFile(sys.argv[2], 'w', zipfile.ZIP_DEFLATED)\n" +
                               change + "\nout.close()\n";
    const RunResult made = runProgram("/usr/bin/python3", {"-c", script, kTemplateSource, path});
    ASSERT_EQ(made.exitCode, 0) << made.err;
}

const std::string kCopyAll = "for i in z.infolist(): out.writestr(i, z.read(i.filename))";

}  // namespace

// A template is input from outside. Anything but a regular file, and anything larger than a template
// can be, is refused at once with a message, within seconds and without inflating it.
TEST_F(CliExportTest, TemplatesAreUntrustedInput) {
    const std::string project = save("plant.chg");
    const std::string workbook = file("plant.xlsx");
    const auto shown = [&](const std::string& path) { return "The template workbook " + path; };

    const std::string fifo = file("fifo.xlsx");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string large = file("large.xlsx");
    std::filesystem::copy_file(kTemplateSource, large);
    std::filesystem::resize_file(large, 17u << 20);
    const std::string bomb = file("bomb.xlsx");
    makeTemplate(bomb, kCopyAll + "\nout.writestr('xl/media/zeros.bin', bytes(100 << 20))");
    const std::string crowded = file("crowded.xlsx");
    makeTemplate(crowded, kCopyAll + "\nfor k in range(5000): out.writestr('xl/extra/%d.xml' % k, b'')");
    const std::string sharedPart = file("shared.xlsx");
    makeTemplate(sharedPart, "for i in z.infolist():\n"
                             "    data = z.read(i.filename)\n"
                             "    if i.filename == 'xl/_rels/workbook.xml.rels':\n"
                             "        data = data.replace(b'sheet2.xml', b'sheet1.xml')\n"
                             "    out.writestr(i, data)");

    // A template cut short anywhere, even by its last byte.
    const std::string whole = veltrane::testing::slurp(kTemplateSource);
    std::vector<std::string> cut;
    for (std::size_t length : {whole.size() - 1, whole.size() - 2, whole.size() - 3, whole.size() - 22, whole.size() / 2}) {
        cut.push_back(file("cut" + std::to_string(length) + ".xlsx"));
        std::ofstream(cut.back(), std::ios::binary) << whole.substr(0, length);
    }

    struct Case {
        std::string templatePath;
        std::string message;
    };
    std::vector<Case> cases = {
        {fifo, shown(fifo) + " cannot be read."},
        {"/dev/zero", shown("/dev/zero") + " cannot be read."},
        {"/dev/null", shown("/dev/null") + " cannot be read."},
        {m_dir.string(), shown(m_dir.string()) + " cannot be read."},
        {large, shown(large) + " is larger than a template may be."},
        {bomb, shown(bomb) + " is larger than a template may be."},
        {crowded, shown(crowded) + " is larger than a template may be."},
        {sharedPart, shown(sharedPart) + " is damaged or is not an Excel workbook."},
    };
    for (const std::string& path : cut)
        cases.push_back({path, shown(path) + " is damaged or is not an Excel workbook."});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.templatePath);
        const auto started = std::chrono::steady_clock::now();
        const RunResult result =
            runProgram(VELTRANE_CLI, {"export", project, workbook, "--template", c.templatePath}, std::chrono::seconds(20));
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, c.message + "\n");
        EXPECT_FALSE(std::filesystem::exists(workbook));
    }
    // The untouched template still exports, so none of the bounds is too tight for a real one.
    EXPECT_EQ(cli({"export", project, workbook, "--template", kTemplateSource}).exitCode, 0);
}

// A stored 8-bit text reaches the workbook as its Windows-1252 characters.
TEST_F(CliExportTest, StoredTextsExportAsTheirCharacters) {
    document.project().subnets[1].commands[0].checkType = "Pumpe S\xfc" "d \x80\x9d";
    const std::string project = save("sued.chg");
    const std::string workbook = file("sued.xlsx");
    const RunResult result = cli({"export", project, workbook});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const RunResult read = runProgram("/usr/bin/python3", {VELTRANE_TEST_DATA "/read_workbook.py", workbook});
    ASSERT_EQ(read.exitCode, 0) << read.err;
    const QJsonDocument json = QJsonDocument::fromJson(QByteArray::fromStdString(read.out));
    EXPECT_EQ(json[QStringLiteral("sheets")][QStringLiteral("Command List")][QStringLiteral("cells")]
                  [QStringLiteral("J2")].toArray()[0].toString(),
              QString::fromUtf8("Pumpe S\u00fcd \u20ac\u009d"));
}
