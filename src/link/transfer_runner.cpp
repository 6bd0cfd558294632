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

TransferRunner::~TransferRunner() {
    if (!m_thread)
        return;
    cancel();
    m_thread->wait();
}

bool TransferRunner::start(TransferJob job) {
    if (m_thread)
        return false;
    m_cancelled = std::make_shared<std::atomic<bool>>(false);
    m_prompter = std::make_unique<UiThreadPrompter>(m_uiPrompter);
    m_result = Status{};
    m_thread.reset(QThread::create([this, job = std::move(job), cancelled = m_cancelled] {
        WorkerProgress progress(*this, cancelled);
        TransferContext context{progress, *m_prompter, m_clock};
        m_result = job(context);
    }));
    // QThread::finished is emitted on the worker; the context object makes the handler run here.
    connect(m_thread.get(), &QThread::finished, this, &TransferRunner::onThreadFinished, Qt::QueuedConnection);
    m_thread->start();
    return true;
}

void TransferRunner::cancel() {
    if (!m_thread)
        return;
    m_cancelled->store(true);
    m_prompter->abandon();
}

void TransferRunner::onThreadFinished() {
    if (!m_thread)
        return;
    m_thread->wait();
    m_thread.reset();
    m_prompter.reset();
    const Status result = m_result;
    emit finished(result);
}

}  // namespace veltrane
