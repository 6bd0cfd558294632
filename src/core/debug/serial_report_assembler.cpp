#include "core/debug/serial_report_assembler.h"

#include "core/debug/debug_report.h"

namespace veltrane {

std::vector<Bytes> SerialReportAssembler::feed(ByteView bytes) {
    m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.end());
    std::vector<Bytes> reports;
    for (;;) {
        const std::size_t size = DebugReport::serialReportSize(m_buffer);
        if (size != 0 && m_buffer.size() >= size) {
            reports.emplace_back(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(size));
            m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(size));
            continue;
        }
        // Bytes whose length cannot be told are handed on whole once they exceed any report, so
        // a babbling line cannot grow the buffer without bound; decoding then refuses them.
        if (size == 0 && m_buffer.size() > kSerialReportMaxSize)
            reports.push_back(flush());
        break;
    }
    return reports;
}

Bytes SerialReportAssembler::flush() {
    Bytes rest;
    rest.swap(m_buffer);
    return rest;
}

}  // namespace veltrane
