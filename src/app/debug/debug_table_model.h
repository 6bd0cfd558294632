#pragma once
// What the report list and the live table share: a fixed set of titled columns, centred cells, rows
// coloured by their status, and rows the view reads only from what the last batch published.

#include <QAbstractTableModel>

#include <cstdint>
#include <optional>
#include <vector>

namespace veltrane {

class DebugTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

protected:
    DebugTableModel(std::vector<QString> titles, QObject* parent);

    virtual std::size_t shownRows() const = 0;
    // The text of a cell of a shown row; an empty QVariant for none.
    virtual QVariant cell(std::size_t row, int column) const = 0;
    // The report status a shown row stands for, which colours it; none leaves it plain.
    virtual std::optional<std::uint8_t> rowStatus(std::size_t) const { return std::nullopt; }

private:
    std::vector<QString> m_titles;
};

}  // namespace veltrane
