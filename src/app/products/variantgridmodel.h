#pragma once

// The variant grid of one product: 100 x 100 cells over the product's table (row 0 the
// column captions), empty beyond it. Every edit goes through the core's cell routine, so
// its padding and trimming show at once. Price cells (the last `anzpreis` cells of every
// row after the first) have a faint tint, so the user sees what the price commands touch.

#include <QAbstractTableModel>

namespace pw {

class EditContext;

class VariantGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit VariantGridModel(EditContext& edit, QObject* parent = nullptr);

    // The product shown; kat or prod -1 for none (the grid is then empty).
    void setProduct(int kat, int prod);
    int category() const { return m_kat; }
    int product() const { return m_prod; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // The product's table changed.
    void tableChanged();

private:
    EditContext& m_edit;
    int m_kat = -1;
    int m_prod = -1;
};

} // namespace pw
