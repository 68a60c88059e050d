#pragma once

// The "Produkte" tab: the category list, the product list of the selected category, the
// editor of the selected product (name, description, price columns, the two flags, its
// table settings), its pictures and its variant grid.
//
// The lists and the grid are views over the document; every button, keystroke and menu
// command is a command of the core, and the tab learns what changed from the edit
// context, refreshing only what a change touched. Selecting a category or a product is
// window state: it never changes the document. Typing into the name or the description
// is one undo step per field until the field loses the focus, and so is typing into one
// grid cell.

#include "imagelib/PicIO3.h"
#include "model/undo.h"
#include "model/varianttableedit.h"

#include <QWidget>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTableView;
class QTreeView;

namespace pw {

class CategoryListModel;
class PicturePreview;
class ProductListModel;
class Prompts;
class TranslationStore;
class VariantGridModel;

class ProductsTab : public QWidget, private DocumentObserver {
    Q_OBJECT
public:
    // `progpath` is the program folder: pictures from there are stored by their bare name.
    ProductsTab(EditContext& edit, Prompts& prompts, TranslationStore& texts, QString progpath,
                QWidget* parent = nullptr);
    ~ProductsTab() override;

    // The selection, as the commands see it: the category (-1 none), the selected products
    // in list order, the first of them (-1 none), the selected picture (-1 none).
    int category() const { return m_kat; }
    QList<int> selectedProducts() const;
    int product() const { return m_prod; }
    int picture() const;

    void selectCategory(int kat);
    void selectProducts(const QList<int>& rows);

    // The commands of the buttons, for the menu and the tests.
    void newCategoryClick();
    void editCategoryClick();
    void categoryUpClick();
    void categoryDownClick();
    void deleteCategoryClick();
    void newProductClick();
    void deleteProductsClick();
    void productUpClick();
    void productDownClick();
    void otherCategoryClick();
    void tableSettingsClick();
    void newPicturesClick();
    void addPictureFiles(const QStringList& files);
    void deletePictureClick();
    void pictureUpClick();
    void pictureDownClick();

    QTreeView* categoryView() const { return m_categories; }
    QTreeView* productView() const { return m_products; }
    QTableView* gridView() const { return m_grid; }
    QPlainTextEdit* nameEditor() const { return m_name; }
    QPlainTextEdit* descriptionEditor() const { return m_desc; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void documentChanged(const DocumentChange& change) override;

    QWidget* buildCategoryPanel();
    QWidget* buildProductPanel();
    QWidget* buildEditorPanel();
    QWidget* buildPictureAndGridPanel();

    void categorySelectionChanged();
    void productSelectionChanged();
    void showProduct();
    void showPictures(int select);
    void fitGridColumns();
    void gridContextMenu(const QPoint& at);
    void copyGridRange();
    void pasteGridRange();
    void runGuarded(const std::function<void()>& command);

    EditContext& m_edit;
    Prompts& m_prompts;
    TranslationStore& m_texts;
    QString m_progpath;
    int m_kat = -1;
    int m_prod = -1;
    bool m_showing = false;   // the editors are being filled: their change signals are not edits
    bool m_selecting = false; // the tab changes the selection itself
    GridClipboard m_clipboard;
    dib m_preview;

    CategoryListModel* m_categoryModel = nullptr;
    ProductListModel* m_productModel = nullptr;
    VariantGridModel* m_gridModel = nullptr;

    QTreeView* m_categories = nullptr;
    QPushButton* m_newCategory = nullptr;
    QPushButton* m_editCategory = nullptr;
    QPushButton* m_categoryUp = nullptr;
    QPushButton* m_categoryDown = nullptr;
    QPushButton* m_deleteCategory = nullptr;
    QTreeView* m_products = nullptr;
    QList<QPushButton*> m_productButtons;
    QPlainTextEdit* m_name = nullptr;
    QPlainTextEdit* m_desc = nullptr;
    QSpinBox* m_anzPreis = nullptr;
    QCheckBox* m_pageBreak = nullptr;
    QCheckBox* m_deactivate = nullptr;
    QPushButton* m_tableSettings = nullptr;
    QListWidget* m_pictures = nullptr;
    QList<QPushButton*> m_pictureButtons;
    QDoubleSpinBox* m_pictureWidth = nullptr;
    PicturePreview* m_previewBox = nullptr;
    QTableView* m_grid = nullptr;
};

} // namespace pw
