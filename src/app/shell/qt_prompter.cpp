#include "app/shell/qt_prompter.h"

#include "app/common/qt_text.h"

#include <QMessageBox>
#include <QPushButton>

#include <map>

namespace veltrane {

void QtPrompter::message(const std::string& text) { messageWithDetail(text, {}); }

void QtPrompter::messageWithDetail(const std::string& text, const std::string& detail) {
    QMessageBox box(QMessageBox::Warning, qtr(Str::AppTitle), toQString(text), QMessageBox::NoButton,
                    m_parent);
    box.setInformativeText(toQString(detail));
    box.addButton(qtr(Str::ButtonOk), QMessageBox::AcceptRole);
    box.exec();
}

Answer QtPrompter::ask(const std::string& text, Buttons buttons) {
    return askTitled(veltrane::tr(Str::AppTitle), text, buttons);
}

Answer QtPrompter::askTitled(const std::string& title, const std::string& text, Buttons buttons) {
    return askIn(title, text, {}, buttons);
}

Answer QtPrompter::askWithDetail(const std::string& text, const std::string& detail, Buttons buttons) {
    return askIn(veltrane::tr(Str::AppTitle), text, detail, buttons);
}

Answer QtPrompter::askIn(const std::string& title, const std::string& text, const std::string& detail,
                         Buttons buttons) {
    QMessageBox box(QMessageBox::Question, toQString(title), toQString(text), QMessageBox::NoButton, m_parent);
    box.setInformativeText(toQString(detail));
    std::map<QAbstractButton*, Answer> answers;
    auto add = [&](Str label, QMessageBox::ButtonRole role, Answer answer) {
        QPushButton* button = box.addButton(qtr(label), role);
        answers[button] = answer;
        return button;
    };
    QPushButton* fallback = nullptr;
    switch (buttons) {
    case Buttons::Ok:
        fallback = add(Str::ButtonOk, QMessageBox::AcceptRole, Answer::Ok);
        break;
    case Buttons::OkCancel:
        add(Str::ButtonOk, QMessageBox::AcceptRole, Answer::Ok);
        fallback = add(Str::ButtonCancel, QMessageBox::RejectRole, Answer::Cancel);
        break;
    case Buttons::YesNo:
        add(Str::ButtonYes, QMessageBox::YesRole, Answer::Yes);
        fallback = add(Str::ButtonNo, QMessageBox::NoRole, Answer::No);
        break;
    case Buttons::YesNoCancel:
        add(Str::ButtonYes, QMessageBox::YesRole, Answer::Yes);
        add(Str::ButtonNo, QMessageBox::NoRole, Answer::No);
        fallback = add(Str::ButtonCancel, QMessageBox::RejectRole, Answer::Cancel);
        break;
    }
    // Escape and the close box answer like the safest button.
    box.setEscapeButton(fallback);
    box.exec();
    const auto found = answers.find(box.clickedButton());
    return found != answers.end() ? found->second : answers[fallback];
}

} // namespace veltrane
