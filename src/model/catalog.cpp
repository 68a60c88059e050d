#include "catalog.h"

#include <utility>

namespace pw {

namespace {

template <class Settings, class Length> std::vector<TableLength<Length>> lengthsOf(Settings& t) {
    std::vector<TableLength<Length>> lengths;
    for (std::size_t c = 0; c < t.ColWidth.size(); ++c)
        lengths.push_back({QStringLiteral("ColWidth[%1]").arg(c), QStringLiteral("%1. Spalte").arg(c + 1),
                           kDefaultColWidth, &t.ColWidth[c]});
    lengths.push_back(
        {QStringLiteral("RowHeight"), QStringLiteral("Zeilenhöhe"), kDefaultRowHeight, &t.RowHeight});
    lengths.push_back({QStringLiteral("FixedWidthForTable"), QStringLiteral("Breite"), kDefaultTableWidth,
                       &t.FixedWidthForTable});
    return lengths;
}

} // namespace

std::vector<TableLength<double>> tableLengths(ProductTableSettings& t) {
    return lengthsOf<ProductTableSettings, double>(t);
}

std::vector<TableLength<const double>> tableLengths(const ProductTableSettings& t) {
    return lengthsOf<const ProductTableSettings, const double>(t);
}

void SetProductTableDefaults(TProdukt& p) {
    p.table = ProductTableSettings{};
    for (TableLength<double>& length : tableLengths(p.table))
        *length.value = length.fallback;
}

QString CellText(const TVariante& row, int c) {
    return (c >= 0 && c < row.props.count()) ? row.props[c].text : QString();
}

int FilledCellCount(const TVariante& row) {
    for (int c = row.props.count() - 1; c >= 0; --c) {
        if (!row.props[c].text.isEmpty())
            return c + 1;
    }
    return 0;
}

void TrimVariantTable(TDynaArray<TVariante>& rows) {
    int usedRows = 0;
    int usedCols = 0;
    for (int r = 0; r < rows.count(); ++r) {
        const int filled = FilledCellCount(rows[r]);
        if (filled > 0) {
            usedRows = r + 1;
            usedCols = std::max(usedCols, filled);
        }
    }
    while (rows.count() > usedRows)
        rows.Delete(rows.count() - 1);
    for (TVariante& row : rows) {
        while (row.props.count() > usedCols)
            row.props.Delete(row.props.count() - 1);
    }
}

void DestroyAProd(TProdukt& p) {
    p.name.clear();
    p.desc.clear();
    p.bilder.Clear();
    p.varianten.Clear();
}

void DestroyAKat(TProduktListe& products) {
    for (TProdukt& p : products)
        DestroyAProd(p);
    products.Clear();
}

QString LastKatTable::get(int page) const {
    if (page < 0 || std::size_t(page) >= m_pages.size())
        return {};
    return m_pages[std::size_t(page)];
}

void LastKatTable::set(int page, const QString& caption) {
    if (page < 0 || page >= kPages)
        return;
    if (m_pages.empty())
        m_pages.resize(kPages);
    m_pages[std::size_t(page)] = caption;
}

CatalogDocument::CatalogDocument() = default;

TKategorie& CatalogDocument::createOptions(int kat) {
    return m_options[std::size_t(kat)].emplace();
}

int CatalogDocument::addCategory(const QString& name) {
    m_kats.Add();
    m_names.append(name);
    m_options.emplace_back();
    return m_kats.count() - 1;
}

bool CatalogDocument::insertCategory(int kat, const QString& name) {
    if (!m_kats.Insert(kat))
        return false;
    m_names.insert(kat, name);
    m_options.insert(m_options.begin() + kat, std::nullopt);
    return true;
}

void CatalogDocument::deleteCategory(int kat) {
    if (kat < 0 || kat >= m_kats.count())
        return;
    DestroyAKat(m_kats[kat]);
    m_kats.Delete(kat);
    m_names.removeAt(kat);
    m_options.erase(m_options.begin() + kat);
}

void CatalogDocument::swapCategories(int a, int b) {
    if (a < 0 || b < 0 || a >= m_kats.count() || b >= m_kats.count())
        return;
    m_kats.Change(a, b);
    m_names.swapItemsAt(a, b);
    std::swap(m_options[std::size_t(a)], m_options[std::size_t(b)]);
}

void CatalogDocument::NewAll() {
    for (TProduktListe& products : m_kats)
        DestroyAKat(products);
    m_kats.Clear();
    m_names.clear();
    m_options.clear();
    settings.BackgroundColorCheck = false;
    afilename.clear();
}

CatalogDocument CatalogDocument::seededCopy() const {
    CatalogDocument doc;
    doc.settings = settings;
    doc.settings.BackgroundColorCheck = false;
    doc.VorlageSpalten = VorlageSpalten;
    return doc;
}

int CatalogDocument::productCount() const {
    int n = 0;
    for (const TProduktListe& products : m_kats)
        n += products.count();
    return n;
}

} // namespace pw
