#include "xlsx/sheet_editor.h"

#include "xlsx/cell_reference.h"

#include <QXmlStreamReader>

#include <algorithm>
#include <map>

namespace veltrane::xlsx {

namespace {

struct Attribute {
    QString name;  // qualified, as written in the part; namespace declarations included
    QString value;
};
using Attributes = std::vector<Attribute>;

struct Cell {
    Attributes attributes;
    QString content;  // the XML between the cell's tags, kept as it was unless the cell is written
};

struct Row {
    Attributes attributes;
    std::map<int, Cell> cells;  // by column
    QString otherChildren;      // anything in a row that is not a cell (extension lists)
    bool edited = false;
};

struct ColumnStyle {
    int min = 0;
    int max = 0;
    QString style;
};

struct Range {
    qsizetype begin = -1;
    qsizetype end = -1;
};

const QString* findAttribute(const Attributes& attributes, const QString& name) {
    for (const Attribute& a : attributes)
        if (a.name == name)
            return &a.value;
    return nullptr;
}

void setAttribute(Attributes& attributes, const QString& name, const QString& value, bool first = false) {
    for (Attribute& a : attributes)
        if (a.name == name) {
            a.value = value;
            return;
        }
    if (first)
        attributes.insert(attributes.begin(), {name, value});
    else
        attributes.push_back({name, value});
}

void removeAttribute(Attributes& attributes, const QString& name) {
    std::erase_if(attributes, [&](const Attribute& a) { return a.name == name; });
}

Attributes attributesOf(const QXmlStreamReader& reader) {
    Attributes out;
    for (const QXmlStreamNamespaceDeclaration& ns : reader.namespaceDeclarations()) {
        const QString prefix = ns.prefix().toString();
        out.push_back({prefix.isEmpty() ? QStringLiteral("xmlns") : QStringLiteral("xmlns:") + prefix,
                       ns.namespaceUri().toString()});
    }
    for (const QXmlStreamAttribute& a : reader.attributes())
        out.push_back({a.qualifiedName().toString(), a.value().toString()});
    return out;
}

bool isXmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

QString escapeAttribute(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (QChar c : value) {
        switch (c.unicode()) {
        case u'&': out += QStringLiteral("&amp;"); break;
        case u'<': out += QStringLiteral("&lt;"); break;
        case u'>': out += QStringLiteral("&gt;"); break;
        case u'"': out += QStringLiteral("&quot;"); break;
        case u'\t': out += QStringLiteral("&#9;"); break;
        case u'\n': out += QStringLiteral("&#10;"); break;
        case u'\r': out += QStringLiteral("&#13;"); break;
        default: out += c;
        }
    }
    return out;
}

bool looksLikeEscape(const QString& text, qsizetype i) {
    if (i + 6 >= text.size() || text[i + 1] != u'x' || text[i + 6] != u'_')
        return false;
    static const QString hexDigits = QStringLiteral("0123456789abcdefABCDEF");
    for (qsizetype k = i + 2; k < i + 6; ++k)
        if (!hexDigits.contains(text[k]))
            return false;
    return true;
}

// Cell text: XML escapes, plus the workbook format's _xHHHH_ escape for characters XML cannot
// carry (a project text may hold control characters); a literal "_xHHHH_" is escaped in turn.
QString escapeText(const QString& text) {
    QString out;
    out.reserve(text.size());
    const QList<uint> codePoints = text.toUcs4();
    qsizetype utf16Index = 0;
    for (uint cp : codePoints) {
        const auto c = static_cast<char32_t>(cp);
        if (c == u'&')
            out += QStringLiteral("&amp;");
        else if (c == u'<')
            out += QStringLiteral("&lt;");
        else if (c == u'>')
            out += QStringLiteral("&gt;");
        else if (c == u'\r')
            out += QStringLiteral("&#13;");
        else if (c == u'_' && looksLikeEscape(text, utf16Index))
            out += QStringLiteral("_x005F_");
        else if (!isXmlChar(c))
            out += QStringLiteral("_x") + QStringLiteral("%1").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0')).toUpper() + u'_';
        else
            out += QString::fromUcs4(&c, 1);
        utf16Index += c >= 0x10000 ? 2 : 1;
    }
    return out;
}

QString startTag(const QString& qualifiedName, const Attributes& attributes) {
    QString out = u'<' + qualifiedName;
    for (const Attribute& a : attributes)
        out += u' ' + a.name + QStringLiteral("=\"") + escapeAttribute(a.value) + u'"';
    return out;
}

class WorksheetEdit {
public:
    explicit WorksheetEdit(QString text) : m_text(std::move(text)) {}

