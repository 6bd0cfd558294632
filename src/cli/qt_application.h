#pragma once
// Qt's sockets and serial ports want an application object; the CLI makes one on first use.

namespace veltrane::cli {

void ensureQtCore();

}  // namespace veltrane::cli
