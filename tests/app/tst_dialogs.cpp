#include "testmain.h"

#include "app/dialogs/aboutdialog.h"
#include "app/dialogs/pdfresolutiondialog.h"

#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>

using namespace pw;

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    // What the user types is what the export gets, within 10..4000 dpi.
    void pdfResolutionTakesTypedValuesInItsRange_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("value");
        QTest::newRow("a usual value") << "600" << 600.0;
        QTest::newRow("above the range") << "9000" << 900.0; // the last digit is refused while typing
        QTest::newRow("the least") << "10" << 10.0;
        QTest::newRow("the most") << "4000" << 4000.0;
    }
    void pdfResolutionTakesTypedValuesInItsRange() {
        QFETCH(QString, typed);
        QFETCH(double, value);
        PdfResolutionDialog dialog(300);
        auto* box = dialog.findChild<QDoubleSpinBox*>(QStringLiteral("DPIEd"));
        QVERIFY(box);
        QCOMPARE(dialog.value(), 300.0);
        auto* edit = box->findChild<QLineEdit*>();
        edit->selectAll();
        QTest::keyClicks(edit, typed);
        box->interpretText();
        QCOMPARE(dialog.value(), value);
        QCOMPARE(qobject_cast<QLabel*>(dialog.findChildren<QLabel*>().first())->buddy(), box);
    }

    void theAboutBoxNamesTheVersionAndTheLibraries() {
        AboutDialog box;
        QStringList shown;
        for (QLabel* l : box.findChildren<QLabel*>())
            shown << l->text();
        QVERIFY(shown.contains(QStringLiteral("Pagewright")));
        QVERIFY(shown.contains(QStringLiteral("Version 1.0")));
        QVERIFY(shown.contains(QStringLiteral("Qt ") + QString::fromLatin1(qVersion())));
        QVERIFY(!shown.filter(QStringLiteral("libdeflate ")).isEmpty());
    }
};

PW_TEST_CLASS(TestDialogs)
#include "tst_dialogs.moc"
