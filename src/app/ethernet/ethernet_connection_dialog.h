#pragma once
// "Ethernet Connection": search the network, or talk to one typed address. Changes the selection
// only on OK.

#include "core/link/ethernet/gateway_selection.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace veltrane {

class EthernetConnectionDialog : public QDialog {
    Q_OBJECT
public:
    EthernetConnectionDialog(ethernet::GatewaySelection& selection, QWidget* parent = nullptr);
    void accept() override;

private:
    ethernet::GatewaySelection& m_selection;
    QCheckBox* m_useSearch;
    QLineEdit* m_address;
};

}  // namespace veltrane
