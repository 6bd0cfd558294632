#include "xlsx/workbook_export.h"

#include "core/document/document.h"
#include "core/interaction/prompter.h"

#include "support/cli_runner.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <map>
#include <string>
#include <sys/resource.h>
#include <vector>

using namespace veltrane;

namespace {

const QString kTemplate = QStringLiteral(VELTRANE_TEST_DATA "/../../../resources/Veltrane.xlsx");
const std::string kReader = VELTRANE_TEST_DATA "/read_workbook.py";

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// The workbook as openpyxl sees it (see read_workbook.py).
QJsonObject readWithOpenpyxl(const QString& workbook, const QString& templatePath = {}) {
    std::vector<std::string> args{kReader, workbook.toStdString()};
    if (!templatePath.isEmpty())
        args.push_back(templatePath.toStdString());
    // A run that times out or is killed reports -1 and fails here too.
    const veltrane::testing::RunResult python = veltrane::testing::runProgram("/usr/bin/python3", args);
    EXPECT_EQ(python.exitCode, 0) << python.err;
    return QJsonDocument::fromJson(QByteArray::fromStdString(python.out)).object();
}

using Cells = std::map<std::string, std::string>;  // "B2" -> text

Cells cellsOf(const QJsonObject& workbook, const QString& sheet) {
    Cells cells;
    const QJsonObject json = workbook[QStringLiteral("sheets")][sheet][QStringLiteral("cells")].toObject();
    for (auto it = json.begin(); it != json.end(); ++it)
        cells[it.key().toStdString()] = it.value().toArray()[0].toString().toStdString();
    return cells;
}

// The template's cells with the expected writes on top; an empty text is a blank cell.
Cells expectedCells(const QJsonObject& templateBook, const QString& sheet, const Cells& writes) {
    Cells cells = cellsOf(templateBook, sheet);
    for (const auto& [ref, text] : writes) {
        if (text.empty())
            cells.erase(ref);
        else
            cells[ref] = text;
    }
    return cells;
}

// Builds the cells of a row from the texts of consecutive columns, starting at column A.
void putRow(Cells& cells, int row, const std::vector<std::string>& texts) {
    for (std::size_t i = 0; i < texts.size(); ++i)
        cells[std::string(1, static_cast<char>('A' + i)) + std::to_string(row)] = texts[i];
}

// Columns N to U of a User Config subnet: the titles in row 1 and the values in the given row.
void putFraming(Cells& cells, int row, const std::vector<std::string>& values) {
    const std::vector<std::string> titles = {"Frame Type", "Time Interval between Characters", "Frame Length",
                                             "Start Delimiter", "End Delimiter", "Enable Auto Sending",
                                             "Period of Auto Sending", "Enable CRC Check"};
    for (std::size_t i = 0; i < titles.size(); ++i) {
        const std::string column(1, static_cast<char>('N' + i));
        cells[column + "1"] = titles[i];
        cells[column + std::to_string(row)] = values[i];
    }
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class WorkbookExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        document.newDocument();
        output = dir.filePath(QStringLiteral("out.xlsx"));
    }

    INSTRUCTION& addCommand(int subnet, const std::string& slave, const std::string& fc, const std::string& mapping) {
        CONFIG& s = document.project().subnets[static_cast<std::size_t>(subnet - 1)];
        INSTRUCTION& c = s.commands[static_cast<std::size_t>(s.commandCount++)];
        c = {slave, fc, "0", "2", mapping, "0", "4", "No Swap", "CRC", "Fast Scan", 1};
        return c;
    }

    std::string exportTo(const QString& path, const QString& templatePath = kTemplate) {
        const Status exported = exportWorkbook(document.project(), document.state(), templatePath, path);
        return exported.ok() ? std::string() : exported.message();
    }

