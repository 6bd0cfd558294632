#pragma once
// A Prompter for a worker thread: every question is asked by a prompter that lives on the UI
// thread (dialogs may only be shown there), and the worker waits for the answer.
//
// The worker's wait ends early when the prompter is abandoned (the transfer was cancelled or its
// window is closing), with Cancel as the answer; so the UI thread can stop and join a worker that
// is waiting on a question without deadlocking. A question not yet shown when that happens is
// never shown.

#include <QObject>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "core/interaction/prompter.h"

namespace veltrane {

class UiThreadPrompter : public Prompter {
public:
    // Construct on the UI thread; uiPrompter is used only there.
    explicit UiThreadPrompter(Prompter& uiPrompter);
    ~UiThreadPrompter() override;

    void message(const std::string& text) override;
    Answer ask(const std::string& text, Buttons buttons) override;
    Answer askTitled(const std::string& title, const std::string& text, Buttons buttons) override;
    void messageWithDetail(const std::string& text, const std::string& detail) override;
    Answer askWithDetail(const std::string& text, const std::string& detail, Buttons buttons) override;

    // Ends a waiting question with Cancel and answers every later one with Cancel at once.
    void abandon();

private:
    struct Shared {
        std::mutex mutex;
        std::condition_variable answered;
        bool abandoned = false;
    };

    template <class Ask>
    Answer onUiThread(Ask ask);

    Prompter& m_ui;
    QObject m_uiContext;  // has the UI thread's affinity; questions are queued to it
    std::shared_ptr<Shared> m_shared = std::make_shared<Shared>();
};

}  // namespace veltrane
