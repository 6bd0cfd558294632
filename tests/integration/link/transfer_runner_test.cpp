// A transfer on its worker thread: questions are answered on the UI thread, progress and the
// result arrive there, and cancelling or closing never deadlocks on an open question.

#include "link/transfer_runner.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <future>

#include "core/strings/strings.h"
#include "support/fake_stream_socket.h"

namespace veltrane {
namespace {

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "link_runner_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* instance = new QCoreApplication(argc, argv);
    return *instance;
}

// Answers from a script and notes the thread every question was asked on.
class ThreadNotingPrompter : public ScriptedPrompter {
public:
    using ScriptedPrompter::ScriptedPrompter;
    Answer ask(const std::string& text, Buttons buttons) override {
        threads.push_back(QThread::currentThread());
        return ScriptedPrompter::ask(text, buttons);
    }
    void message(const std::string& text) override {
        threads.push_back(QThread::currentThread());
        ScriptedPrompter::message(text);
    }
    std::vector<QThread*> threads;
};

// Runs the event loop until the runner reports, 5 s at most.
std::optional<Status> waitForResult(TransferRunner& runner) {
    std::optional<Status> result;
    QEventLoop loop;
    QObject::connect(&runner, &TransferRunner::finished, &loop, [&](const Status& s) {
        result = s;
        loop.quit();
    });
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    return result;
}

TEST(TransferRunner, AJobOnTheWorkerGetsTheAnswerOfThePrompterOnTheUiThread) {
    QThread* uiThread = app().thread();
    ThreadNotingPrompter ui({Answer::Ok});
    TransferRunner runner(ui);
    std::vector<QString> texts;
    std::vector<QThread*> progressThreads;
    QObject::connect(&runner, &TransferRunner::textChanged, [&](const QString& t) {
        texts.push_back(t);
        progressThreads.push_back(QThread::currentThread());
    });

    std::atomic<QThread*> jobThread{nullptr};
    ASSERT_TRUE(runner.start([&](TransferContext& context) -> Status {
        jobThread = QThread::currentThread();
        context.progress.setText("Downloading");
        context.prompter.message("Half way");
        if (context.prompter.ask("Restart the gateway?", Buttons::OkCancel) != Answer::Ok)
            return makeError(ErrorKind::Refused, "no");
        context.progress.setText("Done");
        return {};
    }));
    EXPECT_FALSE(runner.start([](TransferContext&) -> Status { return {}; })) << "one job at a time";

    auto result = waitForResult(runner);
    ASSERT_TRUE(result.has_value()) << "the job never finished";
    EXPECT_TRUE(*result) << result->message();
    EXPECT_FALSE(runner.isRunning());
    EXPECT_NE(jobThread.load(), uiThread);
    EXPECT_EQ(ui.shown(), (std::vector<std::string>{"Half way", "Restart the gateway?"}));
    EXPECT_EQ(ui.threads, (std::vector<QThread*>{uiThread, uiThread}));
    EXPECT_EQ(texts, (std::vector<QString>{"Downloading", "Done"}));
    EXPECT_EQ(progressThreads, (std::vector<QThread*>{uiThread, uiThread}));
}

TEST(TransferRunner, CancelStopsAJobBetweenItsSteps) {
    app();
    ScriptedPrompter ui;
    TransferRunner runner(ui);
    QObject::connect(&runner, &TransferRunner::progressChanged, &runner, [&](int done, int) {
        if (done == 1)
            runner.cancel();
    });
    ASSERT_TRUE(runner.start([](TransferContext& context) -> Status {
        for (int step = 1; step <= 500; ++step) {
            if (context.progress.isCancelled())
                return makeError(ErrorKind::Refused, tr(Str::TransferCancelled));
            context.progress.setProgress(step, 500);
            context.clock.sleepMs(10);
        }
        return {};
    }));
    auto result = waitForResult(runner);
    ASSERT_TRUE(result.has_value());
    ASSERT_FALSE(*result);
    EXPECT_EQ(result->kind(), ErrorKind::Refused);
}

TEST(TransferRunner, ClosingWhileTheJobWaitsOnAQuestionEndsItWithCancel) {
    app();
    ThreadNotingPrompter ui({Answer::Ok});
    std::promise<void> asking;
    std::atomic<int> answer{-1};
    {
        TransferRunner runner(ui);
        ASSERT_TRUE(runner.start([&](TransferContext& context) -> Status {
            asking.set_value();
            answer = static_cast<int>(context.prompter.ask("Overwrite?", Buttons::OkCancel));
            return {};
        }));
        ASSERT_EQ(asking.get_future().wait_for(std::chrono::seconds(5)), std::future_status::ready);
        QThread::msleep(50);
        // The UI thread does not process events here: the question is still queued when the
        // runner goes, and the runner's destructor must not wait forever for its answer.
    }
    EXPECT_EQ(answer.load(), static_cast<int>(Answer::Cancel));
    QCoreApplication::processEvents();
    EXPECT_TRUE(ui.shown().empty()) << "a question of a closed transfer was shown";
}

TEST(TransferRunner, AConnectionKeptByOneJobServesTheNextAndIsClosedOnTheWorker) {
    QThread* uiThread = app().thread();
    // Notes the thread that destroys it, as a Qt socket needs it to be its own.
    struct NotingSocket : testing::FakeStreamSocket {
        explicit NotingSocket(std::atomic<QThread*>& destroyed) : destroyedOn(destroyed) {}
        ~NotingSocket() override { destroyedOn = QThread::currentThread(); }
        std::atomic<QThread*>& destroyedOn;
    };
    std::atomic<QThread*> madeOn{nullptr}, usedOn{nullptr}, destroyedOn{nullptr};
    ScriptedPrompter ui;
    TransferRunner runner(ui);
    ASSERT_TRUE(runner.start([&](TransferContext& context) -> Status {
        madeOn = QThread::currentThread();
        context.connection = std::make_unique<NotingSocket>(destroyedOn);
        return {};
    }));
    ASSERT_TRUE(waitForResult(runner).has_value());
    ASSERT_TRUE(runner.start([&](TransferContext& context) -> Status {
        if (context.connection)
            usedOn = QThread::currentThread();
        return {};
    }));
    ASSERT_TRUE(waitForResult(runner).has_value());
    EXPECT_EQ(destroyedOn.load(), nullptr) << "kept between jobs";

    runner.stop();
    EXPECT_NE(madeOn.load(), uiThread);
    EXPECT_EQ(usedOn.load(), madeOn.load()) << "one worker for every job";
    EXPECT_EQ(destroyedOn.load(), madeOn.load()) << "closed on the thread that made it";
    EXPECT_FALSE(runner.isRunning());
}

}  // namespace
}  // namespace veltrane
