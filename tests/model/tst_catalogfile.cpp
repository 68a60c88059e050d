#include "testmain.h"

#include "fixtures.h"
#include "model/catalogfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

using namespace pw;
using pw::test::Le;

using pw::test::readFile;
using pw::test::writeFile;

namespace {

// A complete section 2 with empty texts and the given template columns.
QByteArray minimalSection2(const QStringList& columns = {}) {
    Le f;
    f.i32(qint32(columns.size()));
    for (const QString& c : columns)
        f.wstr(c);
    f.i32(3).wstr({}).wstr({});
    f.dbl(12).dbl(2).dbl(12).dbl(5).dbl(2).byte(1).byte(1);
    f.wstr({}).wstr({}).wstr({}).byte(0).dbl(5).dbl(5);
    f.byte(1).u32(0x800000).byte(1).u32(0x800000).byte(1).byte(1).byte(1).u32(0).u32(0x808080);
    f.byte(0).dbl(5).dbl(5).byte(0).i32(1).dbl(30).dbl(10).dbl(50).dbl(0).byte(1).byte(0).byte(1);
    f.dbl(1.5).dbl(1.5).byte(1);
    for (int i = 0; i < 9; ++i)
        f.font(0, 0, QStringLiteral("Arial"), 0, 96, 10, 0);
    return f.b;
}

// Section 1 with one category "A" holding one product with the given picture and table.
QByteArray oneProduct(const QString& picture, const QList<QStringList>& rows) {
    Le f;
    f.i32(1).wstr(QStringLiteral("A")).i32(1).wstr(QStringLiteral("P")).wstr({}).i32(1);
    f.i32(qint32(rows.size()));
    for (const QStringList& row : rows) {
        f.i32(qint32(row.size()));
        for (const QString& c : row)
            f.wstr(c);
    }
    f.i32(1).dbl(3).wstr(picture);
    return f.b;
}

// Optional blocks 1 to 17 for a document without categories, BildAlign stored as 7.
QByteArray blocks1To17() {
    Le f;
    f.byte(0).i32(7).byte(1).dbl(5).byte(0).byte(0).u32(0).u32(0).i32(0).byte(0); // 1..8
    f.i32(0);                                                                     // 9
    f.dbl(0.6).dbl(0.6).u32(0).u32(0).u32(0).u32(0).u32(0);                       // 10
    f.i32(0).i32(0).byte(0);                                                      // 11, 12
    f.byte(0).byte(0).dbl(35).dbl(35).dbl(35).dbl(35).dbl(35).dbl(5);             // 13
    f.i32(0).font(0, 0, QStringLiteral("Arial"), 0, 96, 10, 0).i32(0).byte(0);    // 14..17
    return f.b;
}

LoadResult load(const QByteArray& data, const QString& path = QStringLiteral("/cat/a.pk2"),
                CatalogFormat format = CatalogFormat::Current, bool trim = false,
                const CatalogDocument& seed = CatalogDocument()) {
    ReadOptions o;
    o.trimVariants = trim;
    return ReadCatalogData(data, format, path, seed, o);
}

QList<QStringList> cells(const TProdukt& p) {
    return test::cellTexts(p.varianten);
}

} // namespace

