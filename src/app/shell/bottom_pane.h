#pragma once
// The docking pane below the editor: "Info" shows the help text of the selected parameter, "News"
// the state of the network check and the product page. Its heading is the name of the tab in front.

#include <QDockWidget>

class QLabel;
class QTabWidget;
class QTextEdit;

namespace veltrane {

class NetworkCheck;

class BottomPane : public QDockWidget {
    Q_OBJECT
public:
    BottomPane(NetworkCheck& check, const QString& productUrl, QWidget* parent = nullptr);

    void setInfoText(const QString& text);
    QString infoText() const;
    QTextEdit* infoBox() const { return m_info; }
    QTabWidget* tabs() const { return m_tabs; }
    QString newsText() const;

private:
    void showCheckState();

    NetworkCheck& m_check;
    QTabWidget* m_tabs = nullptr;
    QTextEdit* m_info = nullptr;
    QLabel* m_newsState = nullptr;
};

} // namespace veltrane
