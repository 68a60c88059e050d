#include "testmain.h"

#include "app/qtservices.h"
#include "i18n/translateunit.h"

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
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
};

PW_TEST_CLASS(TestQtServices)
#include "tst_qtservices.moc"
