#include "bulkoperations.h"

#include "model/picturefile.h"
#include "model/varianttableedit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cmath>
#include <numeric>

namespace pw {

namespace {

// Before and after of the tables a command changed, for one undo step.
struct TableChange {
    int kat;
    int prod;
    TableTexts before;
    TableTexts after;
};

void recordTableChanges(EditContext& ctx, const QString& caption, std::vector<TableChange> changes) {
    qint64 bytes = 0;
    for (const TableChange& c : changes)
        bytes += tableBytes(c.before) + tableBytes(c.after);
    auto shared = std::make_shared<const std::vector<TableChange>>(std::move(changes));
    ctx.record(
        caption,
        [shared](CatalogDocument& d) {
            for (const TableChange& c : *shared) {
                if (TProdukt* p = findProduct(d, c.kat, c.prod))
                    setTableTexts(p->varianten, c.before);
            }
        },
        [shared](CatalogDocument& d) {
            for (const TableChange& c : *shared) {
                if (TProdukt* p = findProduct(d, c.kat, c.prod))
                    setTableTexts(p->varianten, c.after);
            }
        },
        bytes, {DocumentChange::everything()});
}

// Puts the elements in the order `order` names: element i becomes the former element
// order[i].
template <class T> void applyOrder(TDynaArray<T>& list, const std::vector<int>& order) {
    std::vector<T> old;
    old.reserve(order.size());
    for (T& e : list)
        old.push_back(std::move(e));
    for (std::size_t i = 0; i < order.size(); ++i)
        list[int(i)] = std::move(old[std::size_t(order[i])]);
}

std::vector<int> inverseOrder(const std::vector<int>& order) {
    std::vector<int> inverse(order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        inverse[std::size_t(order[i])] = int(i);
    return inverse;
}

// The exchange sort of the dialogs: for i = first..n-2, j = i+1..n-1, positions i and j
// swap when `greater`(element at i, element at j). Sorts indices; returns the order.
template <class Greater> std::vector<int> exchangeSort(int n, int first, Greater greater) {
    std::vector<int> order(std::size_t(std::max(n, 0)));
    std::iota(order.begin(), order.end(), 0);
    for (int i = first; i < n - 1; ++i) {
        for (int j = i + 1; j < n; ++j) {
            if (greater(order[std::size_t(i)], order[std::size_t(j)]))
                std::swap(order[std::size_t(i)], order[std::size_t(j)]);
        }
    }
    return order;
}

bool isIdentity(const std::vector<int>& order) {
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (order[i] != int(i))
            return false;
    }
    return true;
}

struct Reorder {
    int kat;
    int prod; // -1: the category's product list
    std::vector<int> order;
};

template <class Apply>
void recordReorders(EditContext& ctx, const QString& caption, std::vector<Reorder> reorders, Apply apply) {
    qint64 bytes = 0;
    for (const Reorder& r : reorders)
        bytes += qint64(sizeof(Reorder)) + 8 * qint64(r.order.size());
    auto shared = std::make_shared<const std::vector<Reorder>>(std::move(reorders));
    ctx.record(
        caption,
        [shared, apply](CatalogDocument& d) {
            for (const Reorder& r : *shared)
                apply(d, r, inverseOrder(r.order));
        },
        [shared, apply](CatalogDocument& d) {
            for (const Reorder& r : *shared)
                apply(d, r, r.order);
        },
        bytes, {DocumentChange::everything()});
}

} // namespace

// ---- Numbers in cells

bool readCellNumber(const QString& text, const QLocale& locale, double& value) {
    QLocale l = locale;
    l.setNumberOptions(QLocale::RejectGroupSeparator | QLocale::OmitGroupSeparator);
    bool ok = false;
    const double v = l.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

QString formatPrice(double value, const QLocale& locale) {
    QLocale l = locale;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    // Adding 0.0 turns a negative zero into zero, which has no sign.
    return l.toString(value + 0.0, 'f', 2);
}

// ---- Price change

PriceChangeResult changeAllPrices(EditContext& ctx, PriceChange mode, double value, const QLocale& locale) {
    PriceChangeResult result;
    struct CellChange {
        int kat, prod, row, cell;
        QString before, after;
    };
    std::vector<CellChange> changes;
    QLocale l = locale;
    l.setNumberOptions(QLocale::RejectGroupSeparator | QLocale::OmitGroupSeparator);
    CatalogDocument& doc = ctx.doc;
    for (int k = 0; k < doc.categoryCount(); ++k) {
        TProduktListe& products = doc.products(k);
        for (int j = 0; j < products.count(); ++j) {
            TProdukt& p = products[j];
            // Row 0 holds the captions; price cells are only in the rows after it.
            for (int r = 1; r < p.varianten.count(); ++r) {
                TDynaArray<TProp>& cells = p.varianten[r].props;
                const int filled = FilledCellCount(p.varianten[r]);
                for (int c = std::max(0, filled - p.anzpreis); c < filled; ++c) {
                    double v = 0;
                    if (!readCellNumber(cells[c].text, l, v)) {
                        if (!cells[c].text.trimmed().isEmpty())
                            ++result.skipped;
                        continue;
                    }
                    switch (mode) {
                    case PriceChange::IncreasePercent:
                        v = (value + 100) * v / 100;
                        break;
                    case PriceChange::DecreasePercent:
                        v = (100 - value) * v / 100;
                        break;
                    case PriceChange::IncreaseAmount:
                        v = v + value;
                        break;
                    case PriceChange::DecreaseAmount:
                        v = v - value;
                        break;
                    }
                    if (!std::isfinite(v)) {
                        ++result.tooLarge;
                        continue;
                    }
                    QString text = formatPrice(v, l);
                    if (text == cells[c].text)
                        continue;
                    changes.push_back({k, j, r, c, cells[c].text, text});
                    cells[c].text = std::move(text);
                }
            }
        }
    }
    if (changes.empty())
        return result;
    qint64 bytes = 0;
    for (const CellChange& c : changes)
        bytes += qint64(sizeof(CellChange)) + 2 * (c.before.size() + c.after.size());
    result.changed = int(changes.size());
    auto shared = std::make_shared<const std::vector<CellChange>>(std::move(changes));
    auto put = [shared](bool after) {
        return [shared, after](CatalogDocument& d) {
            for (const CellChange& c : *shared) {
                TProdukt* p = findProduct(d, c.kat, c.prod);
                if (p && c.row < p->varianten.count() && c.cell < p->varianten[c.row].props.count())
                    p->varianten[c.row].props[c.cell].text = after ? c.after : c.before;
            }
        };
    };
    ctx.record(QStringLiteral("Alle Preise ändern"), put(false), put(true), bytes,
               {DocumentChange::everything()});
    return result;
}

// ---- Variant sort

int sortAllVariants(EditContext& ctx, int column, const QLocale& locale) {
    if (column < 0)
        throw Error::text(QStringLiteral("Die Spalte zum Sortieren muss 1 oder größer sein"));
    QLocale l = locale;
    l.setNumberOptions(QLocale::RejectGroupSeparator | QLocale::OmitGroupSeparator);
    std::vector<Reorder> reorders;
    CatalogDocument& doc = ctx.doc;
    for (int k = 0; k < doc.categoryCount(); ++k) {
        TProduktListe& products = doc.products(k);
        for (int j = 0; j < products.count(); ++j) {
            TProdukt& p = products[j];
            const TDynaArray<TVariante>& rows = p.varianten;
            auto greater = [&](int a, int b) {
                const TVariante& ra = rows[a];
                const TVariante& rb = rows[b];
                if (FilledCellCount(ra) == 0 || FilledCellCount(rb) == 0 || ra.props.count() <= column ||
                    rb.props.count() <= column)
                    return false;
                const QString& ta = ra.props[column].text;
                const QString& tb = rb.props[column].text;
                if (column >= rb.props.count() - p.anzpreis) {
                    double va = 0;
                    double vb = 0;
                    if (readCellNumber(ta, l, va) && readCellNumber(tb, l, vb))
                        return va > vb;
                }
                return QStringView(ta).compare(QStringView(tb), Qt::CaseSensitive) > 0;
            };
            // The header row keeps its place; the rows after it are sorted.
            std::vector<int> order = exchangeSort(rows.count(), 1, greater);
            if (isIdentity(order))
                continue;
            applyOrder(p.varianten, order);
            reorders.push_back({k, j, std::move(order)});
        }
    }
    if (reorders.empty())
        return 0;
    const int n = int(reorders.size());
    recordReorders(ctx, QStringLiteral("Varianten aller Produkte sortieren"), std::move(reorders),
                   [](CatalogDocument& d, const Reorder& r, const std::vector<int>& order) {
                       if (TProdukt* p = findProduct(d, r.kat, r.prod))
                           applyOrder(p->varianten, order);
                   });
    return n;
}

// ---- Name sort

QString upperAsciiLetters(const QString& text) {
    QString out = text;
    for (QChar& ch : out) {
        if (ch >= u'a' && ch <= u'z')
            ch = QChar(ch.unicode() - (u'a' - u'A'));
    }
    return out;
}

int sortProductNames(EditContext& ctx) {
    std::vector<Reorder> reorders;
    CatalogDocument& doc = ctx.doc;
    for (int k = 0; k < doc.categoryCount(); ++k) {
        TProduktListe& products = doc.products(k);
        std::vector<QString> keys;
        for (const TProdukt& p : products)
            keys.push_back(upperAsciiLetters(p.name));
        std::vector<int> order = exchangeSort(products.count(), 0, [&](int a, int b) {
            return QStringView(keys[std::size_t(a)]).compare(keys[std::size_t(b)], Qt::CaseSensitive) > 0;
        });
        if (isIdentity(order))
            continue;
        applyOrder(products, order);
        reorders.push_back({k, -1, std::move(order)});
    }
    if (reorders.empty())
        return 0;
    const int n = int(reorders.size());
    recordReorders(ctx, QStringLiteral("Produktnamen alphabetisch sortieren"), std::move(reorders),
                   [](CatalogDocument& d, const Reorder& r, const std::vector<int>& order) {
                       if (r.kat < d.categoryCount() && d.products(r.kat).count() == int(order.size()))
                           applyOrder(d.products(r.kat), order);
                   });
    return n;
}

// ---- Copy one cell to all products

int copyCellToAllProducts(EditContext& ctx, int column, int row, const QString& text) {
    if (column < 0 || column >= kGridSize || row < 0 || row >= kGridSize)
        throw Error::format(QStringLiteral("Die Zelle (%1, %2) liegt außerhalb der Tabelle (0 bis 99)"),
                            {QString::number(column), QString::number(row)});
    std::vector<TableChange> changes;
    int written = 0;
    CatalogDocument& doc = ctx.doc;
    for (int k = 0; k < doc.categoryCount(); ++k) {
        TProduktListe& products = doc.products(k);
        for (int j = 0; j < products.count(); ++j) {
            TDynaArray<TVariante>& rows = products[j].varianten;
            TableTexts before = tableTexts(rows);
            SetVariantCell(rows, column, text, row);
            ++written;
            TableTexts after = tableTexts(rows);
            if (before != after)
                changes.push_back({k, j, std::move(before), std::move(after)});
        }
    }
    // Writing a cell's own text everywhere still counts as a change of the document.
    if (written > 0 && changes.empty())
        ctx.SetChanged();
    if (!changes.empty())
        recordTableChanges(ctx, QStringLiteral("Inhalt der Tabellenzelle übernehmen"), std::move(changes));
    return written;
}

// ---- Duplicate

int duplicateProduct(EditContext& ctx, int kat, int prod) {
    const TProdukt* source = findProduct(ctx.doc, kat, prod);
    if (!source)
        return -1;
    TProdukt copy;
    copy.name = source->name;
    copy.desc = source->desc;
    for (const TBild& b : source->bilder) {
        TBild* nb = copy.bilder.Add();
        nb->datei = b.datei;
        nb->breite = b.breite;
    }
    for (const TVariante& v : source->varianten) {
        TVariante* nv = copy.varianten.Add();
        for (const TProp& cell : v.props)
            nv->props.Add()->text = cell.text;
    }
    copy.anzpreis = source->anzpreis;
    SetProductTableDefaults(copy);

    TProduktListe& list = ctx.doc.products(kat);
    const int index = list.count();
    *list.Add() = copy;
    qint64 bytes = qint64(sizeof(TProdukt)) + 2 * (copy.name.size() + copy.desc.size()) +
                   tableBytes(tableTexts(copy.varianten));
    for (const TBild& b : copy.bilder)
        bytes += qint64(sizeof(TBild)) + 2 * b.datei.size();
    ctx.record(
        QStringLiteral("Produkt duplizieren"),
        [kat, index](CatalogDocument& d) {
            if (findProduct(d, kat, index))
                d.products(kat).Delete(index);
        },
        [kat, copy](CatalogDocument& d) {
            if (kat < d.categoryCount())
                *d.products(kat).Add() = copy;
        },
        bytes, {DocumentChange::products(kat, index)});
    return index;
}

// ---- Search

std::vector<SearchMatch> searchProducts(const CatalogDocument& doc, const QString& text,
                                        bool inDescriptions) {
    std::vector<SearchMatch> matches;
    if (text.isEmpty())
        return matches;
    const QString s = upperAsciiLetters(text);
    for (int k = 0; k < doc.categoryCount(); ++k) {
        const TProduktListe& products = doc.products(k);
        for (int j = 0; j < products.count(); ++j) {
            const TProdukt& p = products[j];
            if (upperAsciiLetters(p.name).contains(s) ||
                (inDescriptions && upperAsciiLetters(p.desc).contains(s)))
                matches.push_back({k, j});
        }
    }
    return matches;
}

// ---- Search and replace

int replaceInAllTables(EditContext& ctx, const QString& find, const QString& replacement) {
    if (find.isEmpty())
        return 0;
    std::vector<TableChange> changes;
    int written = 0;
    CatalogDocument& doc = ctx.doc;
    struct Write {
        int column, row;
        QString text;
    };
    std::vector<Write> writes;
    for (int k = 0; k < doc.categoryCount(); ++k) {
        TProduktListe& products = doc.products(k);
        for (int j = 0; j < products.count(); ++j) {
            TDynaArray<TVariante>& rows = products[j].varianten;
            // The grid's texts decide what is written; the writes themselves may pad and
            // trim the table, so they are collected first.
            writes.clear();
            for (int r = 0; r < std::min(rows.count(), kGridSize); ++r) {
                const TDynaArray<TProp>& cells = rows[r].props;
                for (int c = 0; c < std::min(cells.count(), kGridSize); ++c) {
                    if (cells[c].text.contains(find, Qt::CaseSensitive))
                        writes.push_back({c, r, QString(cells[c].text).replace(find, replacement)});
                }
            }
            if (writes.empty())
                continue;
            TableTexts before = tableTexts(rows);
            for (const Write& w : writes)
                SetVariantCell(rows, w.column, w.text, w.row);
            written += int(writes.size());
            changes.push_back({k, j, std::move(before), tableTexts(rows)});
        }
    }
    if (written == 0)
        return 0;
    recordTableChanges(ctx, QStringLiteral("Suchen und Ersetzen"), std::move(changes));
    return written;
}

// ---- Copy pictures into one folder

QString pictureCopyTarget(const QString& folder, const QString& source) {
    const QFileInfo info(source);
    const QString base = info.completeBaseName();
    const QString ext = info.suffix().isEmpty() ? QString() : QStringLiteral(".") + info.suffix();
    const QDir dir(folder);
    QString target = dir.filePath(base + ext);
    for (int n = 0; QFileInfo::exists(target); ++n)
        target = dir.filePath(base + QString::number(n) + ext);
    return target;
}

namespace {

// A stored path as this system opens it.
QString localPath(const QString& stored) {
    QString p = stored;
    if (QDir::separator() == u'/')
        p.replace(u'\\', u'/');
    return p;
}

// Copies the picture `source` names (resolved for the catalogue file) into `folder` in
// blocks of 4096 bytes through a temporary file that is renamed to the target only when
// complete; the rename never replaces a file. Only a regular file is copied: a device
// would never end or fill the disk, and a FIFO would wait for a writer. Returns the
// target, or an empty string (and the failure in `failedTarget` and `problem`) when it
// fails.
QString copyInto(const QString& folder, const QString& source, const QString& catalogueFile,
                 QString& failedTarget, PictureFileProblem& problem) {
    const QString from = resolvePicturePath(source, catalogueFile);
    QString target = pictureCopyTarget(folder, from);
    failedTarget = target;
    QFile in;
    problem = openRegularFile(in, from);
    if (problem != PictureFileProblem::None)
        return {};
    problem = PictureFileProblem::Missing; // for the failures below: a read or write error
    QTemporaryFile out(QDir(folder).filePath(QStringLiteral(".pagewright-copy-XXXXXX")));
    if (!out.open())
        return {};
    char block[4096];
    for (;;) {
        const qint64 n = in.read(block, sizeof block);
        if (n < 0)
            return {};
        if (n == 0)
            break;
        if (out.write(block, n) != n)
            return {};
    }
    if (!out.flush())
        return {};
    // Another program may take the name meanwhile; then the next free name is used.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (out.rename(target)) {
            out.setAutoRemove(false);
            return target;
        }
        if (!QFileInfo::exists(target))
            return {};
        target = pictureCopyTarget(folder, from);
        failedTarget = target;
    }
    return {};
}

struct ReferenceChange {
    int kat;
    int prod; // -1: the category picture
    int bild;
    QString before, after;
};

void setReference(CatalogDocument& d, const ReferenceChange& c, const QString& value) {
    if (c.kat >= d.categoryCount())
        return;
    if (c.prod < 0) {
        if (TKategorie* o = d.options(c.kat))
            o->Bild = value;
    } else if (TProdukt* p = findProduct(d, c.kat, c.prod); p && c.bild < p->bilder.count()) {
        p->bilder[c.bild].datei = value;
    }
}

} // namespace

