#include "link/ui_thread_prompter.h"

#include <QMetaObject>
#include <QThread>
#include <optional>

namespace veltrane {

UiThreadPrompter::UiThreadPrompter(Prompter& uiPrompter) : m_ui(uiPrompter) {}

UiThreadPrompter::~UiThreadPrompter() { abandon(); }

void UiThreadPrompter::abandon() {
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->abandoned = true;
    }
    m_shared->answered.notify_all();
}

template <class Ask>
Answer UiThreadPrompter::onUiThread(Ask ask) {
    // On the UI thread itself (a transfer run without a worker) the question is simply asked.
    if (QThread::currentThread() == m_uiContext.thread())
        return ask();

    struct Pending {
        bool done = false;
        Answer answer = Answer::Cancel;
    };
    auto pending = std::make_shared<Pending>();
    auto shared = m_shared;
    {
        std::lock_guard lock(shared->mutex);
        if (shared->abandoned)
            return Answer::Cancel;
    }
    // The call is dropped by Qt if the context object is gone before the UI thread gets to it.
    QMetaObject::invokeMethod(
        &m_uiContext,
        [shared, pending, ask] {
            {
                std::lock_guard lock(shared->mutex);
                if (shared->abandoned)
                    return;
            }
            const Answer answer = ask();
            {
                std::lock_guard lock(shared->mutex);
                pending->answer = answer;
                pending->done = true;
            }
            shared->answered.notify_all();
        },
        Qt::QueuedConnection);

    std::unique_lock lock(shared->mutex);
    shared->answered.wait(lock, [&] { return pending->done || shared->abandoned; });
    return pending->done ? pending->answer : Answer::Cancel;
}

void UiThreadPrompter::message(const std::string& text) {
    onUiThread([&ui = m_ui, text] {
        ui.message(text);
        return Answer::Ok;
    });
}

Answer UiThreadPrompter::ask(const std::string& text, Buttons buttons) {
    return onUiThread([&ui = m_ui, text, buttons] { return ui.ask(text, buttons); });
}

Answer UiThreadPrompter::askTitled(const std::string& title, const std::string& text, Buttons buttons) {
    return onUiThread([&ui = m_ui, title, text, buttons] { return ui.askTitled(title, text, buttons); });
}

void UiThreadPrompter::messageWithDetail(const std::string& text, const std::string& detail) {
    onUiThread([&ui = m_ui, text, detail] {
        ui.messageWithDetail(text, detail);
        return Answer::Ok;
    });
}

Answer UiThreadPrompter::askWithDetail(const std::string& text, const std::string& detail, Buttons buttons) {
    return onUiThread([&ui = m_ui, text, detail, buttons] { return ui.askWithDetail(text, detail, buttons); });
}

}  // namespace veltrane
