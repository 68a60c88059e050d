#include "productstab.h"

#include "app/dialogs/categorydialog.h"
#include "app/dialogs/movetocategorydialog.h"
#include "app/dialogs/tablesettingsdialog.h"
#include "app/products/categorylistmodel.h"
#include "app/products/picturepreview.h"
#include "app/products/productlistmodel.h"
#include "app/products/variantgridmodel.h"
#include "app/translate/translatecomponents.h"
#include "i18n/translateunit.h"
#include "model/editcommands.h"
#include "model/picturefile.h"
#include "model/pictures.h"
#include "model/services.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDoubleSpinBox>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace pw {

namespace {

constexpr double kDefaultNewPictureWidth = 8; // cm

QPushButton* button(const QString& caption, const char* name, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

QVBoxLayout* buttonColumn(std::initializer_list<QPushButton*> buttons) {
    auto* column = new QVBoxLayout;
    for (QPushButton* b : buttons)
        column->addWidget(b);
    column->addStretch(1);
    return column;
}

// Sends every keystroke of the cell editor to the model, so that the cell routine's
// padding and trimming show while the user types.
class TypingDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            connect(line, &QLineEdit::textEdited, this,
                    [this, line] { emit const_cast<TypingDelegate*>(this)->commitData(line); });
        }
        return editor;
    }
};

} // namespace

ProductsTab::ProductsTab(EditContext& edit, Prompts& prompts, TranslationStore& texts, QString progpath,
                         QWidget* parent)
    : QWidget(parent), m_edit(edit), m_prompts(prompts), m_texts(texts), m_progpath(std::move(progpath)) {
    setObjectName(QStringLiteral("ProdukteTab"));
    m_categoryModel = new CategoryListModel(m_edit, m_texts, this);
    m_productModel = new ProductListModel(m_edit.doc, m_texts, this);
    m_gridModel = new VariantGridModel(m_edit, this);

    // Four panels one above the other: categories, products and the product's texts get a
    // quarter of the height less 80 pixels each, pictures and grid the rest.
    auto* panels = new QSplitter(Qt::Vertical, this);
    panels->setObjectName(QStringLiteral("ProdukteSplitter"));
    panels->setChildrenCollapsible(false);
    panels->addWidget(buildCategoryPanel());
    panels->addWidget(buildProductPanel());
    panels->addWidget(buildEditorPanel());
    panels->addWidget(buildPictureAndGridPanel());
    panels->setStretchFactor(3, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(panels);

    m_edit.addObserver(this);
    categorySelectionChanged();
}

ProductsTab::~ProductsTab() {
    m_edit.removeObserver(this);
}

// ---- Panels

QWidget* ProductsTab::buildCategoryPanel() {
    auto* panel = new QWidget(this);
    m_categories = new QTreeView(panel);
    m_categories->setObjectName(QStringLiteral("ListView2"));
    m_categories->setAccessibleName(QStringLiteral("Kategorie"));
    m_categories->setModel(m_categoryModel);
    m_categories->setRootIsDecorated(false);
    m_categories->setUniformRowHeights(true);
    m_categories->setSelectionMode(QAbstractItemView::SingleSelection);
    m_categories->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    connect(m_categories->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ProductsTab::categorySelectionChanged);
    connect(m_categories, &QTreeView::doubleClicked, this, [this] { editCategoryClick(); });

    m_newCategory = button(QStringLiteral("Neue Kategorie"), "NewKategorieBtn", panel);
    m_editCategory = button(QStringLiteral("Bearbeiten"), "KategorieBearbeitenBtn", panel);
    m_categoryUp = button(QStringLiteral("Nach oben"), "KategorienachObenBtn", panel);
    m_categoryDown = button(QStringLiteral("Nach unten"), "KategorienachuntenBtn", panel);
    m_deleteCategory = button(QStringLiteral("Löschen"), "KategorieLoechenBtn", panel);
    connect(m_newCategory, &QPushButton::clicked, this, &ProductsTab::newCategoryClick);
    connect(m_editCategory, &QPushButton::clicked, this, &ProductsTab::editCategoryClick);
    connect(m_categoryUp, &QPushButton::clicked, this, &ProductsTab::categoryUpClick);
    connect(m_categoryDown, &QPushButton::clicked, this, &ProductsTab::categoryDownClick);
    connect(m_deleteCategory, &QPushButton::clicked, this, &ProductsTab::deleteCategoryClick);

    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_categories, 1);
    layout->addLayout(
        buttonColumn({m_newCategory, m_editCategory, m_categoryUp, m_categoryDown, m_deleteCategory}));
    return panel;
}