class TestCatalogFile : public QObject {
    Q_OBJECT
private slots:
    void writerMatchesHandComputedBytes() {
        CatalogDocument doc;
        doc.VorlageSpalten = {QStringLiteral("Name"), QStringLiteral("Preis")};
        doc.addCategory(QStringLiteral("A"));
        TProdukt& p = *doc.products(0).Add();
        SetProductTableDefaults(p);
        p.name = QStringLiteral("P");
        p.anzpreis = 1;
        p.varianten.Add()->props.Add()->text = QStringLiteral("x");
        TBild& b = *p.bilder.Add();
        b.breite = 2.5;
        b.datei = QStringLiteral("/other/p.jpg");
        const QByteArray image = CatalogFileImage(doc, QStringLiteral("/cat/a.pk2"));

        Le head;
        head.i32(1).wstr(QStringLiteral("A")).i32(1).wstr(QStringLiteral("P")).wstr({}).i32(1);
        head.i32(1).i32(1).wstr(QStringLiteral("x")).i32(1).dbl(2.5).wstr(QStringLiteral("/other/p.jpg"));
        // section 2 with every default
        head.i32(2).wstr(QStringLiteral("Name")).wstr(QStringLiteral("Preis")).i32(3);
        head.wstr({}).wstr(QStringLiteral("logo orvanto200x200.gif"));
        head.dbl(12).dbl(2).dbl(12).dbl(5).dbl(2).byte(1).byte(1);
        head.wstr(QStringLiteral("%PAGE%  -  Besuchen Sie uns im Internet unter www.example.com"));
        head.wstr(QStringLiteral("Besuchen Sie uns im Internet unter www.example.com  -  %PAGE%"));
        head.wstr(QStringLiteral("Orvanto GbR Produktkatalog")).byte(0).dbl(5).dbl(5);
        head.byte(1).u32(0x00800000).byte(1).u32(0x00800000).byte(1).byte(1).byte(1).u32(0).u32(0x00808080);
        head.byte(0).dbl(5).dbl(5).byte(0).i32(1).dbl(30).dbl(10).dbl(50).dbl(0).byte(1).byte(0).byte(1);
        head.dbl(1.5).dbl(1.5).byte(1);
        const QString black = QStringLiteral("Arial Black");
        const QString arial = QStringLiteral("Arial");
        head.font(0, 0x0000FFFF, black, 0, 96, 24, 1); // slot 1 repeats the category font
        head.font(0, 0x0000FFFF, black, 0, 96, 24, 1);
        head.font(0, 0xFF000008, black, 0, 96, 14, 0);
        head.font(0, 0xFF000008, arial, 0, 96, 11, 0);
        head.font(0, 0xFF000008, arial, 0, 96, 10, 1);
        head.font(0, 0xFF000008, black, 0, 96, 9, 0);
        head.font(0, 0xFF000008, arial, 0, 96, 10, 0);
        head.font(0, 0x00FFFFFF, black, 0, 96, 10, 0);
        head.font(0, 0x00FFFFFF, black, 0, 96, 24, 1);
        head.byte(0).i32(2).byte(1).dbl(5).byte(0).byte(0).u32(0x00A6CAF0).u32(0x00FFFFFF); // blocks 1..6
        QCOMPARE(image.left(head.b.size()).toHex(' '), head.b.toHex(' '));

        Le tail; // block 28 to the end
        tail.byte(0).byte(0).byte(0).byte(0).i32(0);
        for (int c = 0; c < 10; ++c)
            tail.dbl(35);
        tail.dbl(155).dbl(5);
        tail.i32(1).byte(0).i32(1).byte(0).wstr({}).byte(0);                       // 29..32
        tail.font(0, 0xFF000008, arial, 0, 96, 11, 0).byte(0);                     // 33
        tail.i32(1).byte(0).i32(1).byte(0).byte(0).byte(0).byte(1);                // 34..37
        tail.dbl(2).i32(1).byte(0).byte(0);                                        // 38..40
        tail.byte(0).wstr({}).byte(1).byte(1).dbl(50).byte(0);                     // 41..43
        tail.i32(1).byte(0).byte(0).i32(1).byte(0).i32(1).byte(0).byte(0).byte(0); // 44..49
        QCOMPARE(image.right(tail.b.size()).toHex(' '), tail.b.toHex(' '));
    }

    void roundTripGivesIdenticalBytes() {
        QTemporaryDir dir;
        const QString a = dir.filePath(QStringLiteral("a.pk2"));
        const QString b = dir.filePath(QStringLiteral("b.pk2"));
        const CatalogDocument original = test::richDocument(dir.path());
        SaveTheFile(original, a);
        CatalogDocument doc;
        ReadOptions keep;
        keep.trimVariants = false;
        QVERIFY(OpenFileWithName(doc, a, keep).empty());
        QCOMPARE(doc.afilename, a);
        SaveTheFile(doc, b);
        QCOMPARE(readFile(b), readFile(a));

        // pictures of the catalogue's folder are stored bare and come back as they were
        const QByteArray stored = readFile(a);
        QVERIFY(stored.contains(Le().wstr(QStringLiteral("p0.jpg")).b));
        QVERIFY(!stored.contains(Le().wstr(dir.filePath(QStringLiteral("p0.jpg"))).b));
        QCOMPARE(doc.products(0)[0].bilder[0].datei, dir.filePath(QStringLiteral("p0.jpg")));
        QCOMPARE(doc.products(0)[0].bilder[1].datei, QStringLiteral("sub\\p0b.jpg"));
        QCOMPARE(doc.settings.FilenameEdit1, dir.filePath(QStringLiteral("logo.png")));
        QCOMPARE(doc.settings.FilenameEdit2, QStringLiteral("textures/paper.jpg"));
        QCOMPARE(doc.settings.FilenameEdit3, QStringLiteral("/elsewhere/even.jpg"));
        QCOMPARE(doc.options(0)->Bild, dir.filePath(QStringLiteral("werkzeug.jpg")));
        QCOMPARE(doc.options(1), nullptr);
        QCOMPARE(doc.options(2)->Einfuehrungstext, QStringLiteral("nur Text"));
        QCOMPARE(doc.products(0)[0].desc, original.products(0)[0].desc);
    }

