#pragma once
// The one way a window runs gateway transfers (download, upload, restart, scan) off its UI thread.
// Each dialog owns one runner; the runner owns one long-lived worker thread that runs the dialog's
// jobs one after the other, so what a job leaves for the next (the connection a download keeps
// open for the restart request) is made, used and destroyed on that one thread. Progress and the
// result reach the UI thread as signals emitted there; the job's questions reach the UI thread's
// prompter through a UiThreadPrompter.
//
//   TransferRunner m_runner{prompter};   // a member of the dialog
//   connect(&m_runner, &TransferRunner::finished, this, &Dialog::onTransferDone);
//   m_runner.start([device, settings](TransferContext& context) -> Status {
//       SerialPortStream port;  // made on the worker thread, which then owns it
//       if (auto opened = port.open(device, settings); !opened)
//           return opened;
//       ...
//   });
//   Dialog::~Dialog() { m_runner.stop(); }  // before anything a job touches goes away
//
// Qt's sockets and ports belong to the thread that made them, so jobs create their transports
// themselves. A job checks context.progress.isCancelled() between its exchanges. The project is
// changed only on the UI thread, from the finished() handler.

#include <QObject>
#include <QString>
#include <QThread>
#include <atomic>
#include <functional>
#include <memory>

#include "core/common/result.h"
#include "core/interaction/prompter.h"
#include "core/link/transport/clock.h"
#include "core/link/transport/stream_socket.h"
#include "core/link/transport/transfer_progress.h"
#include "link/steady_clock.h"
#include "link/ui_thread_prompter.h"

namespace veltrane {

struct TransferContext {
    TransferProgress& progress;
    Prompter& prompter;
    Clock& clock;
    // A connection a job leaves open for the runner's next job; it lives on the worker thread and
    // is closed at the latest when the runner stops.
    std::unique_ptr<StreamSocket>& connection;
};

using TransferJob = std::function<Status(TransferContext&)>;

class TransferRunner : public QObject {
    Q_OBJECT

public:
    // Construct on the UI thread; uiPrompter answers the jobs' questions there.
    explicit TransferRunner(Prompter& uiPrompter, QObject* parent = nullptr);
    ~TransferRunner() override;

    // Runs the job on the worker thread (started on first use); false while a job is running.
    bool start(TransferJob job);
    // Asks the running job to stop; it sees isCancelled() and its open question ends with Cancel.
    void cancel();
    // Cancels a running job and waits for it, closes the kept connection on the worker and ends
    // the worker thread. The stopped job's result is not reported. A later start() begins anew.
    void stop();
    bool isRunning() const { return m_running; }

signals:
    void textChanged(const QString& text);
    void progressChanged(int done, int total);
    // The job's result; a job that stopped because it was cancelled returns ErrorKind::Cancelled.
    void finished(const veltrane::Status& result);

private:
    class WorkerProgress;

    void ensureWorker();
    void onJobFinished(unsigned generation, const Status& result);

    Prompter& m_uiPrompter;
    std::unique_ptr<UiThreadPrompter> m_prompter;
    QThread m_thread;
    QObject* m_worker = nullptr;  // lives on m_thread; jobs are queued to it
    std::unique_ptr<StreamSocket> m_connection;  // touched on the worker thread only
    std::shared_ptr<std::atomic<bool>> m_cancelled;
    SteadyClock m_clock;
    bool m_running = false;
    unsigned m_generation = 0;  // a job's result from before stop() is dropped
};

}  // namespace veltrane

Q_DECLARE_METATYPE(veltrane::Status)