QWidget* ProductsTab::buildProductPanel() {
    auto* panel = new QWidget(this);
    m_products = new QTreeView(panel);
    m_products->setObjectName(QStringLiteral("ListView1"));
    m_products->setAccessibleName(QStringLiteral("Produkte"));
    m_products->setModel(m_productModel);
    m_products->setRootIsDecorated(false);
    m_products->setUniformRowHeights(true); // a category of 10,000 products scrolls without measuring each
    m_products->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_products->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_products->header()->resizeSection(0, 150);
    m_products->header()->setStretchLastSection(true);
    connect(m_products->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ProductsTab::productSelectionChanged);

    QPushButton* add = button(QStringLiteral("Neues Produkt"), "NeuesProduktBtn", panel);
    QPushButton* remove = button(QStringLiteral("Löschen"), "ProduktLoeschenBtn", panel);
    QPushButton* up = button(QStringLiteral("Nach oben"), "ProduktNachObenBtn", panel);
    QPushButton* down = button(QStringLiteral("Nach unten"), "ProduktNachUntenBtn", panel);
    QPushButton* other = button(QStringLiteral("Andere Kateg."), "AndereKategorieBtn", panel);
    connect(add, &QPushButton::clicked, this, &ProductsTab::newProductClick);
    connect(remove, &QPushButton::clicked, this, &ProductsTab::deleteProductsClick);
    connect(up, &QPushButton::clicked, this, &ProductsTab::productUpClick);
    connect(down, &QPushButton::clicked, this, &ProductsTab::productDownClick);
    connect(other, &QPushButton::clicked, this, &ProductsTab::otherCategoryClick);
    m_productButtons = {add, remove, up, down, other};

    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_products, 1);
    layout->addLayout(buttonColumn({add, remove, up, down, other}));
    return panel;
}

QWidget* ProductsTab::buildEditorPanel() {
    auto* panel = new QWidget(this);
    m_name = new QPlainTextEdit(panel);
    m_name->setObjectName(QStringLiteral("ProdNameEd"));
    m_name->setTabChangesFocus(true);
    m_desc = new QPlainTextEdit(panel);
    m_desc->setObjectName(QStringLiteral("ProdDescEd"));
    m_desc->setTabChangesFocus(true);
    auto* nameLabel = new QLabel(QStringLiteral("Bezeichnung:"), panel);
    nameLabel->setBuddy(m_name);
    m_name->setAccessibleName(QStringLiteral("Bezeichnung:"));
    auto* descLabel = new QLabel(QStringLiteral("Beschreibung:"), panel);
    descLabel->setBuddy(m_desc);
    m_desc->setAccessibleName(QStringLiteral("Beschreibung:"));
    // One undo step per field and visit: leaving the field ends it.
    m_name->installEventFilter(this);
    m_desc->installEventFilter(this);
    connect(m_name, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_showing)
            runGuarded([this] { setProductName(m_edit, m_kat, m_prod, m_name->toPlainText()); });
    });
    connect(m_desc, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_showing)
            runGuarded([this] { setProductDesc(m_edit, m_kat, m_prod, m_desc->toPlainText()); });
    });

    m_anzPreis = new QSpinBox(panel);
    m_anzPreis->setObjectName(QStringLiteral("AnzPreisSpaltenEd"));
    m_anzPreis->setRange(1, 100);
    auto* anzLabel = new QLabel(QStringLiteral("Anzahl Preisspalten:"), panel);
    anzLabel->setBuddy(m_anzPreis);
    m_anzPreis->setAccessibleName(QStringLiteral("Anzahl Preisspalten:"));
    connect(m_anzPreis, &QSpinBox::valueChanged, this, [this](int n) {
        if (!m_showing)
            runGuarded([this, n] { setAnzPreis(m_edit, m_kat, m_prod, n); });
    });
    m_pageBreak = new QCheckBox(QStringLiteral("Seitenumbruch nach dem Produkt"), panel);
    m_pageBreak->setObjectName(QStringLiteral("PageBreakAfterProduktCheck"));
    connect(m_pageBreak, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_showing && m_prod >= 0)
            runGuarded([this, on] { setPageBreakAfterProdukt(m_edit, m_kat, {m_prod}, on); });
    });
    m_deactivate = new QCheckBox(QStringLiteral("Produkt deaktivieren"), panel);
    m_deactivate->setObjectName(QStringLiteral("DeactivateProdCheck"));
    connect(m_deactivate, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_showing)
            runGuarded([this, on] { setDeactivateProd(m_edit, m_kat, selectedProducts(), on); });
    });
    m_tableSettings = button(QStringLiteral("Tabellen Einstellungen..."), "TableSettingsBtn", panel);
    connect(m_tableSettings, &QPushButton::clicked, this, &ProductsTab::tableSettingsClick);

    auto* texts = new QGridLayout;
    texts->addWidget(nameLabel, 0, 0);
    texts->addWidget(descLabel, 0, 1);
    texts->addWidget(m_name, 1, 0);
    texts->addWidget(m_desc, 1, 1);
    texts->setColumnStretch(0, 1);
    texts->setColumnStretch(1, 2);
    auto* side = new QFormLayout;
    side->addRow(anzLabel, m_anzPreis);
    side->addRow(m_pageBreak);
    side->addRow(m_deactivate);
    side->addRow(m_tableSettings);
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(texts, 1);
    layout->addLayout(side);
    return panel;
}

