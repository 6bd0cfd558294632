#pragma once
// The kind of project File New makes, as the "New for Gateway" dialog last chose it; kept in the
// application's settings. EtherNet/IP without switches until another kind is chosen.

#include "core/model/project_kind.h"

class QSettings;

namespace veltrane {

NewProjectKind loadNewProjectKind(QSettings& settings);
void storeNewProjectKind(QSettings& settings, const NewProjectKind& kind);

}  // namespace veltrane
