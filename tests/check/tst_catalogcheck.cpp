#include "testmain.h"

#include "check/catalogcheck.h"
#include "fixtures.h"
#include "i18n/translateunit.h"
#include "model/catalogfile.h"

#include <QImage>
#include <QTemporaryDir>

#include <functional>

using namespace pw;

namespace {

// A picture `width` pixels wide (and 3/4 as high), written once per width.
QString picture(const QTemporaryDir& dir, int width) {
    const QString file = dir.filePath(QStringLiteral("p%1.png").arg(width));
    if (!QFile::exists(file)) {
        QImage image(width, width * 3 / 4, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        image.save(file);
    }
    return file;
}

TVariante row(const QStringList& cells) {
    TVariante v;
    for (const QString& text : cells)
        v.props.Add()->text = text;
    return v;
}

TProdukt& addProduct(CatalogDocument& doc, int kat, const QString& name, const QString& pictureFile,
                     const QString& article, const QString& price) {
    TProdukt& p = *doc.products(kat).Add();
    SetProductTableDefaults(p);
    p.name = name;
    p.desc = QStringLiteral("Eine kurze Beschreibung in ein paar Worten.");
    p.anzpreis = 1;
    *p.bilder.Add() = TBild{pictureFile, 5};
    *p.varianten.Add() =
        row({QStringLiteral("Ausführung"), QStringLiteral("Art.-Nr."), QStringLiteral("Preis")});
    *p.varianten.Add() = row({QStringLiteral("Standard"), article, price});
    return p;
}

// The clean base of every case: one category of two products whose pictures print at
// 406 dpi, each with its own article number and a price.
void base(CatalogDocument& doc, const QTemporaryDir& dir) {
    doc.settings.AllowPageBreak = false;
    doc.settings.DoLineBreakinTableCellsCheck = true;
    doc.settings.LogoChecked = false; // the default names a logo that is not there
    const int kat = doc.addCategory(QStringLiteral("Werkzeug"));
    addProduct(doc, kat, QStringLiteral("Hammer"), picture(dir, 800), QStringLiteral("A-1"),
               QStringLiteral("8,95 €"));
    addProduct(doc, kat, QStringLiteral("Zange"), picture(dir, 800), QStringLiteral("A-2"),
               QStringLiteral("9,95 €"));
}

TProdukt& hammer(CatalogDocument& doc) {
    return doc.products(0)[0];
}
TProdukt& zange(CatalogDocument& doc) {
    return doc.products(0)[1];
}

// Column 1 of the hammer's table 15 mm wide, holding one long word.
void narrowCell(CatalogDocument& doc) {
    TProdukt& p = hammer(doc);
    p.table.OverWrite = true;
    p.table.DefineFixedWidth = true;
    p.table.ColWidth = {15, 35, 35, 35, 35, 35, 35, 35, 35, 35};
    p.varianten[0].props[0].text = QStringLiteral("Typ");
    p.varianten[1].props[0].text = QStringLiteral("Schlosserhammerkopf");
}

struct Expected {
    const char* kind;
    int kat;
    int index;
};

using Builder = std::function<void(CatalogDocument&, const QTemporaryDir&)>;

QString describe(const std::vector<Finding>& findings) {
    QStringList out;
    for (const Finding& f : findings)
        out.append(QStringLiteral("%1 %2/%3: %4")
                       .arg(QLatin1String(findingKindInfo(f.kind).name))
                       .arg(f.kat)
                       .arg(f.index)
                       .arg(f.message));
    return out.join(QLatin1Char('\n'));
}

std::vector<Finding> check(const CatalogDocument& doc, const CheckOptions& options = {}) {
    FixedClock clock(QDate(2026, 12, 10));
    TranslationStore german;
    return checkCatalogue(doc, options, clock, german);
}

} // namespace

Q_DECLARE_METATYPE(Builder)
Q_DECLARE_METATYPE(Expected)

class TestCatalogCheck : public QObject {
    Q_OBJECT

private slots:
    void kindTableMatchesTheKinds() {
        // The table is indexed by the enumeration: a row out of place would name the
        // wrong kind in every report.
        const auto& kinds = findingKinds();
        QSet<QString> names;
        for (std::size_t i = 0; i < kinds.size(); ++i) {
            QCOMPARE(int(kinds[i].kind), int(i));
            names.insert(QLatin1String(kinds[i].name));
        }
        QCOMPARE(std::size_t(names.size()), kinds.size());
        QCOMPARE(int(kinds.back().kind), int(FindingKind::CellOutsideGrid));
    }

