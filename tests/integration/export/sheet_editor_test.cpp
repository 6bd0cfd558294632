#include "xlsx/cell_reference.h"
#include "xlsx/sheet_editor.h"

#include <gtest/gtest.h>

using namespace veltrane::xlsx;

namespace {

const QByteArray kHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:x14ac=\"http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac\">"
    "<dimension ref=\"A1:B1\"/><sheetViews><sheetView workbookViewId=\"0\"><pane ySplit=\"1\" topLeftCell=\"A2\" "
    "state=\"frozen\"/></sheetView></sheetViews><cols><col min=\"1\" max=\"3\" width=\"12\" style=\"4\" "
    "customWidth=\"1\"/></cols>";
const QByteArray kTail = "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\"/></worksheet>";

QByteArray sheet(const QByteArray& table) { return kHead + table + kTail; }

QByteArray edit(const QByteArray& xml, const std::vector<CellText>& cells) {
    const std::optional<QByteArray> out = writeCellTexts(xml, cells);
    EXPECT_TRUE(out.has_value());
    return out.value_or(QByteArray());
}

QByteArray between(const QByteArray& xml, const QByteArray& from, const QByteArray& to) {
    const qsizetype begin = xml.indexOf(from);
    const qsizetype end = xml.indexOf(to, begin);
    return begin < 0 || end < 0 ? QByteArray() : xml.mid(begin, end + to.size() - begin);
}

TEST(CellReference, LettersAndParsing) {
    const std::pair<int, const char*> columns[] = {{1, "A"}, {26, "Z"}, {27, "AA"}, {52, "AZ"}, {703, "AAA"}, {16384, "XFD"}};
    for (const auto& [number, letters] : columns) {
        EXPECT_EQ(columnLetters(number), QString::fromLatin1(letters));
        int row = 0, column = 0;
        ASSERT_TRUE(parseCellReference(QString::fromLatin1(letters) + QStringLiteral("7"), row, column)) << letters;
        EXPECT_EQ(row, 7);
        EXPECT_EQ(column, number);
    }
    int row = 0, column = 0;
    for (const char* bad : {"", "A", "7", "a1", "A0", "A-1", "XFE1", "A1048577", "A1B"})
        EXPECT_FALSE(parseCellReference(QString::fromLatin1(bad), row, column)) << bad;
}

TEST(SheetEditor, EverythingOutsideTheCellTableIsKept) {
    const QByteArray xml = sheet("<sheetData><row r=\"1\" spans=\"1:2\" ht=\"20\" customHeight=\"1\" x14ac:dyDescent=\"0.25\">"
                                 "<c r=\"A1\" s=\"2\" t=\"s\"><v>0</v></c><c r=\"B1\" s=\"2\" t=\"s\"><v>1</v></c></row></sheetData>");
    const QByteArray out = edit(xml, {{3, 2, QStringLiteral("x")}});
    const qsizetype tableStart = out.indexOf("<sheetData>");
    // The head is unchanged except for the dimension, the tail is unchanged.
    EXPECT_EQ(out.left(tableStart), QByteArray(kHead).replace("A1:B1", "A1:B3"));
    EXPECT_TRUE(out.endsWith("</sheetData>" + kTail));
    // Untouched rows and cells keep their attributes and values; the edited row loses only its spans.
    EXPECT_EQ(between(out, "<row r=\"1\"", "</row>"),
              "<row r=\"1\" spans=\"1:2\" ht=\"20\" customHeight=\"1\" x14ac:dyDescent=\"0.25\"><c r=\"A1\" s=\"2\" "
              "t=\"s\"><v>0</v></c><c r=\"B1\" s=\"2\" t=\"s\"><v>1</v></c></row>");
    EXPECT_EQ(between(out, "<row r=\"3\"", "</row>"),
              "<row r=\"3\"><c r=\"B3\" s=\"4\" t=\"inlineStr\"><is><t>x</t></is></c></row>");
}

TEST(SheetEditor, WrittenCellsKeepTheirStyleAndBecomeText) {
    struct Case {
        const char* name;
        QByteArray table;
        std::vector<CellText> cells;
        QByteArray expectedRow;
    };
    const Case cases[] = {
        {"replaces a shared string, keeps the style",
         "<sheetData><row r=\"1\" spans=\"1:3\"><c r=\"B1\" s=\"7\" t=\"s\"><v>3</v></c></row></sheetData>",
         {{1, 2, QStringLiteral("500")}},
         "<row r=\"1\"><c r=\"B1\" s=\"7\" t=\"inlineStr\"><is><t>500</t></is></c></row>"},
        {"replaces a formula and a number",
         "<sheetData><row r=\"2\"><c r=\"A2\" s=\"1\"><f>1+1</f><v>2</v></c><c r=\"C2\"><v>5</v></c></row></sheetData>",
         {{2, 1, QStringLiteral("a")}, {2, 3, QStringLiteral("b")}},
         "<row r=\"2\"><c r=\"A2\" s=\"1\" t=\"inlineStr\"><is><t>a</t></is></c><c r=\"C2\" "
         "t=\"inlineStr\"><is><t>b</t></is></c></row>"},
        {"an empty text blanks the cell and keeps its style",
         "<sheetData><row r=\"1\"><c r=\"H1\" s=\"2\" t=\"inlineStr\"><is><t>Title</t></is></c></row></sheetData>",
         {{1, 8, QString()}},
         "<row r=\"1\"><c r=\"H1\" s=\"2\"/></row>"},
        {"new cells go in column order, with the column style",
         "<sheetData><row r=\"1\"><c r=\"B1\" s=\"2\"/><c r=\"E1\" s=\"2\"/></row></sheetData>",
         {{1, 3, QStringLiteral("c")}, {1, 1, QStringLiteral("a")}},
         "<row r=\"1\"><c r=\"A1\" s=\"4\" t=\"inlineStr\"><is><t>a</t></is></c><c r=\"B1\" s=\"2\"/><c r=\"C1\" s=\"4\" "
         "t=\"inlineStr\"><is><t>c</t></is></c><c r=\"E1\" s=\"2\"/></row>"},
        {"a formatted row lends its style before the column does",
         "<sheetData><row r=\"1\" s=\"9\" customFormat=\"1\"/></sheetData>",
         {{1, 2, QStringLiteral("b")}},
         "<row r=\"1\" s=\"9\" customFormat=\"1\"><c r=\"B1\" s=\"9\" t=\"inlineStr\"><is><t>b</t></is></c></row>"},
        {"a column outside <cols> lends no style",
         "<sheetData/>",
         {{1, 5, QStringLiteral("e")}},
         "<row r=\"1\"><c r=\"E1\" t=\"inlineStr\"><is><t>e</t></is></c></row>"},
        {"cells and rows without references get them",
         "<sheetData><row><c s=\"3\"><v>1</v></c><c><v>2</v></c></row></sheetData>",
         {{1, 3, QStringLiteral("c")}},
         "<row r=\"1\"><c r=\"A1\" s=\"3\"><v>1</v></c><c r=\"B1\"><v>2</v></c><c r=\"C1\" s=\"4\" "
         "t=\"inlineStr\"><is><t>c</t></is></c></row>"},
        {"the last write to a cell wins",
         "<sheetData/>",
         {{1, 1, QStringLiteral("first")}, {1, 1, QStringLiteral("second")}},
         "<row r=\"1\"><c r=\"A1\" s=\"4\" t=\"inlineStr\"><is><t>second</t></is></c></row>"},
        {"markup, blanks and characters XML cannot carry",
         "<sheetData/>",
         {{1, 1, QStringLiteral(" a<b>&c \"d\"")}, {1, 2, QString::fromUtf8("x\x01y_x0041_z\r")}},
         "<row r=\"1\"><c r=\"A1\" s=\"4\" t=\"inlineStr\"><is><t xml:space=\"preserve\"> a&lt;b&gt;&amp;c \"d\"</t></is></c>"
         "<c r=\"B1\" s=\"4\" t=\"inlineStr\"><is><t xml:space=\"preserve\">x_x0001_y_x005F_x0041_z&#13;</t></is></c></row>"},
    };
    for (const Case& c : cases) {
        const QByteArray out = edit(sheet(c.table), c.cells);
        const qsizetype row = out.indexOf("<row");
        EXPECT_EQ(out.mid(row, out.indexOf("</sheetData>") - row).toStdString(), c.expectedRow.toStdString()) << c.name;
    }
}

TEST(SheetEditor, RowsStayInOrderAndTheDimensionCoversThem) {
    const QByteArray xml = sheet("<sheetData><row r=\"1\"><c r=\"B1\"><v>1</v></c></row>"
                                 "<row r=\"5\"><c r=\"A5\"><v>5</v></c></row></sheetData>");
    const QByteArray out = edit(xml, {{7, 3, QStringLiteral("g")}, {3, 1, QStringLiteral("c")}});
    EXPECT_LT(out.indexOf("<row r=\"1\""), out.indexOf("<row r=\"3\""));
    EXPECT_LT(out.indexOf("<row r=\"3\""), out.indexOf("<row r=\"5\""));
    EXPECT_LT(out.indexOf("<row r=\"5\""), out.indexOf("<row r=\"7\""));
    EXPECT_TRUE(out.contains("<dimension ref=\"A1:C7\"/>"));
}

TEST(SheetEditor, PrefixedSpreadsheetNamespaceIsFollowed) {
    const QByteArray xml = "<x:worksheet xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                           "<x:sheetData><x:row r=\"1\"><x:c r=\"A1\"><x:v>1</x:v></x:c></x:row></x:sheetData></x:worksheet>";
    const QByteArray out = edit(xml, {{1, 2, QStringLiteral("b")}});
    EXPECT_EQ(out, "<x:worksheet xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><x:sheetData>"
                   "<x:row r=\"1\"><x:c r=\"A1\"><x:v>1</x:v></x:c><x:c r=\"B1\" t=\"inlineStr\"><x:is><x:t>b</x:t>"
                   "</x:is></x:c></x:row></x:sheetData></x:worksheet>");
}

TEST(SheetEditor, NonAsciiTextSurvivesAroundTheTable) {
    const QByteArray xml = "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                           "<sheetPr codeName=\"Größe😀\"/><sheetData/><headerFooter><oddHeader>Ünïcode 😀</oddHeader>"
                           "</headerFooter></worksheet>";
    const QByteArray out = edit(xml, {{1, 1, QString::fromUtf8("Grüße 😀")}});
    EXPECT_EQ(out, "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                   "<sheetPr codeName=\"Größe😀\"/><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>Grüße 😀</t>"
                   "</is></c></row></sheetData><headerFooter><oddHeader>Ünïcode 😀</oddHeader></headerFooter></worksheet>");
}

TEST(SheetEditor, RefusesPartsItCannotReadSafely) {
    const std::pair<const char*, QByteArray> cases[] = {
        {"not XML", "PK\x03\x04 binary"},
        {"truncated", sheet("<sheetData><row r=\"1\">").left(200)},
        {"no cell table", kHead + kTail},
        {"not a worksheet", "<chartsheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"/>"},
        {"rows out of order", sheet("<sheetData><row r=\"2\"/><row r=\"1\"/></sheetData>")},
        {"a cell of another row", sheet("<sheetData><row r=\"2\"><c r=\"A1\"/></row></sheetData>")},
        {"a cell twice", sheet("<sheetData><row r=\"1\"><c r=\"A1\"/><c r=\"A1\"/></row></sheetData>")},
    };
    for (const auto& [name, xml] : cases)
        EXPECT_FALSE(writeCellTexts(xml, {{1, 1, QStringLiteral("a")}}).has_value()) << name;
    EXPECT_FALSE(writeCellTexts(sheet("<sheetData/>"), {{0, 1, QStringLiteral("a")}}).has_value());
    EXPECT_FALSE(writeCellTexts(sheet("<sheetData/>"), {{1, 16385, QStringLiteral("a")}}).has_value());
}

}  // namespace
