#pragma once
// The toolbar's 32 x 32 images, drawn at run time so that no image files are needed.

#include "app/shell/command_ids.h"

#include <QIcon>

namespace veltrane {

QIcon toolbarIcon(CommandId id);

} // namespace veltrane
