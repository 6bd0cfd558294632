#pragma once
// The document's change notifications as Qt signals, so that windows, dialogs and finished
// transfers connect to them like to any other signal. Emitted synchronously, on the thread that
// changed the project (the UI thread: nothing else touches the records).

#include "core/document/document.h"

#include <QObject>

namespace veltrane {

class DocumentEvents : public QObject {
    Q_OBJECT
public:
    explicit DocumentEvents(Document& document, QObject* parent = nullptr);

signals:
    void projectChanged(veltrane::ProjectChange change);
    void treeChanged();
    void gridChanged();
    void commandStateChanged();

private:
    ChangeSignal<ProjectChange>::Subscription m_project;
    ChangeSignal<>::Subscription m_tree;
    ChangeSignal<>::Subscription m_grid;
    ChangeSignal<>::Subscription m_commandState;
};

}  // namespace veltrane
