#include "xlsx/table_workbook.h"

#include "core/model/file_io.h"
#include "core/model/text_value.h"
#include "core/table/csv_reader.h"
#include "core/strings/strings.h"
#include "xlsx/cell_reference.h"
#include "xlsx/template_workbook.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include <QBuffer>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cmath>

namespace veltrane::xlsx {

namespace {

const QString kMainNamespace = QStringLiteral("http://schemas.openxmlformats.org/spreadsheetml/2006/main");
const QString kRelationshipsNamespace =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");

Error damaged() { return makeError(ErrorKind::Format, tr(Str::ImportWorkbookDamaged)); }

QByteArray sheetXml(const std::vector<std::vector<std::string>>& rows) {
    QByteArray xml;
    QXmlStreamWriter out(&xml);
    out.writeStartDocument(QStringLiteral("1.0"), true);
    out.writeStartElement(QStringLiteral("worksheet"));
    out.writeDefaultNamespace(kMainNamespace);
    out.writeStartElement(QStringLiteral("sheetData"));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const int row = static_cast<int>(r) + 1;
        out.writeStartElement(QStringLiteral("row"));
        out.writeAttribute(QStringLiteral("r"), QString::number(row));
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            const std::string& text = rows[r][c];
            if (text.empty())
                continue;
            out.writeStartElement(QStringLiteral("c"));
            out.writeAttribute(QStringLiteral("r"), cellReference(row, static_cast<int>(c) + 1));
            if (isCanonical(text)) {
                out.writeTextElement(QStringLiteral("v"), QString::fromStdString(text));
            } else {
                out.writeAttribute(QStringLiteral("t"), QStringLiteral("inlineStr"));
                out.writeStartElement(QStringLiteral("is"));
                out.writeStartElement(QStringLiteral("t"));
                out.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
                out.writeCharacters(QString::fromStdString(text));
                out.writeEndElement();
                out.writeEndElement();
            }
            out.writeEndElement();
        }
        out.writeEndElement();
    }
    out.writeEndDocument();
    return xml;
}

const char* const kContentTypes =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/>)"
    R"(<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>)"
    R"(<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>)"
    R"(</Types>)";
const char* const kPackageRelationships =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>)"
    R"(</Relationships>)";
const char* const kWorkbook =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
    R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
    R"(<sheets><sheet name="Commands" sheetId="1" r:id="rId1"/></sheets></workbook>)";
const char* const kWorkbookRelationships =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>)"
    R"(</Relationships>)";

// One entry of a workbook being read, inflated within the bounds; empty when there is none.
bool readEntry(QuaZip& zip, const QString& name, QByteArray& out, bool& damagedEntry) {
    out.clear();
    if (!zip.setCurrentFile(name))
        return false;
    QuaZipFileInfo64 info;
    if (!zip.getCurrentFileInfo(&info) || info.uncompressedSize > kTemplateLimits.entryBytes) {
        damagedEntry = true;
        return false;
    }
    QuaZipFile file(&zip);
    if (!file.open(QIODevice::ReadOnly)) {
        damagedEntry = true;
        return false;
    }
    char chunk[65536];
    for (;;) {
        const qint64 got = file.read(chunk, sizeof chunk);
        if (got < 0 || static_cast<quint64>(out.size() + got) > info.uncompressedSize) {
            damagedEntry = true;
            return false;
        }
        if (got == 0)
            break;
        out.append(chunk, static_cast<qsizetype>(got));
    }
    file.close();
    if (file.getZipError() != UNZ_OK) {
        damagedEntry = true;
        return false;
    }
    return true;
}

// The concatenated <t> texts inside the current element (a shared string or an inline string).
QString innerText(QXmlStreamReader& xml) {
    QString text;
    const QStringView end = xml.name();
    const QString endName = end.toString();
    while (xml.readNext() != QXmlStreamReader::Invalid) {
        if (xml.isEndElement() && xml.name() == endName)
            break;
        if (xml.isStartElement() && xml.name() == u"t")
            text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
        else if (xml.isStartElement() && (xml.name() == u"rPh" || xml.name() == u"phoneticPr"))
            xml.skipCurrentElement();  // reading aids, not part of the text
    }
    return text;
}

std::vector<QString> sharedStrings(const QByteArray& bytes) {
    std::vector<QString> strings;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"si")
            strings.push_back(innerText(xml));
    }
    return strings;
}

// The first sheet's part, through the workbook's relationships.
QString firstSheetPart(const QByteArray& workbook, const QByteArray& relationships) {
    QString id;
    QXmlStreamReader xml(workbook);
    while (!xml.atEnd() && id.isEmpty())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"sheet")
            id = xml.attributes().value(kRelationshipsNamespace, QStringLiteral("id")).toString();
    QXmlStreamReader rels(relationships);
    while (!rels.atEnd() && !id.isEmpty()) {
        if (rels.readNext() == QXmlStreamReader::StartElement && rels.name() == u"Relationship" &&
            rels.attributes().value(QStringLiteral("Id")) == id) {
            const QString target = rels.attributes().value(QStringLiteral("Target")).toString();
            return target.startsWith(u'/') ? target.mid(1) : QStringLiteral("xl/") + target;
        }
    }
    return {};
}

// A number cell as the integer it shows when it is whole; otherwise its text as stored.
bool isWorkbookName(const std::string& path) {
    return QString::fromStdString(path).endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive);
}

std::string numberText(const QString& stored) {
    bool ok = false;
    const double value = stored.toDouble(&ok);
    if (ok && std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
        return std::to_string(static_cast<long long>(value));
    return stored.toStdString();
}

}  // namespace

