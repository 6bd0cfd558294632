// veltrane-cli export end to end: the built program, the template beside it, real files.

#include "document/document.h"
#include "interaction/prompter.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace veltrane;

namespace {

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

Outcome run(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    Outcome result;
    if (!process.waitForFinished(60000))
        return result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

Outcome cli(const QStringList& args) { return run(QStringLiteral(VELTRANE_CLI), args); }

class CliExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        document.newDocument();
        CONFIG& subnet = document.project().subnets[1];
        subnet.commands[0] = {"12", "3", "40001", "10", "1eb", "0", "20", "No Swap", "CRC", "Slow Scan", 1};
        subnet.commandCount = 1;
        subnet.nodeCount = 1;
        subnet.nodes[0] = {"12", "Node-1"};
    }

    QString save(const QString& name) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(document.saveDocument(path.toStdString()));
        return path;
    }

    QTemporaryDir dir;
    ScriptedPrompter prompter;
    Document document{prompter};
};

TEST_F(CliExportTest, ExportsWithTheTemplateBesideTheProgram) {
    const QString project = save(QStringLiteral("plant.chg"));
    const QString workbook = dir.filePath(QStringLiteral("plant.xlsx"));
    const Outcome result = cli({QStringLiteral("export"), project, workbook});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.err.isEmpty());

    const Outcome read = run(QStringLiteral("/usr/bin/python3"), {QStringLiteral(VELTRANE_TEST_DATA "/read_workbook.py"), workbook});
    ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
    const QJsonObject cells =
        QJsonDocument::fromJson(read.out.toUtf8())[QStringLiteral("sheets")][QStringLiteral("Command List")][QStringLiteral("cells")]
            .toObject();
    QStringList row2;
    for (const char* column : {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K"})
        row2 << cells[QString::fromLatin1(column) + QStringLiteral("2")].toArray()[0].toString();
    EXPECT_EQ(row2.join(u'|'), QStringLiteral("2|12|3|40001|10|1EBH|0|20|No Swap|CRC|Slow Scan"));
    EXPECT_FALSE(cells.contains(QStringLiteral("A3")));
}

TEST_F(CliExportTest, FailuresExitWithOneAndSayWhy) {
    const QString project = save(QStringLiteral("plant.chg"));
    const QString workbook = dir.filePath(QStringLiteral("plant.xlsx"));

    Outcome result = cli({QStringLiteral("export"), project, workbook, QStringLiteral("--template"), dir.filePath(QStringLiteral("none.xlsx"))});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, QStringLiteral("xls template file do not exist!\n"));

    result = cli({QStringLiteral("export"), project, dir.filePath(QStringLiteral("missing/plant.xlsx"))});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(QStringLiteral("could not be written"))) << result.err.toStdString();

    result = cli({QStringLiteral("export"), dir.filePath(QStringLiteral("nothing.chg")), workbook});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_FALSE(result.err.isEmpty());

    document.state().DeviceType = 0;
    const QString deviceNet = save(QStringLiteral("devicenet.chg"));
    result = cli({QStringLiteral("export"), deviceNet, workbook});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err,
              QStringLiteral("The Excel export covers EtherNet/IP projects only. Nothing is exported for this device type.\n"));
    EXPECT_FALSE(QFile::exists(workbook));

    EXPECT_EQ(cli({QStringLiteral("export"), project}).exitCode, 2);
    EXPECT_EQ(cli({QStringLiteral("export"), project, workbook, QStringLiteral("--bogus")}).exitCode, 2);
}

}  // namespace
