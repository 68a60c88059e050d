#include "testmain.h"

#include "app/products/productstab.h"
#include "fixtures.h"
#include "i18n/translateunit.h"
#include "model/editcommands.h"
#include "model/services.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <deque>

using namespace pw;

namespace {

class QuietPrompts final : public Prompts {
public:
    QStringList messages;
    std::deque<QStringList> files;
    Answer ask(const QString&, const QString&, Buttons) override { return Answer::Yes; }
    void message(const QString& text, const QString&, Icon) override { messages.append(text); }
    QString openFileName(const QString&) override { return {}; }
    QStringList openFileNames(const QString&) override {
        if (files.empty())
            return {};
        QStringList f = files.front();
        files.pop_front();
        return f;
    }
    QString saveFileName(const QString&, const QString&) override { return {}; }
    QString folderName(const QString&) override { return {}; }
};

// Two categories: "Werkzeug" with products A, B, C, D, "Garten" with X; every product
// with the header "Name", "Preis".
struct Tab {
    CatalogDocument doc;
    EditContext edit{doc};
    TranslationStore texts;
    QuietPrompts prompts;
    std::unique_ptr<ProductsTab> tab;

    Tab() {
        for (const auto& [category, products] : std::initializer_list<std::pair<const char*, QStringList>>{
                 {"Werkzeug", {"A", "B", "C", "D"}}, {"Garten", {"X"}}}) {
            const int k = doc.addCategory(QString::fromLatin1(category));
            for (const QString& name : products) {
                TProdukt& p = *doc.products(k).Add();
                SetProductTableDefaults(p);
                p.name = name;
                p.anzpreis = 1;
                TVariante* header = p.varianten.Add();
                header->props.Add()->text = QStringLiteral("Name");
                header->props.Add()->text = QStringLiteral("Preis");
            }
        }
        tab = std::make_unique<ProductsTab>(edit, prompts, texts, QStringLiteral("/programm"));
        tab->resize(1100, 800);
        tab->show();
        edit.notify({DocumentChange::everything()});
    }
    QStringList names(int kat) const {
        QStringList n;
        for (const TProdukt& p : doc.products(kat))
            n << p.name;
        return n;
    }
    QPushButton* button(const char* name) const { return tab->findChild<QPushButton*>(QLatin1String(name)); }
};

} // namespace

class TestProductsTab : public QObject {
    Q_OBJECT
private slots:
    // Looking at a catalogue never asks to save it.
    void selectingNeverMarksTheDocumentChanged() {
        Tab t;
        t.tab->selectCategory(1);
        t.tab->selectCategory(0);
        t.tab->selectProducts({2});
        t.tab->selectProducts({0, 3});
        QCOMPARE(t.tab->nameEditor()->toPlainText(), QStringLiteral("A"));
        QVERIFY(!t.edit.isChanged());
        QVERIFY(!t.edit.history.canUndo());
    }

    void deletingThreeSelectedProductsRemovesExactlyThose() {
        Tab t;
        t.tab->selectCategory(0);
        t.tab->selectProducts({0, 2, 3});
        t.button("ProduktLoeschenBtn")->click();
        QCOMPARE(t.names(0), QStringList{"B"});
        QCOMPARE(t.tab->productView()->model()->rowCount(), 1);
    }

