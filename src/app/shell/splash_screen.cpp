#include "app/shell/splash_screen.h"

#include "app/common/qt_text.h"
#include "app/shell/product_info.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>

namespace veltrane {

std::unique_ptr<QSplashScreen> makeSplashScreen() {
    QPixmap pixmap(480, 220);
    QPainter p(&pixmap);
    QLinearGradient background(0, 0, 0, 220);
    background.setColorAt(0, QColor(30, 70, 130));
    background.setColorAt(1, QColor(15, 35, 70));
    p.fillRect(pixmap.rect(), background);
    p.setPen(Qt::white);
    QFont title = QGuiApplication::font();
    title.setPointSize(22);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRect(24, 40, 432, 50), Qt::AlignLeft | Qt::AlignVCenter, qtr(Str::AppTitle));
    QFont body = QGuiApplication::font();
    body.setPointSize(11);
    p.setFont(body);
    p.drawText(QRect(24, 95, 432, 30), Qt::AlignLeft | Qt::AlignVCenter, qtr(Str::MainCaption));
    p.drawText(QRect(24, 125, 432, 30), Qt::AlignLeft | Qt::AlignVCenter,
               qformat(Str::AboutVersion, {productVersion()}));
    p.end();
    auto splash = std::make_unique<QSplashScreen>(pixmap);
    splash->showMessage(qtr(Str::SplashStarting), Qt::AlignBottom | Qt::AlignLeft, Qt::white);
    return splash;
}

} // namespace veltrane
