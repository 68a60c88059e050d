#include "exchange/categoryimport.h"

#include "exchange/csvreader.h"
#include "exchange/importrollback.h"
#include "i18n/translateunit.h"
#include "model/error.h"

#include <QHash>

#include <array>

#include <cmath>
#include <new>
#include <vector>

namespace pw {

namespace {

// The options of one record, ready to be put into a category.
struct CategoryRecord {
    QString name;
    QString text;
    QString picture;
    double width = kImportedCategoryPictureWidth;
    std::array<bool, 11> options{};
};

CategoryRecord parseRecord(const QStringList& fields, const QLocale& locale) {
    CategoryRecord r;
    r.name = fields.value(0);
    r.text = fields.value(1);
    r.picture = fields.value(2);
    r.width = CategoryPictureWidth(fields.value(3), locale);
    for (std::size_t i = 0; i < r.options.size(); ++i)
        r.options[i] = fields.value(qsizetype(4 + i)) == QLatin1String("true");
    return r;
}

void apply(TKategorie& o, const CategoryRecord& r) {
    o.Einfuehrungstext = r.text;
    o.Bild = r.picture;
    o.BildBreite = r.width;
    o.BildUnterName = r.options[0] ? 1 : 0;
    bool* const flags[] = {&o.TextUnterBild,       &o.NoNeedForNewPage, &o.InhaltsVerzeichnis,
                           &o.ErstesAufneuerSeite, &o.ShowOnlyPicture,  &o.UseAsBackgroundPic,
                           &o.DoNotListinInhalt,   &o.Unterkategorien,  &o.ListAllKategoires,
                           &o.Deactivate};
    for (std::size_t i = 0; i < std::size(flags); ++i)
        *flags[i] = r.options[i + 1];
}

CategoryImportResult importCategories(CatalogDocument& doc, QByteArrayView data, const QLocale& locale,
                                      QChar delimiter, const QString& file) {
    if (!IsCSVDelimiter(delimiter))
        throw Error::text(QStringLiteral("Als Trennzeichen sind nur Semikolon, Komma und Tabulator möglich"));
    CategoryImportResult result;
    try {
        std::vector<CategoryRecord> records;
        CsvText decoded = DecodeCSVText(data, file);
        if (std::optional<Error> w = CSVDelimiterWarning(decoded.text, delimiter, file))
            result.warnings.push_back(std::move(*w));
        CsvReader reader(std::move(decoded.text), delimiter);
        QStringList fields;
        while (reader.readRecord(fields)) {
            if (!fields.isEmpty())
                records.push_back(parseRecord(fields, locale));
        }

        // The first category of every name.
        QHash<QString, int> first;
        for (int k = doc.categoryCount() - 1; k >= 0; --k)
            first.insert(doc.categoryName(k), k);

        ImportRollback rollback(doc);
        for (const CategoryRecord& r : records) {
            const auto found = first.constFind(r.name);
            if (found != first.constEnd()) {
                const int kat = found.value();
                rollback.saveOptions(kat);
                TKategorie* o = doc.options(kat);
                apply(o ? *o : doc.createOptions(kat), r);
                ++result.updated;
            } else {
                const int kat = doc.addCategory(r.name);
                first.insert(r.name, kat);
                apply(doc.createOptions(kat), r);
                result.selectedKat = kat;
                ++result.created;
            }
        }
        rollback.commit();
    } catch (const std::bad_alloc&) {
        throw Error::text(
            QStringLiteral("Nicht genug Arbeitsspeicher für den Import; es wurde nichts importiert"), file);
    }
    return result;
}

} // namespace

double CategoryPictureWidth(const QString& field, const QLocale& locale) {
    QLocale strict(locale);
    strict.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double v = strict.toDouble(field.trimmed(), &ok);
    return ok && std::isfinite(v) ? v : kImportedCategoryPictureWidth;
}

CategoryImportResult ImportCSVDataCategories(CatalogDocument& doc, QByteArrayView data, const QLocale& locale,
                                             QChar delimiter) {
    return importCategories(doc, data, locale, delimiter, QString());
}

CategoryImportResult ImportCSVFileCategories(CatalogDocument& doc, const QString& fname,
                                             const QLocale& locale, QChar delimiter) {
    const QByteArray data = ReadCSVFileBytes(fname);
    return importCategories(doc, data, locale, delimiter, fname);
}

QString CategoryImportFormatInfoText(TranslationStore& texts) {
    QStringList parts;
    for (int n = 52; n <= 57; ++n)
        parts.append(texts.GetMessageText(n));
    return parts.join(QLatin1Char(' ')) + QStringLiteral("\r\r ") + texts.GetMessageText(58);
}

} // namespace pw
