#include "editcommands.h"

#include "i18n/translateunit.h"
#include "model/error.h"
#include "model/services.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace pw {

namespace {

// Bytes an undo step takes besides the records it holds.
constexpr qint64 kStepBytes = 64;

qint64 textBytes(const QString& s) {
    return qint64(sizeof(QString)) + qint64(s.size()) * qint64(sizeof(QChar));
}

bool validKat(const CatalogDocument& doc, int kat) {
    return kat >= 0 && kat < doc.categoryCount();
}

bool validProd(const CatalogDocument& doc, int kat, int prod) {
    return validKat(doc, kat) && prod >= 0 && prod < doc.products(kat).count();
}

// The selection as ascending, distinct indices of existing products.
QList<int> cleanSelection(QList<int> selected, int count) {
    selected.removeIf([count](int i) { return i < 0 || i >= count; });
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    return selected;
}

qint64 categoryBytes(const TProduktListe& products, const QString& name) {
    qint64 n = textBytes(name) + qint64(sizeof(TKategorie));
    for (const TProdukt& p : products)
        n += productBytes(p);
    return n;
}

// Swaps products a and b of a category (both valid), as undo and redo of a move.
void swapProducts(CatalogDocument& doc, int kat, int a, int b) {
    doc.products(kat).Change(a, b);
}

int moveProduct(EditContext& ctx, int kat, int prod, int to, const QString& caption) {
    if (!validProd(ctx.doc, kat, prod) || !validProd(ctx.doc, kat, to))
        return -1;
    swapProducts(ctx.doc, kat, prod, to);
    const auto step = [kat, prod, to](CatalogDocument& d) { swapProducts(d, kat, prod, to); };
    ctx.record(caption, step, step, kStepBytes,
               {DocumentChange::products(kat, std::min(prod, to), std::max(prod, to))});
    return to;
}

int moveCategory(EditContext& ctx, int kat, int to, const QString& caption) {
    if (!validKat(ctx.doc, kat) || !validKat(ctx.doc, to))
        return -1;
    ctx.doc.swapCategories(kat, to);
    const auto step = [kat, to](CatalogDocument& d) { d.swapCategories(kat, to); };
    ctx.record(caption, step, step, kStepBytes, {DocumentChange::categories()});
    return to;
}

// Sets one field of a product: marks changed always, records a step only for a new value.
template <class T>
void setProductField(EditContext& ctx, int kat, int prod, T TProdukt::*field, const T& value,
                     const QString& caption, qint64 bytes) {
    if (!validProd(ctx.doc, kat, prod))
        return;
    TProdukt& p = ctx.doc.products(kat)[prod];
    if (p.*field == value)
        return; // the editor wrote back what it showed: looking is not changing
    T old = std::exchange(p.*field, value);
    ctx.record(
        caption, [kat, prod, field, old](CatalogDocument& d) { d.products(kat)[prod].*field = old; },
        [kat, prod, field, value](CatalogDocument& d) { d.products(kat)[prod].*field = value; }, bytes,
        {DocumentChange::productFields(kat, prod)},
        QStringLiteral("%1/%2/%3").arg(caption).arg(kat).arg(prod));
}

void setFlags(CatalogDocument& doc, int kat, bool TProdukt::*field,
              const std::vector<std::pair<int, bool>>& values) {
    for (const auto& [prod, on] : values)
        doc.products(kat)[prod].*field = on;
}

} // namespace

qint64 productBytes(const TProdukt& p) {
    qint64 n = qint64(sizeof(TProdukt)) + textBytes(p.name) + textBytes(p.desc);
    for (const TBild& b : p.bilder)
        n += qint64(sizeof(TBild)) + textBytes(b.datei);
    for (const TVariante& row : p.varianten) {
        n += qint64(sizeof(TVariante));
        for (const TProp& cell : row.props)
            n += qint64(sizeof(TProp)) + qint64(cell.text.size()) * qint64(sizeof(QChar));
    }
    return n;
}

qint64 documentBytes(const CatalogDocument& doc) {
    qint64 n = qint64(sizeof(CatalogDocument));
    for (int k = 0; k < doc.categoryCount(); ++k)
        n += categoryBytes(doc.products(k), doc.categoryName(k));
    return n;
}

// ---- Categories

int newCategory(EditContext& ctx) {
    const int kat = ctx.doc.addCategory(QString());
    ctx.record(
        QStringLiteral("Neue Kategorie"), [kat](CatalogDocument& d) { d.deleteCategory(kat); },
        [](CatalogDocument& d) { d.addCategory(QString()); }, kStepBytes, {DocumentChange::categories()});
    return kat;
}

