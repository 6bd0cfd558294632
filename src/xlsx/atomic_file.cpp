#include "xlsx/atomic_file.h"

#include <QSaveFile>

namespace veltrane::xlsx {

bool writeFileAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    // Replacing the file in place would leave half a workbook behind when a write fails.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        file.commit();  // only removes the temporary file once writing is cancelled
        return false;
    }
    return file.commit();
}

}  // namespace veltrane::xlsx
