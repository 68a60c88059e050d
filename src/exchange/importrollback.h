#pragma once

// Takes back an import that did not finish, so that an import is all or nothing: the
// categories appended since it began are removed, the products appended to the category
// imported into are removed, and the options records saved before they changed are put
// back. An import that finishes calls commit().

#include "model/catalog.h"

#include <QSet>

#include <optional>
#include <utility>
#include <vector>

namespace pw {

class ImportRollback {
public:
    // `kat`: the category products are appended to, or -1.
    explicit ImportRollback(CatalogDocument& doc, int kat = -1)
        : m_doc(doc), m_categories(doc.categoryCount()), m_kat(kat),
          m_products(kat >= 0 ? doc.products(kat).count() : 0) {}
    ImportRollback(const ImportRollback&) = delete;
    ImportRollback& operator=(const ImportRollback&) = delete;
    ~ImportRollback() {
        if (m_committed)
            return;
        while (m_doc.categoryCount() > m_categories)
            m_doc.deleteCategory(m_doc.categoryCount() - 1);
        if (m_kat >= 0) {
            TProduktListe& list = m_doc.products(m_kat);
            while (list.count() > m_products)
                list.Delete(list.count() - 1);
        }
        for (auto& [kat, options] : m_saved) {
            if (options)
                m_doc.createOptions(kat) = std::move(*options);
            else
                m_doc.removeOptions(kat);
        }
    }

    // Keeps the options of a category that existed before, ahead of their first change.
    void saveOptions(int kat) {
        if (kat >= m_categories || m_seen.contains(kat))
            return;
        m_seen.insert(kat);
        const TKategorie* o = m_doc.options(kat);
        m_saved.emplace_back(kat, o ? std::optional<TKategorie>(*o) : std::nullopt);
    }
    void commit() { m_committed = true; }

private:
    CatalogDocument& m_doc;
    int m_categories;
    int m_kat;
    int m_products;
    QSet<int> m_seen;
    std::vector<std::pair<int, std::optional<TKategorie>>> m_saved;
    bool m_committed = false;
};

} // namespace pw