void renameCategory(EditContext& ctx, int kat, const QString& name) {
    if (!validKat(ctx.doc, kat) || ctx.doc.categoryName(kat) == name)
        return;
    const QString old = ctx.doc.categoryName(kat);
    ctx.doc.setCategoryName(kat, name);
    ctx.record(
        QStringLiteral("Kategorie umbenennen"),
        [kat, old](CatalogDocument& d) { d.setCategoryName(kat, old); },
        [kat, name](CatalogDocument& d) { d.setCategoryName(kat, name); },
        kStepBytes + textBytes(old) + textBytes(name), {DocumentChange::categories()});
}

int moveCategoryUp(EditContext& ctx, int kat) {
    return moveCategory(ctx, kat, kat - 1, QStringLiteral("Kategorie nach oben"));
}

int moveCategoryDown(EditContext& ctx, int kat) {
    return moveCategory(ctx, kat, kat + 1, QStringLiteral("Kategorie nach unten"));
}

bool deleteCategory(EditContext& ctx, int kat, Prompts& prompts, TranslationStore& texts) {
    if (!validKat(ctx.doc, kat))
        return false;
    const QString question =
        texts.GetMessageText(10) + QLatin1Char('"') + ctx.doc.categoryName(kat) + QLatin1Char('"');
    if (prompts.ask(question, texts.GetMessageText(11), Prompts::Buttons::YesNoCancel) !=
        Prompts::Answer::Yes)
        return false;

    struct Saved {
        QString name;
        TProduktListe products;
        std::optional<TKategorie> options;
    };
    auto saved = std::make_shared<Saved>();
    saved->name = ctx.doc.categoryName(kat);
    saved->products = ctx.doc.products(kat);
    if (const TKategorie* o = ctx.doc.options(kat))
        saved->options = *o;
    const qint64 bytes = kStepBytes + categoryBytes(saved->products, saved->name);

    ctx.doc.deleteCategory(kat);
    ctx.record(
        QStringLiteral("Kategorie löschen"),
        [kat, saved](CatalogDocument& d) {
            d.insertCategory(kat, saved->name);
            d.products(kat) = saved->products;
            if (saved->options)
                d.createOptions(kat) = *saved->options;
        },
        [kat](CatalogDocument& d) { d.deleteCategory(kat); }, bytes, {DocumentChange::categories()});
    return true;
}

// ---- Products

int newProduct(EditContext& ctx, int kat, TranslationStore& texts) {
    if (!validKat(ctx.doc, kat))
        return -1;
    TProdukt p;
    p.name = texts.GetMessageText(20);
    SetProductTableDefaults(p);
    TVariante& header = *p.varianten.Add();
    for (const QString& caption : ctx.doc.VorlageSpalten)
        header.props.Add()->text = caption;
    p.anzpreis = ctx.doc.settings.PreDefAnzPreisEd;

    const qint64 bytes = kStepBytes + productBytes(p);
    const auto add = [kat, p](CatalogDocument& d) { *d.products(kat).Add() = p; };
    add(ctx.doc);
    const int prod = ctx.doc.products(kat).count() - 1;
    ctx.record(QStringLiteral("Neues Produkt"),
               [kat, prod](CatalogDocument& d) { d.products(kat).Delete(prod); }, add, bytes,
               {DocumentChange::products(kat, prod)});
    return prod;
}

int deleteProducts(EditContext& ctx, int kat, QList<int> selected) {
    if (!validKat(ctx.doc, kat))
        return 0;
    const QList<int> rows = cleanSelection(std::move(selected), ctx.doc.products(kat).count());
    if (rows.isEmpty())
        return 0;

    auto saved = std::make_shared<std::vector<TProdukt>>();
    qint64 bytes = kStepBytes;
    for (int i : rows) {
        saved->push_back(ctx.doc.products(kat)[i]);
        bytes += productBytes(saved->back());
    }
    const auto remove = [kat, rows](CatalogDocument& d) {
        TProduktListe& products = d.products(kat);
        for (int i = int(rows.size()) - 1; i >= 0; --i) {
            DestroyAProd(products[rows[i]]);
            products.Delete(rows[i]);
        }
    };
    remove(ctx.doc);
    ctx.record(QStringLiteral("Produkte löschen"),
               [kat, rows, saved](CatalogDocument& d) {
                   TProduktListe& products = d.products(kat);
                   for (int i = 0; i < int(rows.size()); ++i)
                       *products.Insert(rows[i]) = (*saved)[std::size_t(i)];
               },
               remove, bytes, {DocumentChange::products(kat)});
    return int(rows.size());
}

