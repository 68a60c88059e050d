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
    // Runs without a character to escape go in as a whole.
    qsizetype run = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n' && c != u'"')
            continue;
        line += QStringView(text).sliced(run, i - run);
        line += c == u'\r' ? QLatin1String("\\r") : c == u'\n' ? QLatin1String("\\n") : QLatin1String("\"\"");
        run = i + 1;
    }
    line += QStringView(text).sliced(run);
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
    static const QString kEmpty;
    for (const TVariante& row : p.varianten) {
        for (int c = 0; c < templateColumns; ++c) {
            out += u';';
            appendField(out, c < row.props.count() ? row.props[c].text : kEmpty);
        }
    }
    out += QLatin1String("\r\n");
}

// The bytes of the export, or nothing when `progress` asked to stop. Each line is
// encoded as soon as it is complete, so that no text image of the whole file is held.
std::optional<QByteArray> exportBytes(const CatalogDocument& doc, int kat, Progress* progress) {
    if (kat != kAllCategories && (kat < 0 || kat >= doc.categoryCount()))
        throw Error(37);
    const bool all = kat == kAllCategories;
    const int first = all ? 0 : kat;
    const int last = all ? doc.categoryCount() - 1 : kat;
    const int columns = int(doc.VorlageSpalten.size());
    int total = 0;
    qsizetype estimate = 0; // the bytes without escapes, so that the output grows only rarely
    for (int k = first; k <= last; ++k) {
        total += doc.products(k).count();
        for (const TProdukt& p : doc.products(k)) {
            estimate += (all ? doc.categoryName(k).size() + 3 : 0) + p.name.size() + p.desc.size() + 11;
            estimate += p.bilder.count() > 0 ? p.bilder[0].datei.size() : 0;
            for (const TVariante& row : p.varianten) {
                estimate += 3 * columns;
                for (int c = 0; c < columns && c < row.props.count(); ++c)
                    estimate += row.props[c].text.size();
            }
        }
    }
    if (progress && !progress->report(0, total))
        return std::nullopt;

    QByteArray out;
    out.reserve(estimate);
    QString line;
    int done = 0;
    for (int k = first; k <= last; ++k) {
        for (const TProdukt& p : doc.products(k)) {
            line.truncate(0); // keeps the room of the longest line so far
            appendProduct(line, all ? &doc.categoryName(k) : nullptr, p, columns);
            out += toAnsi(line);
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
    return *exportBytes(doc, kat, nullptr);
}

bool ExportCSVFile(const CatalogDocument& doc, int kat, const QString& path, Progress* progress) {
    const std::optional<QByteArray> bytes = exportBytes(doc, kat, progress);
    if (!bytes)
        return false;
    if (!WriteFileAtomically(path, *bytes))
        throw Error(34, path);
    return true;
}

} // namespace pw
