#include "testmain.h"
#include "windowharness.h"

#include "app/backgroundwork.h"
#include "app/catalogcommands.h"
#include "app/products/productstab.h"
#include "exchange/csvexport.h"
#include "fixtures.h"
#include "model/editcommands.h"
#include "output/exportpage.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QMainWindow>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <QUrl>

#include <functional>

using namespace pw;
using namespace windowtest;
using namespace pw::test;

namespace {

// Answers the modal dialogs a command opens, in order: each entry waits for the dialog of
// its object name, fills it and closes it (accept or reject is the entry's business).
class DialogScript : public QObject {
public:
    using Answer = std::function<void(QDialog&)>;
    DialogScript() {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (m_answers.empty())
                return;
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog || dialog->objectName() != m_answers.front().first)
                return;
            const Answer answer = m_answers.front().second;
            m_answers.pop_front();
            answer(*dialog);
        });
        m_timer.start();
    }
    void then(const char* dialogName, Answer answer) {
        m_answers.emplace_back(QLatin1String(dialogName), std::move(answer));
    }
    bool allAnswered() const { return m_answers.empty(); }

private:
    QTimer m_timer;
    std::deque<std::pair<QString, Answer>> m_answers;
};

template <class W> W* field(QDialog& d, const char* name) {
    W* w = d.findChild<W*>(QLatin1String(name));
    if (!w)
        qWarning("no %s in %s", name, qPrintable(d.objectName()));
    return w;
}

void trigger(TMainForm& w, const char* action) {
    QAction* a = actionNamed(w, action);
    QVERIFY2(a && a->isEnabled(), action);
    a->trigger();
}

// pdfinfo's page count of a file; -1 when it cannot be read.
int pdfPages(const QString& file) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {file});
    p.waitForFinished(30000);
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("Pages:")))
            return line.mid(6).trimmed().toInt();
    return -1;
}

// A page of a PDF file as pdftoppm draws it at `dpi`.
QImage pdfPage(const QString& file, int page, int dpi, const QString& base) {
    QProcess p;
    p.start(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi),
                                         QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                         QString::number(page), QStringLiteral("-singlefile"), file, base});
    p.waitForFinished(60000);
    return QImage(base + QStringLiteral(".png"));
}

// The mean difference per channel of two pictures scaled to one size (0 the same, 255 the
// opposite).
double meanDifference(const QImage& a, const QImage& b) {
    const QSize size(200, 283);
    const QImage x = a.scaled(size).convertToFormat(QImage::Format_RGB32);
    const QImage y = b.scaled(size).convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int j = 0; j < size.height(); ++j)
        for (int i = 0; i < size.width(); ++i) {
            const QRgb p = x.pixel(i, j);
            const QRgb q = y.pixel(i, j);
            sum +=
                std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * size.width() * size.height());
}

// Sets the PDF resolution through "PDF Auflösung einstellen...", so the tests render small.
void setPdfResolution(TMainForm& w, DialogScript& script, double dpi) {
    script.then("TPDFAuflForm", [dpi](QDialog& d) {
        field<QDoubleSpinBox>(d, "DPIEd")->setValue(dpi);
        d.accept();
    });
    trigger(w, "PDFAuflsung1");
}

// Records the URLs the program asks the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

// One product with two rows of the five template columns (and the empty row the import
// adds after a record that ends with a whole row).
const QString kCsvRecord =
    QStringLiteral("Tisch;Eiche;;T-01;Tisch;199,00;180,00;170,00;T-02;Tisch klein;99,00;90,00;80,00\r\n");

} // namespace

