#include "testmain.h"

#include "app/qtservices.h"
#include "i18n/translateunit.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

using namespace pw;

namespace {

// Clicks a button of the message box that is open once the event loop turns, after
// ticking its check box when asked to.
void answerNextBox(QMessageBox::StandardButton button, bool tick = false) {
    QTimer::singleShot(0, [button, tick] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        if (tick && box->checkBox())
            box->checkBox()->setChecked(true);
        box->button(button)->click();
    });
}

} // namespace

class TestQtServices : public QObject {
    Q_OBJECT
private slots:
    // The window icon is built into the program; a wrong resource name would leave every
    // window without it, silently.
    void applicationIconIsBuiltIn() {
        const QIcon icon = applicationIcon();
        QVERIFY(!icon.isNull());
        const QImage image = icon.pixmap(QSize(256, 256)).toImage();
        QCOMPARE(image.size(), QSize(256, 256));
        QVERIFY(image.hasAlphaChannel());
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);       // a transparent corner
        QCOMPARE(qAlpha(image.pixel(128, 128)), 255); // the page in the middle
    }

    void filtersTakeQtsForm_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("qt");
        QTest::newRow("one pattern") << "Produkt Kataloge (*.pk2)|*.pk2"
                                     << "Produkt Kataloge (*.pk2)";
        QTest::newRow("patterns split by semicolons") << "Produkt Kataloge (*.pk2;*.pkd)|*.pk2;*.pkd"
                                                      << "Produkt Kataloge (*.pk2 *.pkd)";
        QTest::newRow("several pairs") << "CSV Dateien (*.csv)|*.csv|Alle Dateien (*.*)|*.*"
                                       << "CSV Dateien (*.csv);;Alle Dateien (*.*)";
        QTest::newRow("description without patterns of its own") << "Vorlagen|*.vor"
                                                                 << "Vorlagen (*.vor)";
        QTest::newRow("nothing") << ""
                                 << "";
    }
    void filtersTakeQtsForm() {
        QFETCH(QString, program);
        QFETCH(QString, qt);
        QCOMPARE(qtFileFilter(program), qt);
    }

    // The answer is the button the user clicked, and the check box under the sample
    // question reports whether it was ticked.
    void questionsReturnTheClickedAnswer() {
        TranslationStore texts;
        QtPrompts prompts(texts);
        answerNextBox(QMessageBox::Cancel);
        QCOMPARE(prompts.ask(QStringLiteral("Speichern?"), QStringLiteral("Speichern"),
                             Prompts::Buttons::YesNoCancel),
                 Prompts::Answer::Cancel);
        bool dontAskAgain = false;
        answerNextBox(QMessageBox::Yes, true);
        QCOMPARE(prompts.askOnce(QStringLiteral("Öffnen?"), QStringLiteral("Testdatei"),
                                 Prompts::Buttons::YesNo, dontAskAgain),
                 Prompts::Answer::Yes);
        QVERIFY(dontAskAgain);
        answerNextBox(QMessageBox::No);
        QCOMPARE(prompts.askOnce(QStringLiteral("Öffnen?"), QStringLiteral("Testdatei"),
                                 Prompts::Buttons::YesNo, dontAskAgain),
                 Prompts::Answer::No);
        QVERIFY(!dontAskAgain);
    }

    // Cancel in the progress dialog reaches the work at its next report.
    void progressStopsAfterCancel() {
        QWidget window;
        QtProgress progress(&window, QStringLiteral("Exportieren"), QStringLiteral("Abbrechen"));
        QVERIFY(progress.report(0, 10));
        QVERIFY(progress.report(3, 10));
        QCOMPARE(progress.dialog().maximum(), 10);
        progress.dialog().cancel();
        QVERIFY(!progress.report(4, 10));
    }

    // Without an installed printer the pages are A4 at 600 dpi, and a job of two pages
    // arrives whole (here as the PDF file Qt writes instead).
    void printerJobsHaveTheirPages() {
        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("a printer is installed: its own page size applies");
        QTemporaryDir dir;
        QPrinter printer;
        printer.setOutputFileName(dir.filePath(QStringLiteral("druck.pdf")));
        QtPrinterPage page(printer);
        QCOMPARE(page.pageSizePixels(), QSize(4960, 7016));
        QCOMPARE(page.dpiX(), 600);
        QVERIFY(page.beginJob(QStringLiteral("Katalog")));
        page.canvas().TextOut(100, 100, QStringLiteral("Seite 1"));
        QVERIFY(page.newPage());
        page.canvas().TextOut(100, 100, QStringLiteral("Seite 2"));
        QVERIFY(page.endJob());
        QFile pdf(dir.filePath(QStringLiteral("druck.pdf")));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(pdf.readAll().count("/Type /Page\n"), 2);
    }
};

PW_TEST_CLASS(TestQtServices)
#include "tst_qtservices.moc"
