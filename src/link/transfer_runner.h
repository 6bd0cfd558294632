#pragma once
// Runs one transfer (download, upload, scan, monitor) on a worker thread of its own, so that the
// window stays responsive. Progress and the result reach the UI thread as signals emitted there;
// the job's questions reach the UI thread's prompter through a UiThreadPrompter.
//
//   TransferRunner runner(dialogPrompter);
//   connect(&runner, &TransferRunner::textChanged, label, &QLabel::setText);
//   connect(&runner, &TransferRunner::finished, this, &Dialog::onTransferDone);
//   runner.start([device, settings](TransferContext& context) -> Status {
//       SerialPortStream port;  // made on the worker thread, which then owns it
//       if (auto opened = port.open(device, settings); !opened)
//           return opened;
//       FrameExchange exchange(port, context.clock);
//       ...
//   });
//
// The job creates its transports itself: Qt's sockets and ports belong to the thread that made
// them. It checks context.progress.isCancelled() between its exchanges. The project is changed
// only on the UI thread, from the finished() handler.

#include <QObject>
#include <QString>
#include <QThread>
#include <atomic>
#include <functional>
#include <memory>

#include "core/common/result.h"
#include "core/interaction/prompter.h"
#include "core/link/transport/clock.h"
#include "core/link/transport/transfer_progress.h"
#include "link/steady_clock.h"
#include "link/ui_thread_prompter.h"

namespace veltrane {

struct TransferContext {
    TransferProgress& progress;
    Prompter& prompter;
    Clock& clock;
};

using TransferJob = std::function<Status(TransferContext&)>;

class TransferRunner : public QObject {
    Q_OBJECT

public:
    // Construct on the UI thread; uiPrompter answers the jobs' questions there.
    explicit TransferRunner(Prompter& uiPrompter, QObject* parent = nullptr);
    // Cancels a running job and waits for it to end; a question it is waiting on ends with Cancel.
    ~TransferRunner() override;

    // Starts the job on a new worker thread; false when a job is still running.
    bool start(TransferJob job);
    // Asks the running job to stop; it sees isCancelled() and its open question ends with Cancel.
    void cancel();
    bool isRunning() const { return m_thread != nullptr; }

signals:
    void textChanged(const QString& text);
    void progressChanged(int done, int total);
    // The job's result; a job that stopped because it was cancelled should return Refused.
    void finished(const veltrane::Status& result);

private:
    class WorkerProgress;

    void onThreadFinished();

    Prompter& m_uiPrompter;
    std::unique_ptr<UiThreadPrompter> m_prompter;
    std::unique_ptr<QThread> m_thread;
    std::shared_ptr<std::atomic<bool>> m_cancelled;
    SteadyClock m_clock;
    Status m_result;
};

}  // namespace veltrane

Q_DECLARE_METATYPE(veltrane::Status)
