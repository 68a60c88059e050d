#include "exchange/csvexport.h"

#include "model/error.h"
#include "model/orvanto.h"
#include "model/savefile.h"
#include "model/services.h"

#include <optional>

namespace pw {

namespace {

void appendField(QString& line, const QString& text) {
    line += u'"';
    for (const QChar c : text) {
        if (c == u'\r')
            line += QLatin1String("\\r");
        else if (c == u'\n')
            line += QLatin1String("\\n");
        else if (c == u'"')
            line += QLatin1String("\"\"");
        else
            line += c;
    }
    line += u'"';
}

void appendProduct(QString& out, const QString* category, const TProdukt& p, int templateColumns) {
    if (category) {
        appendField(out, *category);
        out += u';';
    }
    appendField(out, p.name);
    out += u';';
    appendField(out, p.desc);
    out += u';';
    appendField(out, p.bilder.count() > 0 ? p.bilder[0].datei : QString());
    for (const TVariante& row : p.varianten) {
        for (int c = 0; c < templateColumns; ++c) {
            out += u';';
            appendField(out, CellText(row, c));
        }
    }
    out += QLatin1String("\r\n");
}

// The export as text, or nothing when `progress` asked to stop.
std::optional<QString> exportText(const CatalogDocument& doc, int kat, Progress* progress) {
    if (kat != kAllCategories && (kat < 0 || kat >= doc.categoryCount()))
        throw Error(37);
    const bool all = kat == kAllCategories;
    const int first = all ? 0 : kat;
    const int last = all ? doc.categoryCount() - 1 : kat;
    int total = 0;
    for (int k = first; k <= last; ++k)
        total += doc.products(k).count();
    if (progress && !progress->report(0, total))
        return std::nullopt;

    const int columns = int(doc.VorlageSpalten.size());
    QString out;
    int done = 0;
    for (int k = first; k <= last; ++k) {
        for (const TProdukt& p : doc.products(k)) {
            appendProduct(out, all ? &doc.categoryName(k) : nullptr, p, columns);
            ++done;
            if (progress && done % 1000 == 0 && !progress->report(done, total))
                return std::nullopt;
        }
    }
    if (progress && !progress->report(total, total))
        return std::nullopt;
    return out;
}

} // namespace

QString CSVExportField(const QString& text) {
    QString field;
    appendField(field, text);
    return field;
}

QByteArray CSVExportImage(const CatalogDocument& doc, int kat) {
    return toAnsi(*exportText(doc, kat, nullptr));
}

bool ExportCSVFile(const CatalogDocument& doc, int kat, const QString& path, Progress* progress) {
    const std::optional<QString> text = exportText(doc, kat, progress);
    if (!text)
        return false;
    if (!WriteFileAtomically(path, toAnsi(*text)))
        throw Error(34, path);
    return true;
}

} // namespace pw
