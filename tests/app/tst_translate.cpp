#include "testmain.h"
#include "windowharness.h"

#include "app/translate/translatecomponents.h"
#include "app/translate/translateeditor.h"
#include "i18n/translateunit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace pw;
using namespace windowtest;

namespace {

// A store that knows a few texts in English (slot 1), in English.
void englishStore(TranslationStore& store, const QList<std::pair<const char*, const char*>>& rows) {
    for (const auto& [de, en] : rows) {
        TranslationStore::Row row;
        row[0] = QString::fromUtf8(de);
        row[1] = QString::fromUtf8(en);
        store.appendRow(row);
    }
    store.rebuildIndex();
    store.setLanguage(1);
    store.setCollectNewTexts(false);
}

} // namespace

class TestTranslate : public QObject {
    Q_OBJECT
private slots:
    // Every kind of control of the table: its caption, tooltip, items or column titles in
    // the store's language; data cells, typed text and unknown texts stay.
    void everyKindOfControlIsTranslated() {
        TranslationStore store;
        englishStore(store, {{"Speichern", "Save"},
                             {"Datei speichern", "Save the file"},
                             {"Eins", "One"},
                             {"Zwei", "Two"},
                             {"Name", "Name EN"},
                             {"Preis", "Price"},
                             {"Aktiv", "Active"},
                             {"Datei", "File"},
                             {"Bezeichnung", "Description"},
                             {"Öffnen...", "Open..."},
                             {"Fenster", "Window"}});
        QWidget root;
        root.setWindowTitle(QStringLiteral("Fenster"));
        auto* button = new QPushButton(QStringLiteral("Speichern"), &root);
        button->setToolTip(QStringLiteral("Datei speichern"));
        auto* combo = new QComboBox(&root);
        combo->addItems({QStringLiteral("Eins"), QStringLiteral("Zwei"), QStringLiteral("Unbekannt")});
        combo->setCurrentIndex(1);
        auto* table = new QTableWidget(2, 2, &root);
        table->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Preis")});
        table->setItem(0, 0, new QTableWidgetItem(QStringLiteral("Name")));
        auto* check = new QCheckBox(QStringLiteral("Aktiv"), &root);
        auto* label = new QLabel(QStringLiteral("&Datei"), &root);
        auto* tree = new QTreeWidget(&root);
        tree->setHeaderLabels({QStringLiteral("Bezeichnung"), QStringLiteral("Preis")});
        auto* typed = new QLineEdit(QStringLiteral("Speichern"), &root);
        auto* menu = new QMenu(QStringLiteral("Datei"), &root);
        QAction* open = menu->addAction(QStringLiteral("Öffnen..."));

        translateComponents(&root, store);
        QCOMPARE(root.windowTitle(), QStringLiteral("Window"));
        QCOMPARE(button->text(), QStringLiteral("Save"));
        QCOMPARE(button->toolTip(), QStringLiteral("Save the file"));
        QCOMPARE(combo->itemText(0), QStringLiteral("One"));
        QCOMPARE(combo->itemText(2), QStringLiteral("Unbekannt"));
        QCOMPARE(combo->currentIndex(), 1);
        QCOMPARE(table->horizontalHeaderItem(1)->text(), QStringLiteral("Price"));
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("Name")); // data, not a title
        QCOMPARE(check->text(), QStringLiteral("Active"));
        QCOMPARE(label->text(), QStringLiteral("&File"));
        QCOMPARE(tree->headerItem()->text(0), QStringLiteral("Description"));
        QCOMPARE(typed->text(), QStringLiteral("Speichern"));
        QCOMPARE(menu->title(), QStringLiteral("File"));
        QCOMPARE(open->text(), QStringLiteral("Open..."));
    }

    // The editor: a typed translation is in the file at once; deleting store row 5 of 10
    // leaves 9 rows in the grid and the file, and the later rows keep their translations;
    // Escape and Delete ask first; the search stops at each match until told to end.
    void theTranslationEditorEditsTheStore() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("translate.dat"));
        {
            TranslationStore rows;
            for (int i = 1; i <= 10; ++i) {
                TranslationStore::Row row;
                row[0] = QStringLiteral("Text %1").arg(i);
                row[1] = QStringLiteral("Text EN %1").arg(i);
                rows.appendRow(row);
            }
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(rows.fileImage());
        }
        TranslationStore store;
        store.LoadTranslations(file, file);
        store.setCollectNewTexts(false); // the questions' texts would become rows of their own
        ScriptedPrompts prompts;
        TranslateEditor editor(store, prompts);
        QTableWidget* grid = editor.grid();
        QCOMPARE(grid->rowCount(), 10);
        QCOMPARE(grid->horizontalHeaderItem(3)->text(), QStringLiteral("Nederlands"));
        QCOMPARE(grid->horizontalHeaderItem(19)->text(), QStringLiteral("language19"));

        grid->item(0, 2)->setText(QStringLiteral("Texte 1"));
        TranslationStore reread;
        reread.LoadTranslations(file, QString());
        QCOMPARE(reread.row(0)[2], QStringLiteral("Texte 1"));

        grid->setCurrentCell(4, 1);
        prompts.answers = {Prompts::Answer::Yes};
        editor.deleteCurrentRow();
        QCOMPARE(prompts.questions.last(), QStringLiteral("Wollen Sie diese Zeile löschen?: Text 5"));
        QCOMPARE(grid->rowCount(), 9);
        reread.LoadTranslations(file, QString());
        QCOMPARE(reread.rowCount(), 9);
        store.setLanguage(1);
        for (int i : {6, 10})
            QCOMPARE(store.TranslateText(QStringLiteral("Text %1").arg(i)),
                     QStringLiteral("Text EN %1").arg(i));
        QCOMPARE(grid->currentRow(), 4);

        // Escape and Delete ask, No keeps the row.
        editor.show();
        grid->setFocus();
        for (int key : {int(Qt::Key_Escape), int(Qt::Key_Delete)}) {
            prompts.questions.clear();
            QTest::keyClick(grid, Qt::Key(key));
            QCOMPARE(prompts.questions,
                     QStringList{QStringLiteral("Wollen Sie diese Zeile löschen?: Text 6")});
            QCOMPARE(grid->rowCount(), 9);
        }

        // "text 1" is found in "Text 1" and then "Text 10" (the German column; "Text EN 1"
        // does not hold it): Yes goes on to the second, No ends there.
        prompts.questions.clear();
        prompts.answers = {Prompts::Answer::Yes, Prompts::Answer::No};
        editor.searchField()->setText(QStringLiteral("text 1"));
        editor.search();
        QCOMPARE(prompts.questions.size(), 2);
        QCOMPARE(prompts.questions[0], QStringLiteral("Suchen: Nochmal suchen?"));
        QCOMPARE(grid->currentRow(), 8);
        QCOMPARE(grid->currentColumn(), 0);
    }
};

PW_TEST_CLASS(TestTranslate)
#include "tst_translate.moc"
