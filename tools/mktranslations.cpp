// pagewright-mktranslations SOURCE.tsv OUT/translate.dat: builds the translation store the
// program ships from its readable source. The source has one row per German text: German,
// English, French and Dutch, separated by one tab, with the escapes \t, \n and \\. Lines
// starting with "#" and empty lines are ignored; the first other line is the header
// "de<TAB>en<TAB>fr<TAB>nl". Any malformed row fails the build with its line number.

#include "i18n/translateunit.h"
#include "model/savefile.h"

#include <QCoreApplication>
#include <QFile>
#include <QSet>

#include <cstdio>

namespace {

constexpr int kColumns = 4;

int fail(const QString& text) {
    std::fprintf(stderr, "pagewright-mktranslations: %s\n", qPrintable(text));
    return 1;
}

// Undoes the escapes of a field; false for an unknown escape.
bool unescape(const QString& field, QString& out) {
    out.clear();
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] != QLatin1Char('\\')) {
            out.append(field[i]);
            continue;
        }
        if (++i == field.size())
            return false;
        switch (field[i].unicode()) {
        case 't':
            out.append(QLatin1Char('\t'));
            break;
        case 'n':
            out.append(QLatin1Char('\n'));
            break;
        case '\\':
            out.append(QLatin1Char('\\'));
            break;
        default:
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3)
        return fail(QStringLiteral("usage: pagewright-mktranslations SOURCE.tsv OUT"));
    QFile in(args[1]);
    if (!in.open(QIODevice::ReadOnly))
        return fail(args[1] + QStringLiteral(": ") + in.errorString());

    pw::TranslationStore store;
    QSet<QString> keys;
    bool header = false;
    const QStringList lines = QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QString line = lines[n];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = line.split(QLatin1Char('\t'));
        const QString where = QStringLiteral("%1:%2: ").arg(args[1]).arg(n + 1);
        if (!header) {
            if (fields != QStringList{"de", "en", "fr", "nl"})
                return fail(where + QStringLiteral("the header must be de, en, fr, nl"));
            header = true;
            continue;
        }
        if (fields.size() != kColumns)
            return fail(where + QStringLiteral("%1 columns instead of %2").arg(fields.size()).arg(kColumns));
        pw::TranslationStore::Row row;
        for (int c = 0; c < kColumns; ++c) {
            if (!unescape(fields[c], row[std::size_t(c)]))
                return fail(where + QStringLiteral("unknown escape in column %1").arg(c + 1));
        }
        if (row[0].trimmed() != row[0] || row[0].isEmpty())
            return fail(where + QStringLiteral("the German text is empty or has spaces around it"));
        if (keys.contains(row[0]))
            return fail(where + QStringLiteral("the German text stands in an earlier row"));
        keys.insert(row[0]);
        store.appendRow(row);
    }
    QString why;
    if (!pw::WriteFileAtomically(args[2], store.fileImage(), &why))
        return fail(args[2] + QStringLiteral(": ") + why);
    return 0;
}
