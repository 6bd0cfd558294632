#pragma once

#include <QByteArray>
#include <QString>

namespace veltrane::xlsx {

// Writes the file completely or not at all: the bytes go to a temporary file beside it, which
// replaces the target only when every write and the final rename succeeded. On failure the
// target is as it was (absent or unchanged) and no temporary file is left behind.
bool writeFileAtomically(const QString& path, const QByteArray& bytes);

}  // namespace veltrane::xlsx