Result<QByteArray> tableWorkbook(const std::vector<std::vector<std::string>>& rows) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QuaZip zip(&buffer);
    if (!zip.open(QuaZip::mdCreate))
        return makeError(ErrorKind::Io, tr(Str::ImportWorkbookDamaged));
    const std::pair<const char*, QByteArray> entries[] = {
        {"[Content_Types].xml", QByteArray(kContentTypes)},
        {"_rels/.rels", QByteArray(kPackageRelationships)},
        {"xl/workbook.xml", QByteArray(kWorkbook)},
        {"xl/_rels/workbook.xml.rels", QByteArray(kWorkbookRelationships)},
        {"xl/worksheets/sheet1.xml", sheetXml(rows)}};
    for (const auto& [name, content] : entries) {
        QuaZipFile file(&zip);
        if (!file.open(QIODevice::WriteOnly, QuaZipNewInfo(QString::fromLatin1(name))) ||
            file.write(content) != content.size())
            return makeError(ErrorKind::Io, tr(Str::ImportWorkbookDamaged));
        file.close();
    }
    zip.close();
    if (zip.getZipError() != UNZ_OK)
        return makeError(ErrorKind::Io, tr(Str::ImportWorkbookDamaged));
    return buffer.data();
}

Result<std::vector<TableRow>> readTableWorkbook(const QByteArray& bytes) {
    if (static_cast<quint64>(bytes.size()) > kTemplateLimits.fileBytes)
        return damaged();
    QBuffer buffer;
    buffer.setData(bytes);
    QuaZip zip(&buffer);
    if (!zip.open(QuaZip::mdUnzip))
        return damaged();
    bool broken = false;
    QByteArray workbook, relationships, shared, sheet;
    if (!readEntry(zip, QStringLiteral("xl/workbook.xml"), workbook, broken) ||
        !readEntry(zip, QStringLiteral("xl/_rels/workbook.xml.rels"), relationships, broken))
        return damaged();
    readEntry(zip, QStringLiteral("xl/sharedStrings.xml"), shared, broken);
    const QString sheetPart = firstSheetPart(workbook, relationships);
    if (broken || sheetPart.isEmpty() || !readEntry(zip, sheetPart, sheet, broken))
        return damaged();
    const std::vector<QString> strings = sharedStrings(shared);

    std::vector<TableRow> rows;
    QXmlStreamReader xml(sheet);
    int nextRow = 1;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"row")
            continue;
        TableRow row;
        bool numbered = false;
        row.line = xml.attributes().value(QStringLiteral("r")).toInt(&numbered);
        if (!numbered || row.line < nextRow || row.line > kMaxRow)
            row.line = nextRow;
        nextRow = row.line + 1;
        while (xml.readNext() != QXmlStreamReader::Invalid && !(xml.isEndElement() && xml.name() == u"row")) {
            if (!xml.isStartElement() || xml.name() != u"c")
                continue;
            int cellRow = 0;
            int column = static_cast<int>(row.cells.size()) + 1;
            const QString reference = xml.attributes().value(QStringLiteral("r")).toString();
            if (!reference.isEmpty() && !parseCellReference(reference, cellRow, column))
                return damaged();
            const QString type = xml.attributes().value(QStringLiteral("t")).toString();
            std::string text;
            if (type == u"inlineStr") {
                text = innerText(xml).toStdString();
            } else {
                QString value;
                while (xml.readNext() != QXmlStreamReader::Invalid && !(xml.isEndElement() && xml.name() == u"c"))
                    if (xml.isStartElement() && xml.name() == u"v")
                        value = xml.readElementText();
                if (type == u"s") {
                    bool ok = false;
                    const int index = value.toInt(&ok);
                    if (!ok || index < 0 || static_cast<std::size_t>(index) >= strings.size())
                        return damaged();
                    text = strings[static_cast<std::size_t>(index)].toStdString();
                } else if (type.isEmpty() || type == u"n") {
                    text = numberText(value);
                } else {
                    text = value.toStdString();
                }
            }
            if (column < static_cast<int>(row.cells.size()) + 1)
                return damaged();  // cells out of order
            row.cells.resize(static_cast<std::size_t>(column - 1));
            row.cells.push_back(std::move(text));
        }
        if (std::any_of(row.cells.begin(), row.cells.end(), [](const std::string& c) { return !c.empty(); }))
            rows.push_back(std::move(row));
    }
    if (xml.hasError())
        return damaged();
    return rows;
}

Result<std::vector<TableRow>> readTableFile(const std::string& path) {
    const Result<std::vector<std::uint8_t>> bytes = readWholeFile(path, kTemplateLimits.fileBytes);
    if (!bytes)
        return makeError(bytes.kind(), format(Str::TableReadFailed, {path}));
    if (isWorkbookName(path))
        return readTableWorkbook(QByteArray(reinterpret_cast<const char*>(bytes->data()), static_cast<qsizetype>(bytes->size())));
    return readCsv(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

Status writeTableFile(const std::string& path, const std::vector<std::vector<std::string>>& rows) {
    QByteArray content;
    if (isWorkbookName(path)) {
        const Result<QByteArray> workbook = tableWorkbook(rows);
        if (!workbook)
            return workbook.error();
        content = *workbook;
    } else {
        content = QByteArray::fromStdString(writeCsv(rows));
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(content.constData());
    if (!writeFileAtomically(path, std::span(data, static_cast<std::size_t>(content.size()))))
        return makeError(ErrorKind::Io, format(Str::TableWriteFailed, {path}));
    return {};
}

}  // namespace veltrane::xlsx
