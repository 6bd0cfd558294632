#pragma once
// The four most recently used project files, kept in the application's settings.

#include <QObject>
#include <QStringList>

class QSettings;

namespace veltrane {

class RecentFiles : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxEntries = 4;

    explicit RecentFiles(QSettings& settings, QObject* parent = nullptr);

    const QStringList& files() const { return m_files; }
    // Puts the file first; an entry already in the list moves up.
    void add(const QString& path);
    void remove(const QString& path);

signals:
    void changed();

private:
    void load();
    void store();

    QSettings& m_settings;
    QStringList m_files;
};

} // namespace veltrane