    bool parse();
    bool apply(const std::vector<CellText>& cells);
    QString result() const;

private:
    QString qualified(const QString& localName) const {
        return m_prefix.isEmpty() ? localName : m_prefix + u':' + localName;
    }
    qsizetype tagStart(qsizetype tokenEnd) const { return m_text.lastIndexOf(u'<', tokenEnd - 1); }
    QString styleForNewCell(const Row& row, int column) const;
    void writeCell(Cell& cell, const QString& text) const;
    QString dimensionReference() const;

    QString m_text;
    QString m_prefix;  // of the cell table's elements
    Range m_sheetData;
    Range m_dimension;
    QString m_dimensionName;
    Attributes m_sheetDataAttributes;
    std::map<int, Row> m_rows;
    std::vector<ColumnStyle> m_columns;
};

bool WorksheetEdit::parse() {
    QXmlStreamReader reader(m_text);
    QStringList path;  // local names from the root down to the current element
    QString rootNamespace;
    int rowNumber = 0;
    int columnNumber = 0;
    Row* row = nullptr;
    Cell* cell = nullptr;
    qsizetype cellTagEnd = 0;
    bool cellSelfClosing = false;
    qsizetype otherBegin = -1;

    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        const qsizetype end = static_cast<qsizetype>(reader.characterOffset());
        if (token == QXmlStreamReader::StartElement) {
            const QString name = reader.name().toString();
            const bool ours = path.isEmpty() || reader.namespaceUri() == rootNamespace;
            const QString parent = path.isEmpty() ? QString() : path.back();
            const qsizetype depth = path.size();
            path.push_back(ours ? name : QString());
            if (depth == 0) {
                if (name != QStringLiteral("worksheet"))
                    return false;
                rootNamespace = reader.namespaceUri().toString();
            } else if (!ours) {
                if (depth == 3 && row)
                    otherBegin = tagStart(end);
            } else if (depth == 1 && name == QStringLiteral("sheetData")) {
                if (m_sheetData.begin >= 0)
                    return false;
                m_sheetData.begin = tagStart(end);
                m_prefix = reader.prefix().toString();
                m_sheetDataAttributes = attributesOf(reader);
            } else if (depth == 1 && name == QStringLiteral("dimension")) {
                m_dimension.begin = tagStart(end);
                m_dimensionName = reader.qualifiedName().toString();
            } else if (depth == 2 && parent == QStringLiteral("cols") && name == QStringLiteral("col")) {
                m_columns.push_back({reader.attributes().value(QStringLiteral("min")).toInt(), reader.attributes().value(QStringLiteral("max")).toInt(),
                                     reader.attributes().value(QStringLiteral("style")).toString()});
            } else if (depth == 2 && parent == QStringLiteral("sheetData") && name == QStringLiteral("row")) {
                Attributes attributes = attributesOf(reader);
                const QString* r = findAttribute(attributes, QStringLiteral("r"));
                const int number = r ? r->toInt() : rowNumber + 1;
                if (number <= rowNumber || number > kMaxRow)
                    return false;  // rows must rise; a repeated row would hide one of the two
                rowNumber = number;
                setAttribute(attributes, QStringLiteral("r"), QString::number(number), true);
                row = &m_rows[number];
                row->attributes = std::move(attributes);
                columnNumber = 0;
            } else if (depth == 3 && parent == QStringLiteral("row") && name == QStringLiteral("c") && row) {
                Attributes attributes = attributesOf(reader);
                const QString* r = findAttribute(attributes, QStringLiteral("r"));
                int refRow = rowNumber;
                int column = columnNumber + 1;
                if (r && (!parseCellReference(*r, refRow, column) || refRow != rowNumber))
                    return false;
                if (column <= columnNumber || column > kMaxColumn)
                    return false;
                columnNumber = column;
                setAttribute(attributes, QStringLiteral("r"), cellReference(rowNumber, column), true);
                cell = &row->cells[column];
                cell->attributes = std::move(attributes);
                cellTagEnd = end;
                cellSelfClosing = end >= 2 && m_text[end - 2] == u'/';
            } else if (depth == 3 && row) {
                otherBegin = tagStart(end);
            }
        } else if (token == QXmlStreamReader::EndElement) {
            const QString name = path.back();
            path.pop_back();
            const qsizetype depth = path.size();
            if (depth == 3 && cell && name == QStringLiteral("c")) {
                if (!cellSelfClosing)
                    cell->content = m_text.mid(cellTagEnd, tagStart(end) - cellTagEnd);
                cell = nullptr;
            } else if (depth == 3 && row && otherBegin >= 0) {
                row->otherChildren += m_text.mid(otherBegin, end - otherBegin);
                otherBegin = -1;
            } else if (depth == 2 && name == QStringLiteral("row")) {
                row = nullptr;
            } else if (depth == 1 && name == QStringLiteral("sheetData")) {
                m_sheetData.end = end;
            } else if (depth == 1 && name == QStringLiteral("dimension")) {
                m_dimension.end = end;
            }
        }
    }
    if (reader.hasError() || m_sheetData.begin < 0 || m_sheetData.end < m_sheetData.begin)
        return false;
    // The schema puts the dimension before the cell table; one anywhere else is left alone.
    if (m_dimension.end <= m_dimension.begin || m_dimension.begin > m_sheetData.begin)
        m_dimension = {};
    return true;
}

QString WorksheetEdit::styleForNewCell(const Row& row, int column) const {
    const QString* customFormat = findAttribute(row.attributes, QStringLiteral("customFormat"));
    const QString* rowStyle = findAttribute(row.attributes, QStringLiteral("s"));
    if (rowStyle && customFormat && (*customFormat == QStringLiteral("1") || *customFormat == QStringLiteral("true")))
        return *rowStyle;
    for (const ColumnStyle& c : m_columns)
        if (column >= c.min && column <= c.max)
            return c.style;
    return {};
}

void WorksheetEdit::writeCell(Cell& cell, const QString& text) const {
    // The old value's type and metadata go with it; the style stays.
    for (const char* name : {"t", "cm", "vm"})
        removeAttribute(cell.attributes, QString::fromLatin1(name));
    if (text.isEmpty()) {
        cell.content.clear();
        return;
    }
    setAttribute(cell.attributes, QStringLiteral("t"), QStringLiteral("inlineStr"));
    const bool keepBlanks = text.front().isSpace() || text.back().isSpace();
    cell.content = u'<' + qualified(QStringLiteral("is")) + u'>' + u'<' + qualified(QStringLiteral("t")) +
                   (keepBlanks ? QStringLiteral(" xml:space=\"preserve\">") : QStringLiteral(">")) + escapeText(text) +
                   QStringLiteral("</") + qualified(QStringLiteral("t")) + QStringLiteral("></") + qualified(QStringLiteral("is")) + u'>';
}

bool WorksheetEdit::apply(const std::vector<CellText>& cells) {
    for (const CellText& c : cells) {
        if (c.row < 1 || c.row > kMaxRow || c.column < 1 || c.column > kMaxColumn)
            return false;
        auto [rowIt, newRow] = m_rows.try_emplace(c.row);
        Row& row = rowIt->second;
        if (newRow)
            row.attributes.push_back({QStringLiteral("r"), QString::number(c.row)});
        auto [cellIt, newCell] = row.cells.try_emplace(c.column);
        Cell& cell = cellIt->second;
        if (newCell) {
            cell.attributes.push_back({QStringLiteral("r"), cellReference(c.row, c.column)});
            const QString style = styleForNewCell(row, c.column);
            if (!style.isEmpty() && style != QStringLiteral("0"))
                cell.attributes.push_back({QStringLiteral("s"), style});
        }
        writeCell(cell, c.text);
        row.edited = true;
    }
    // The column spans of a row are only a hint for readers, and a stale one misleads them.
    for (auto& [number, row] : m_rows)
        if (row.edited)
            removeAttribute(row.attributes, QStringLiteral("spans"));
    return true;
}

QString WorksheetEdit::dimensionReference() const {
    int minRow = 0, maxRow = 0, minColumn = 0, maxColumn = 0;
    for (const auto& [number, row] : m_rows) {
        if (row.cells.empty())
            continue;
        if (minRow == 0)
            minRow = number;
        maxRow = number;
        const int first = row.cells.begin()->first;
        const int last = row.cells.rbegin()->first;
        minColumn = minColumn == 0 ? first : std::min(minColumn, first);
        maxColumn = std::max(maxColumn, last);
    }
    if (minRow == 0)
        return QStringLiteral("A1");
    const QString first = cellReference(minRow, minColumn);
    const QString last = cellReference(maxRow, maxColumn);
    return first == last ? first : first + u':' + last;
}

QString WorksheetEdit::result() const {
    QString table = startTag(qualified(QStringLiteral("sheetData")), m_sheetDataAttributes) + u'>';
    const QString rowName = qualified(QStringLiteral("row"));
    const QString cellName = qualified(QStringLiteral("c"));
    for (const auto& [number, row] : m_rows) {
        table += startTag(rowName, row.attributes);
        if (row.cells.empty() && row.otherChildren.isEmpty()) {
            table += QStringLiteral("/>");
            continue;
        }
        table += u'>';
        for (const auto& [column, cell] : row.cells) {
            table += startTag(cellName, cell.attributes);
            table += cell.content.isEmpty() ? QStringLiteral("/>") : u'>' + cell.content + QStringLiteral("</") + cellName + u'>';
        }
        table += row.otherChildren + QStringLiteral("</") + rowName + u'>';
    }
    table += QStringLiteral("</") + qualified(QStringLiteral("sheetData")) + u'>';

    QString out;
    if (m_dimension.begin >= 0) {
        out = m_text.left(m_dimension.begin);
        out += startTag(m_dimensionName, {{QStringLiteral("ref"), dimensionReference()}}) + QStringLiteral("/>");
        out += m_text.mid(m_dimension.end, m_sheetData.begin - m_dimension.end);
    } else {
        out = m_text.left(m_sheetData.begin);
    }
    out += table;
    out += m_text.mid(m_sheetData.end);
    return out;
}

}  // namespace

std::optional<QByteArray> writeCellTexts(const QByteArray& worksheetXml, const std::vector<CellText>& cells) {
    QString text = QString::fromUtf8(worksheetXml);
    const bool bom = text.startsWith(QChar(0xFEFF));
    if (bom)
        text.remove(0, 1);
    WorksheetEdit edit(std::move(text));
    if (!edit.parse() || !edit.apply(cells))
        return std::nullopt;
    QByteArray out = edit.result().toUtf8();
    if (bom)
        out.prepend("\xEF\xBB\xBF");
    return out;
}

}  // namespace veltrane::xlsx