    // Typing a name shows in the list as it is typed and is one undo step.
    void typingANameUpdatesItsRowAndIsOneStep() {
        Tab t;
        t.tab->selectCategory(0);
        t.tab->selectProducts({1});
        QPlainTextEdit* name = t.tab->nameEditor();
        name->setFocus();
        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("Hobel"));
        QCOMPARE(t.doc.products(0)[1].name, QStringLiteral("Hobel"));
        QCOMPARE(t.tab->productView()->model()->index(1, 0).data().toString(), QStringLiteral("Hobel"));
        QCOMPARE(t.edit.history.count(), 1);
        QVERIFY(t.edit.undo());
        QCOMPARE(t.doc.products(0)[1].name, QStringLiteral("B"));
        QCOMPARE(name->toPlainText(), QStringLiteral("B"));
    }

    // The letter typed at column 3, row 2 pads the table through the cell routine.
    void aLetterTypedIntoTheGridPadsTheTable() {
        Tab t;
        t.tab->selectCategory(0);
        t.tab->selectProducts({0});
        QTableView* grid = t.tab->gridView();
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(2, 3));
        QTest::keyClicks(grid, QStringLiteral("x"));
        QCOMPARE(test::cellTexts(t.doc.products(0)[0].varianten),
                 (QList<QStringList>{{"Name", "Preis", "", ""}, {"", "", "", ""}, {"", "", "", "x"}}));
    }

    // A range pasted from a spreadsheet lands cell by cell and undo takes it back whole.
    void aPastedRangeIsOneStep() {
        Tab t;
        t.tab->selectCategory(0);
        t.tab->selectProducts({0});
        QTableView* grid = t.tab->gridView();
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(1, 0));
        QApplication::clipboard()->setText(QStringLiteral("M4\t0,10\t5\nM5\t0,12\t6\n"));
        QTest::keySequence(grid, QKeySequence::Paste);
        QCOMPARE(test::cellTexts(t.doc.products(0)[0].varianten),
                 (QList<QStringList>{{"Name", "Preis", ""}, {"M4", "0,10", "5"}, {"M5", "0,12", "6"}}));
        QVERIFY(t.edit.undo());
        QCOMPARE(test::cellTexts(t.doc.products(0)[0].varianten), (QList<QStringList>{{"Name", "Preis"}}));
    }

    // Products 1 and 3 moved to "Garten" arrive there as 3, then 1 (the last selected
    // first), through the dialog "In andere Kategorie verschieben".
    void movingTwoProductsToAnotherCategory() {
        Tab t;
        t.tab->selectCategory(0);
        t.tab->selectProducts({0, 2});
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog)
                dialog->accept();
        });
        t.button("AndereKategorieBtn")->click();
        QCOMPARE(t.names(0), (QStringList{"B", "D"}));
        QCOMPARE(t.names(1), (QStringList{"X", "C", "A"}));
    }

    // Three pictures of which the second is broken: the first and third are added, the
    // message comes once.
    void addingPicturesSkipsTheBrokenOne() {
        Tab t;
        QTemporaryDir dir;
        const QString one = dir.filePath(QStringLiteral("eins.png"));
        const QString broken = dir.filePath(QStringLiteral("kaputt.png"));
        const QString three = dir.filePath(QStringLiteral("drei.png"));
        QImage picture(20, 10, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(one) && picture.save(three));
        QFile f(broken);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("kein Bild");
        f.close();
        t.tab->selectCategory(0);
        t.tab->selectProducts({0});
        t.prompts.files = {{one, broken, three}};
        t.button("NeuesBildBtn")->click();
        const TProdukt& p = t.doc.products(0)[0];
        QCOMPARE(p.bilder.count(), 2);
        QCOMPARE(p.bilder[1].datei, three);
        QCOMPARE(t.prompts.messages.size(), 1);
        QCOMPARE(t.tab->findChild<QListWidget*>()->count(), 2);

        // "Nach oben" twice on the third of three pictures gives the order from before.
        t.prompts.files = {{one}};
        t.button("NeuesBildBtn")->click();
        const auto order = [&] {
            QStringList files;
            for (const TBild& b : t.doc.products(0)[0].bilder)
                files << b.datei;
            return files;
        };
        const QStringList before = order();
        t.tab->findChild<QListWidget*>()->setCurrentRow(2);
        t.button("BildnachObenBtn")->click();
        QCOMPARE(order(), (QStringList{one, one, three}));
        t.button("BildnachObenBtn")->click();
        QCOMPARE(order(), before);
    }

    // Cancelling "Kategorie bearbeiten" on a category that has no options record leaves
    // it without one: the dialog's defaults are not written.
    void aCancelledCategoryDialogWritesNothing() {
        Tab t;
        QVERIFY(!t.doc.options(0));
        t.tab->selectCategory(0);
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog)
                dialog->reject();
        });
        t.button("KategorieBearbeitenBtn")->click();
        QVERIFY(!t.doc.options(0));
        QVERIFY(!t.edit.isChanged());
        QVERIFY(!t.edit.history.canUndo());
    }

    // "Spalte einfügen" from the grid's own context menu on the "Name" cell puts an empty
    // column before "Name", "Preis" in every row.
    void insertingAColumnThroughTheContextMenu() {
        Tab t;
        TProdukt& p = t.doc.products(0)[0];
        TVariante* row = p.varianten.Add();
        row->props.Add()->text = QStringLiteral("M4");
        row->props.Add()->text = QStringLiteral("0,10");
        t.tab->selectCategory(0);
        t.tab->selectProducts({0});
        QTableView* grid = t.tab->gridView();
        const QPoint at = grid->visualRect(grid->model()->index(0, 0)).center();
        bool chosen = false;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (QAction* a : menu->actions())
                if (a->text() == QStringLiteral("Spalte einfügen")) {
                    menu->setActiveAction(a);
                    QTest::keyClick(menu, Qt::Key_Return);
                    chosen = true;
                }
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
        QApplication::sendEvent(grid->viewport(), &event);
        QVERIFY(chosen);
        QCOMPARE(test::cellTexts(p.varianten),
                 (QList<QStringList>{{"", "Name", "Preis"}, {"", "M4", "0,10"}}));
        QCOMPARE(grid->model()->index(0, 1).data().toString(), QStringLiteral("Name"));
        QVERIFY(t.edit.isChanged());
    }
};

PW_TEST_CLASS(TestProductsTab)
#include "tst_productstab.moc"
