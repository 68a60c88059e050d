#include "testmain.h"

#include "exchange/categoryimport.h"
#include "exchange/csvimport.h"
#include "model/catalogfile.h"
#include "model/editcommands.h"
#include "model/services.h"

#include <QFile>
#include <QTemporaryDir>

using namespace pw;

namespace {

struct Told : DocumentObserver {
    std::vector<DocumentChange> changes;
    void documentChanged(const DocumentChange& change) override { changes.push_back(change); }
};

struct StopAtOnce final : Progress {
    bool report(int, int) override { return false; }
};

QString writeCsv(const QTemporaryDir& dir, const QByteArray& data) {
    const QString path = dir.filePath(QStringLiteral("in.csv"));
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(data);
    return path;
}

} // namespace

class TestImportUndo : public QObject {
    Q_OBJECT

private slots:
    // An import touches any number of categories; as one step it can be taken back whole.
    void anImportIsOneUndoStep() {
        CatalogDocument doc;
        doc.VorlageSpalten = QStringList{QStringLiteral("Name"), QStringLiteral("Preis")};
        doc.addCategory(QStringLiteral("A"));
        EditContext ctx(doc);
        Told told;
        ctx.addObserver(&told);
        QTemporaryDir dir;
        const QString csv = writeCsv(dir, "A;Tisch;;;T1;9,00\r\nB;Stuhl\r\nC;Lampe\r\n");
        const QByteArray before = CatalogFileImage(doc, dir.filePath(QStringLiteral("k.pk2")));

        const CsvImportResult r = documentStep(ctx, QStringLiteral("Importieren"), [&](CatalogDocument& d) {
            return ImportCSVFileComplete(d, csv, CsvImportOptions{});
        });
        QCOMPARE(r.products, 3);
        const QByteArray after = CatalogFileImage(doc, dir.filePath(QStringLiteral("k.pk2")));
        QCOMPARE(ctx.history.count(), 1);
        QVERIFY(ctx.isChanged());
        QCOMPARE(told.changes, (std::vector<DocumentChange>{DocumentChange::everything()}));

        QVERIFY(ctx.undo());
        QCOMPARE(CatalogFileImage(doc, dir.filePath(QStringLiteral("k.pk2"))), before);
        QVERIFY(!ctx.isChanged());
        QVERIFY(ctx.redo());
        QCOMPARE(CatalogFileImage(doc, dir.filePath(QStringLiteral("k.pk2"))), after);
    }

    void failedOrCancelledImportsRecordNothing() {
        CatalogDocument doc;
        doc.addCategory(QStringLiteral("A"));
        EditContext ctx(doc);
        QTemporaryDir dir;
        QVERIFY_THROWS_EXCEPTION(Error,
                                 documentStep(ctx, QStringLiteral("Importieren"), [&](CatalogDocument& d) {
                                     return ImportCSVFileComplete(
                                         d, dir.filePath(QStringLiteral("fehlt.csv")), CsvImportOptions{});
                                 }));
        const QString csv = writeCsv(dir, "A;Tisch\r\n");
        StopAtOnce stop;
        const CsvImportResult r = documentStep(ctx, QStringLiteral("Importieren"), [&](CatalogDocument& d) {
            return ImportCSVFileComplete(d, csv, CsvImportOptions{}, &stop);
        });
        QVERIFY(r.cancelled);
        QVERIFY(!ctx.history.canUndo());
        QVERIFY(!ctx.isChanged());
        QCOMPARE(doc.productCount(), 0);
    }
};

PW_TEST_CLASS(TestImportUndo)
#include "tst_importundo.moc"
