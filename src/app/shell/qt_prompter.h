#pragma once
// Questions and messages as modal message boxes.

#include "core/interaction/prompter.h"

#include <QPointer>
#include <QWidget>

namespace veltrane {

class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    void message(const std::string& text) override;
    Answer ask(const std::string& text, Buttons buttons) override;
    Answer askTitled(const std::string& title, const std::string& text, Buttons buttons) override;
    void messageWithDetail(const std::string& text, const std::string& detail) override;
    Answer askWithDetail(const std::string& text, const std::string& detail, Buttons buttons) override;

private:
    Answer askIn(const std::string& title, const std::string& text, const std::string& detail, Buttons buttons);

    QPointer<QWidget> m_parent;
};

} // namespace veltrane
