#include "testmain.h"

#include "output/pricelist.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

using namespace pw;

namespace {

TProdukt& addProduct(CatalogDocument& doc, int kat, const QString& name, const QList<QStringList>& rows) {
    TProdukt& p = *doc.products(kat).Add();
    p.name = name;
    for (const QStringList& cells : rows) {
        TVariante& row = *p.varianten.Add();
        for (const QString& text : cells)
            row.props.Add()->text = text;
    }
    return p;
}

QStringList texts(const QList<PriceListLine>& lines) {
    QStringList out;
    for (const PriceListLine& l : lines)
        out.append(l.text);
    return out;
}

} // namespace

class TestPriceList : public QObject {
    Q_OBJECT

private slots:
    void columnsAlignAcrossTheCatalogue() {
        CatalogDocument doc;
        const int a = doc.addCategory(QStringLiteral("A"));
        const int b = doc.addCategory(QStringLiteral("B"));
        addProduct(doc, a, QStringLiteral("Hammer"), {{"Art. Nummer", "Preis"}, {"T-01", "199,00"}});
        addProduct(doc, b, QStringLiteral("Zange"), {{"Art. Nummer", "Preis"}, {"T-1000", "5,00"}});
        TProdukt& off = addProduct(doc, b, QStringLiteral("Ohne Tabelle"), {});
        off.DeactivateProd = true; // listed all the same
        QCOMPARE(
            texts(PriceListLines(doc, QStringLiteral("Preisliste"))),
            (QStringList{"Preisliste", "", "Hammer", "Art. Nummer Preis  ", "T-01        199,00 ", "",
                         "Zange", "Art. Nummer Preis  ", "T-1000      5,00   ", "", "Ohne Tabelle", ""}));
    }

    void positionsBeyondAThousandAreTwentyWide() {
        CatalogDocument doc;
        QStringList cells;
        for (int i = 0; i < 1001; ++i)
            cells.append(QStringLiteral("x"));
        addProduct(doc, doc.addCategory(QStringLiteral("A")), QStringLiteral("Breit"), {cells});
        const QString row = PriceListLines(doc, QString())[3].text;
        QCOMPARE(row.size(), 1000 * 2 + 21);
        QVERIFY(row.endsWith(QStringLiteral("x") + QString(20, QLatin1Char(' '))));
    }

    void documentAndPrintedFile() {
        CatalogDocument doc;
        addProduct(doc, doc.addCategory(QStringLiteral("A")), QStringLiteral("Hammer"), {{"Art", "Preis"}});
        const std::unique_ptr<QTextDocument> document = PriceListDocument(PriceListLines(doc, "Preisliste"));
        const QTextBlock title = document->firstBlock();
        QCOMPARE(title.text(), QStringLiteral("Preisliste"));
        QCOMPARE(title.begin().fragment().charFormat().fontWeight(), int(QFont::Bold));
        QCOMPARE(title.begin().fragment().charFormat().fontPointSize(), 14.0);
        const QTextBlock row = title.next().next().next();
        QCOMPARE(row.text(), QStringLiteral("Art Preis "));
        QCOMPARE(row.begin().fragment().charFormat().fontWeight(), int(QFont::Normal));

        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("p.pdf"));
        QVERIFY(PrintPriceList(*document, file, QSize(4960, 7016), 600, QStringLiteral("Katalog")));
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {file, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(60000));
        const QByteArray out = text.readAllStandardOutput();
        QVERIFY(out.contains("Preisliste"));
        QVERIFY(out.contains("Hammer"));
        QVERIFY(!PrintPriceList(*document, dir.filePath(QStringLiteral("fehlt/p.pdf")), QSize(4960, 7016),
                                600, QStringLiteral("Katalog")));
    }
};

PW_TEST_CLASS(TestPriceList)
#include "tst_pricelist.moc"
