// Feeds arbitrary bytes to the template reader as the export does, with the template limits in
// place: a damaged zip, a zip bomb, broken relationships or worksheets must end in a refusal, never
// in a crash, a hang or more memory than the limits allow. What it writes must read again: a filled
// workbook is itself a template that fills, an edited worksheet one that edits.

#include "xlsx/template_workbook.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace veltrane;

namespace {
#define check(condition) checkAt((condition), __LINE__)
void checkAt(bool condition, int line) {
    if (condition)
        return;
    std::fprintf(stderr, "template_workbook_fuzzer: check at line %d failed\n", line);
    std::abort();
}

const std::vector<xlsx::SheetTexts>& sheets() {
    static const std::vector<xlsx::SheetTexts> texts = {
        {QStringLiteral("Fieldbus"), {{2, 1, QStringLiteral("EtherNet/IP")}, {2, 3, QStringLiteral("192.168.0.110")}}},
        {QStringLiteral("Subnet"), {{2, 1, QStringLiteral("1")}, {3, 2, QStringLiteral("Modbus Master")}}},
        {QStringLiteral("Command List"), {{2, 6, QStringLiteral("1EBH")}, {40, 11, QStringLiteral("Fast Scan")}}},
    };
    return texts;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // A worksheet part on its own reaches the sheet editor without a valid zip around it.
    if (size > 0 && data[0] == '<') {
        const std::optional<QByteArray> edited = xlsx::writeCellTexts(bytes, sheets()[2].cells);
        if (edited)
            check(xlsx::writeCellTexts(*edited, sheets()[2].cells).has_value());
        return 0;
    }
    const Result<QByteArray> filled = xlsx::fillWorkbook(bytes, sheets(), QStringLiteral("fuzz.xlsx"));
    if (!filled) {
        check(!filled.message().empty());
        return 0;
    }
    const Result<QByteArray> again = xlsx::fillWorkbook(*filled, sheets(), QStringLiteral("fuzz.xlsx"));
    check(again.ok());
    return 0;
}
