#include "productlistmodel.h"

#include "i18n/translateunit.h"
#include "model/catalog.h"

#include <algorithm>

namespace pw {

ProductListModel::ProductListModel(const CatalogDocument& doc, TranslationStore& texts, QObject* parent)
    : QAbstractTableModel(parent), m_doc(doc), m_texts(texts) {}

void ProductListModel::setCategory(int kat) {
    beginResetModel();
    m_kat = kat;
    endResetModel();
}

int ProductListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || m_kat < 0 || m_kat >= m_doc.categoryCount())
        return 0;
    return m_doc.products(m_kat).count();
}

int ProductListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant ProductListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const TProdukt& p = m_doc.products(m_kat)[index.row()];
    const QString& text = index.column() == 0 ? p.name : p.desc;
    if (role == Qt::ToolTipRole)
        return text;
    // One line per entry: line breaks show as spaces.
    QString line = text.left(300);
    line.replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QLatin1Char('\r'));
    return line;
}

QVariant ProductListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return m_texts.TranslateText(section == 0 ? QStringLiteral("Bezeichnung")
                                              : QStringLiteral("Beschreibung"));
}

void ProductListModel::refresh() {
    beginResetModel();
    endResetModel();
}

void ProductListModel::productsChanged(int first, int last) {
    const int rows = rowCount();
    if (rows == 0)
        return;
    first = std::clamp(first, 0, rows - 1);
    last = std::clamp(last, first, rows - 1);
    emit dataChanged(index(first, 0), index(last, 1));
}

} // namespace pw