    void eachFaultGivesExactlyItsFinding_data() {
        QTest::addColumn<Builder>("build");
        QTest::addColumn<QList<Expected>>("expected");
        const auto none = QList<Expected>{};
        QTest::newRow("clean catalogue") << Builder([](CatalogDocument&, const QTemporaryDir&) {}) << none;
        QTest::newRow("picture file missing") << Builder([](CatalogDocument& doc, const QTemporaryDir& dir) {
            *hammer(doc).bilder.Add() = TBild{dir.filePath(QStringLiteral("fehlt.jpg")), 3};
        }) << QList<Expected>{{"picture-missing", 0, 0}};
        QTest::newRow("picture file not a picture")
            << Builder([](CatalogDocument& doc, const QTemporaryDir& dir) {
                   const QString file = dir.filePath(QStringLiteral("kaputt.jpg"));
                   QFile f(file);
                   QVERIFY(f.open(QIODevice::WriteOnly));
                   f.write("kein Bild");
                   f.close();
                   *zange(doc).bilder.Add() = TBild{file, 3};
               })
            << QList<Expected>{{"picture-unreadable", 0, 1}};
        QTest::newRow("picture under 150 dpi") << Builder([](CatalogDocument& doc, const QTemporaryDir& dir) {
            // 102 dpi at 5 cm, 127 dpi in engine B's 4 cm picture column.
            hammer(doc).bilder[0].datei = picture(dir, 200);
        }) << QList<Expected>{{"picture-resolution-low", 0, 0}};
        QTest::newRow("picture under 96 dpi") << Builder([](CatalogDocument& doc, const QTemporaryDir& dir) {
            zange(doc).bilder[0].datei = picture(dir, 150); // 76 dpi at 5 cm, 95 dpi at 4 cm
        }) << QList<Expected>{{"picture-resolution-poor", 0, 1}};
        QTest::newRow("no price") << Builder([](CatalogDocument& doc, const QTemporaryDir&) {
            zange(doc).varianten[1].props[2].text.clear();
        }) << QList<Expected>{{"price-missing", 0, 1}};
        QTest::newRow("logo file missing") << Builder([](CatalogDocument& doc, const QTemporaryDir& dir) {
            doc.settings.LogoChecked = true;
            doc.settings.FilenameEdit1 = dir.filePath(QStringLiteral("logo.png"));
        }) << QList<Expected>{{"logo-or-background-missing", -1, -1}};
        QTest::newRow("logo file missing but not shown")
            << Builder([](CatalogDocument& doc, const QTemporaryDir& dir) {
                   doc.settings.FilenameEdit1 = dir.filePath(QStringLiteral("logo.png"));
               })
            << none;
        QTest::newRow("price that is no number beside one that is")
            << Builder([](CatalogDocument& doc, const QTemporaryDir&) {
                   *zange(doc).varianten.Add() =
                       row({QStringLiteral("Groß"), QStringLiteral("A-3"), QStringLiteral("ab 5,-")});
               })
            << QList<Expected>{{"price-not-number", 0, 1}};
        QTest::newRow("article number twice") << Builder([](CatalogDocument& doc, const QTemporaryDir&) {
            zange(doc).varianten[1].props[1].text = QStringLiteral("A-1");
        }) << QList<Expected>{{"article-number-twice", 0, 1}};
        QTest::newRow("same first column is no article number")
            << Builder([](CatalogDocument& doc, const QTemporaryDir&) {
                   // Both rows say "Standard" in column 0; the header names column 1.
                   QCOMPARE(zange(doc).varianten[1].props[0].text, hammer(doc).varianten[1].props[0].text);
               })
            << none;
        QTest::newRow("name broken inside a word") << Builder([](CatalogDocument& doc, const QTemporaryDir&) {
            hammer(doc).name = QStringLiteral("Hammer ") + QString(120, QLatin1Char('m'));
        }) << QList<Expected>{{"name-broken-in-word", 0, 0}};
        QTest::newRow("cell broken inside a word")
            << Builder([](CatalogDocument& doc, const QTemporaryDir&) { narrowCell(doc); })
            << QList<Expected>{{"cell-broken-in-word", 0, 0}};
        QTest::newRow("cell cut without line breaks in cells")
            << Builder([](CatalogDocument& doc, const QTemporaryDir&) {
                   narrowCell(doc);
                   doc.settings.DoLineBreakinTableCellsCheck = false;
               })
            << QList<Expected>{{"cell-cut", 0, 0}};
        QTest::newRow("description split while page breaks are off")
            << Builder([](CatalogDocument& doc, const QTemporaryDir&) {
                   zange(doc).desc = QStringLiteral("Zeile\n").repeated(400);
               })
            << QList<Expected>{{"description-split", 0, 1}};
        QTest::newRow("description split with page breaks on is no finding")
            << Builder([](CatalogDocument& doc, const QTemporaryDir&) {
                   zange(doc).desc = QStringLiteral("Zeile\n").repeated(400);
                   doc.settings.AllowPageBreak = true;
               })
            << none;
        QTest::newRow("empty category") << Builder([](CatalogDocument& doc, const QTemporaryDir&) {
            doc.addCategory(QStringLiteral("Leer"));
        }) << QList<Expected>{{"category-empty", 1, -1}};
        QTest::newRow("heading with sub-categories is not empty")
            << Builder([](CatalogDocument& doc, const QTemporaryDir&) {
                   doc.insertCategory(0, QStringLiteral("Alles für die Werkstatt"));
               })
            << none;
        QTest::newRow("deactivated heading whose sub-category the contents list")
            << Builder([](CatalogDocument& doc, const QTemporaryDir&) {
                   doc.insertCategory(0, QStringLiteral("Alt"));
                   doc.createOptions(0).Deactivate = true;
                   doc.insertCategory(0, QStringLiteral("Inhalt"));
                   doc.createOptions(0).InhaltsVerzeichnis = true;
               })
            << QList<Expected>{{"deactivated-still-listed", 1, -1}};
        QTest::newRow("all products deactivated")
            << Builder([](CatalogDocument& doc, const QTemporaryDir& dir) {
                   const int kat = doc.addCategory(QStringLiteral("Auslauf"));
                   addProduct(doc, kat, QStringLiteral("Feile"), picture(dir, 800), QStringLiteral("A-7"),
                              QStringLiteral("3,95 €"))
                       .DeactivateProd = true;
               })
            << QList<Expected>{{"category-all-deactivated", 1, -1}};
        QTest::newRow("unknown placeholder") << Builder([](CatalogDocument& doc, const QTemporaryDir&) {
            doc.settings.FussEd = QStringLiteral("Seite %PAEG% von 50% am %DATE%, %category%");
        }) << QList<Expected>{{"placeholder-unknown", -1, -1}};
        QTest::newRow("text beyond the editor's cells")
            << Builder([](CatalogDocument& doc, const QTemporaryDir&) {
                   TProdukt& p = zange(doc);
                   while (p.varianten.count() < 101)
                       p.varianten.Add();
                   *p.varianten[100].props.Add() = TProp{QStringLiteral("vergessen"), 0};
               })
            << QList<Expected>{{"cell-outside-grid", 0, 1}};
        QTest::newRow("deactivated product is not checked")
            << Builder([](CatalogDocument& doc, const QTemporaryDir& dir) {
                   zange(doc).bilder[0].datei = dir.filePath(QStringLiteral("fehlt.jpg"));
                   zange(doc).varianten[1].props[2].text.clear();
                   zange(doc).DeactivateProd = true;
               })
            << none;
    }
    void eachFaultGivesExactlyItsFinding() {
        QFETCH(Builder, build);
        QFETCH(QList<Expected>, expected);
        QTemporaryDir dir;
        CatalogDocument doc;
        base(doc, dir);
        build(doc, dir);
        SaveTheFile(doc, dir.filePath(QStringLiteral("before.pk2")));
        for (int layout = 0; layout < kLayoutCount; layout += 4) { // engine A and engine B
            CheckOptions options;
            options.layout = layout;
            const std::vector<Finding> findings = check(doc, options);
            QVERIFY2(findings.size() == std::size_t(expected.size()),
                     qPrintable(QStringLiteral("layout %1:\n").arg(layout + 1) + describe(findings)));
            for (qsizetype i = 0; i < expected.size(); ++i) {
                const Finding& f = findings[std::size_t(i)];
                QCOMPARE(QLatin1String(findingKindInfo(f.kind).name), QLatin1String(expected[i].kind));
                QCOMPARE(f.kat, expected[i].kat);
                QCOMPARE(f.index, expected[i].index);
                QCOMPARE(f.category, f.kat >= 0 ? doc.categoryName(f.kat) : QString());
                QCOMPARE(f.product, f.index >= 0 ? doc.products(f.kat)[f.index].name : QString());
                QVERIFY(!f.message.isEmpty() && !f.message.contains(QLatin1String("%1")));
                // Products and categories are found on a page; settings and what is not
                // printed are not.
                QCOMPARE(f.page > 0, f.kat >= 0 && f.kind != FindingKind::DeactivatedStillListed);
            }
        }
        // The check leaves the document as it was: the same file, and none of what a layout
        // run leaves (page numbers, picture sizes, option records, page count).
        SaveTheFile(doc, dir.filePath(QStringLiteral("after.pk2")));
        QCOMPARE(test::readFile(dir.filePath(QStringLiteral("after.pk2"))),
                 test::readFile(dir.filePath(QStringLiteral("before.pk2"))));
        QCOMPARE(doc.anzpages, 0);
        for (int k = 0; k < doc.categoryCount(); ++k) {
            for (const TProdukt& p : doc.products(k)) {
                QCOMPARE(p.seite, 0);
                for (const TBild& b : p.bilder)
                    QCOMPARE(b.pixbreite, 0);
            }
        }
        QVERIFY(doc.options(doc.categoryCount() - 1) == nullptr);
    }

