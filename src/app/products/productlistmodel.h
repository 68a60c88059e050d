#pragma once

// The product list of one category as a view of the document: columns "Bezeichnung" and
// "Beschreibung", one row per product. It reads the document when asked, so a category of
// 10,000 products costs nothing until rows are shown; a change of one product's fields
// repaints only its row.

#include <QAbstractTableModel>

namespace pw {

class CatalogDocument;
class TranslationStore;

class ProductListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The column titles are shown in the language of `texts`, read when they are painted.
    ProductListModel(const CatalogDocument& doc, TranslationStore& texts, QObject* parent = nullptr);

    // The category shown; -1 for none.
    void setCategory(int kat);
    int category() const { return m_kat; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The products of the category were added, removed or moved.
    void refresh();
    // The fields of products first..last changed.
    void productsChanged(int first, int last);

private:
    const CatalogDocument& m_doc;
    TranslationStore& m_texts;
    int m_kat = -1;
};

} // namespace pw
