#include "testmain.h"
#include "windowharness.h"

#include "app/dialogs/aboutdialog.h"
#include "app/dialogs/bitmapresolutiondialog.h"
#include "app/dialogs/categorydialog.h"
#include "app/dialogs/findingsdialog.h"
#include "app/dialogs/folderdialog.h"
#include "app/dialogs/movetocategorydialog.h"
#include "app/dialogs/numberdialog.h"
#include "app/dialogs/pdfresolutiondialog.h"
#include "app/dialogs/pricelistdialog.h"
#include "app/dialogs/pricesdialog.h"
#include "app/dialogs/searchdialogs.h"
#include "app/dialogs/tablesettingsdialog.h"
#include "app/translate/translatecomponents.h"
#include "app/translate/translateeditor.h"
#include "imagelib/PicIO3.h"
#include "model/editcommands.h"
#include "model/options.h"

#include <QAbstractItemView>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTextDocument>

#include <functional>
#include <memory>

using namespace pw;
using namespace windowtest;

namespace {

// Every window of the program, made as the commands make them, for the walks below.
std::vector<std::unique_ptr<QWidget>> everyDialog(TranslationStore& texts, Prompts& prompts,
                                                  const CatalogDocument& doc) {
    std::vector<std::unique_ptr<QWidget>> d;
    d.push_back(std::make_unique<AboutDialog>());
    d.push_back(std::make_unique<CategoryDialog>(categoryDialogValues(doc, 0), GetDIBOpenFilter()));
    d.push_back(std::make_unique<MoveToCategoryDialog>(QStringList{QStringLiteral("Garten")}));
    d.push_back(std::make_unique<TableSettingsDialog>(ProductTableSettings{}));
    d.push_back(std::make_unique<PdfResolutionDialog>(300));
    d.push_back(std::make_unique<BitmapResolutionDialog>());
    d.push_back(std::make_unique<FolderDialog>(
        "TSelectFolderForm", QStringLiteral("Als HTML Blätterkatalog exportieren"),
        QStringLiteral("Ausgabe Verzeichnis für alle HTML Dateien und Bilder:"), true, prompts));
    d.push_back(std::make_unique<FolderDialog>("TBilddateienForm", QStringLiteral("Bilddateien umkopieren"),
                                               QStringLiteral("Verzeichnis für Bilddateien:"), false,
                                               prompts));
    d.push_back(std::make_unique<NumberDialog>(kPrintOnePageDialog, 1));
    d.push_back(std::make_unique<NumberDialog>(kSortVariantsDialog, 1));
    d.push_back(std::make_unique<PricesDialog>());
    d.push_back(std::make_unique<SearchDialog>(QString(), false));
    d.push_back(std::make_unique<FoundDialog>(doc, std::vector<SearchMatch>{}));
    d.push_back(std::make_unique<SearchReplaceDialog>());
    d.push_back(std::make_unique<PriceListDialog>(
        std::make_unique<QTextDocument>(), [](QTextDocument&) {}, [] {}));
    d.push_back(std::make_unique<TranslateEditor>(texts, prompts));
    d.push_back(std::make_unique<FindingsDialog>(std::vector<Finding>{}, texts));
    return d;
}

// The column titles the views over the document show.
QStringList viewTitles(QWidget* root) {
    QStringList titles;
    for (QAbstractItemView* view : root->findChildren<QAbstractItemView*>()) {
        QAbstractItemModel* model = view->model();
        if (!model || qobject_cast<QTableWidget*>(view))
            continue;
        // The variant grid numbers its columns; the lists name theirs.
        for (int c = 0; c < std::min(model->columnCount(), 3); ++c) {
            const QString t = model->headerData(c, Qt::Horizontal).toString();
            if (!t.isEmpty())
                titles.append(t);
        }
    }
    return titles;
}

// Texts that are the same in every language: numbers, units, colours, names of programs
// and languages, the about box's version lines.
bool languageNeutral(const QString& text) {
    static const QRegularExpression neutral(QStringLiteral(
        "^([-+%0-9.,:;()/ ]*|#[0-9A-F]{6}|[0-9]+ ?(DPI|mm|cm|pt|%)|OK|PDF|HTML|CSV|HEX:?|DPI|mm|cm|\\.\\.\\.|"
        "German|English|Français|Nederlands|Deutsch|language[0-9]+|Pagewright|Version [0-9.]+|"
        "(Qt|libdeflate|Little CMS|giflib) [0-9.]+)$"));
    return neutral.match(text).hasMatch();
}

} // namespace

