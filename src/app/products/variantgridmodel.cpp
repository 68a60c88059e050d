#include "variantgridmodel.h"

#include "model/undo.h"
#include "model/varianttableedit.h"

#include <QColor>
#include <QFont>

namespace pw {

VariantGridModel::VariantGridModel(EditContext& edit, QObject* parent)
    : QAbstractTableModel(parent), m_edit(edit) {}

void VariantGridModel::setProduct(int kat, int prod) {
    if (kat == m_kat && prod == m_prod)
        return;
    m_kat = kat;
    m_prod = prod;
    tableChanged();
}

int VariantGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kGridSize;
}

int VariantGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kGridSize;
}

QVariant VariantGridModel::data(const QModelIndex& index, int role) const {
    const TProdukt* p = findProduct(m_edit.doc, m_kat, m_prod);
    if (!p || !index.isValid())
        return {};
    const int r = index.row();
    const int c = index.column();
    const bool inside = r < p->varianten.count() && c < p->varianten[r].props.count();
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return inside ? p->varianten[r].props[c].text : QString();
    if (role == Qt::BackgroundRole && inside && r > 0 &&
        IsPriceCell(c, p->varianten[r].props.count(), p->anzpreis))
        return QColor(255, 246, 214);
    if (role == Qt::FontRole && r == 0 && inside) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    return {};
}

QVariant VariantGridModel::headerData(int section, Qt::Orientation, int role) const {
    if (role == Qt::DisplayRole)
        return section + 1;
    return {};
}

Qt::ItemFlags VariantGridModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (findProduct(m_edit.doc, m_kat, m_prod))
        f |= Qt::ItemIsEditable;
    else
        f &= ~Qt::ItemIsEnabled;
    return f;
}

bool VariantGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || !findProduct(m_edit.doc, m_kat, m_prod))
        return false;
    if (data(index, Qt::EditRole).toString() == value.toString())
        return true; // the editor closed on what it showed
    return StringGrid1SetEditText(m_edit, m_kat, m_prod, index.column(), value.toString(), index.row());
}

void VariantGridModel::tableChanged() {
    emit dataChanged(index(0, 0), index(kGridSize - 1, kGridSize - 1));
}

} // namespace pw
