#include "testmain.h"
#include "windowharness.h"

#include "app/catalogcommands.h"
#include "app/dialogs/findingsdialog.h"
#include "app/products/productstab.h"
#include "model/catalogfile.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QTabWidget>
#include <QTreeWidget>

using namespace pw;
using namespace windowtest;

namespace {

// Two categories: "Werkzeug" with the hammer (priced) and the file (no price: an error),
// and the empty "Reste" (a note); the footer has a mistyped placeholder (an error).
QString writeFaultyCatalogue(const Harness& h) {
    CatalogDocument doc;
    doc.settings.LogoChecked = false; // the default names a logo that is not there
    doc.settings.FussEd = QStringLiteral("Seite %PAEG%");
    const int kat = doc.addCategory(QStringLiteral("Werkzeug"));
    for (const char* name : {"Hammer", "Feile"}) {
        TProdukt& p = *doc.products(kat).Add();
        SetProductTableDefaults(p);
        p.name = QLatin1String(name);
        p.anzpreis = 1;
        const QStringList rows[] = {
            {QStringLiteral("Art.-Nr."), QStringLiteral("Preis")},
            {QLatin1String(name), p.name == QLatin1String("Hammer") ? QStringLiteral("8,95 €") : QString()}};
        for (const QStringList& cells : rows) {
            TVariante& v = *p.varianten.Add();
            for (const QString& text : cells)
                v.props.Add()->text = text;
        }
    }
    doc.addCategory(QStringLiteral("Reste"));
    const QString file = h.file("fehler.pk2");
    SaveTheFile(doc, file);
    return file;
}

QTreeWidgetItem* findingRow(FindingsDialog& d, FindingKind kind) {
    QTreeWidget* list = d.list();
    for (int g = 0; g < list->topLevelItemCount(); ++g)
        for (int r = 0; r < list->topLevelItem(g)->childCount(); ++r)
            if (const Finding* f = d.finding(list->topLevelItem(g)->child(r)); f && f->kind == kind)
                return list->topLevelItem(g)->child(r);
    return nullptr;
}

void doubleClick(QTreeWidget* list, QTreeWidgetItem* item) {
    list->scrollToItem(item);
    const QPoint at = list->visualItemRect(item).center();
    // A double click is a click and a second press: the view acts on the row pressed twice.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

class TestCheckWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { clearUserSettings(); }

    // "Katalog prüfen..." lists the findings under their severity; a double click takes the
    // window to what a finding names, and the document stays as it was.
    void findingsAreGroupedAndLeadToWhatTheyName() {
        Harness h;
        TMainForm& w = h.start(writeFaultyCatalogue(h));
        QVERIFY(w.session().doc().categoryCount() == 2);
        actionNamed(w, "Katalogprfen1")->trigger();
        FindingsDialog* d = w.commands().findingsDialog();
        QVERIFY(d);
        QVERIFY(QTest::qWaitForWindowExposed(d));
        QTreeWidget* list = d->list();
        QCOMPARE(list->topLevelItemCount(), 2); // errors and notes; no warnings
        QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("Fehler (2)"));
        QCOMPARE(list->topLevelItem(1)->text(0), QStringLiteral("Hinweise (1)"));
        QCOMPARE(list->topLevelItem(1)->child(0)->text(1), QStringLiteral("Reste"));

        QTreeWidgetItem* price = findingRow(*d, FindingKind::PriceMissing);
        QVERIFY(price);
        QCOMPARE(price->text(2), QStringLiteral("Feile"));
        doubleClick(list, price);
        QTRY_COMPARE(w.productsTab().category(), 0);
        QTRY_COMPARE(w.productsTab().product(), 1);
        QVERIFY(w.commands().findingsDialog()); // stays open for the next finding

        doubleClick(list, findingRow(*d, FindingKind::CategoryEmpty));
        QTRY_COMPARE(w.productsTab().category(), 1);

        doubleClick(list, findingRow(*d, FindingKind::PlaceholderUnknown));
        auto* footer = w.findChild<QWidget*>(QStringLiteral("FussEd"));
        QVERIFY(footer);
        QTRY_VERIFY(footer->isVisible());
        QVERIFY(!w.session().edit().isChanged());
    }

    // A catalogue without findings says so instead of showing an empty list.
    void theSampleHasNothingToShow() {
        Harness h;
        TMainForm& w = h.start(kSample);
        actionNamed(w, "Katalogprfen1")->trigger();
        QVERIFY(!w.commands().findingsDialog());
        QVERIFY2(h.prompts.messages.size() == 1, qPrintable(h.prompts.messages.join(QLatin1Char('|'))));
        QVERIFY2(h.prompts.messages[0].startsWith(QStringLiteral("Katalog prüfen: Die Prüfung hat nichts")),
                 qPrintable(h.prompts.messages[0]));
    }

    // The PDF export offers the check first when it finds errors: "Fehler anzeigen" shows
    // them and writes nothing, closing the question writes nothing either, and "Trotzdem
    // exportieren" writes the file.
    void pdfExportOffersTheCheckFirst_data() {
        QTest::addColumn<int>("answer"); // a Prompts::Answer
        QTest::addColumn<bool>("written");
        QTest::addColumn<bool>("shown");
        QTest::newRow("Trotzdem exportieren") << int(Prompts::Answer::Yes) << true << false;
        QTest::newRow("Fehler anzeigen") << int(Prompts::Answer::No) << false << true;
        QTest::newRow("closed") << int(Prompts::Answer::Cancel) << false << false;
    }
    void pdfExportOffersTheCheckFirst() {
        QFETCH(int, answer);
        QFETCH(bool, written);
        QFETCH(bool, shown);
        Harness h;
        TMainForm& w = h.start(writeFaultyCatalogue(h));
        QTRY_VERIFY(!h.prompts.questions.isEmpty()); // "Testdatei öffnen?", answered No
        h.prompts.questions.clear();
        h.prompts.answers = {Prompts::Answer(answer)};
        h.prompts.fileNames = {h.file("katalog.pdf")};
        actionNamed(w, "AlsPDFDateiexportieren1")->trigger();
        QVERIFY2(h.prompts.questions.size() == 1, qPrintable(h.prompts.questions.join(QLatin1Char('|'))));
        QVERIFY2(h.prompts.questions[0].startsWith(
                     QStringLiteral("Katalog prüfen: Die Prüfung hat im Katalog 2 Fehler")),
                 qPrintable(h.prompts.questions[0]));
        QTRY_COMPARE(QFileInfo::exists(h.file("katalog.pdf")), written);
        QCOMPARE(w.commands().findingsDialog() != nullptr, shown);
        QCOMPARE(h.prompts.fileNames.empty(), written); // the file is asked for only to be written
    }
};

PW_TEST_CLASS(TestCheckWindow)
#include "tst_check.moc"
