#include "app/shell/new_project_kind_setting.h"

#include <QSettings>
#include <QStringList>

namespace veltrane {

namespace {
const QString kTypeKey = QStringLiteral("NewProject/DeviceType");
const QString kSwitchesKey = QStringLiteral("NewProject/ModelSwitches");
}  // namespace

NewProjectKind loadNewProjectKind(QSettings& settings) {
    NewProjectKind kind;
    bool number = false;
    const int type = settings.value(kTypeKey).toInt(&number);
    // A hand-edited or damaged value falls back to the usual kind rather than to a type that is none.
    if (!number || !isKnownDeviceType(type))
        return kind;
    kind.deviceType = type;
    for (const QString& name : settings.value(kSwitchesKey).toStringList())
        if (const ModelSwitch* s = findModelSwitch(name.toStdString()))
            kind.flags.*s->flag = true;
    return kind;
}

void storeNewProjectKind(QSettings& settings, const NewProjectKind& kind) {
    QStringList names;
    for (const ModelSwitch& s : modelSwitches())
        if (kind.flags.*s.flag)
            names << QString::fromLatin1(s.name.data(), static_cast<qsizetype>(s.name.size()));
    settings.setValue(kTypeKey, kind.deviceType);
    settings.setValue(kSwitchesKey, names);
    settings.sync();
}

}  // namespace veltrane
