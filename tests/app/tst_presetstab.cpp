#include "testmain.h"

#include "app/products/presetstab.h"
#include "i18n/translateunit.h"
#include "model/services.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>

using namespace pw;

namespace {

class FilePrompts final : public Prompts {
public:
    QString file;
    QStringList messages;
    Answer ask(const QString&, const QString&, Buttons) override { return Answer::Yes; }
    void message(const QString& text, const QString&, Icon) override { messages.append(text); }
    QString openFileName(const QString&) override { return file; }
    QString saveFileName(const QString&, const QString&) override { return file; }
    QString folderName(const QString&) override { return {}; }
};

} // namespace

class TestPresetsTab : public QObject {
    Q_OBJECT
private slots:
    // The template columns through their widgets: a caption edited in place, moved,
    // several deleted, saved to a file and loaded back; each a change of the catalogue.
    void templateColumnsAreEditedThroughTheList() {
        CatalogDocument doc;
        doc.VorlageSpalten = QStringList{"Name", "Art. Nummer", "Preis"};
        EditContext edit(doc);
        TranslationStore texts;
        FilePrompts prompts;
        PresetsTab tab(edit, prompts, texts);
        QListWidget* list = tab.columnList();
        QCOMPARE(list->count(), 3);

        list->item(1)->setText(QStringLiteral("Nr."));
        QCOMPARE(doc.VorlageSpalten, (QStringList{"Name", "Nr.", "Preis"}));
        QVERIFY(edit.isChanged());
        list->setCurrentRow(2);
        tab.findChild<QPushButton*>(QStringLiteral("SpalteNachObenBtn"))->click();
        QCOMPARE(doc.VorlageSpalten, (QStringList{"Name", "Preis", "Nr."}));
        QCOMPARE(list->currentRow(), 1);

        QTemporaryDir dir;
        prompts.file = dir.filePath(QStringLiteral("spalten.vor"));
        tab.findChild<QPushButton*>(QStringLiteral("SaveVorlageBtn"))->click();
        QVERIFY(QFile::exists(prompts.file));

        list->selectAll();
        tab.findChild<QPushButton*>(QStringLiteral("SpalteLoeschenBtn"))->click();
        QVERIFY(doc.VorlageSpalten.isEmpty());
        QCOMPARE(list->count(), 0);

        edit.SetUnChanged();
        tab.findChild<QPushButton*>(QStringLiteral("OpenVorlageBtn"))->click();
        QCOMPARE(doc.VorlageSpalten, (QStringList{"Name", "Preis", "Nr."}));
        QCOMPARE(list->count(), 3);
        QVERIFY(edit.isChanged());

        tab.findChild<QSpinBox*>(QStringLiteral("PreDefAnzPreisEd"))->setValue(4);
        QCOMPARE(doc.settings.PreDefAnzPreisEd, 4);
        QVERIFY(prompts.messages.isEmpty());
    }

    // The table defaults are the document's settings: a check box and a width change them
    // as undoable steps, and undo shows the old values in the controls again. A foreign
    // value outside the range is shown clamped without being written back.
    void tableDefaultsAreTheDocumentsSettings() {
        CatalogDocument doc;
        doc.settings.MaxCellWidthEd = 5000;
        EditContext edit(doc);
        TranslationStore texts;
        FilePrompts prompts;
        PresetsTab tab(edit, prompts, texts);
        auto* maxWidth = tab.findChild<QDoubleSpinBox*>(QStringLiteral("MaxCellWidthEd"));
        QCOMPARE(maxWidth->value(), 1000.0);
        QCOMPARE(doc.settings.MaxCellWidthEd, 5000.0);
        QVERIFY(!edit.isChanged());

        auto* fixed = tab.findChild<QCheckBox*>(QStringLiteral("DefineFixedWidthCheck"));
        QCOMPARE(fixed->text(), QStringLiteral("Feste Breite für die Tabellenzellen definieren:"));
        fixed->click();
        QVERIFY(doc.settings.DefineFixedWidthCheck);
        auto* sixth = tab.findChild<QDoubleSpinBox*>(QStringLiteral("RxSpinEdit7"));
        QString sixthCaption; // RxSpinEdit7 is the sixth column (RxSpinEdit6 is the row height)
        for (QLabel* l : tab.findChildren<QLabel*>())
            if (l->buddy() == sixth)
                sixthCaption = l->text();
        QCOMPARE(sixthCaption, QStringLiteral("6. Spalte:"));
        sixth->setValue(42.5);
        QCOMPARE(doc.settings.RxSpinEdit7, 42.5);
        QVERIFY(edit.isChanged());

        QVERIFY(edit.undo());
        QCOMPARE(sixth->value(), 35.0);
        QVERIFY(edit.undo());
        QVERIFY(!fixed->isChecked());
        QVERIFY(!doc.settings.DefineFixedWidthCheck);
    }
};

PW_TEST_CLASS(TestPresetsTab)
#include "tst_presetstab.moc"