class TestCommands : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { clearUserSettings(); }

    // "Als PDF Datei exportieren..." writes every page of the sample, and the document
    // stays as it was (the export works on a copy).
    void thePdfExportWritesEveryPage() {
        Harness h;
        TMainForm& w = h.start(kSample);
        DialogScript script;
        setPdfResolution(w, script, 20);
        h.prompts.fileNames = {h.file("katalog.pdf")};
        trigger(w, "AlsPDFDateiexportieren1");
        QCOMPARE(pdfPages(h.file("katalog.pdf")), 11);
        QVERIFY(!w.session().edit().isChanged());
        QVERIFY(h.prompts.messages.isEmpty());
        QVERIFY(w.statusBar()->currentMessage().contains(QLatin1String("katalog.pdf")));
    }

    // "Vektor-PDF (durchsuchbarer Text, kleine Datei)" in the Options menu: the export then
    // writes the pages as text, and the choice stays with the user's options.
    void theVectorChoiceExportsSearchableText() {
        Harness h;
        TMainForm& w = h.start(kSample);
        DialogScript script;
        setPdfResolution(w, script, 20);
        QVERIFY(!w.programOptions().vectorPdf);
        trigger(w, "VectorPdf1");
        QVERIFY(w.programOptions().vectorPdf);
        h.prompts.fileNames = {h.file("katalog.pdf")};
        trigger(w, "AlsPDFDateiexportieren1");
        QCOMPARE(pdfPages(h.file("katalog.pdf")), 11);
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {h.file("katalog.pdf"), QStringLiteral("-")});
        text.waitForFinished(30000);
        QVERIFY(QString::fromUtf8(text.readAllStandardOutput()).contains(QStringLiteral("Schlosserhammer")));
        trigger(w, "PicturePdf1");
        QVERIFY(!w.programOptions().vectorPdf);
    }

    // "Abbrechen" half-way: the unfinished file goes, an older file of that name stays,
    // the document is untouched, and the window says what happened.
    void aCancelledPdfExportLeavesNothingBehind() {
        Harness h;
        TMainForm& w = h.start(kSample);
        DialogScript script;
        setPdfResolution(w, script, 600);
        const QString target = h.file("alt.pdf");
        QVERIFY(writeFile(target, "older"));
        h.prompts.fileNames = {target};
        bool cancelled = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            QProgressDialog* progress = BackgroundWork::current();
            if (!cancelled && progress && progress->value() >= 1) {
                cancelled = true;
                // As the user does: the dialog's "Abbrechen".
                for (QPushButton* b : progress->findChildren<QPushButton*>())
                    if (b->text() == QLatin1String("Abbrechen"))
                        b->click();
            }
        });
        poll.start(5);
        trigger(w, "AlsPDFDateiexportieren1");
        QVERIFY(cancelled);
        QCOMPARE(readFile(target), QByteArray("older"));
        QCOMPARE(QDir(h.dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("alt.pdf")});
        QVERIFY(!w.session().edit().isChanged());
        QCOMPARE(h.prompts.messages, QStringList{QStringLiteral(": ") + CancelledExportText(false, target)});
    }

    // A file that cannot be written: message 49 with its name, and no word of success.
    void aFailedExportSaysSoAndNothingElse() {
        Harness h;
        TMainForm& w = h.start(kSample);
        DialogScript script;
        setPdfResolution(w, script, 20);
        const QString target = h.file("fehlt/katalog.pdf");
        h.prompts.fileNames = {target};
        trigger(w, "AlsPDFDateiexportieren1");
        QCOMPARE(h.prompts.messages.size(), 1);
        QVERIFY2(h.prompts.messages[0].startsWith(QLatin1String(": Konnte Datei nicht erstellen")),
                 qPrintable(h.prompts.messages[0]));
        QVERIFY(h.prompts.messages[0].contains(target));
        QVERIFY(w.statusBar()->currentMessage().isEmpty());
    }

    // "Seiten als Bilder exportieren..." at 72 DPI for pages 2 to 3: two files of the
    // printer page's size at that resolution, numbered by page.
    void pageImagesOfARange() {
        Harness h;
        TMainForm& w = h.start(kSample);
        DialogScript script;
        script.then("TBitmapResolution", [](QDialog& d) {
            field<QPushButton>(d, "dpi72Button")->click();
            field<QRadioButton>(d, "RadioButton2")->setChecked(true);
            field<QSpinBox>(d, "frompageed")->setValue(2);
            field<QSpinBox>(d, "topageed")->setValue(3);
            d.accept();
        });
        h.prompts.fileNames = {h.file("bild.jpg")};
        trigger(w, "SeitenalsBilderexportieren1");
        QCOMPARE(QDir(h.dir.path()).entryList({QStringLiteral("*.jpg")}, QDir::Files),
                 (QStringList{QStringLiteral("bild2.jpg"), QStringLiteral("bild3.jpg")}));
        QCOMPARE(QImage(h.file("bild2.jpg")).size(), QSize(595, 841));
    }

    // The flip catalogue: the folder, the resolution, catalog.htm and the page pictures
    // written, and catalog.htm handed to the desktop to open. An empty folder is message 38.
    void theFlipCatalogueIsWrittenAndOpened() {
        Harness h;
        TMainForm& w = h.start(kSample);
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
        DialogScript script;
        const QString folder = h.file("blaettern");
        script.then("TSelectFolderForm", [&](QDialog& d) {
            field<QLineEdit>(d, "DirectoryEdit1")->setText(folder);
            d.accept();
        });
        script.then("TBitmapResolution", [](QDialog& d) {
            QVERIFY(!field<QRadioButton>(d, "RadioButton2")->isEnabled());
            QCOMPARE(field<QDoubleSpinBox>(d, "ResEd")->value(), 50.0);
            field<QDoubleSpinBox>(d, "ResEd")->setValue(20);
            QCOMPARE(field<QSpinBox>(d, "ZoomResEd")->value(), 150);
            field<QSpinBox>(d, "ZoomResEd")->setValue(40);
            d.accept();
        });
        trigger(w, "AlsHTMLBltterkatalog1");
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QVERIFY(QFileInfo::exists(folder + QStringLiteral("/catalog.htm")));
        QVERIFY(QFileInfo::exists(folder + QStringLiteral("/catalogpageflip11.jpg")));
        // The sharp pages at the dialog's resolution: twice that of the base pictures.
        QCOMPARE(QImage(folder + QStringLiteral("/catalogextras/zoom11.jpg")).width(),
                 2 * QImage(folder + QStringLiteral("/catalogpage11.jpg")).width());
        QCOMPARE(catcher.opened, QList<QUrl>{QUrl::fromLocalFile(folder + QStringLiteral("/catalog.htm"))});

        script.then("TSelectFolderForm", [](QDialog& d) { d.accept(); });
        trigger(w, "AlsHTMLBltterkatalog1");
        QCOMPARE(h.prompts.messages,
                 QStringList{QStringLiteral(": Sie müssen ein Ausgabeverzeichnis auswählen")});
    }

    // "Preisliste erzeugen...": the title, then each product's name and its rows.
    void thePriceListShowsEveryProduct() {
        Harness h;
        TMainForm& w = h.start(kSample);
        DialogScript script;
        QString shown;
        script.then("TPreisListeForm", [&](QDialog& d) {
            shown = field<QTextEdit>(d, "RichEdit1")->toPlainText();
            d.accept();
        });
        trigger(w, "Preislisteerzeugen1");
        const QStringList lines = shown.split(QLatin1Char('\n'));
        QCOMPARE(lines.value(0), QStringLiteral("Preisliste"));
        QCOMPARE(lines.value(2), QStringLiteral("Schlosserhammer mit Eschenstiel"));
        QVERIFY2(lines.value(4).startsWith(QLatin1String("200 g ")), qPrintable(lines.value(4)));
    }

    // Without a printer, "Einzelne Seite drucken..." offers a PDF file; page 3 comes out
    // alone, and it is page 3: closer to the command line's page 3 than to its page 2.
    void printingOnePageWithoutAPrinter() {
        Harness h;
        TMainForm& w = h.start(kSample);
        DialogScript script;
        script.then("TPrintOnePageForm", [](QDialog& d) {
            field<QSpinBox>(d, "PageEd")->setValue(3);
            d.accept();
        });
        h.prompts.answers = {Prompts::Answer::Yes};
        h.prompts.fileNames = {h.file("seite3.pdf")};
        trigger(w, "EinzelneSeitedrucken1");
        QCOMPARE(pdfPages(h.file("seite3.pdf")), 1);
        const QImage printed = pdfPage(h.file("seite3.pdf"), 1, 30, h.file("gedruckt"));
        QVERIFY(!printed.isNull());
        QImage pages[2];
        for (int page : {2, 3}) {
            const QString png = h.file(qPrintable(QStringLiteral("cli%1.png").arg(page)));
            QCOMPARE(QProcess::execute(QStringLiteral(PW_CLI_PATH),
                                       {QStringLiteral("render"), kSample, QStringLiteral("--page"),
                                        QString::number(page), QStringLiteral("-o"), png,
                                        QStringLiteral("--dpi"), QStringLiteral("30")}),
                     0);
            pages[page - 2] = QImage(png);
        }
        const double toPage3 = meanDifference(printed, pages[1]);
        const double toPage2 = meanDifference(printed, pages[0]);
        QVERIFY2(toPage3 < toPage2 / 2, qPrintable(QStringLiteral("%1 %2").arg(toPage3).arg(toPage2)));
        // "Drucken" then prints all eleven pages into the next file.
        h.prompts.answers = {Prompts::Answer::Yes};
        h.prompts.fileNames = {h.file("alle.pdf")};
        trigger(w, "Drucken1");
        QCOMPARE(pdfPages(h.file("alle.pdf")), 11);
    }

    // "Druckvorschau..." shows every page; "Drucker einrichten" without a printer says
    // that the pages are laid out on A4.
    void printPreviewAndSetUp() {
        Harness h;
        TMainForm& w = h.start(kSample);
        DialogScript script;
        int pages = 0;
        script.then("printPreviewDialog", [&](QDialog& d) {
            auto* preview = d.findChild<QPrintPreviewWidget*>();
            QVERIFY(preview);
            pages = preview->pageCount();
            d.reject();
        });
        trigger(w, "Druckvorschau1");
        QCOMPARE(pages, 11);
        trigger(w, "Druckereinrichten1");
        QCOMPARE(h.prompts.messages,
                 QStringList{QStringLiteral("Drucker einrichten: Es ist kein Drucker "
                                            "eingerichtet. Die Seiten werden im Format A4 "
                                            "gesetzt.")});
        QVERIFY(!w.session().edit().isChanged());
    }

    // CSV: the export writes the core's bytes; the import adds the products as one step
    // that undo takes back; a file that cannot be read changes nothing and says why.
    void csvExportAndImport() {
        Harness h;
        TMainForm& w = h.start(kSample);
        h.prompts.answers = {Prompts::Answer::Yes}; // every category, with its name first
        h.prompts.fileNames = {h.file("alle.csv")};
        trigger(w, "ExportalsCSVDatei1");
        QCOMPARE(readFile(h.file("alle.csv")), CSVExportImage(w.session().doc(), kAllCategories));

        const int before = w.session().doc().productCount();
        w.productsTab().selectCategory(2);
        QVERIFY(writeFile(h.file("neu.csv"), kCsvRecord.toUtf8()));
        h.prompts.fileNames = {h.file("neu.csv")};
        trigger(w, "ArtikelausCSVDateiimportieren1");
        QCOMPARE(w.session().doc().productCount(), before + 1);
        QCOMPARE(w.session().doc().products(2)[w.session().doc().products(2).count() - 1].name,
                 QStringLiteral("Tisch"));
        QVERIFY(w.session().edit().undo());
        QCOMPARE(w.session().doc().productCount(), before);

        h.prompts.fileNames = {h.file("gibtsnicht.csv")};
        trigger(w, "ArtikelausCSVDateiimportieren1");
        QCOMPARE(w.session().doc().productCount(), before);
        QVERIFY(h.prompts.messages.last().contains(QLatin1String("gibtsnicht.csv")));
        QVERIFY(!w.session().edit().history.canUndo());

        w.productsTab().selectCategory(-1);
        h.prompts.messages.clear();
        trigger(w, "ArtikelausCSVDateiimportieren1");
        QCOMPARE(h.prompts.messages, QStringList{QStringLiteral(
                                         "Importieren: Bitte wählen Sie zunächst eine Kategorie, in welche "
                                         "die Produkte importiert werden sollen")});
    }

    // "Alle Preise ändern..." by 10 %: the price cells of the second imported row go up,
    // 80,00 to 88,00, as one undo step; the first row holds the captions and stays.
    void pricesUpByTenPercent() {
        Harness h;
        TMainForm& w = h.start();
        newCategory(w.session().edit());
        w.productsTab().selectCategory(0);
        QVERIFY(writeFile(h.file("neu.csv"), kCsvRecord.toUtf8()));
        h.prompts.fileNames = {h.file("neu.csv")};
        trigger(w, "ArtikelausCSVDateiimportieren1");
        QCOMPARE(w.session().doc().productCount(), 1);
        const int steps = w.session().edit().history.count();
        DialogScript script;
        script.then("TPreiseForm", [](QDialog& d) {
            field<QDoubleSpinBox>(d, "ProzentEd")->setValue(10);
            d.accept();
        });
        trigger(w, "AllePreisendern1");
        const auto cells = [&](int row) {
            return cellTexts(w.session().doc().products(0)[0].varianten).value(row);
        };
        QCOMPARE(cells(0).last(), QStringLiteral("170,00"));
        // A new product has as many price columns as "Voreinstellungen" sets: three.
        QCOMPARE(cells(1), (QStringList{"T-02", "Tisch klein", "108,90", "99,00", "88,00"}));
        QCOMPARE(w.session().edit().history.count(), steps + 1);
        QVERIFY(w.session().edit().undo());
        QCOMPARE(cells(1).last(), QStringLiteral("80,00"));
    }

    // "Artikel suchen...": a match is chosen in "Gefundene Artikel" and selected in the
    // product list; a search without match says so; the check box is kept for the user.
    void searchingSelectsTheProductFound() {
        Harness h;
        TMainForm& w = h.start(kSample);
        DialogScript script;
        script.then("TSuchenForm", [](QDialog& d) {
            field<QLineEdit>(d, "Edit1")->setText(QStringLiteral("kanne"));
            field<QCheckBox>(d, "CheckBox1")->setChecked(true);
            d.accept();
        });
        int rows = 0;
        script.then("TFoundForm", [&](QDialog& d) {
            rows = field<QTreeWidget>(d, "ListView1")->topLevelItemCount();
            d.accept();
        });
        trigger(w, "Artikelsuchen1");
        QCOMPARE(rows, 1);
        QCOMPARE(w.productsTab().category(), 3);
        QCOMPARE(w.productsTab().product(), 0);
        QVERIFY(w.programOptions().searchInDescriptions);

        script.then("TSuchenForm", [](QDialog& d) {
            field<QLineEdit>(d, "Edit1")->setText(QStringLiteral("Zeppelin"));
            d.accept();
        });
        trigger(w, "Artikelsuchen1");
        QCOMPARE(h.prompts.messages,
                 QStringList{QStringLiteral("Nichts gefunden: Es wurde kein passender Artikel gefunden.")});
    }

    // The bulk commands without a dialog of their own: sorting names (message 22) and
    // duplicating; search and replace through its dialog. Each is one undo step.
    void bulkCommandsAreOneStepEach() {
        Harness h;
        TMainForm& w = h.start(kSample);
        EditContext& edit = w.session().edit();
        h.prompts.answers = {Prompts::Answer::Yes};
        trigger(w, "Produktnamensortieren1");
        QCOMPARE(h.prompts.questions.last(),
                 QStringLiteral("Sortieren: Wollen Sie alle Produkte alphabetisch sortieren?"));
        QCOMPARE(w.session().doc().products(2)[0].name, QStringLiteral("Akku-Bohrschrauber BS 18 Kompakt"));
        QCOMPARE(edit.history.count(), 1);

        w.productsTab().selectCategory(2);
        w.productsTab().selectProducts({0});
        trigger(w, "Produktduplizieren1");
        QCOMPARE(w.session().doc().products(2).count(), 6);
        QCOMPARE(w.productsTab().product(), 5);
        QCOMPARE(edit.history.count(), 2);

        DialogScript script;
        script.then("TSuchenundErsetzenForm", [](QDialog& d) {
            field<QLineEdit>(d, "SuchenEd")->setText(QStringLiteral("WZ-"));
            field<QLineEdit>(d, "ErsetzenEd")->setText(QStringLiteral("XY-"));
            d.accept();
        });
        trigger(w, "SuchenundErsetzen1");
        // The hammer is third after the sort.
        QCOMPARE(cellTexts(w.session().doc().products(2)[2].varianten).value(1).value(1),
                 QStringLiteral("XY-1041-02"));
        QCOMPARE(edit.history.count(), 3);
        QVERIFY(edit.undo());
        QCOMPARE(cellTexts(w.session().doc().products(2)[2].varianten).value(1).value(1),
                 QStringLiteral("WZ-1041-02"));
    }

    // "Bilddateien alle in ein Verzeichnis kopieren...": the pictures are copied, the
    // references follow, message 47 ends it; a picture that cannot be copied is listed in
    // one message.
    void copyingPictureFilesIntoAFolder() {
        Harness h;
        TMainForm& w = h.start(kSample);
        w.productsTab().selectCategory(2);
        w.productsTab().selectProducts({0});
        // One missing picture among the sample's.
        TProdukt& hammer = w.session().doc().products(2)[0];
        hammer.bilder[1].datei = h.file("fehlt.jpg");
        const QString folder = h.file("bilder");
        DialogScript script;
        script.then("TBilddateienForm", [&](QDialog& d) {
            field<QLineEdit>(d, "DirectoryEdit1")->setText(folder);
            d.accept();
        });
        trigger(w, "Bilddateienkopieren1");
        QCOMPARE(w.session().doc().products(2)[0].bilder[0].datei, folder + QStringLiteral("/hammer_1.jpg"));
        QVERIFY(QFileInfo::exists(folder + QStringLiteral("/hammer_1.jpg")));
        QCOMPARE(h.prompts.messages.size(), 2);
        QVERIFY(h.prompts.messages[0].contains(QLatin1String("Fehler beim Kopieren der Datei:")));
        QVERIFY(h.prompts.messages[0].contains(QLatin1String("fehlt.jpg")));
        QVERIFY(h.prompts.messages[1].startsWith(QLatin1String("Bilddateien kopieren: Alle Bilder")));
    }
};

PW_TEST_CLASS(TestCommands)
#include "tst_commands.moc"