    void olderFormatReadsEveryBlockItHas() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("alt.PKD"));
        QVERIFY(writeFile(path, test::olderFormatFile()));
        CatalogDocument doc;
        doc.settings.PDFRandEd = 9;            // block 22 does not exist in this format: kept
        doc.settings.SetPicHeightCheck = true; // likewise block 49
        QVERIFY(OpenCatalog(doc, path, ReadOptions{}).empty());

        QCOMPARE(doc.categoryName(0), QStringLiteral("Werkzeug"));
        const TProdukt& p = doc.products(0)[0];
        QCOMPARE(p.name, QStringLiteral("Hammer €"));
        QCOMPARE(p.desc, QStringLiteral("Stiel aus Esche\r\nKopf geschmiedet"));
        QCOMPARE(cells(p), (QList<QStringList>{{"Name", "Preis"}, {"300 g", "9,95 €"}}));
        QCOMPARE(p.bilder[0].datei, QStringLiteral("hammer.jpg")); // not resolved in this format
        QCOMPARE(p.bilder[0].breite, 4.5);
        QCOMPARE(p.table.ColWidth[0], 35.0);
        QVERIFY(p.PageBreakAfterProdukt);
        QVERIFY(!p.DeactivateProd);

        const LayoutSettings& s = doc.settings;
        QCOMPARE(doc.VorlageSpalten, (QStringList{QStringLiteral("Größe"), QStringLiteral("Preis")}));
        QCOMPARE(s.PreDefAnzPreisEd, 2);
        QCOMPARE(s.FilenameEdit2, QStringLiteral("hintergrund.jpg"));
        QCOMPARE(s.KopfEd, QStringLiteral("Küchenkatalog"));
        QCOMPARE(s.FirstPageNr, 5);
        QCOMPARE(s.SatEd, -10.0);
        QCOMPARE(s.FontDialog2.Name, QStringLiteral("Tahoma"));
        QCOMPARE(s.FontDialog2.Size, 10);
        QCOMPARE(s.FontDialog9.Size, 17);
        QCOMPARE(s.BildAlign, 1);
        QVERIFY(s.BackgroundColorCheck);
        QCOMPARE(s.Shape6, 0x00123456u);
        QCOMPARE(s.LayoutCombo, 2);
        QCOMPARE(s.Shape11, 5u);
        QCOMPARE(s.RxSpinEdit6, 6.0);
        QCOMPARE(s.FontDialog11.Name, QStringLiteral("Verdana"));
        QCOMPARE(s.FontDialog11.Pitch, quint8(2));
        QCOMPARE(s.Columns, 3);
        QVERIFY(s.BilderrahmenCheck);
        QVERIFY(s.PreisLinksCheck);
        QCOMPARE(s.LineAddSpaceEd, 1.5);
        QCOMPARE(s.PDFRandEd, 9.0);
        QVERIFY(s.SetPicHeightCheck);

        const TKategorie* o = doc.options(0);
        QVERIFY(o);
        QCOMPARE(o->Einfuehrungstext, QStringLiteral("Alles für die Werkstatt"));
        QCOMPARE(o->Bild, QStringLiteral("werkstatt.jpg"));
        QCOMPARE(o->BildUnterName, 1);
        QVERIFY(o->TextUnterBild && o->NoNeedForNewPage && o->InhaltsVerzeichnis && o->ErstesAufneuerSeite);
        QVERIFY(!o->ShowOnlyPicture);

        // written in the current format, the bare picture name now resolves to the folder
        const QString converted = dir.filePath(QStringLiteral("neu.pk2"));
        SaveTheFile(doc, converted);
        CatalogDocument again;
        QVERIFY(OpenCatalog(again, converted, ReadOptions{}).empty());
        QCOMPARE(again.products(0)[0].bilder[0].datei, dir.filePath(QStringLiteral("hammer.jpg")));
        QCOMPARE(again.products(0)[0].name, QStringLiteral("Hammer €"));
    }

    void readerIsChosenByExtension_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("older");
        QTest::newRow(".PKD") << "C:/x/A.PKD" << true;
        QTest::newRow(".pkd") << "/x/a.pkd" << true;
        QTest::newRow(".Pkd") << "a.Pkd" << true;
        QTest::newRow(".PK2") << "/x/a.PK2" << false;
        QTest::newRow(".skd") << "/x/a.skd" << false;
        QTest::newRow("no extension") << "/x.pkd/catalog" << false;
    }
    void readerIsChosenByExtension() {
        QFETCH(QString, name);
        QFETCH(bool, older);
        QCOMPARE(FormatForFileName(name) == CatalogFormat::Older, older);
    }

    void bareNamesResolveAgainstTheCatalogueFolder_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("older");
        QTest::addColumn<QString>("loaded");
        QTest::newRow("bare") << "shoe.jpg" << false << "/cat/shoe.jpg";
        QTest::newRow("relative folder") << "img\\shoe.jpg" << false << "img\\shoe.jpg";
        QTest::newRow("drive") << "C:shoe.jpg" << false << "C:shoe.jpg";
        QTest::newRow("absolute") << "/pics/shoe.jpg" << false << "/pics/shoe.jpg";
        QTest::newRow("empty") << "" << false << "";
        QTest::newRow("older format keeps bare") << "shoe.jpg" << true << "shoe.jpg";
    }
    void bareNamesResolveAgainstTheCatalogueFolder() {
        QFETCH(QString, stored);
        QFETCH(bool, older);
        QFETCH(QString, loaded);
        QByteArray data;
        if (older) {
            Le f;
            f.i32(1).astr("A").i32(1).astr("P").astr("").i32(1).i32(0).i32(1).dbl(3).astr(stored.toLatin1());
            f.i32(0).i32(3).astr("").astr("");
            f.dbl(12)
                .dbl(2)
                .dbl(12)
                .dbl(5)
                .dbl(2)
                .byte(1)
                .byte(1)
                .astr("")
                .astr("")
                .astr("")
                .byte(0)
                .dbl(5)
                .dbl(5);
            f.byte(1).u32(0).byte(1).u32(0).byte(1).byte(1).byte(1).u32(0).u32(0);
            f.byte(0).dbl(5).dbl(5).byte(0).i32(1).dbl(30).dbl(10).dbl(50).dbl(0).byte(1).byte(0).byte(1);
            f.dbl(1.5).dbl(1.5).byte(1);
            for (int i = 0; i < 9; ++i)
                f.font(0, 0, QStringLiteral("Arial"), 0, 96, 10, 0);
            data = f.b;
        } else {
            data = oneProduct(stored, {}) + minimalSection2();
        }
        const LoadResult r =
            load(data, QStringLiteral("/cat/a.pk2"), older ? CatalogFormat::Older : CatalogFormat::Current);
        QCOMPARE(r.doc.products(0)[0].bilder[0].datei, loaded);
    }

    void trimmingOptionDropsEmptyRowsAndColumnsWhileReading() {
        const QList<QStringList> stored{{"Name", "Preis", ""}, {"", "", ""}, {"", "", ""}};
        const QByteArray data = oneProduct(QStringLiteral("x.jpg"), stored) + minimalSection2();
        QCOMPARE(cells(load(data, {}, CatalogFormat::Current, true).doc.products(0)[0]),
                 (QList<QStringList>{{"Name", "Preis"}}));
        QCOMPARE(cells(load(data, {}, CatalogFormat::Current, false).doc.products(0)[0]), stored);
    }

    void columnBytesSelectTheLastNonZero_data() {
        QTest::addColumn<int>("four");
        QTest::addColumn<int>("three");
        QTest::addColumn<int>("two");
        QTest::addColumn<int>("columns");
        QTest::newRow("1 0 1") << 1 << 0 << 1 << 2;
        QTest::newRow("0 0 0") << 0 << 0 << 0 << 4;
        QTest::newRow("1 1 0") << 1 << 1 << 0 << 3;
        QTest::newRow("1 0 0") << 1 << 0 << 0 << 4;
    }
    void columnBytesSelectTheLastNonZero() {
        QFETCH(int, four);
        QFETCH(int, three);
        QFETCH(int, two);
        QFETCH(int, columns);
        CatalogDocument seed;
        seed.settings.Columns = 3;
        seed.settings.BildAlign = 0;
        const QByteArray data =
            Le().i32(0).b + minimalSection2() + blocks1To17() + Le().byte(four).byte(three).byte(two).b;
        const LoadResult r = load(data, {}, CatalogFormat::Current, true, seed);
        QVERIFY(r.warnings.empty());
        QCOMPARE(r.doc.settings.Columns, columns);
        QCOMPARE(r.doc.settings.BildAlign, 0); // the stored 7 is no alignment: unchanged
    }

    void fileEndingAfterTheFontsKeepsEveryOptionalSetting() {
        CatalogDocument seed;
        seed.settings.OnlyOneColumnCheck = true;
        seed.settings.LayoutCombo = 5;
        seed.settings.BackgroundColorCheck = true;
        seed.addCategory(QStringLiteral("old"));
        const LoadResult r = load(Le().i32(0).b + minimalSection2({QStringLiteral("Nur")}), {},
                                  CatalogFormat::Current, true, seed);
        QVERIFY(r.warnings.empty());
        QCOMPARE(r.doc.categoryCount(), 0);
        QCOMPARE(r.doc.VorlageSpalten, QStringList{QStringLiteral("Nur")});
        QVERIFY(r.doc.settings.OnlyOneColumnCheck);
        QCOMPARE(r.doc.settings.LayoutCombo, 5);
        QVERIFY(!r.doc.settings.BackgroundColorCheck); // as "Neu" leaves it
        QCOMPARE(r.doc.settings.FontDialog9.Name, QStringLiteral("Arial"));
    }

    void everyCutInTheFixedPartIsRejected() {
        const QByteArray whole =
            oneProduct(QStringLiteral("x.jpg"), {{"Name", "Preis"}, {"a", "1,00"}}) + minimalSection2({"N"});
        QVERIFY(load(whole).warnings.empty());
        for (qsizetype cut = 0; cut < whole.size(); ++cut) {
            bool rejected = false;
            try {
                load(whole.left(cut));
            } catch (const Error& e) {
                rejected = e.file() == QLatin1String("/cat/a.pk2") && !e.germanText().isEmpty();
            }
            if (!rejected)
                QFAIL(qPrintable(QStringLiteral("a file cut at byte %1 was not rejected").arg(cut)));
        }
    }

    void impossibleCountsAreRejected_data() {
        QTest::addColumn<QByteArray>("data");
        const QByteArray s2 = minimalSection2();
        QTest::newRow("negative categories") << Le().i32(-1).b + s2;
        QTest::newRow("huge categories") << Le().i32(0x7fffffff).b + s2;
        QTest::newRow("negative products") << Le().i32(1).wstr("A").i32(-5).b + s2;
        QTest::newRow("huge rows")
            << Le().i32(1).wstr("A").i32(1).wstr("P").wstr("").i32(1).i32(1000000000).b + s2;
        QTest::newRow("negative text length") << Le().i32(1).i32(-2).b + s2;
        QTest::newRow("huge text length") << Le().i32(1).i32(0x40000000).b + s2;
        QTest::newRow("huge template columns") << Le().i32(0).i32(0x10000000).b;
    }
    void impossibleCountsAreRejected() {
        QFETCH(QByteArray, data);
        QVERIFY_THROWS_EXCEPTION(Error, load(data));
    }

    void damagedFileLeavesTheOpenDocumentAlone() {
        QTemporaryDir dir;
        const QString good = dir.filePath(QStringLiteral("good.pk2"));
        const QString bad = dir.filePath(QStringLiteral("bad.pk2"));
        CatalogDocument doc = test::richDocument(dir.path());
        SaveTheFile(doc, good);
        QVERIFY(writeFile(bad, readFile(good).left(300)));
        ReadOptions o;
        QVERIFY(OpenFileWithName(doc, good, o).empty());
        const QByteArray before = CatalogFileImage(doc, good);
        try {
            OpenFileWithName(doc, bad, o);
            QFAIL("a damaged file was accepted");
        } catch (const Error& e) {
            QCOMPARE(e.file(), bad);
        }
        try {
            OpenFileWithName(doc, dir.filePath(QStringLiteral("missing.pk2")), o);
            QFAIL("a missing file was accepted");
        } catch (const Error& e) {
            QCOMPARE(e.messageNumber(), 1);
            QCOMPARE(e.args(), QStringList{dir.filePath(QStringLiteral("missing.pk2"))});
        }
        QCOMPARE(doc.afilename, good);
        QCOMPARE(CatalogFileImage(doc, good), before);
    }

    void damagedOptionalBlockKeepsEverythingBeforeIt_data() {
        // The rich document's last blocks: 44 holds 4 + 16 + 1 + 16 bytes, 45..49 hold 21.
        QTest::addColumn<int>("fromEnd");
        QTest::addColumn<bool>("negativeCount");
        QTest::addColumn<bool>("warned");
        QTest::newRow("cut inside block 44") << 31 << false << true;
        QTest::newRow("negative count in block 44") << 0 << true << true;
        QTest::newRow("cut just before block 44") << 58 << false << false;
    }
    void damagedOptionalBlockKeepsEverythingBeforeIt() {
        QFETCH(int, fromEnd);
        QFETCH(bool, negativeCount);
        QFETCH(bool, warned);
        QByteArray data =
            CatalogFileImage(test::richDocument(QStringLiteral("/cat")), QStringLiteral("/cat/a.pk2"));
        if (negativeCount)
            data.replace(data.size() - 58, 4, Le().i32(-1).b);
        else
            data.chop(fromEnd);
        const LoadResult r = load(data);
        QCOMPARE(r.warnings.size(), std::size_t(warned ? 1 : 0));
        if (warned) {
            QCOMPARE(r.warnings[0].file(), QStringLiteral("/cat/a.pk2"));
            QVERIFY(r.warnings[0].germanText().contains(QLatin1String("44")));
        }
        QCOMPARE(r.doc.productCount(), 4);
        QVERIFY(r.doc.settings.FooterLeftCheck);  // block 43
        QVERIFY(r.doc.options(0)->Deactivate);    // block 39
        QVERIFY(!r.doc.options(0)->OwnFontColor); // block 44 not taken
        QCOMPARE(r.doc.options(0)->FontColor, 0u);
        QVERIFY(!r.doc.settings.UseColorInInhaltCheck); // block 45 never reached
        QVERIFY(!r.doc.settings.SetPicHeightCheck);
    }

    void absentCategoryRecordIgnoresLaterOptionValues() {
        CatalogDocument doc;
        for (int k = 0; k < 2; ++k) {
            doc.addCategory(QStringLiteral("K%1").arg(k));
            TKategorie& o = doc.createOptions(k);
            o.InhaltsVerzeichnis = true;
            o.OwnFontColor = true;
            o.BildBreite = k == 1 ? 123.456 : 1;
        }
        doc.settings.SetPicHeightCheck = true;
        QByteArray data = CatalogFileImage(doc, QStringLiteral("/cat/a.pk2"));
        // Make category 1's block-9 entry absent: present byte, two empty strings, the
        // width, BildUnterName and TextUnterBild become one zero byte.
        const qsizetype width = data.indexOf(Le().dbl(123.456).b);
        QVERIFY(width > 0);
        data.replace(width - 9, 22, QByteArray(1, '\0'));
        const LoadResult r = load(data);
        QVERIFY(r.warnings.empty());
        QVERIFY(r.doc.options(0)->InhaltsVerzeichnis);
        QVERIFY(r.doc.options(0)->OwnFontColor);
        QCOMPARE(r.doc.options(1), nullptr);
        QVERIFY(r.doc.settings.SetPicHeightCheck); // the stream stayed in step to the end
    }

    void failedSaveKeepsTheOldFileAndReportsMessage49() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.pk2"));
        QVERIFY(writeFile(path, "old contents"));
        const CatalogDocument doc = test::richDocument(dir.path());

        // Writes past a small file-size limit fail, also for root.
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 512;
        setrlimit(RLIMIT_FSIZE, &small);
        int number = 0;
        QStringList args;
        try {
            SaveTheFile(doc, path);
        } catch (const Error& e) {
            number = e.messageNumber();
            args = e.args();
        }
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        QCOMPARE(number, 49);
        QCOMPARE(args, QStringList{path});
        QCOMPARE(readFile(path), QByteArray("old contents"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
                 QStringList{QStringLiteral("a.pk2")}); // no leftovers

        const QString nowhere = dir.filePath(QStringLiteral("missing/folder/b.pk2"));
        QVERIFY_THROWS_EXCEPTION(Error, SaveTheFile(doc, nowhere));
        QVERIFY(!QFile::exists(nowhere));
    }
};

PW_TEST_CLASS(TestCatalogFile)
#include "tst_catalogfile.moc"
