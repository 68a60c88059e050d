#include "categorylistmodel.h"

#include "i18n/translateunit.h"
#include "model/editcommands.h"

namespace pw {

CategoryListModel::CategoryListModel(EditContext& edit, TranslationStore& texts, QObject* parent)
    : QAbstractListModel(parent), m_edit(edit), m_texts(texts) {}

int CategoryListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_edit.doc.categoryCount();
}

QVariant CategoryListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_edit.doc.categoryCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_edit.doc.categoryName(index.row());
    return {};
}

QVariant CategoryListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && section == 0 && role == Qt::DisplayRole)
        return m_texts.TranslateText(QStringLiteral("Kategorie"));
    return {};
}

Qt::ItemFlags CategoryListModel::flags(const QModelIndex& index) const {
    return QAbstractListModel::flags(index) | Qt::ItemIsEditable;
}

bool CategoryListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid())
        return false;
    renameCategory(m_edit, index.row(), value.toString());
    return true;
}

void CategoryListModel::refresh() {
    beginResetModel();
    endResetModel();
}

} // namespace pw
