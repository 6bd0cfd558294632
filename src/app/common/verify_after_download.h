#pragma once
// The "Verify after download" check box of both download dialogs, remembered between runs, and
// how a read-back that differs is told.

#include "core/compare/project_diff.h"
#include "core/interaction/prompter.h"
#include "core/strings/strings.h"

#include <QCheckBox>
#include <QSettings>

#include <vector>

namespace veltrane {

inline constexpr const char* kVerifyAfterDownloadKey = "Transfer/VerifyAfterDownload";

// A check box that starts as last left and stores every change.
inline QCheckBox* makeVerifyCheckBox(const QString& text, QWidget* parent) {
    auto* box = new QCheckBox(text, parent);
    box->setChecked(QSettings().value(kVerifyAfterDownloadKey, false).toBool());
    QObject::connect(box, &QCheckBox::toggled, box, [](bool on) { QSettings().setValue(kVerifyAfterDownloadKey, on); });
    return box;
}

// A read-back that differs is told with the list of differences below the message.
inline void reportReadBack(const std::vector<ProjectDifference>& differences, Prompter& prompter) {
    if (differences.empty())
        return;
    std::string lines;
    for (const ProjectDifference& difference : differences)
        lines += (lines.empty() ? "" : "\n") + differenceLine(difference);
    prompter.messageWithDetail(tr(Str::VerifyDiffers), lines);
}

}  // namespace veltrane