    // Exports, reads the result back and compares every cell of every sheet and the template's look.
    void expectWorkbook(const Cells& fieldbus, const Cells& subnet, const Cells& commands) {
        ASSERT_EQ(exportTo(output), "");
        const QJsonObject templateBook = readWithOpenpyxl(kTemplate);
        const QJsonObject book = readWithOpenpyxl(output, kTemplate);
        EXPECT_TRUE(book[QStringLiteral("untouchedEntriesEqual")].toBool());
        EXPECT_EQ(book[QStringLiteral("sheetNames")], templateBook[QStringLiteral("sheetNames")]);
        const std::pair<QString, const Cells*> sheets[] = {
            {QStringLiteral("Fieldbus"), &fieldbus}, {QStringLiteral("Subnet"), &subnet}, {QStringLiteral("Command List"), &commands}};
        for (const auto& [name, writes] : sheets) {
            SCOPED_TRACE(name.toStdString());
            EXPECT_EQ(cellsOf(book, name), expectedCells(templateBook, name, *writes));
            const QJsonObject sheet = book[QStringLiteral("sheets")][name].toObject();
            const QJsonObject original = templateBook[QStringLiteral("sheets")][name].toObject();
            for (const QString& key : {QStringLiteral("widths"), QStringLiteral("freeze"), QStringLiteral("bold")})
                EXPECT_EQ(sheet[key], original[key]) << key.toStdString();
            EXPECT_EQ(sheet[QStringLiteral("freeze")].toString(), QStringLiteral("A2"));
            EXPECT_TRUE(sheet[QStringLiteral("bold")].toArray().contains(QStringLiteral("A1")));
            const QJsonObject cells = sheet[QStringLiteral("cells")].toObject();
            const QJsonObject styles = sheet[QStringLiteral("styles")].toObject();
            for (auto it = cells.begin(); it != cells.end(); ++it) {
                EXPECT_EQ(it.value().toArray()[1].toString(), QStringLiteral("s")) << it.key().toStdString();
                // Every written cell keeps its template style: titles their title look, data the text format.
                const QJsonObject style = styles[it.key()].toObject();
                if (it.key().endsWith(u'1') && it.key().size() == 2)
                    EXPECT_TRUE(style[QStringLiteral("bold")].toBool()) << it.key().toStdString();
                else
                    EXPECT_EQ(style[QStringLiteral("numberFormat")].toString(), QStringLiteral("@")) << it.key().toStdString();
            }
        }
    }

    QTemporaryDir dir;
    QString output;
    ScriptedPrompter prompter;
    Document document{prompter};
};

const std::vector<std::string> kMasterDefaults = {"19200", "8", "None", "1", "", "RTU", "300", "0", "Change of Value"};

Cells defaultFieldbusRow() {
    Cells cells;
    putRow(cells, 2, {"EtherNet/IP", "Manually Assign", "192.168.0.110", "255.255.255.0", "192.168.0.1", "0.0.0.0", "0.0.0.0"});
    return cells;
}