int moveProductUp(EditContext& ctx, int kat, int prod) {
    return moveProduct(ctx, kat, prod, prod - 1, QStringLiteral("Produkt nach oben"));
}

int moveProductDown(EditContext& ctx, int kat, int prod) {
    return moveProduct(ctx, kat, prod, prod + 1, QStringLiteral("Produkt nach unten"));
}

QStringList otherCategoryNames(const CatalogDocument& doc, int kat) {
    QStringList names;
    for (int k = 0; k < doc.categoryCount(); ++k)
        if (k != kat)
            names.append(doc.categoryName(k));
    return names;
}

int moveProductsToOtherCategory(EditContext& ctx, int kat, QList<int> selected, int choice) {
    if (!validKat(ctx.doc, kat) || choice < 0 || choice >= ctx.doc.categoryCount() - 1)
        return 0;
    const int target = choice < kat ? choice : choice + 1;
    const QList<int> rows = cleanSelection(std::move(selected), ctx.doc.products(kat).count());
    if (rows.isEmpty())
        return 0;

    const auto move = [kat, target, rows](CatalogDocument& d) {
        TProduktListe& from = d.products(kat);
        TProduktListe& to = d.products(target);
        for (int i = int(rows.size()) - 1; i >= 0; --i) {
            TProdukt p = std::move(from[rows[i]]);
            from.Delete(rows[i]);
            *to.Add() = std::move(p);
        }
    };
    // The moved products are the last ones of the target, in reverse selection order.
    const auto moveBack = [kat, target, rows](CatalogDocument& d) {
        TProduktListe& from = d.products(kat);
        TProduktListe& to = d.products(target);
        const int n = int(rows.size());
        const int start = to.count() - n;
        std::vector<TProdukt> taken(static_cast<std::size_t>(n));
        for (int j = 0; j < n; ++j)
            taken[std::size_t(n - 1 - j)] = std::move(to[start + j]);
        for (int j = n - 1; j >= 0; --j)
            to.Delete(start + j);
        for (int i = 0; i < n; ++i)
            *from.Insert(rows[i]) = std::move(taken[std::size_t(i)]);
    };
    move(ctx.doc);
    ctx.record(QStringLiteral("In andere Kategorie verschieben"), moveBack, move,
               kStepBytes + qint64(rows.size()) * qint64(sizeof(int)),
               {DocumentChange::products(kat), DocumentChange::products(target)});
    return int(rows.size());
}

void setProductName(EditContext& ctx, int kat, int prod, const QString& name) {
    setProductField(ctx, kat, prod, &TProdukt::name, name, QStringLiteral("Bezeichnung ändern"),
                    kStepBytes + 2 * textBytes(name));
}

void setProductDesc(EditContext& ctx, int kat, int prod, const QString& desc) {
    setProductField(ctx, kat, prod, &TProdukt::desc, desc, QStringLiteral("Beschreibung ändern"),
                    kStepBytes + 2 * textBytes(desc));
}

void setAnzPreis(EditContext& ctx, int kat, int prod, int anzpreis) {
    if (anzpreis < 1 || anzpreis > 100)
        throw Error::text(QStringLiteral("Die Anzahl der Preisspalten muss zwischen 1 und 100 liegen."));
    setProductField(ctx, kat, prod, &TProdukt::anzpreis, anzpreis,
                    QStringLiteral("Anzahl Preisspalten ändern"), kStepBytes);
}

void setPageBreakAfterProdukt(EditContext& ctx, int kat, QList<int> selected, bool on) {
    if (!validKat(ctx.doc, kat))
        return;
    const QList<int> rows = cleanSelection(std::move(selected), ctx.doc.products(kat).count());
    if (!rows.isEmpty())
        setProductField(ctx, kat, rows.first(), &TProdukt::PageBreakAfterProdukt, on,
                        QStringLiteral("Seitenumbruch nach dem Produkt"), kStepBytes);
}

void setDeactivateProd(EditContext& ctx, int kat, QList<int> selected, bool on) {
    if (!validKat(ctx.doc, kat))
        return;
    const QList<int> rows = cleanSelection(std::move(selected), ctx.doc.products(kat).count());
    if (rows.isEmpty())
        return;
    std::vector<std::pair<int, bool>> before;
    std::vector<std::pair<int, bool>> after;
    for (int i : rows) {
        bool& flag = ctx.doc.products(kat)[i].DeactivateProd;
        if (flag != on) {
            before.emplace_back(i, flag);
            after.emplace_back(i, on);
            flag = on;
        }
    }
    if (before.empty())
        return; // the editor wrote back what it showed
    const qint64 bytes = kStepBytes + qint64(before.size() * 2 * sizeof(before[0]));
    ctx.record(
        QStringLiteral("Produkt deaktivieren"),
        [kat, before](CatalogDocument& d) { setFlags(d, kat, &TProdukt::DeactivateProd, before); },
        [kat, after](CatalogDocument& d) { setFlags(d, kat, &TProdukt::DeactivateProd, after); }, bytes,
        {DocumentChange::productFields(kat, before.front().first, before.back().first)});
}

