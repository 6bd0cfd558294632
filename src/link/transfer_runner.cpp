#include "link/transfer_runner.h"

#include <QMetaObject>

namespace veltrane {

// Lives on the worker; forwards to the runner's signals by queueing their emission on the UI
// thread, so a receiver never runs on the worker whatever connection type it chose.
class TransferRunner::WorkerProgress : public TransferProgress {
public:
    WorkerProgress(TransferRunner& runner, std::shared_ptr<std::atomic<bool>> cancelled)
        : m_runner(runner), m_cancelled(std::move(cancelled)) {}

    void setText(const std::string& text) override {
        QMetaObject::invokeMethod(
            &m_runner, [runner = &m_runner, t = QString::fromStdString(text)] { emit runner->textChanged(t); },
            Qt::QueuedConnection);
    }
    void setProgress(int done, int total) override {
        QMetaObject::invokeMethod(
            &m_runner, [runner = &m_runner, done, total] { emit runner->progressChanged(done, total); },
            Qt::QueuedConnection);
    }
    bool isCancelled() const override { return m_cancelled->load(); }

private:
    TransferRunner& m_runner;
    std::shared_ptr<std::atomic<bool>> m_cancelled;
};

TransferRunner::TransferRunner(Prompter& uiPrompter, QObject* parent) : QObject(parent), m_uiPrompter(uiPrompter) {}

TransferRunner::~TransferRunner() { stop(); }

void TransferRunner::ensureWorker() {
    if (m_thread.isRunning())
        return;
    m_worker = new QObject;
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start();
}

bool TransferRunner::start(TransferJob job) {
    if (m_running)
        return false;
    ensureWorker();
    m_running = true;
    m_cancelled = std::make_shared<std::atomic<bool>>(false);
    m_prompter = std::make_unique<UiThreadPrompter>(m_uiPrompter);
    const unsigned generation = m_generation;
    QMetaObject::invokeMethod(
        m_worker,
        [this, job = std::move(job), cancelled = m_cancelled, prompter = m_prompter.get(), generation] {
            WorkerProgress progress(*this, cancelled);
            TransferContext context{progress, *prompter, m_clock, m_connection};
            const Status result = job(context);
            QMetaObject::invokeMethod(
                this, [this, generation, result] { onJobFinished(generation, result); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
    return true;
}

void TransferRunner::cancel() {
    if (!m_running)
        return;
    m_cancelled->store(true);
    m_prompter->abandon();
}

void TransferRunner::stop() {
    if (!m_thread.isRunning())
        return;
    cancel();
    // Queued behind the running job, so the connection is closed on the thread that made it, and
    // the worker's event loop ends only after it.
    QMetaObject::invokeMethod(
        m_worker,
        [this] {
            m_connection.reset();
            m_thread.quit();
        },
        Qt::QueuedConnection);
    m_thread.wait();
    m_worker = nullptr;  // deleted as its thread finished
    ++m_generation;
    m_running = false;
    m_prompter.reset();
}

void TransferRunner::onJobFinished(unsigned generation, const Status& result) {
    if (generation != m_generation)
        return;
    m_running = false;
    m_prompter.reset();
    emit finished(result);
}

}  // namespace veltrane
