#include "app/shell/document_events.h"

namespace veltrane {

DocumentEvents::DocumentEvents(Document& document, QObject* parent)
    : QObject(parent),
      m_project(document.changes().subscribe([this](ProjectChange change) { emit projectChanged(change); })),
      m_tree(document.editor().tree().changes().subscribe([this] { emit treeChanged(); })),
      m_grid(document.editor().grid().changes().subscribe([this] { emit gridChanged(); })),
      m_commandState(document.editor().commandStateChanges().subscribe([this] { emit commandStateChanged(); })) {}

}  // namespace veltrane