class TestInterfaceTexts : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Every text of every window and dialog has its English, French and Dutch translation in
    // the store the build delivers.
    void everyInterfaceTextIsTranslated() {
        Harness h;
        TMainForm& w = h.start();
        QStringList shown = interfaceTexts(&w) + viewTitles(&w);
        shown.removeAll(w.windowTitle()); // the caption with the file name, put together
        CatalogDocument doc;
        doc.addCategory(QStringLiteral("Werkzeug"));
        for (const auto& dialog : everyDialog(h.texts, h.prompts, doc))
            shown += interfaceTexts(dialog.get()) + viewTitles(dialog.get());
        TranslationStore delivered;
        delivered.LoadTranslations(QStringLiteral(PW_TRANSLATE_DAT), QString());
        delivered.setCollectNewTexts(false);
        QStringList missing;
        for (const QString& text : std::as_const(shown)) {
            if (languageNeutral(text) || missing.contains(text))
                continue;
            bool complete = false;
            for (int r = 0; r < delivered.rowCount() && !complete; ++r) {
                const TranslationStore::Row& row = delivered.row(r);
                complete = row[0] == text && !row[1].isEmpty() && !row[2].isEmpty() && !row[3].isEmpty();
            }
            if (!complete)
                missing.append(text);
        }
        for (const QString& text : std::as_const(missing))
            qInfo("without translation: %s", qPrintable(text));
        QVERIFY2(missing.isEmpty(),
                 qPrintable(QStringLiteral("%1 texts without translation").arg(missing.size())));
    }

    // In English, French and Dutch no German text is left in any caption, item, title or
    // tool tip of the main window and the dialogs: every text is the translation of its row,
    // the same in both languages, or data.
    void noGermanIsLeftInAnotherLanguage_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("pdfExport"); // one command as the menu must show it
        QTest::newRow("English") << 1 << QStringLiteral("Export as PDF file...");
        QTest::newRow("Français") << 2 << QStringLiteral("Exporter en fichier PDF...");
        QTest::newRow("Nederlands") << 3 << QStringLiteral("Exporteren als PDF-bestand...");
    }
    void noGermanIsLeftInAnotherLanguage() {
        QFETCH(int, language);
        QFETCH(QString, pdfExport);
        Harness h;
        h.texts.LoadTranslations(QStringLiteral(PW_TRANSLATE_DAT), QString());
        h.texts.setCollectNewTexts(false);
        QVERIFY(SaveOptions(h.environment().folders, language));
        TMainForm& w = h.start();
        QCOMPARE(actionNamed(w, "AlsPDFDateiexportieren1")->text(), pdfExport);
        QStringList shown = interfaceTexts(&w) + viewTitles(&w);
        CatalogDocument doc;
        doc.addCategory(QStringLiteral("Werkzeug"));
        for (const auto& dialog : everyDialog(h.texts, h.prompts, doc)) {
            translateComponents(dialog.get(), h.texts);
            shown += interfaceTexts(dialog.get()) + viewTitles(dialog.get());
        }
        QSet<QString> german;
        for (int r = 0; r < h.texts.rowCount(); ++r) {
            const TranslationStore::Row& row = h.texts.row(r);
            if (!row[std::size_t(language)].isEmpty() && row[std::size_t(language)] != row[0])
                german.insert(row[0]);
        }
        QStringList left;
        for (const QString& text : std::as_const(shown))
            if (german.contains(text) && !left.contains(text))
                left.append(text);
        for (const QString& text : std::as_const(left))
            qInfo("still German: %s", qPrintable(text));
        QVERIFY2(left.isEmpty(), qPrintable(QStringLiteral("%1 German texts left").arg(left.size())));
    }
};

PW_TEST_CLASS(TestInterfaceTexts)
#include "tst_interfacetexts.moc"