TEST_F(WorkbookExportTest, TwoModbusMasterSubnets) {
    document.project().subnets[0].outputPulse = "500";
    addCommand(1, "1", "3", "0");
    addCommand(1, "2", "1", "1eb").mappingBit = "5";
    addCommand(1, "3", "4", "a");
    addCommand(2, "9", "16", "4000");
    addCommand(2, "10", "6", "40ff").filterOrSwap = "Two Bytes Swap";

    Cells fieldbus = defaultFieldbusRow();
    fieldbus["H1"] = "";
    fieldbus["I1"] = "";
    Cells subnet;
    putRow(subnet, 2, std::vector<std::string>{"1", "Modbus Master"} + kMasterDefaults + std::vector<std::string>{"500", "10"});
    putRow(subnet, 3, std::vector<std::string>{"2", "Modbus Master"} + kMasterDefaults + std::vector<std::string>{"", "10"});
    Cells commands;
    putRow(commands, 2, {"1", "1", "3", "0", "2", "0H", "0", "4", "No Swap", "CRC", "Fast Scan"});
    putRow(commands, 3, {"1", "2", "1", "0", "2", "1EBH", "5", "4", "No Swap", "CRC", "Fast Scan"});
    putRow(commands, 4, {"1", "3", "4", "0", "2", "AH", "0", "4", "No Swap", "CRC", "Fast Scan"});
    putRow(commands, 5, {"2", "9", "16", "0", "2", "4000H", "0", "4", "No Swap", "CRC", "Fast Scan"});
    putRow(commands, 6, {"2", "10", "6", "0", "2", "40FFH", "0", "4", "Two Bytes Swap", "CRC", "Fast Scan"});
    expectWorkbook(fieldbus, subnet, commands);

    EXPECT_EQ(document.project().subnets[0].commands[1].mappingAddress, "1EB");
    EXPECT_EQ(document.project().subnets[1].commands[1].mappingAddress, "40FF");
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(WorkbookExportTest, UserConfigSubnetOneBringsItsTitlesAndNoCommands) {
    CONFIG& s1 = document.project().subnets[0];
    s1.protocolType = "User Config";
    s1.userBaudRate = "9600";
    s1.userParity = "Even";
    s1.frameType = "Delimiter";
    s1.startDelimiter = "2";
    s1.endDelimiter = "3";
    s1.crcCheck = "Enable";
    addCommand(1, "1", "3", "0");  // left over from Modbus Master days; not exported
    addCommand(2, "4", "3", "10");
    addCommand(2, "5", "15", "4002");

    Cells fieldbus = defaultFieldbusRow();
    fieldbus["H1"] = "";
    fieldbus["I1"] = "";
    Cells subnet;
    putRow(subnet, 2, {"1", "User Config", "9600", "8", "Even", "1"});
    putFraming(subnet, 2, {"Delimiter", "10", "111", "2", "3", "Disable", "1000", "Enable"});
    putRow(subnet, 3, std::vector<std::string>{"2", "Modbus Master"} + kMasterDefaults + std::vector<std::string>{"", "10"});
    Cells commands;
    putRow(commands, 2, {"2", "4", "3", "0", "2", "10H", "0", "4", "No Swap", "CRC", "Fast Scan"});
    putRow(commands, 3, {"2", "5", "15", "0", "2", "4002H", "0", "4", "No Swap", "CRC", "Fast Scan"});
    expectWorkbook(fieldbus, subnet, commands);
}

TEST_F(WorkbookExportTest, SingleSubnetModelFillsTheLastFieldbusColumns) {
    document.state().flags.singleSubnetModel = true;
    document.project().fieldbus.configMode = "Disable";
    document.project().fieldbus.configData = "Enable";
    document.project().fieldbus.ipAssignMode = "DHCP";
    document.project().subnets[0].protocolType = "User Config";
    document.project().subnets[0].startDelimiter = "0";
    document.project().subnets[0].endDelimiter = "255";

    Cells fieldbus = defaultFieldbusRow();
    fieldbus["B2"] = "DHCP";
    fieldbus["H2"] = "Disable";
    fieldbus["I2"] = "Enable";
    Cells subnet;
    putRow(subnet, 2, {"1", "User Config", "19200", "8", "None", "1"});
    putFraming(subnet, 2, {"Time Interval between Characters", "10", "111", "0", "255", "Disable", "1000", "Disable"});
    putRow(subnet, 3, std::vector<std::string>{"2", "Modbus Master"} + kMasterDefaults + std::vector<std::string>{"", "10"});
    expectWorkbook(fieldbus, subnet, {});
}

TEST_F(WorkbookExportTest, TextsThatLookLikeMarkupOrNumbersStayText) {
    document.project().fieldbus.dns1 = "<&> \"1\"";
    document.project().fieldbus.dns2 = "007";
    ASSERT_EQ(exportTo(output), "");
    const Cells cells = cellsOf(readWithOpenpyxl(output), QStringLiteral("Fieldbus"));
    EXPECT_EQ(cells.at("F2"), "<&> \"1\"");
    EXPECT_EQ(cells.at("G2"), "007");
}

TEST_F(WorkbookExportTest, BuiltProgramsFindTheTemplateBesideThem) {
    const QByteArray original = readBytes(kTemplate);
    ASSERT_FALSE(original.isEmpty());
    for (const char* folder : {"/src/app/", "/src/cli/"})
        EXPECT_EQ(readBytes(QStringLiteral(VELTRANE_BINARY_DIR) + QString::fromLatin1(folder) + QStringLiteral("Veltrane.xlsx")), original)
            << folder;
    EXPECT_TRUE(installedTemplatePath().endsWith(QStringLiteral("/Veltrane.xlsx")));
}

// --- failures ------------------------------------------------------------------------------

// The template with one zip entry's content changed.
QByteArray withEntry(const QByteArray& zipBytes, const QString& name, const std::function<QByteArray(QByteArray)>& change) {
    QBuffer in;
    in.setData(zipBytes);
    QuaZip source(&in);
    EXPECT_TRUE(source.open(QuaZip::mdUnzip));
    QByteArray out;
    QBuffer outBuffer(&out);
    QuaZip target(&outBuffer);
    EXPECT_TRUE(target.open(QuaZip::mdCreate));
    for (bool more = source.goToFirstFile(); more; more = source.goToNextFile()) {
        const QString entry = source.getCurrentFileName();
        QuaZipFile reader(&source);
        EXPECT_TRUE(reader.open(QIODevice::ReadOnly));
        QByteArray content = reader.readAll();
        reader.close();
        if (entry == name)
            content = change(content);
        QuaZipFile writer(&target);
        EXPECT_TRUE(writer.open(QIODevice::WriteOnly, QuaZipNewInfo(entry)));
        writer.write(content);
        writer.close();
    }
    target.close();
    return out;
}

TEST_F(WorkbookExportTest, TemplateFailuresWriteNothingAndLeaveTheProjectAlone) {
    addCommand(1, "1", "3", "1eb");
    const QByteArray good = readBytes(kTemplate);
    QByteArray flipped = good;
    flipped[60] = static_cast<char>(flipped[60] ^ 0x5A);  // inside the first entry's compressed data

    struct Case {
        const char* name;
        QByteArray bytes;  // empty: no file at all
        std::string message;
    };
    const QString shown = QDir::toNativeSeparators(dir.filePath(QStringLiteral("template.xlsx")));
    const std::string damaged = "The template workbook " + shown.toStdString() + " is damaged or is not an Excel workbook.";
    const Case cases[] = {
        {"missing", {}, "xls template file do not exist!"},
        {"not a zip", "Fieldbus;Subnet;Command List\n", damaged},
        {"truncated", good.left(good.size() / 2), damaged},
        {"bit rot", flipped, damaged},
        {"sheet renamed",
         withEntry(good, QStringLiteral("xl/workbook.xml"), [](QByteArray xml) { return xml.replace("Command List", "Commands"); }),
         "The template workbook " + shown.toStdString() + " has no sheet \"Command List\"."},
        {"broken sheet",
         withEntry(good, QStringLiteral("xl/worksheets/sheet2.xml"), [](QByteArray xml) { return xml.left(xml.size() - 20); }),
         damaged},
        {"no workbook part",
         withEntry(good, QStringLiteral("_rels/.rels"), [](QByteArray xml) { return xml.replace("xl/workbook.xml", "xl/nothing.xml"); }),
         damaged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString templatePath = dir.filePath(QStringLiteral("template.xlsx"));
        QFile::remove(templatePath);
        if (!c.bytes.isEmpty())
            writeBytes(templatePath, c.bytes);
        EXPECT_EQ(exportTo(output, templatePath), c.message);
        EXPECT_FALSE(QFile::exists(output));
        EXPECT_EQ(document.project().subnets[0].commands[0].mappingAddress, "1eb");
    }
    EXPECT_EQ(exportTo(output, dir.path()),
              "The template workbook " + QDir::toNativeSeparators(dir.path()).toStdString() + " cannot be read.");
}

TEST_F(WorkbookExportTest, UnwritableOutputIsReported) {
    const QString nowhere = dir.filePath(QStringLiteral("no/such/folder/out.xlsx"));
    EXPECT_EQ(exportTo(nowhere), "The workbook " + nowhere.toStdString() + " could not be written. No file was created or changed.");
    EXPECT_FALSE(QFile::exists(nowhere));
    // A folder in the way of the output.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken.xlsx")));
    EXPECT_NE(exportTo(dir.filePath(QStringLiteral("taken.xlsx"))), "");
}

// A write that fails halfway (the file size limit stands in for a full disk) leaves the previous
// file as it was and no temporary file beside it.
TEST_F(WorkbookExportTest, FailedWriteLeavesNoHalfWrittenFile) {
    writeBytes(output, "previous workbook");
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string message = exportTo(output);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(message, "The workbook " + output.toStdString() + " could not be written. No file was created or changed.");
    EXPECT_EQ(readBytes(output), QByteArray("previous workbook"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("out.xlsx")});

    // Without the limit the same export replaces the file.
    EXPECT_EQ(exportTo(output), "");
    EXPECT_TRUE(readBytes(output).startsWith("PK"));
}

TEST_F(WorkbookExportTest, OtherDeviceTypesAreRefused) {
    document.state().DeviceType = 1;
    EXPECT_EQ(exportTo(output), "The Excel export covers EtherNet/IP projects only. Nothing is exported for this device type.");
    EXPECT_FALSE(QFile::exists(output));
}

}  // namespace
