#include "app/shell/product_info.h"

namespace veltrane {

// Set by the build from the project's version; only this file sees it, so every user agrees.
const char* productVersion() { return VELTRANE_VERSION; }

}  // namespace veltrane