    void pictureResolutionAtItsBoundaries_data() {
        QTest::addColumn<int>("pixels"); // printed 5 cm wide
        QTest::addColumn<int>("pdfDpi");
        QTest::addColumn<QStringList>("kinds");
        const QString low = QStringLiteral("picture-resolution-low");
        const QString poor = QStringLiteral("picture-resolution-poor");
        const QString pdf = QStringLiteral("pdf-resolution-low");
        QTest::newRow("296 px: 150.4 dpi") << 296 << 300 << QStringList{};
        QTest::newRow("295 px: 149.9 dpi") << 295 << 300 << QStringList{low};
        QTest::newRow("189 px: 96.0 dpi") << 189 << 300 << QStringList{low};
        QTest::newRow("188 px: 95.5 dpi") << 188 << 300 << QStringList{poor};
        QTest::newRow("sharp picture in a 150 dpi PDF") << 800 << 150 << QStringList{};
        // The PDF resolution holds every picture down: said once, of the setting.
        QTest::newRow("sharp picture in a 149 dpi PDF") << 800 << 149 << QStringList{pdf};
        QTest::newRow("sharp picture in a 72 dpi PDF") << 800 << 72 << QStringList{pdf};
        QTest::newRow("picture worse than a low PDF resolution") << 188 << 120 << QStringList{pdf, poor};
        QTest::newRow("picture better than a low PDF resolution") << 230 << 110 << QStringList{pdf};
    }
    void pictureResolutionAtItsBoundaries() {
        QFETCH(int, pixels);
        QFETCH(int, pdfDpi);
        QFETCH(QStringList, kinds);
        QTemporaryDir dir;
        CatalogDocument doc;
        base(doc, dir);
        hammer(doc).bilder[0].datei = picture(dir, pixels);
        zange(doc).bilder.Clear();
        CheckOptions options;
        options.pdfDpi = pdfDpi;
        const std::vector<Finding> findings = check(doc, options);
        QStringList found;
        for (const Finding& f : findings) {
            found.append(QLatin1String(findingKindInfo(f.kind).name));
            // A picture is named with its product; the PDF resolution as a setting.
            QCOMPARE(f.picture, f.kind == FindingKind::PdfResolutionLow ? -1 : 0);
            QCOMPARE(f.setting,
                     f.kind == FindingKind::PdfResolutionLow ? QStringLiteral("DPIEd") : QString());
        }
        QCOMPARE(found, kinds);
    }

