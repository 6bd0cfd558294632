#include "xlsx/cell_reference.h"

namespace veltrane::xlsx {

QString columnLetters(int column) {
    QString letters;
    while (column > 0) {
        const int digit = (column - 1) % 26;
        letters.prepend(QChar(u'A' + digit));
        column = (column - 1) / 26;
    }
    return letters;
}

QString cellReference(int row, int column) { return columnLetters(column) + QString::number(row); }

bool parseCellReference(const QString& reference, int& row, int& column) {
    qsizetype i = 0;
    int col = 0;
    while (i < reference.size() && reference[i] >= u'A' && reference[i] <= u'Z') {
        col = col * 26 + (reference[i].unicode() - u'A' + 1);
        if (col > kMaxColumn)
            return false;
        ++i;
    }
    if (i == 0 || i == reference.size())
        return false;
    bool ok = false;
    const int r = reference.mid(i).toInt(&ok);
    if (!ok || r < 1 || r > kMaxRow || !reference[i].isDigit())
        return false;
    row = r;
    column = col;
    return true;
}

}  // namespace veltrane::xlsx
