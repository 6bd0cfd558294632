#include "core/table/csv_reader.h"

#include "core/common/utf8.h"
#include "core/strings/strings.h"

#include <algorithm>

namespace veltrane {

namespace {

// The separator the header line uses: the one of the two that appears more often outside quotes.
char separatorOf(std::string_view text) {
    std::size_t commas = 0;
    std::size_t semicolons = 0;
    bool quoted = false;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '\n' || c == '\r'))
            break;
        else if (!quoted && c == ',')
            ++commas;
        else if (!quoted && c == ';')
            ++semicolons;
    }
    return semicolons > commas ? ';' : ',';
}

Error tableError(Str id, int line) { return makeError(ErrorKind::Format, format(id, {std::to_string(line)})); }

}  // namespace

Result<std::vector<TableRow>> readCsv(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    const char separator = separatorOf(bytes);
    std::vector<TableRow> rows;
    TableRow row{1, {}};
    std::string cell;
    bool cellStarted = false;  // the cell had a character or quotes
    std::size_t i = 0;
    const auto endCell = [&] {
        row.cells.push_back(std::move(cell));
        cell.clear();
        cellStarted = false;
    };
    const auto endRow = [&] {
        endCell();
        const bool blank = std::all_of(row.cells.begin(), row.cells.end(), [](const std::string& c) { return c.empty(); });
        const int next = row.line + 1;
        if (!blank)
            rows.push_back(std::move(row));
        row = TableRow{next, {}};
    };
    while (i < bytes.size()) {
        const char c = bytes[i];
        if (c == '"') {
            if (cellStarted)
                return tableError(Str::TableStrayQuote, row.line);
            // A quoted cell: up to the quote that is not doubled.
            ++i;
            for (;;) {
                if (i >= bytes.size())
                    return tableError(Str::TableQuoteNotClosed, row.line);
                if (bytes[i] == '"') {
                    if (i + 1 < bytes.size() && bytes[i + 1] == '"') {
                        cell += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                cell += bytes[i++];
            }
            cellStarted = true;
            if (i < bytes.size() && bytes[i] != separator && bytes[i] != '\r' && bytes[i] != '\n')
                return tableError(Str::TableAfterQuote, row.line);
            continue;
        }
        if (c == separator) {
            endCell();
            ++i;
        } else if (c == '\r' || c == '\n') {
            i += (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
            endRow();
        } else {
            cell += c;
            cellStarted = true;
            ++i;
        }
    }
    if (cellStarted || !row.cells.empty())
        endRow();
    for (const TableRow& r : rows)
        for (const std::string& text : r.cells)
            if (!isUtf8(text))
                return tableError(Str::TableNotUtf8, r.line);
    return rows;
}

std::string writeCsv(const std::vector<std::vector<std::string>>& rows) {
    std::string out;
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0)
                out += ',';
            const std::string& text = row[i];
            if (text.find_first_of(",;\"\r\n") == std::string::npos) {
                out += text;
                continue;
            }
            out += '"';
            for (char c : text) {
                if (c == '"')
                    out += '"';
                out += c;
            }
            out += '"';
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace veltrane
