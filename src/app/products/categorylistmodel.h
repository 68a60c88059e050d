#pragma once

// The category list of the "Produkte" tab as a view of the document: one row per
// category, one column "Kategorie". Renaming in place is the core's renameCategory. The
// tab tells the model when the category list changed (refresh()).

#include <QAbstractListModel>

namespace pw {

class EditContext;
class TranslationStore;

class CategoryListModel : public QAbstractListModel {
    Q_OBJECT
public:
    // The column title is shown in the language of `texts`, read when it is painted.
    CategoryListModel(EditContext& edit, TranslationStore& texts, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // The categories were added, removed, renamed or moved.
    void refresh();

private:
    EditContext& m_edit;
    TranslationStore& m_texts;
};

} // namespace pw