    void picturesSetHeightIsJudgedAtItsPrintedWidth() {
        // With the picture height set, 5 cm is the height: a 280 x 210 picture is then
        // 6.7 cm wide and prints at 106 dpi, not at the 142 dpi its 5 cm would give.
        QTemporaryDir dir;
        CatalogDocument doc;
        base(doc, dir);
        hammer(doc).bilder[0].datei = picture(dir, 280);
        doc.settings.SetPicHeightCheck = true;
        const std::vector<Finding> findings = check(doc);
        QVERIFY2(findings.size() == 1, qPrintable(describe(findings)));
        QVERIFY2(findings[0].message.contains(QLatin1String(" 106 dpi")), qPrintable(findings[0].message));
    }

    void priceNumberFollowsTheLocale_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("locale");
        const auto price = [](const char* name, const char* text, const char* locale, bool number) {
            QTest::newRow(name) << QString::fromUtf8(text) << QString::fromLatin1(locale) << number;
        };
        QTest::addColumn<bool>("number");
        price("German decimal comma", "19,90", "de_DE", true);
        price("German with euro sign", "8,95 €", "de_DE", true);
        price("German grouped thousands", "1.234,50", "de_DE", true);
        price("English decimal point under German", "19.90", "de_DE", false);
        price("dash for the cents", "ab 5,-", "de_DE", false);
        price("German misplaced group", "12.34,5", "de_DE", false);
        price("negative", "-3,50", "de_DE", true);
        price("ISO code first", "EUR 12,00", "de_DE", true);
        price("with a cell colour", "12,95 €##FFE9A8", "de_DE", true);
        price("empty", "", "de_DE", false);
        price("words", "auf Anfrage", "de_DE", false);
        price("English decimal point", "19.90", "en_US", true);
        price("German decimal comma under English", "19,90", "en_US", false);
        price("English grouped thousands", "$1,234.50", "en_US", true);
        price("French with a typed space", "1 234,50 €", "fr_FR", true);
        price("Dutch", "€ 12,50", "nl_NL", true);
    }
    void priceNumberFollowsTheLocale() {
        QFETCH(QString, text);
        QFETCH(QString, locale);
        QFETCH(bool, number);
        QCOMPARE(isPriceNumber(text, QLocale(locale)), number);
    }

