#include "app/shell/recent_files.h"

#include <QFileInfo>
#include <QSettings>

namespace veltrane {

namespace {
const char* const kSection = "Recent File List";
QString keyOf(int index) {
    return QStringLiteral("File%1").arg(index + 1);
}
} // namespace

RecentFiles::RecentFiles(QSettings& settings, QObject* parent) : QObject(parent), m_settings(settings) {
    load();
}

void RecentFiles::load() {
    m_files.clear();
    m_settings.beginGroup(kSection);
    for (int i = 0; i < kMaxEntries; ++i) {
        const QString path = m_settings.value(keyOf(i)).toString();
        if (!path.isEmpty() && !m_files.contains(path))
            m_files.append(path);
    }
    m_settings.endGroup();
}

void RecentFiles::store() {
    m_settings.beginGroup(kSection);
    m_settings.remove(QString());
    for (int i = 0; i < m_files.size(); ++i)
        m_settings.setValue(keyOf(i), m_files.at(i));
    m_settings.endGroup();
    m_settings.sync();
}

void RecentFiles::add(const QString& path) {
    if (path.isEmpty())
        return;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_files.removeAll(absolute);
    m_files.prepend(absolute);
    while (m_files.size() > kMaxEntries)
        m_files.removeLast();
    store();
    emit changed();
}

void RecentFiles::remove(const QString& path) {
    if (m_files.removeAll(QFileInfo(path).absoluteFilePath()) == 0 && m_files.removeAll(path) == 0)
        return;
    store();
    emit changed();
}

} // namespace veltrane
