// translate_bench: the cost of one TranslateText lookup on a store of 5,000 rows.
//
// Builds a store whose German keys crowd into few first letters, as interface captions
// do, then times one million lookups of known texts with spaces around them in English.
// The store has a file to save to; a lookup of a known text must never write it.

#include "i18n/translateunit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace {

constexpr int kRows = 5000;
constexpr int kCalls = 1000000;
constexpr double kTargetNs = 1000;

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("translate.dat"));
    pw::TranslationStore store;
    store.LoadTranslations(file, file); // no file yet: an empty store that would save there
    for (int i = 0; i < kRows; ++i) {
        pw::TranslationStore::Row row;
        row[0] = QString(QChar(char16_t(u'A' + i % 26))) +
                 QStringLiteral("usgabe der Seite Nummer %1 für den Katalog").arg(i);
        row[1] = QStringLiteral("Output of page number %1 for the catalogue").arg(i);
        store.appendRow(row);
    }
    store.rebuildIndex();
    store.setLanguage(1);

    std::vector<QString> texts;
    texts.reserve(997);
    for (int i = 0; i < 997; ++i)
        texts.push_back(QStringLiteral("  ") + store.row(i * 5 % kRows)[0] + QStringLiteral(" "));

    qsizetype checksum = 0;
    QElapsedTimer timer;
    timer.start();
    for (int n = 0; n < kCalls; ++n)
        checksum += store.TranslateText(texts[std::size_t(n % 997)]).size();
    const double ns = double(timer.nsecsElapsed()) / kCalls;

    std::printf("translate_bench: %d lookups on a store of %d rows\n", kCalls, store.rowCount());
    std::printf("%.0f ns per TranslateText (target far below %.0f ns): %s\n", ns, kTargetNs,
                ns < kTargetNs ? "met" : "MISSED");
    std::printf("store file written during the lookups: %s\n", QFile::exists(file) ? "YES (wrong)" : "no");
    std::printf("(checksum %lld)\n", static_cast<long long>(checksum));
    return 0;
}
