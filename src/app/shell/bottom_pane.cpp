#include "app/shell/bottom_pane.h"

#include "app/common/qt_text.h"
#include "app/shell/network_check.h"

#include <QLabel>
#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>

namespace veltrane {

BottomPane::BottomPane(NetworkCheck& check, const QString& productUrl, QWidget* parent)
    : QDockWidget(parent), m_check(check) {
    setObjectName(QStringLiteral("bottomPane"));
    setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea);

    m_tabs = new QTabWidget(this);
    m_tabs->setTabPosition(QTabWidget::South);

    m_info = new QTextEdit(m_tabs);
    m_info->setReadOnly(true);
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSize(12);
    font.setStyleHint(QFont::Serif);
    m_info->setFont(font);
    m_tabs->addTab(m_info, qtr(Str::TabInfo));

    auto* news = new QWidget(m_tabs);
    auto* layout = new QVBoxLayout(news);
    m_newsState = new QLabel(news);
    m_newsState->setWordWrap(true);
    auto* link = new QLabel(qformat(Str::NewsProductLink, {productUrl.toStdString()}), news);
    link->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_newsState);
    layout->addWidget(link);
    layout->addStretch(1);
    m_tabs->addTab(news, qtr(Str::TabNews));

    setWidget(m_tabs);
    // The heading names what the pane shows, so it always agrees with the tab in front.
    const auto showHeading = [this](int index) { setWindowTitle(m_tabs->tabText(index)); };
    connect(m_tabs, &QTabWidget::currentChanged, this, showHeading);
    showHeading(m_tabs->currentIndex());
    connect(&m_check, &NetworkCheck::checked, this, &BottomPane::showCheckState);
    showCheckState();
}

void BottomPane::setInfoText(const QString& text) {
    m_info->setPlainText(text);
}

QString BottomPane::infoText() const {
    return m_info->toPlainText();
}

QString BottomPane::newsText() const {
    return m_newsState->text();
}

void BottomPane::showCheckState() {
    if (!m_check.enabled()) {
        m_newsState->setText(qtr(Str::NewsCheckOff));
        return;
    }
    const std::optional<bool> result = m_check.lastResult();
    if (!result) {
        m_newsState->setText(qtr(Str::NewsChecking));
        return;
    }
    const std::string when = m_check.lastChecked().toString(Qt::ISODate).toStdString();
    m_newsState->setText(qformat(*result ? Str::NewsReachable : Str::NewsUnreachable, {when}));
}

} // namespace veltrane
