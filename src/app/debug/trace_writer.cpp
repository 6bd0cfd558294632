#include "app/debug/trace_writer.h"

#include "core/strings/strings.h"

#include <cerrno>
#include <cstring>

namespace veltrane {

Result<std::unique_ptr<TraceWriter>> TraceWriter::open(const std::string& path, std::size_t backlogLimit) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return makeError(ErrorKind::Io, tr(Str::DebugTraceOpenFailed) + " " + std::strerror(errno));
    return std::unique_ptr<TraceWriter>(new TraceWriter(file, backlogLimit));
}

TraceWriter::TraceWriter(std::FILE* file, std::size_t backlogLimit)
    : m_file(file), m_backlogLimit(backlogLimit), m_thread([this] { run(); }) {}

TraceWriter::~TraceWriter() {
    finish();
    m_thread.join();
}

void TraceWriter::append(const std::string& text) {
    {
        std::lock_guard lock(m_mutex);
        if (m_finishing || m_failure)
            return;
        if (m_pending.size() + text.size() > m_backlogLimit) {
            m_failure = format(Str::DebugTraceWriteFailed, {"the disk did not keep up with the reports"});
            m_pending.clear();
        } else {
            m_pending += text;
        }
    }
    m_wake.notify_one();
}

void TraceWriter::finish() {
    {
        std::lock_guard lock(m_mutex);
        m_finishing = true;
    }
    m_wake.notify_one();
}

bool TraceWriter::finished() const {
    std::lock_guard lock(m_mutex);
    return m_finished;
}

std::optional<std::string> TraceWriter::failure() const {
    std::lock_guard lock(m_mutex);
    return m_failure;
}

void TraceWriter::run() {
    std::string writing;
    for (;;) {
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return !m_pending.empty() || m_finishing || m_failure; });
            if (m_failure || (m_pending.empty() && m_finishing))
                break;
            writing.swap(m_pending);
        }
        // Flushed after every batch: whoever reads the file sees the reports as they come.
        const bool written = std::fwrite(writing.data(), 1, writing.size(), m_file) == writing.size() &&
                             std::fflush(m_file) == 0;
        writing.clear();
        if (!written) {
            std::lock_guard lock(m_mutex);
            m_failure = format(Str::DebugTraceWriteFailed, {std::strerror(errno)});
            break;
        }
    }
    const bool closed = std::fclose(m_file) == 0;
    std::lock_guard lock(m_mutex);
    if (!closed && !m_failure)
        m_failure = format(Str::DebugTraceWriteFailed, {std::strerror(errno)});
    m_finished = true;
}

}  // namespace veltrane