std::vector<Error> copyAllPictures(EditContext& ctx, const QString& folder) {
    const QString dir = QDir::cleanPath(QFileInfo(localPath(folder)).absoluteFilePath());
    if (!QDir().mkpath(dir) || !QFileInfo(dir).isDir())
        throw Error::text(QStringLiteral("Das Verzeichnis lässt sich nicht anlegen"), dir);
    std::vector<Error> failures;
    std::vector<ReferenceChange> changes;
    auto copyOne = [&](QString& reference, int kat, int prod, int bild) {
        QString target;
        PictureFileProblem problem = PictureFileProblem::None;
        const QString copied = copyInto(dir, reference, ctx.doc.afilename, target, problem);
        if (copied.isEmpty()) {
            QStringList args{reference, target};
            if (problem == PictureFileProblem::NotAFile)
                args << pictureProblemText(problem);
            failures.emplace_back(45, args);
            return;
        }
        changes.push_back({kat, prod, bild, reference, copied});
        reference = copied;
    };
    CatalogDocument& doc = ctx.doc;
    for (int k = 0; k < doc.categoryCount(); ++k) {
        if (TKategorie* o = doc.options(k); o && !o->Bild.isEmpty())
            copyOne(o->Bild, k, -1, 0);
        TProduktListe& products = doc.products(k);
        for (int j = 0; j < products.count(); ++j) {
            TDynaArray<TBild>& bilder = products[j].bilder;
            for (int b = 0; b < bilder.count(); ++b)
                copyOne(bilder[b].datei, k, j, b);
        }
    }
    if (!changes.empty()) {
        qint64 bytes = 0;
        for (const ReferenceChange& c : changes)
            bytes += qint64(sizeof(ReferenceChange)) + 2 * (c.before.size() + c.after.size());
        auto shared = std::make_shared<const std::vector<ReferenceChange>>(std::move(changes));
        ctx.record(
            QStringLiteral("Bilddateien kopieren"),
            [shared](CatalogDocument& d) {
                for (const ReferenceChange& c : *shared)
                    setReference(d, c, c.before);
            },
            [shared](CatalogDocument& d) {
                for (const ReferenceChange& c : *shared)
                    setReference(d, c, c.after);
            },
            bytes, {DocumentChange::everything()});
    }
    return failures;
}

} // namespace pw
