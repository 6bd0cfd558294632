#pragma once
// Writes a trace file on a thread of its own, so that a slow disk holds up neither the window nor
// the link. Text waits in memory up to a limit; a disk that falls further behind ends the trace
// with a failure rather than letting memory grow or losing lines unseen.

#include "core/common/result.h"

#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace veltrane {

inline constexpr std::size_t kDefaultTraceBacklogLimit = 32u << 20;

class TraceWriter {
public:
    // Creates or truncates the file; the caller has refused targets that are not regular files.
    static Result<std::unique_ptr<TraceWriter>> open(const std::string& path,
                                                     std::size_t backlogLimit = kDefaultTraceBacklogLimit);
    // Writes what is still waiting, then closes the file.
    ~TraceWriter();

    TraceWriter(const TraceWriter&) = delete;
    TraceWriter& operator=(const TraceWriter&) = delete;

    // Queues text for the file; returns at once.
    void append(const std::string& text);
    // Nothing more comes: the thread writes what waits and closes the file, without the caller
    // waiting for it.
    void finish();
    // True once the file is closed after finish() or a failure.
    bool finished() const;
    // Why writing stopped, if it did.
    std::optional<std::string> failure() const;

private:
    TraceWriter(std::FILE* file, std::size_t backlogLimit);
    void run();

    std::FILE* m_file;
    std::size_t m_backlogLimit;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::string m_pending;
    bool m_finishing = false;
    bool m_finished = false;
    std::optional<std::string> m_failure;
    std::thread m_thread;
};

}  // namespace veltrane
