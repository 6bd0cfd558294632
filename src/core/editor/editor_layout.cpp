#include "core/editor/editor_layout.h"

namespace veltrane {

bool treeSplitAccepted(int x, int clientWidth) {
    return x >= 100 && x <= clientWidth - 200;
}

bool gridSplitAccepted(int y, int clientHeight) {
    return y >= 100 && y <= clientHeight - 50;
}

int gridRowHeight(int dotsPerInch) {
    return dotsPerInch > 0 ? 300 * dotsPerInch / 1440 : 20;
}

} // namespace veltrane
