#include "exchange/csvimport.h"

#include "exchange/csvreader.h"
#include "exchange/importrollback.h"
#include "i18n/translateunit.h"
#include "model/error.h"
#include "model/services.h"

#include <new>

namespace pw {

namespace {

constexpr int kRecordsPerReport = 1000;
constexpr int kProgressSteps = 1000;

bool allEmpty(const QStringList& fields) {
    for (const QString& f : fields) {
        if (!f.isEmpty())
            return false;
    }
    return true;
}

// Appends the product of one record to `list`; its name is column `first` (0-based).
void addProduct(TProduktListe& list, const QStringList& fields, qsizetype first, const CatalogDocument& doc,
                const CsvImportOptions& options) {
    TProdukt& p = *list.Add();
    p.name = fields.value(first);
    p.desc = fields.value(first + 1);
    TBild& picture = *p.bilder.Add();
    picture.datei = fields.value(first + 2);
    picture.breite = options.pictureWidth;
    SetProductTableDefaults(p);
    p.anzpreis = doc.settings.PreDefAnzPreisEd;

    const QStringList& captions = doc.VorlageSpalten;
    if (options.headerRow) {
        TVariante& header = *p.varianten.Add();
        for (const QString& c : captions)
            header.props.Add()->text = c;
    }
    const qsizetype columns = captions.size();
    if (columns == 0)
        return;
    qsizetype col = first + 3;
    bool exhausted = false;
    while (!exhausted) {
        TVariante& row = *p.varianten.Add();
        for (qsizetype c = 0; c < columns; ++c, ++col) {
            TProp& cell = *row.props.Add();
            if (col < fields.size())
                cell.text = fields[col];
            else
                exhausted = true;
        }
    }
}

bool reportProgress(Progress* progress, const CsvReader& reader) {
    if (!progress)
        return true;
    const qsizetype size = reader.size();
    const int done = size > 0 ? int(reader.position() * kProgressSteps / size) : kProgressSteps;
    return progress->report(done, kProgressSteps);
}

CsvImportResult cancelledImport() {
    CsvImportResult r;
    r.cancelled = true;
    return r;
}

// The common loop of both imports. `complete`: the first column names the category.
CsvImportResult importRecords(CatalogDocument& doc, int kat, bool complete, QByteArrayView data,
                              const CsvImportOptions& options, Progress* progress, const QString& file) {
    if (!complete && (kat < 0 || kat >= doc.categoryCount()))
        throw Error(7);
    if (!IsCSVDelimiter(options.delimiter))
        throw Error::text(QStringLiteral("Als Trennzeichen sind nur Semikolon, Komma und Tabulator möglich"));
    CsvImportResult result;
    result.selectedKat = complete ? -1 : kat;
    ImportRollback rollback(doc, complete ? -1 : kat);
    try {
        CsvText decoded = DecodeCSVText(data, file);
        if (std::optional<Error> w = CSVDelimiterWarning(decoded.text, options.delimiter, file))
            result.warnings.push_back(std::move(*w));
        CsvReader reader(std::move(decoded.text), options.delimiter);
        if (progress && !progress->report(0, kProgressSteps))
            return cancelledImport();
        QStringList fields;
        QString previousName;
        int records = 0;
        while (reader.readRecord(fields)) {
            if (++records % kRecordsPerReport == 0 && !reportProgress(progress, reader))
                return cancelledImport();
            if (allEmpty(fields))
                continue;
            if (complete && (result.selectedKat < 0 || fields[0] != previousName)) {
                previousName = fields[0];
                result.selectedKat = doc.addCategory(previousName);
                ++result.categories;
            }
            addProduct(doc.products(result.selectedKat), fields, complete ? 1 : 0, doc, options);
            ++result.products;
        }
        if (progress && !progress->report(kProgressSteps, kProgressSteps))
            return cancelledImport();
    } catch (const std::bad_alloc&) {
        throw Error::text(
            QStringLiteral("Nicht genug Arbeitsspeicher für den Import; es wurde nichts importiert"), file);
    }
    rollback.commit();
    return result;
}

} // namespace

CsvImportResult ImportCSVData(CatalogDocument& doc, int kat, QByteArrayView data,
                              const CsvImportOptions& options, Progress* progress) {
    return importRecords(doc, kat, false, data, options, progress, QString());
}

CsvImportResult ImportCSVDataComplete(CatalogDocument& doc, QByteArrayView data,
                                      const CsvImportOptions& options, Progress* progress) {
    return importRecords(doc, -1, true, data, options, progress, QString());
}

CsvImportResult ImportCSVFile(CatalogDocument& doc, int kat, const QString& fname,
                              const CsvImportOptions& options, Progress* progress) {
    if (kat < 0 || kat >= doc.categoryCount())
        throw Error(7);
    const QByteArray data = ReadCSVFileBytes(fname);
    return importRecords(doc, kat, false, data, options, progress, fname);
}

CsvImportResult ImportCSVFileComplete(CatalogDocument& doc, const QString& fname,
                                      const CsvImportOptions& options, Progress* progress) {
    const QByteArray data = ReadCSVFileBytes(fname);
    return importRecords(doc, -1, true, data, options, progress, fname);
}

QString ImportFormatInfoText(TranslationStore& texts) {
    return texts.GetMessageText(4) + texts.GetMessageText(5);
}

QString ImportInfoCaption(TranslationStore& texts) {
    return texts.GetMessageText(6);
}

} // namespace pw