void setPreDefAnzPreis(EditContext& ctx, int anzpreis) {
    if (anzpreis < 1 || anzpreis > 100)
        throw Error::text(QStringLiteral("Die Anzahl der Preisspalten muss zwischen 1 und 100 liegen."));
    const qint32 old = ctx.doc.settings.PreDefAnzPreisEd;
    if (old == anzpreis)
        return;
    ctx.doc.settings.PreDefAnzPreisEd = anzpreis;
    ctx.record(
        QStringLiteral("Anzahl Preisspalten ändern"),
        [old](CatalogDocument& d) { d.settings.PreDefAnzPreisEd = old; },
        [anzpreis](CatalogDocument& d) { d.settings.PreDefAnzPreisEd = anzpreis; }, kStepBytes,
        {DocumentChange::layoutSettings()});
}

// ---- Layout settings

void changeSetting(EditContext& ctx, const SettingInfo& setting, const SettingValue& value) {
    checkSettingValue(setting, value);
    const SettingValue old = settingValue(ctx.doc.settings, setting);
    if (old == value)
        return;
    setSettingValue(ctx.doc.settings, setting, value);
    const SettingInfo* info = &setting; // a row of the static table
    qint64 bytes = kStepBytes;
    if (const QString* s = std::get_if<QString>(&value))
        bytes += 2 * textBytes(*s);
    ctx.record(
        QStringLiteral("Einstellung ändern"),
        [info, old](CatalogDocument& d) { assignSettingValue(d.settings, *info, old); },
        [info, value](CatalogDocument& d) { assignSettingValue(d.settings, *info, value); }, bytes,
        {DocumentChange::layoutSettings()}, QString::fromLatin1(setting.name));
}

// ---- The category dialog

CategoryDialogValues categoryDialogValues(const CatalogDocument& doc, int kat) {
    CategoryDialogValues v;
    if (!validKat(doc, kat))
        return v;
    v.name = doc.categoryName(kat);
    if (const TKategorie* o = doc.options(kat)) {
        v.record = *o;
        v.bildVorName = o->BildUnterName == 0;
    } else {
        v.record.BildBreite = kCategoryDialogBildBreite;
        v.record.FontColor = kCategoryDialogFontColor;
        v.record.UnterlegFarbe = kCategoryDialogUnterlegFarbe;
        v.record.BereichFarbe = kCategoryDialogBereichFarbe;
        v.bildVorName = true;
    }
    return v;
}

void categoryDialogCheckClicked(CategoryDialogValues& values) {
    if (values.record.ShowOnlyPicture)
        values.bildVorName = false;
}

void applyCategoryDialog(EditContext& ctx, int kat, const CategoryDialogValues& values) {
    if (!validKat(ctx.doc, kat))
        return;
    if (!(values.record.BildBreite >= 0.01 && values.record.BildBreite <= 10000))
        throw Error::text(QStringLiteral("Die Bildbreite muss zwischen 0,01 und 10000 cm liegen."));
    TKategorie record = values.record;
    record.BildUnterName = values.bildVorName ? 0 : 1;
    record.seite = 0;

    const QString oldName = ctx.doc.categoryName(kat);
    std::optional<TKategorie> oldRecord;
    if (const TKategorie* o = ctx.doc.options(kat))
        oldRecord = *o;
    const QString name = values.name;
    const auto apply = [kat, name, record](CatalogDocument& d) {
        d.setCategoryName(kat, name);
        d.createOptions(kat) = record;
    };
    apply(ctx.doc);
    const qint64 bytes = kStepBytes + textBytes(oldName) + textBytes(name) + 2 * qint64(sizeof(TKategorie)) +
                         textBytes(record.Bild) + textBytes(record.Einfuehrungstext);
    ctx.record(QStringLiteral("Kategorie bearbeiten"),
               [kat, oldName, oldRecord](CatalogDocument& d) {
                   d.setCategoryName(kat, oldName);
                   if (oldRecord)
                       d.createOptions(kat) = *oldRecord;
                   else
                       d.removeOptions(kat);
               },
               apply, bytes, {DocumentChange::categories()});
}

} // namespace pw
