#include "testmain.h"

#include "exchange/categoryimport.h"
#include "exchange/csvimport.h"
#include "fixtures.h"
#include "i18n/translateunit.h"
#include "model/catalogfile.h"
#include "model/error.h"

#include <QTemporaryDir>

using namespace pw;
using pw::test::writeFile;

namespace {

const QLocale kGerman(QLocale::German, QLocale::Germany);

// The flags of an options record in the order of the file's option columns 2 to 11.
QList<bool> flags(const TKategorie& o) {
    return {o.TextUnterBild,     o.NoNeedForNewPage,   o.InhaltsVerzeichnis, o.ErstesAufneuerSeite,
            o.ShowOnlyPicture,   o.UseAsBackgroundPic, o.DoNotListinInhalt,  o.Unterkategorien,
            o.ListAllKategoires, o.Deactivate};
}

QStringList names(const CatalogDocument& doc) {
    QStringList out;
    for (int k = 0; k < doc.categoryCount(); ++k)
        out.append(doc.categoryName(k));
    return out;
}

// The example record of message 58, as it appears in the information text.
QByteArray exampleRecord() {
    const QString text = messageGerman(58);
    return text.mid(text.indexOf(QStringLiteral("Test;"))).toLatin1();
}

} // namespace

class TestCategoryImport : public QObject {
    Q_OBJECT

private slots:
    void exampleRecordCreatesCategoryTest() {
        CatalogDocument doc;
        const CategoryImportResult result = ImportCSVDataCategories(doc, exampleRecord(), kGerman);
        QCOMPARE(result.created, 1);
        QCOMPARE(result.selectedKat, 0);
        QCOMPARE(names(doc), QStringList{"Test"});
        const TKategorie* o = doc.options(0);
        QVERIFY(o);
        QCOMPARE(o->Einfuehrungstext, QStringLiteral("Dies ist die Kategorie Test"));
        QCOMPARE(o->Bild, QStringLiteral("c:\\test\\test.jpg"));
        QCOMPARE(o->BildBreite, 10.0);
        QCOMPARE(o->BildUnterName, 1);
        QCOMPARE(flags(*o), (QList<bool>{false, true, false, true, true, false, false, true, true, true}));
        QVERIFY(!o->DoNotListCategories && !o->ProdukteInhalt && !o->KatBereichUnter &&
                !o->UnterlegeKategorie && !o->OwnFontColor);
        QCOMPARE(o->BereichFarbe + o->UnterlegFarbe + o->FontColor, 0u);
        QCOMPARE(doc.products(0).count(), 0);
    }

    void importTwiceSetsTheOptionsAgain() {
        CatalogDocument doc;
        ImportCSVDataCategories(doc, exampleRecord(), kGerman);
        doc.options(0)->Deactivate = false;
        const CategoryImportResult again = ImportCSVDataCategories(doc, exampleRecord(), kGerman);
        QCOMPARE(again.created, 0);
        QCOMPARE(again.updated, 1);
        QCOMPARE(again.selectedKat, -1);
        QCOMPARE(names(doc), QStringList{"Test"});
        QVERIFY(doc.options(0)->Deactivate);
    }

    // The first category of the name is changed, case-sensitively; only the imported fields
    // change, the others of its record stay.
    void existingCategoryKeepsTheFieldsTheFileDoesNotHold() {
        CatalogDocument doc;
        doc.addCategory("Garten");
        doc.addCategory("Werkzeug");
        doc.addCategory("Werkzeug");
        TKategorie& before = doc.createOptions(1);
        before.OwnFontColor = true;
        before.FontColor = 0x00123456;
        before.Deactivate = true;
        before.ProdukteInhalt = true;
        doc.products(1).Add()->name = QStringLiteral("Hammer");
        ImportCSVDataCategories(doc, "Werkzeug;Neu;w.jpg;4;false\r\nwerkzeug;klein\r\ngarten\r\n", kGerman);
        const TKategorie& o = *doc.options(1); // appending categories moves the records
        QCOMPARE(names(doc), (QStringList{"Garten", "Werkzeug", "Werkzeug", "werkzeug", "garten"}));
        QCOMPARE(o.Einfuehrungstext, QStringLiteral("Neu"));
        QCOMPARE(o.BildBreite, 4.0);
        QVERIFY(!o.Deactivate);
        QVERIFY(o.OwnFontColor && o.ProdukteInhalt);
        QCOMPARE(o.FontColor, 0x00123456u);
        QCOMPARE(doc.products(1).count(), 1);
        QVERIFY(!doc.options(0));
        QVERIFY(!doc.options(2));
    }

    void categoryWithoutRecordGetsAZeroFilledOne() {
        CatalogDocument doc;
        doc.addCategory("A");
        ImportCSVDataCategories(doc, "A;Text", kGerman);
        QVERIFY(doc.options(0));
        QCOMPARE(doc.options(0)->Einfuehrungstext, QStringLiteral("Text"));
        QCOMPARE(doc.options(0)->BildBreite, kImportedCategoryPictureWidth);
    }

    void nameOnlyRecordGivesDefaults() {
        CatalogDocument doc;
        ImportCSVDataCategories(doc, "Nur Name\r\n", kGerman);
        const TKategorie* o = doc.options(0);
        QVERIFY(o);
        QVERIFY(o->Einfuehrungstext.isEmpty() && o->Bild.isEmpty());
        QCOMPARE(o->BildBreite, 3.0);
        QCOMPARE(o->BildUnterName, 0);
        QCOMPARE(flags(*o), QList<bool>(10, false));
    }