QWidget* ProductsTab::buildPictureAndGridPanel() {
    auto* panel = new QWidget(this);

    auto* pictures = new QGroupBox(QStringLiteral("Bilder:"), panel);
    m_pictures = new QListWidget(pictures);
    m_pictures->setObjectName(QStringLiteral("BildListBox"));
    m_pictures->setAccessibleName(QStringLiteral("Bilder:"));
    m_pictures->setIconSize(QSize(40, 40));
    m_pictures->setAcceptDrops(true);
    m_pictures->viewport()->setAcceptDrops(true);
    m_pictures->viewport()->installEventFilter(this);
    connect(m_pictures, &QListWidget::currentRowChanged, this, [this](int row) {
        if (m_showing || row < 0)
            return;
        if (const std::optional<double> breite =
                loadPicturePreview(m_edit.doc, m_kat, m_prod, row, m_preview, m_prompts, m_texts)) {
            m_showing = true;
            m_pictureWidth->setValue(*breite);
            m_showing = false;
        }
        m_previewBox->update();
    });
    QPushButton* add = button(QStringLiteral("Neue Bilder..."), "NeuesBildBtn", pictures);
    QPushButton* remove = button(QStringLiteral("Löschen"), "BildL_schenBtn", pictures);
    QPushButton* up = button(QStringLiteral("Nach oben"), "BildnachObenBtn", pictures);
    QPushButton* down = button(QStringLiteral("Nach unten"), "BildNachUntenBtn", pictures);
    connect(add, &QPushButton::clicked, this, &ProductsTab::newPicturesClick);
    connect(remove, &QPushButton::clicked, this, &ProductsTab::deletePictureClick);
    connect(up, &QPushButton::clicked, this, &ProductsTab::pictureUpClick);
    connect(down, &QPushButton::clicked, this, &ProductsTab::pictureDownClick);
    m_pictureButtons = {add, remove, up, down};
    m_pictureWidth = new QDoubleSpinBox(pictures);
    m_pictureWidth->setObjectName(QStringLiteral("BildBreitEd"));
    m_pictureWidth->setRange(kMinPictureWidth, kMaxPictureWidth);
    m_pictureWidth->setDecimals(2);
    m_pictureWidth->setValue(kDefaultNewPictureWidth);
    m_pictureWidth->setToolTip(QStringLiteral("Die Breite VOR dem Hinzufügen der Bilder einstellen."));
    auto* widthLabel = new QLabel(QStringLiteral("Bild Breite in cm:"), pictures);
    widthLabel->setBuddy(m_pictureWidth);
    m_pictureWidth->setAccessibleName(QStringLiteral("Bild Breite in cm:"));
    connect(m_pictureWidth, &QDoubleSpinBox::valueChanged, this, [this](double breite) {
        if (!m_showing)
            runGuarded([this, breite] { setPictureWidth(m_edit, m_kat, m_prod, picture(), breite); });
    });
    m_previewBox = new PicturePreview(m_preview, pictures);
    m_previewBox->setObjectName(QStringLiteral("DibPrevPaint"));
    m_previewBox->setAccessibleName(QStringLiteral("Vorschau"));
    connect(m_previewBox, &PicturePreview::filesDropped, this, &ProductsTab::addPictureFiles);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : m_pictureButtons)
        buttons->addWidget(b);
    auto* width = new QHBoxLayout;
    width->addWidget(widthLabel);
    width->addWidget(m_pictureWidth, 1);
    auto* pictureColumn = new QVBoxLayout(pictures);
    pictureColumn->addWidget(m_pictures, 1);
    pictureColumn->addLayout(buttons);
    pictureColumn->addLayout(width);
    pictureColumn->addWidget(m_previewBox, 1);

    auto* variants = new QGroupBox(QStringLiteral("Varianten:"), panel);
    m_grid = new QTableView(variants);
    m_grid->setObjectName(QStringLiteral("StringGrid1"));
    m_grid->setAccessibleName(QStringLiteral("Varianten:"));
    m_grid->setModel(m_gridModel);
    m_grid->setItemDelegate(new TypingDelegate(m_grid));
    m_grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->installEventFilter(this);
    connect(m_grid, &QTableView::customContextMenuRequested, this, &ProductsTab::gridContextMenu);
    // A cell's keystrokes are one undo step; closing its editor ends the step.
    connect(m_grid->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            [this] { m_edit.history.sealNewest(); });
    auto* gridLayout = new QVBoxLayout(variants);
    gridLayout->addWidget(m_grid);

    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pictures, 1);
    layout->addWidget(variants, 3);
    return panel;
}

