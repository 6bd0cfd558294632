#include "app/shell/lock_indicators.h"

#include "app/common/qt_text.h"

#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>

namespace veltrane {

namespace {
constexpr int kPollMs = 500;
const char* const kLedSuffixes[3] = {"::capslock", "::numlock", "::scrolllock"};
} // namespace

LockIndicators::LockIndicators(QWidget* parent, QString ledDirectory)
    : QWidget(parent), m_ledDirectory(std::move(ledDirectory)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    const Str texts[3] = {Str::IndicatorCaps, Str::IndicatorNum, Str::IndicatorScroll};
    const QDir dir(m_ledDirectory);
    const QStringList entries = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    for (int i = 0; i < 3; ++i) {
        m_labels[i] = new QLabel(qtr(texts[i]), this);
        m_labels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        m_labels[i]->setAlignment(Qt::AlignCenter);
        m_labels[i]->setMinimumWidth(m_labels[i]->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) +
                                     10);
        layout->addWidget(m_labels[i]);
        for (const QString& entry : entries)
            if (entry.endsWith(QLatin1String(kLedSuffixes[i])))
                m_ledFiles[i].append(dir.filePath(entry + QStringLiteral("/brightness")));
    }
    m_poll = new QTimer(this);
    m_poll->setInterval(kPollMs);
    connect(m_poll, &QTimer::timeout, this, &LockIndicators::refresh);
    if (!m_ledFiles[0].isEmpty() || !m_ledFiles[1].isEmpty() || !m_ledFiles[2].isEmpty())
        m_poll->start();
    refresh();
}

void LockIndicators::refresh() {
    for (int i = 0; i < 3; ++i) {
        if (m_ledFiles[i].isEmpty())
            continue; // unknown state: the label stays shown
        bool on = false;
        for (const QString& path : m_ledFiles[i]) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly) && file.readAll().trimmed().toInt() > 0)
                on = true;
        }
        m_labels[i]->setEnabled(on);
    }
}

} // namespace veltrane
