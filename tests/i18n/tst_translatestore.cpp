#include "testmain.h"

#include "fixtures.h"
#include "i18n/translateunit.h"
#include "model/options.h"

#include <QFile>
#include <QTemporaryDir>

using pw::TranslationStore;
using pw::test::Le;

namespace {

// A translate.dat image of rows given as German, English (further slots empty).
QByteArray storeImage(const QList<QStringList>& rows, int languages = 20) {
    Le f;
    f.i32(languages).i32(qint32(rows.size()));
    for (const QStringList& row : rows) {
        for (int s = 0; s < languages; ++s)
            f.wstr(row.value(s));
    }
    return f.b;
}

TranslationStore englishStore(const QList<QStringList>& rows) {
    TranslationStore store;
    store.setCollectNewTexts(false);
    store.loadFromData(storeImage(rows));
    store.setLanguage(pw::English);
    return store;
}

int rowsInFile(const QString& path) {
    TranslationStore s;
    s.LoadTranslations(path, QString());
    return s.rowCount();
}

} // namespace

class TestTranslationStore : public QObject {
    Q_OBJECT
private slots:
    void spacesAroundTheTextAreKept_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("spaces both sides") << "File"
                                           << "  Datei "
                                           << "  File ";
        QTest::newRow("no spaces") << "File"
                                   << "Datei"
                                   << "File";
        QTest::newRow("trailing tab of the translation goes") << "File\t"
                                                              << "Datei "
                                                              << "File ";
        QTest::newRow("control characters and spaces around it go") << " \r\nFile \x01"
                                                                    << " Datei"
                                                                    << " File";
        QTest::newRow("empty translation: text unchanged") << ""
                                                           << "  Datei "
                                                           << "  Datei ";
        QTest::newRow("other case is another key") << "File"
                                                   << "datei"
                                                   << "datei";
    }
    void spacesAroundTheTextAreKept() {
        QFETCH(QString, stored);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        TranslationStore store = englishStore({{"Datei", stored}, {"datei?", "x"}});
        QCOMPARE(store.TranslateText(text), expected);
        store.setLanguage(pw::Deutsch);
        QCOMPARE(store.TranslateText(QStringLiteral("  Datei ")), QStringLiteral("  Datei "));
    }

    void newTextIsAddedOnceAndSaved() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("translate.dat"));
        TranslationStore store;
        store.LoadTranslations(path, path); // no file yet: an empty store
        QCOMPARE(store.rowCount(), 0);
        QCOMPARE(store.TranslateText(QStringLiteral(" Neu  ")), QStringLiteral(" Neu  "));
        QVERIFY(QFile::exists(path)); // the first addition creates the file
        QCOMPARE(rowsInFile(path), 1);
        QCOMPARE(store.TranslateText(QStringLiteral("Neu")), QStringLiteral("Neu"));
        QCOMPARE(store.rowCount(), 1);
        QCOMPARE(store.TranslateText(QStringLiteral("Öffnen...")), QStringLiteral("Öffnen..."));
        QCOMPARE(rowsInFile(path), 2);

        TranslationStore again;
        again.LoadTranslations(path, path);
        QCOMPARE(again.row(0)[0], QStringLiteral("Neu")); // stored without its spaces
        QCOMPARE(again.row(1)[0], QStringLiteral("Öffnen..."));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.read(8), Le().i32(20).i32(2).b);
    }

    void emptyAndSpaceOnlyTextsAreNeverStored() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("translate.dat"));
        TranslationStore store;
        store.LoadTranslations(path, path);
        QCOMPARE(store.TranslateText(QString()), QString());
        QCOMPARE(store.TranslateText(QStringLiteral("   ")), QStringLiteral("   "));
        QCOMPARE(store.rowCount(), 0);
        QVERIFY(!QFile::exists(path));
    }

    void everyKeyOfALargeStoreIsFound() {
        QList<QStringList> rows;
        for (int i = 0; i < 3000; ++i) {
            // keys crowd into few buckets, as German captions do
            const QString key = QString(QChar(u'A' + i % 7)) +
                                QStringLiteral("text %1 ").arg(i * 7919 % 3001) +
                                QString(QChar(char16_t(0x100 + i % 300)));
            rows.append({key, QStringLiteral("t%1").arg(i)});
        }
        TranslationStore store = englishStore(rows);
        store.setCollectNewTexts(true);
        for (int i = 0; i < rows.size(); ++i)
            QCOMPARE(store.TranslateText(rows[i][0]), rows[i][1]);
        // texts added while running sit behind the sorted entries and are found as well
        QCOMPARE(store.TranslateText(QStringLiteral("Atext neu")), QStringLiteral("Atext neu"));
        QCOMPARE(store.rowCount(), 3001);
        QCOMPARE(store.TranslateText(QStringLiteral("Atext neu")), QStringLiteral("Atext neu"));
        QCOMPARE(store.rowCount(), 3001);
        QCOMPARE(store.TranslateText(rows[5][0]), rows[5][1]);
    }

    void theIndexSortDecidesBetweenEqualKeys() {
        // The quicksort swaps two equal keys, so the later row of the two is found first.
        TranslationStore store = englishStore({{"Datei", "first"}, {"Datei", "second"}});
        QCOMPARE(store.TranslateText(QStringLiteral("Datei")), QStringLiteral("second"));
    }

    void damagedFileKeepsTheCompleteRows_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("rows");
        const QByteArray two = storeImage({{"A", "a"}, {"B", "b"}});
        QTest::newRow("empty file") << QByteArray() << 0;
        QTest::newRow("negative language count") << Le().i32(-3).i32(2).b + two.mid(8) << 0;
        QTest::newRow("no languages") << Le().i32(0).i32(0x7fffffff).b << 0;
        QTest::newRow("negative row count") << Le().i32(20).i32(-1).b + two.mid(8) << 0;
        QTest::newRow("more rows counted than held") << Le().i32(20).i32(1000000).b + two.mid(8) << 2;
        QTest::newRow("cut inside the third row") << storeImage({{"A"}, {"B"}, {"C", "c"}}).chopped(20) << 2;
        QTest::newRow("impossible text length") << Le().i32(20).i32(2).b + storeImage({{"A"}}).mid(8) +
                                                       Le().i32(0x7ffffff0).b + QByteArray(100, 'x')
                                                << 1;
        QTest::newRow("header only") << Le().i32(20).b << 0;
    }
    void damagedFileKeepsTheCompleteRows() {
        QFETCH(QByteArray, data);
        QFETCH(int, rows);
        TranslationStore store;
        store.loadFromData(data);
        QCOMPARE(store.rowCount(), rows);
        if (rows > 0) {
            store.setLanguage(pw::English);
            QCOMPARE(store.row(0)[0], QStringLiteral("A"));
        }
    }

    void otherLanguageCountsAreReadAsFarAsTheyGo() {
        TranslationStore wide;
        wide.loadFromData(storeImage({{"A", "en", "fr"}, {"B"}}, 25)); // slots past 20 are dropped
        QCOMPARE(wide.rowCount(), 2);
        QCOMPARE(wide.row(0)[2], QStringLiteral("fr"));
        QCOMPARE(wide.row(1)[0], QStringLiteral("B"));
        TranslationStore narrow;
        narrow.loadFromData(storeImage({{"A", "en", "fr"}}, 3));
        QCOMPARE(narrow.row(0)[2], QStringLiteral("fr"));
        QVERIFY(narrow.row(0)[3].isEmpty());
        QCOMPARE(narrow.fileImage().left(8), Le().i32(20).i32(1).b); // written with all 20
    }

    void messagesGoThroughTheStore() {
        TranslationStore store = englishStore({{"Konnte Datei nicht erstellen", "Could not create file"},
                                               {"Konte die folgende Datei nicht öffnen:", "Cannot open:"}});
        QCOMPARE(store.GetMessageText(49), QStringLiteral("Could not create file"));
        QCOMPARE(store.GetMessageText(1), QStringLiteral("Cannot open: ")); // the trailing space comes back
        QCOMPARE(store.GetMessageText(24), QStringLiteral("unbenannt"));
        QCOMPARE(pw::errorText(pw::Error(1, QStringLiteral("/a.pk2")), store),
                 QStringLiteral("Cannot open: /a.pk2"));
    }

    void registerMessagesFillsAnEmptyStore() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("translate.dat"));
        TranslationStore store;
        store.LoadTranslations(path, path);
        store.RegisterMessages();
        QCOMPARE(store.rowCount(), 53); // 54 messages, 1 and 34 share their text
        QCOMPARE(rowsInFile(path), 53);
        store.RegisterMessages();
        QCOMPARE(store.rowCount(), 53);
    }

    void unwritableStoreGoesOnQuietly() {
        TranslationStore store;
        store.LoadTranslations(QStringLiteral("/nonexistent/translate.dat"),
                               QStringLiteral("/nonexistent/folder/translate.dat"));
        QCOMPARE(store.TranslateText(QStringLiteral("Neu")), QStringLiteral("Neu"));
        QCOMPARE(store.rowCount(), 1);
        QVERIFY(!store.SaveTranslateFile());
    }
};

PW_TEST_CLASS(TestTranslationStore)
#include "tst_translatestore.moc"