// ---- Selection

QList<int> ProductsTab::selectedProducts() const {
    QList<int> rows;
    for (const QModelIndex& i : m_products->selectionModel()->selectedRows())
        rows.append(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int ProductsTab::picture() const {
    const int row = m_pictures->currentRow();
    const TProdukt* p = findProduct(m_edit.doc, m_kat, m_prod);
    return p && row >= 0 && row < p->bilder.count() ? row : -1;
}

void ProductsTab::selectCategory(int kat) {
    if (kat < 0 || kat >= m_edit.doc.categoryCount())
        m_categories->selectionModel()->clearSelection();
    else
        m_categories->selectionModel()->setCurrentIndex(m_categoryModel->index(kat),
                                                        QItemSelectionModel::ClearAndSelect);
    categorySelectionChanged();
}

void ProductsTab::selectProducts(const QList<int>& rows) {
    QItemSelection selection;
    for (int r : rows) {
        if (r >= 0 && r < m_productModel->rowCount())
            selection.select(m_productModel->index(r, 0), m_productModel->index(r, 1));
    }
    m_selecting = true;
    m_products->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!rows.isEmpty() && rows.first() >= 0 && rows.first() < m_productModel->rowCount())
        m_products->selectionModel()->setCurrentIndex(m_productModel->index(rows.first(), 0),
                                                      QItemSelectionModel::NoUpdate);
    m_selecting = false;
    productSelectionChanged();
    if (!rows.isEmpty())
        m_products->scrollTo(m_productModel->index(rows.first(), 0));
}

void ProductsTab::categorySelectionChanged() {
    const QModelIndexList rows = m_categories->selectionModel()->selectedRows();
    const int kat = rows.isEmpty() ? -1 : rows.first().row();
    m_editCategory->setEnabled(kat >= 0);
    m_categoryUp->setEnabled(kat > 0);
    m_categoryDown->setEnabled(kat >= 0 && kat + 1 < m_edit.doc.categoryCount());
    m_deleteCategory->setEnabled(kat >= 0);
    for (QPushButton* b : std::as_const(m_productButtons))
        b->setEnabled(kat >= 0);
    if (kat == m_kat && m_productModel->category() == kat)
        return;
    m_kat = kat;
    m_productModel->setCategory(kat);
    productSelectionChanged();
}

void ProductsTab::productSelectionChanged() {
    if (m_selecting)
        return;
    const QList<int> rows = selectedProducts();
    m_prod = rows.isEmpty() ? -1 : rows.first();
    showProduct();
}

void ProductsTab::showProduct() {
    const TProdukt* p = findProduct(m_edit.doc, m_kat, m_prod);
    m_showing = true;
    const bool on = p != nullptr;
    for (QWidget* w : std::initializer_list<QWidget*>{m_name, m_desc, m_anzPreis, m_pageBreak, m_deactivate,
                                                      m_tableSettings, m_pictures, m_pictureWidth, m_grid})
        w->setEnabled(on);
    for (QPushButton* b : std::as_const(m_pictureButtons))
        b->setEnabled(on);
    if (p) {
        if (m_name->toPlainText() != p->name)
            m_name->setPlainText(p->name);
        if (m_desc->toPlainText() != p->desc)
            m_desc->setPlainText(p->desc);
        m_anzPreis->setValue(std::clamp(p->anzpreis, 1, 100));
        m_pageBreak->setChecked(p->PageBreakAfterProdukt);
        m_deactivate->setChecked(p->DeactivateProd);
    } else {
        m_name->clear();
        m_desc->clear();
        m_pageBreak->setChecked(false);
        m_deactivate->setChecked(false);
    }
    m_showing = false;
    showPictures(-1);
    m_gridModel->setProduct(on ? m_kat : -1, on ? m_prod : -1);
    m_gridModel->tableChanged();
    fitGridColumns();
}

void ProductsTab::showPictures(int select) {
    m_showing = true;
    m_pictures->clear();
    if (const TProdukt* p = findProduct(m_edit.doc, m_kat, m_prod)) {
        for (const TBild& b : p->bilder) {
            auto* item = new QListWidgetItem(b.datei, m_pictures);
            const QString file = resolvePicturePath(b.datei, m_edit.doc.afilename);
            if (!QFileInfo(file).isFile()) {
                // Shown as missing rather than silently left out of the catalogue.
                item->setForeground(Qt::red);
                item->setIcon(style()->standardIcon(QStyle::SP_MessageBoxWarning));
                item->setToolTip(QStringLiteral("Die Bilddatei fehlt: %1").arg(file));
                continue;
            }
            dib thumbnail;
            LoadDib(thumbnail, file);
            if (thumbnail.poi)
                item->setIcon(QPixmap::fromImage(
                    dibToImage(thumbnail).scaled(40, 40, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
            item->setToolTip(file);
        }
    }
    if (select >= 0 && select < m_pictures->count())
        m_pictures->setCurrentRow(select);
    m_showing = false;
}

void ProductsTab::fitGridColumns() {
    // Each column as wide as its widest text (at least 44 pixels), plus 20.
    const QFontMetrics metrics(m_grid->font());
    const TProdukt* p = findProduct(m_edit.doc, m_kat, m_prod);
    for (int c = 0; c < kGridSize; ++c) {
        int widest = 44;
        if (p) {
            for (const TVariante& row : p->varianten) {
                if (c < row.props.count())
                    widest = std::max(widest, metrics.horizontalAdvance(row.props[c].text));
            }
        }
        m_grid->setColumnWidth(c, widest + 20);
    }
}

// ---- What the document tells

void ProductsTab::documentChanged(const DocumentChange& change) {
    using Kind = DocumentChange::Kind;
    switch (change.kind) {
    case Kind::Everything:
        m_categoryModel->refresh();
        m_kat = -2; // whatever is selected now, it shows a new document
        selectCategory(m_edit.doc.categoryCount() > 0 ? 0 : -1);
        break;
    case Kind::Categories: {
        const int kat = m_kat;
        m_categoryModel->refresh();
        m_kat = -2;
        selectCategory(std::min(kat, m_edit.doc.categoryCount() - 1));
        break;
    }
    case Kind::Products:
        if (change.kat == m_kat) {
            const QList<int> rows = selectedProducts();
            m_productModel->refresh();
            selectProducts(rows);
        }
        break;
    case Kind::ProductFields:
        if (change.kat == m_kat) {
            m_productModel->productsChanged(change.first, change.last);
            if (m_prod >= change.first && m_prod <= change.last && !m_name->hasFocus() && !m_desc->hasFocus())
                showProduct();
            else if (m_prod >= change.first && m_prod <= change.last) {
                m_showing = true;
                m_anzPreis->setValue(std::clamp(findProduct(m_edit.doc, m_kat, m_prod)->anzpreis, 1, 100));
                m_showing = false;
            }
        }
        break;
    case Kind::Pictures:
        if (change.kat == m_kat && change.first == m_prod)
            showPictures(m_pictures->currentRow());
        break;
    case Kind::VariantTable:
        if (change.kat == m_kat && change.first == m_prod)
            m_gridModel->tableChanged();
        break;
    case Kind::LayoutSettings:
    case Kind::TemplateColumns:
        break;
    }
}

// ---- Commands

void ProductsTab::runGuarded(const std::function<void()>& command) {
    try {
        command();
    } catch (const Error& e) {
        m_prompts.message(errorText(e, m_texts), QString(), Prompts::Icon::Error);
    }
}

void ProductsTab::newCategoryClick() {
    const int kat = newCategory(m_edit);
    selectCategory(kat);
    m_categories->setFocus();
    m_categories->edit(m_categoryModel->index(kat));
}

void ProductsTab::editCategoryClick() {
    if (m_kat < 0)
        return;
    CategoryDialog dialog(categoryDialogValues(m_edit.doc, m_kat), GetDIBOpenFilter(), this);
    translateDialog(&dialog, m_texts);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int kat = m_kat;
    runGuarded([&] { applyCategoryDialog(m_edit, kat, dialog.values()); });
    selectCategory(kat);
}

void ProductsTab::categoryUpClick() {
    if (const int moved = moveCategoryUp(m_edit, m_kat); moved >= 0)
        selectCategory(moved);
}

void ProductsTab::categoryDownClick() {
    if (const int moved = moveCategoryDown(m_edit, m_kat); moved >= 0)
        selectCategory(moved);
}

void ProductsTab::deleteCategoryClick() {
    if (m_kat >= 0)
        deleteCategory(m_edit, m_kat, m_prompts, m_texts);
}

void ProductsTab::newProductClick() {
    if (m_kat < 0)
        return;
    const int prod = newProduct(m_edit, m_kat, m_texts);
    selectProducts({prod});
    m_name->setFocus();
    m_name->selectAll();
}

void ProductsTab::deleteProductsClick() {
    if (m_kat >= 0)
        deleteProducts(m_edit, m_kat, selectedProducts());
}

void ProductsTab::productUpClick() {
    if (const int moved = moveProductUp(m_edit, m_kat, m_prod); moved >= 0)
        selectProducts({moved});
}

void ProductsTab::productDownClick() {
    if (const int moved = moveProductDown(m_edit, m_kat, m_prod); moved >= 0)
        selectProducts({moved});
}

void ProductsTab::otherCategoryClick() {
    const QStringList names = otherCategoryNames(m_edit.doc, m_kat);
    if (m_kat < 0 || m_prod < 0 || names.isEmpty())
        return;
    MoveToCategoryDialog dialog(names, this);
    translateDialog(&dialog, m_texts);
    if (dialog.exec() == QDialog::Accepted && dialog.choice() >= 0)
        moveProductsToOtherCategory(m_edit, m_kat, selectedProducts(), dialog.choice());
}

void ProductsTab::tableSettingsClick() {
    const TProdukt* p = findProduct(m_edit.doc, m_kat, m_prod);
    if (!p)
        return;
    TableSettingsDialog dialog(productTableSettings(*p), this);
    translateDialog(&dialog, m_texts);
    dialog.exec();
    // The dialog has only OK: however it is closed, its values count.
    runGuarded([&] { setProductTableSettings(m_edit, m_kat, m_prod, dialog.values()); });
}

void ProductsTab::newPicturesClick() {
    if (!findProduct(m_edit.doc, m_kat, m_prod))
        return;
    addPictureFiles(m_prompts.openFileNames(GetDIBOpenFilter()));
}

void ProductsTab::addPictureFiles(const QStringList& files) {
    if (files.isEmpty() || !findProduct(m_edit.doc, m_kat, m_prod))
        return;
    runGuarded([&] {
        addPictures(m_edit, m_kat, m_prod, files, m_pictureWidth->value(), m_progpath, m_prompts, m_texts,
                    &m_preview);
    });
    m_previewBox->update();
}

void ProductsTab::deletePictureClick() {
    const int bild = picture();
    if (bild < 0)
        return;
    const int next = deletePicture(m_edit, m_kat, m_prod, bild);
    showPictures(next);
}

void ProductsTab::pictureUpClick() {
    const int bild = picture();
    if (bild >= 0 && movePictureUp(m_edit, m_kat, m_prod, bild))
        showPictures(bild); // the selection stays where it was
}

void ProductsTab::pictureDownClick() {
    const int bild = picture();
    if (bild >= 0 && movePictureDown(m_edit, m_kat, m_prod, bild))
        showPictures(bild);
}

// ---- The grid's menu and clipboard

void ProductsTab::gridContextMenu(const QPoint& at) {
    const QModelIndex cell = m_grid->indexAt(at);
    if (!cell.isValid() || !findProduct(m_edit.doc, m_kat, m_prod))
        return;
    m_grid->setCurrentIndex(cell);
    const int x = cell.column();
    const int y = cell.row();
    const int kat = m_kat;
    const int prod = m_prod;
    QMenu menu(this);
    const auto add = [&](const QString& caption, const char* name, std::function<void()> command) {
        QAction* a = menu.addAction(caption);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, [this, command] { runGuarded(command); });
    };
    add(QStringLiteral("Spalte löschen"), "Spaltelschen1",
        [=, this] { deleteGridColumn(m_edit, kat, prod, x); });
    add(QStringLiteral("Spalte einfügen"), "Spalteeinfgen1",
        [=, this] { insertGridColumn(m_edit, kat, prod, x); });
    add(QStringLiteral("Zeile löschen"), "Zeilelschen1", [=, this] { deleteGridRow(m_edit, kat, prod, y); });
    add(QStringLiteral("Zeile einfügen"), "Zeileeinfgen1",
        [=, this] { insertGridRow(m_edit, kat, prod, y); });
    menu.addSeparator();
    add(QStringLiteral("Spalte kopieren"), "Spaltekopieren1",
        [=, this] { copyGridColumn(m_edit.doc, kat, prod, x, m_clipboard); });
    add(QStringLiteral("Spaltenkopie einfügen"), "Spaltenkopieeinfgen1",
        [=, this] { pasteGridColumn(m_edit, kat, prod, x, m_clipboard); });
    add(QStringLiteral("Zeile kopieren"), "Zeilekopieren1",
        [=, this] { copyGridRow(m_edit.doc, kat, prod, y, m_clipboard); });
    add(QStringLiteral("Zeilenkopie einfügen"), "Zeilenkopieeinfgen1",
        [=, this] { pasteGridRow(m_edit, kat, prod, y, m_clipboard); });
    menu.exec(m_grid->viewport()->mapToGlobal(at));
}

void ProductsTab::copyGridRange() {
    const QModelIndexList cells = m_grid->selectionModel()->selectedIndexes();
    if (cells.isEmpty())
        return;
    int left = kGridSize, top = kGridSize, right = -1, bottom = -1;
    for (const QModelIndex& i : cells) {
        left = std::min(left, i.column());
        right = std::max(right, i.column());
        top = std::min(top, i.row());
        bottom = std::max(bottom, i.row());
    }
    QApplication::clipboard()->setText(copyGridText(m_edit.doc, m_kat, m_prod, left, top, right, bottom));
}

void ProductsTab::pasteGridRange() {
    const QModelIndex at = m_grid->currentIndex();
    if (!at.isValid())
        return;
    const QString text = QApplication::clipboard()->text();
    runGuarded([&] { pasteGridText(m_edit, m_kat, m_prod, at.column(), at.row(), text); });
}

bool ProductsTab::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == m_name || watched == m_desc) && event->type() == QEvent::FocusOut) {
        m_edit.history.sealNewest();
    } else if (watched == m_grid && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy)) {
            copyGridRange();
            return true;
        }
        if (key->matches(QKeySequence::Paste)) {
            pasteGridRange();
            return true;
        }
    } else if (m_pictures && watched == m_pictures->viewport()) {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (!droppedFiles(drag->mimeData()).isEmpty()) {
                drag->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            const QStringList files = droppedFiles(drop->mimeData());
            if (!files.isEmpty()) {
                drop->acceptProposedAction();
                addPictureFiles(files);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace pw