    void onlyExactlyTrueSwitchesAnOptionOn_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("on");
        QTest::newRow("true") << QByteArray("true") << true;
        QTest::newRow("True") << QByteArray("True") << false;
        QTest::newRow("TRUE") << QByteArray("TRUE") << false;
        QTest::newRow("1") << QByteArray("1") << false;
        QTest::newRow("quoted true") << QByteArray("\"true\"") << true;
        QTest::newRow("true with a space") << QByteArray("true ") << false;
        QTest::newRow("missing") << QByteArray() << false;
    }
    void onlyExactlyTrueSwitchesAnOptionOn() {
        QFETCH(QByteArray, value);
        QFETCH(bool, on);
        for (int column = 5; column <= 15; ++column) {
            QByteArray record("K;t;b;1");
            for (int c = 5; c <= column; ++c)
                record += ";" + (c == column ? value : QByteArray("false"));
            CatalogDocument doc;
            ImportCSVDataCategories(doc, record, kGerman);
            const TKategorie& o = *doc.options(0);
            QList<bool> expected(10, false);
            if (column > 5)
                expected[column - 6] = on;
            QCOMPARE(flags(o), expected);
            QCOMPARE(o.BildUnterName, column == 5 && on ? 1 : 0);
        }
    }

    void columnsAfterTheFifteenthAreIgnored() {
        CatalogDocument doc;
        ImportCSVDataCategories(doc, "K;;;;;;;;;;;;;;true;true;true", kGerman);
        QCOMPARE(flags(*doc.options(0)),
                 (QList<bool>{false, false, false, false, false, false, false, false, false, true}));
    }

    void widthUsesTheUsersDecimalSeparator_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<double>("width");
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        QTest::newRow("2,5 with decimal comma") << "2,5" << kGerman << 2.5;
        QTest::newRow("2.5 with decimal comma is unreadable") << "2.5" << kGerman << 3.0;
        QTest::newRow("2.5 with decimal point") << "2.5" << english << 2.5;
        QTest::newRow("2,5 with decimal point is unreadable") << "2,5" << english << 3.0;
        QTest::newRow("group separator is unreadable") << "1.000" << kGerman << 3.0;
        QTest::newRow("whole number") << "10" << kGerman << 10.0;
        QTest::newRow("surrounding spaces") << " 7,25 " << kGerman << 7.25;
        QTest::newRow("empty") << "" << kGerman << 3.0;
        QTest::newRow("text") << "breit" << kGerman << 3.0;
        QTest::newRow("infinity") << "inf" << english << 3.0;
        QTest::newRow("not a number") << "nan" << english << 3.0;
    }
    void widthUsesTheUsersDecimalSeparator() {
        QFETCH(QString, text);
        QFETCH(QLocale, locale);
        QFETCH(double, width);
        QCOMPARE(CategoryPictureWidth(text, locale), width);
        CatalogDocument doc;
        ImportCSVDataCategories(doc, ("K;;;" + text).toLatin1(), locale);
        QCOMPARE(doc.options(0)->BildBreite, width);
    }

    void blankLinesAreSkipped() {
        CatalogDocument doc;
        ImportCSVDataCategories(doc, "\r\nA;a\r\n\r\n\r\nB;b\r\n\r\n", kGerman);
        QCOMPARE(names(doc), (QStringList{"A", "B"}));
    }

    void unreadableFileIsMessage1AndChangesNothing() {
        QTemporaryDir dir;
        CatalogDocument doc = test::richDocument(dir.path());
        const QByteArray before = CatalogFileImage(doc, "/nirgends/k.pk2");
        const QString path = dir.filePath("fehlt.csv");
        try {
            ImportCSVFileCategories(doc, path, kGerman);
            QFAIL("no error");
        } catch (const Error& e) {
            QCOMPARE(e.messageNumber(), 1);
            QCOMPARE(e.args(), QStringList{path});
        }
        QCOMPARE(CatalogFileImage(doc, "/nirgends/k.pk2"), before);
    }

    void importsFromAFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("kat.csv");
        QVERIFY(writeFile(path, "\"M\xf6"
                                "bel\";\"Einf\xfchrung\";;2,5;true\r\n"));
        CatalogDocument doc;
        QCOMPARE(ImportCSVFileCategories(doc, path, kGerman).created, 1);
        QCOMPARE(names(doc), QStringList{u"Möbel"_qs});
        QCOMPARE(doc.options(0)->Einfuehrungstext, u"Einführung"_qs);
        QCOMPARE(doc.options(0)->BildBreite, 2.5);
        QCOMPARE(doc.options(0)->BildUnterName, 1);
    }

    void informationTextIsAssembledFromItsMessages() {
        TranslationStore german;
        QStringList parts;
        for (int n = 52; n <= 57; ++n)
            parts.append(messageGerman(n));
        const QString text = CategoryImportFormatInfoText(german);
        QCOMPARE(text, parts.join(' ') + "\r\r " + messageGerman(58));
        QVERIFY(text.contains(QStringLiteral("Bildbreite. In den folgenden")));
        QVERIFY(text.endsWith(QStringLiteral("false;false;true;true;true")));
    }
};

PW_TEST_CLASS(TestCategoryImport)
#include "tst_categoryimport.moc"
