#pragma once
// Caps, Num and Scroll Lock indicators for the status bar. Qt has no portable way to read the
// lock states, so on Linux they are read from the keyboard LEDs in sysfs; where none can be read
// the labels are simply shown.

#include <QStringList>
#include <QWidget>

class QLabel;
class QTimer;

namespace veltrane {

class LockIndicators : public QWidget {
    Q_OBJECT
public:
    explicit LockIndicators(QWidget* parent = nullptr,
                            QString ledDirectory = QStringLiteral("/sys/class/leds"));

    QLabel* capsLabel() const { return m_labels[0]; }
    QLabel* numLabel() const { return m_labels[1]; }
    QLabel* scrollLabel() const { return m_labels[2]; }
    // Reads the LEDs now.
    void refresh();

private:
    QString m_ledDirectory;
    QLabel* m_labels[3] = {};
    QStringList m_ledFiles[3];
    QTimer* m_poll = nullptr;
};

} // namespace veltrane
