#pragma once

// The catalogue document: categories holding products, each product with its pictures and
// its variant table, plus the document-wide settings.

#include "model/orvanto.h"
#include "model/settings.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace pw {

// One picture of a product.
struct TBild {
    QString datei;     // file path as chosen (a bare name in a file is resolved on loading)
    double breite = 0; // printed width in cm
    int pixbreite = 0; // pixel size of the file, filled in by the layout engines; 0 = unknown
    int pixhoehe = 0;
};

// One cell of a variant row.
struct TProp {
    QString text;
    int zellbreite = 0; // working value of the layout engines
};

// One row of a variant table; row 0 holds the column captions.
struct TVariante {
    TDynaArray<TProp> props;
    int zeilen = 0; // working value of the layout engines: text lines of the row
};

// A product's own variant-table settings ("Tabellen Einstellungen..."), used instead of
// the document's when OverWrite is set. Lengths in mm.
struct ProductTableSettings {
    bool OverWrite = false;
    bool DefineFixedWidth = false;
    bool FixWidthForTable = false;
    bool DefineFixedHeight = false;
    std::array<double, 10> ColWidth{}; // columns 1..10
    double FixedWidthForTable = 0;
    double RowHeight = 0;

    bool operator==(const ProductTableSettings&) const = default;
};

// The lengths of the settings are 0..kMaxTableLengthMm; a file or a dialog that gives
// another is damaged or refused.
constexpr double kMaxTableLengthMm = 1000;

// One length of the settings: its field name (as files and the JSON dump name it), its
// caption in the dialog, its default, and where it is.
template <class Length> struct TableLength {
    QString field;
    QString caption;
    double fallback;
    Length* value;
};
// The twelve lengths in the order of the dialog: ColWidth[0..9], RowHeight,
// FixedWidthForTable. Written once, for every check of the ranges.
std::vector<TableLength<double>> tableLengths(ProductTableSettings& t);
std::vector<TableLength<const double>> tableLengths(const ProductTableSettings& t);

// A product. A freshly added record is all zero; SetProductTableDefaults() gives it the
// table defaults that new and loaded products start with.
struct TProdukt {
    QString name;
    QString desc;
    TDynaArray<TBild> bilder;
    TDynaArray<TVariante> varianten;
    int seite = 0; // page of the last layout run
    int anzpreis = 0;
    bool DeactivateProd = false;
    bool PageBreakAfterProdukt = false;
    ProductTableSettings table;
};

using TProduktListe = TDynaArray<TProdukt>;

// The optional options record of a category. A category without one behaves exactly as
// one whose record is all false and empty.
struct TKategorie {
    QString Bild;
    double BildBreite = 0; // cm
    QString Einfuehrungstext;
    int seite = 0; // page of the last layout run; not stored
    int BildUnterName = 0;
    bool Deactivate = false;
    bool ListAllKategoires = false;
    bool Unterkategorien = false;
    bool DoNotListinInhalt = false;
    bool UseAsBackgroundPic = false;
    bool ShowOnlyPicture = false;
    bool ErstesAufneuerSeite = false;
    bool InhaltsVerzeichnis = false;
    bool NoNeedForNewPage = false;
    bool TextUnterBild = false;
    bool DoNotListCategories = false;
    bool ProdukteInhalt = false;
    bool KatBereichUnter = false;
    bool UnterlegeKategorie = false;
    bool OwnFontColor = false;
    quint32 BereichFarbe = 0;
    quint32 UnterlegFarbe = 0;
    quint32 FontColor = 0;
};

constexpr double kDefaultColWidth = 35;
constexpr double kDefaultTableWidth = 155;
constexpr double kDefaultRowHeight = 5;

// ColWidth 35, FixedWidthForTable 155, RowHeight 5, the four table flags off.
void SetProductTableDefaults(TProdukt& p);

// ---- The variant-table rule

// Cell c of a row of n cells is a price cell when n - 1 - c < anzpreis (rows after row 0).
inline bool IsPriceCell(int c, int n, int anzpreis) {
    return n - 1 - c < anzpreis;
}
// The text of cell c of a row, empty for a cell the row does not have.
QString CellText(const TVariante& row, int c);
// 1 + the index of the row's last non-empty cell (0 for a row of empty cells).
int FilledCellCount(const TVariante& row);
// Removes trailing empty columns and rows: cells at index >= C and rows at index >= R go,
// where R and C are 1 + the highest row and cell index holding a non-empty cell.
void TrimVariantTable(TDynaArray<TVariante>& rows);

// Releases everything a product owns (texts, pictures, rows). It stays in its list.
void DestroyAProd(TProdukt& p);
// DestroyAProd on every product of the list, then empties the list.
void DestroyAKat(TProduktListe& products);

// ---- The document

// Per-page category captions of the last layout run, pages 0..9999. Reading any other
// page yields an empty string; writing one is ignored.
class LastKatTable {
public:
    static constexpr int kPages = 10000;
    QString get(int page) const;
    void set(int page, const QString& caption);
    void clear() { m_pages.clear(); }
    bool operator==(const LastKatTable&) const = default;

private:
    std::vector<QString> m_pages;
};

// The one open catalogue. Category i is element i of kats() (its product list), name i
// and options i; the category operations keep the three in step. Accessors that take a
// category index expect 0 <= kat < categoryCount(); the operations that add, remove or
// swap categories ignore an index out of range.
class CatalogDocument {
public:
    CatalogDocument();

    int categoryCount() const { return m_kats.count(); }
    const TDynaArray<TProduktListe>& kats() const { return m_kats; }
    TProduktListe& products(int kat) { return m_kats[kat]; }
    const TProduktListe& products(int kat) const { return m_kats[kat]; }
    const QString& categoryName(int kat) const { return m_names[kat]; }
    void setCategoryName(int kat, const QString& name) { m_names[kat] = name; }
    // The options record of a category, or nullptr when it has none.
    TKategorie* options(int kat) {
        return m_options[std::size_t(kat)] ? &*m_options[std::size_t(kat)] : nullptr;
    }
    const TKategorie* options(int kat) const {
        return m_options[std::size_t(kat)] ? &*m_options[std::size_t(kat)] : nullptr;
    }
    // Gives a category a fresh options record (replacing any) and returns it.
    TKategorie& createOptions(int kat);
    void removeOptions(int kat) { m_options[std::size_t(kat)].reset(); }

    // Appends an empty category and returns its index.
    int addCategory(const QString& name);
    // Inserts an empty category at index kat (0..count); returns false when out of range.
    bool insertCategory(int kat, const QString& name);
    // Destroys the category's products and removes it; ignored when out of range.
    void deleteCategory(int kat);
    // Swaps two categories with their names and options; ignored unless both are valid.
    void swapCategories(int a, int b);

    // What "Neu" does: every category goes, BackgroundColorCheck goes off and the file name
    // is cleared. Other settings and the template columns stay. (The changed flag lives in
    // the EditContext.)
    void NewAll();

    // A new, empty document that starts from this one's settings and template columns as
    // NewAll would leave them; the readers build into such a seed.
    CatalogDocument seededCopy() const;

    int productCount() const;

    LayoutSettings settings;
    QStringList VorlageSpalten;
    QString afilename;

    // Results of the last layout run.
    int anzpages = 0;
    LastKatTable lastkat;
    int maxlinesforcaptionlasttime = 0;

private:
    friend class CatalogFileReader; // applies option blocks to a copy of m_options

    TDynaArray<TProduktListe> m_kats;
    QStringList m_names;
    std::vector<std::optional<TKategorie>> m_options;
};

} // namespace pw
