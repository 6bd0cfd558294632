#include "core/table/csv_reader.h"

#include <gtest/gtest.h>

using namespace veltrane;

namespace {

TEST(CsvReader, ReadsRowsAsASpreadsheetNumbersThem) {
    struct Case {
        std::string text;
        std::vector<TableRow> rows;
    };
    const Case cases[] = {
        // Semicolons told by the header, a byte-order mark, a comma inside a cell.
        {"\xEF\xBB\xBFSubnet;Slave Address\r\n1;2,5\r\n", {{1, {"Subnet", "Slave Address"}}, {2, {"1", "2,5"}}}},
        // Quoted separators, doubled quotes, a line break inside a cell that does not start a row.
        {"a,b\n\"x,\"\"y\"\"\",\"two\nlines\"\n3,4", {{1, {"a", "b"}}, {2, {"x,\"y\"", "two\nlines"}}, {3, {"3", "4"}}}},
        // A blank row keeps its number; an empty last cell is a cell.
        {"a,b\n\n,\n1,\n", {{1, {"a", "b"}}, {4, {"1", ""}}}},
    };
    for (const Case& c : cases) {
        const Result<std::vector<TableRow>> rows = readCsv(c.text);
        ASSERT_TRUE(rows) << rows.message();
        EXPECT_EQ(*rows, c.rows) << c.text;
    }
}

TEST(CsvReader, RefusesMalformedTablesWithTheLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"a,b\n1,\"open\n2,3\n", "line 2: a quoted cell is not closed"},
        {"a,b\n1,x\"y\n", "line 2: a quote inside a cell that does not start with one"},
        {"a,b\n\"q\"x,1\n", "line 2: text after the closing quote of a cell"},
        {"a,b\n1,\xC3\n", "line 2: the text is not UTF-8"},
    };
    for (const auto& [text, message] : cases) {
        const Result<std::vector<TableRow>> rows = readCsv(text);
        ASSERT_FALSE(rows) << text;
        EXPECT_EQ(rows.message(), message);
    }
}

TEST(CsvReader, WrittenTablesReadBack) {
    const std::vector<std::vector<std::string>> table = {{"a", "b;c", "say \"hi\""}, {"1", "", "x\ny"}};
    const Result<std::vector<TableRow>> rows = readCsv(writeCsv(table));
    ASSERT_TRUE(rows) << rows.message();
    ASSERT_EQ(rows->size(), 2u);
    EXPECT_EQ((*rows)[0].cells, table[0]);
    EXPECT_EQ((*rows)[1].cells, table[1]);
}

}  // namespace