    void priceLocaleDecidesTheFindings() {
        // The same English prices: findings under German, none under English.
        QTemporaryDir dir;
        CatalogDocument doc;
        base(doc, dir);
        hammer(doc).varianten[1].props[2].text = QStringLiteral("19.90");
        zange(doc).varianten[1].props[2].text = QStringLiteral("1,234.50");
        const std::vector<Finding> german = check(doc);
        QVERIFY2(german.size() == 4, qPrintable(describe(german))); // not a number, so no price, twice
        CheckOptions english;
        english.locale = QLocale(QLocale::English, QLocale::UnitedStates);
        QVERIFY2(check(doc, english).empty(), qPrintable(describe(check(doc, english))));
    }

    void sampleCatalogueHasNoFindings() {
        CatalogDocument doc;
        OpenCatalog(doc, QStringLiteral(PW_SOURCE_DIR "/resources/samples/test.pk2"), {});
        CheckOptions options;
        options.layout = doc.settings.LayoutCombo;
        const std::vector<Finding> findings = check(doc, options);
        QVERIFY2(findings.empty(), qPrintable(describe(findings)));
    }

    void messagesComeInTheStoresLanguage() {
        TranslationStore store;
        store.loadFromData(readTranslations());
        store.setLanguage(1);
        QTemporaryDir dir;
        CatalogDocument doc;
        base(doc, dir);
        zange(doc).varianten[1].props[1].text = QStringLiteral("A-1");
        FixedClock clock(QDate(2026, 12, 10));
        const std::vector<Finding> findings = checkCatalogue(doc, {}, clock, store);
        QCOMPARE(findings.size(), 1u);
        QVERIFY2(findings[0].message.contains(QLatin1String("A-1")) &&
                     findings[0].message.contains(QLatin1String("Hammer")) &&
                     !findings[0].message.contains(QLatin1String("Artikelnummer")),
                 qPrintable(findings[0].message));
    }

private:
    static QByteArray readTranslations() {
        QFile f(QStringLiteral(PW_TRANSLATE_DAT));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

PW_TEST_CLASS(TestCatalogCheck)
#include "tst_catalogcheck.moc"
