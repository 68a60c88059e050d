#include "app/catalogcommands.h"

#include "app/backgroundwork.h"
#include "app/dialogs/bitmapresolutiondialog.h"
#include "app/dialogs/findingsdialog.h"
#include "app/dialogs/folderdialog.h"
#include "app/dialogs/numberdialog.h"
#include "app/dialogs/pricelistdialog.h"
#include "app/dialogs/pricesdialog.h"
#include "app/dialogs/searchdialogs.h"
#include "app/products/productstab.h"
#include "app/qtservices.h"
#include "app/translate/translatecomponents.h"
#include "exchange/categoryimport.h"
#include "exchange/csvexport.h"
#include "exchange/csvimport.h"
#include "i18n/translateunit.h"
#include "imagelib/PicIO3.h"
#include "model/bulkoperations.h"
#include "model/editcommands.h"
#include "model/options.h"
#include "output/exportpage.h"
#include "output/flipcatalog.h"
#include "output/pageimages.h"
#include "output/pdfexport.h"
#include "output/pricelist.h"
#include "output/printing.h"
#include "output/vectorexport.h"
#include "session/catalogsession.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableView>
#include <QTextDocument>
#include <QTreeView>
#include <QUrl>

namespace pw {

namespace {

const char kPdfFilter[] = "PDF Dateien (*.pdf)|*.pdf";
const char kCsvFilter[] = "CSV Dateien (*.csv)|*.csv";
constexpr int kProductsTab = 0;

} // namespace

CatalogCommands::CatalogCommands(CommandContext context, QObject* parent)
    : QObject(parent), m_ctx(std::move(context)) {}

CatalogCommands::~CatalogCommands() = default;

QString CatalogCommands::say(const char* german) const {
    return m_ctx.texts->TranslateText(QString::fromUtf8(german));
}

void CatalogCommands::translate(QWidget* dialog) {
    translateDialog(dialog, *m_ctx.texts);
}

// ---- Running work away from the window

WorkOutcome CatalogCommands::runPages(
    const QString& title, const EngineCall& call,
    const std::function<bool(CatalogDocument&, int, EngineEnvironment&, Progress&)>& pages) {
    // The run returns only when the worker has ended: the copy and the environment can live
    // here.
    CatalogDocument copy = m_ctx.session->doc();
    const EngineEnvironment& live = m_ctx.session->environment();
    EngineEnvironment env(*live.clock, live.locale);
    const int layout = copy.settings.LayoutCombo;
    BackgroundWork work(m_ctx.window, *m_ctx.texts, title, WorkUnit::Pages);
    const WorkOutcome outcome = work.run([&](Progress& progress) {
        measuringRun(layout, copy, env, call);
        return pages(copy, layout, env, progress);
    });
    if (outcome.end == WorkOutcome::End::Failed)
        reportFailure(outcome);
    // Pictures that did not load are worth knowing whatever became of the output.
    if (!env.pictureFailures.empty() && outcome.end != WorkOutcome::End::Cancelled) {
        QStringList lines;
        for (const PictureFailure& f : env.pictureFailures.failures())
            lines.append(errorText(pictureFailureError(f), *m_ctx.texts) + QStringLiteral(": ") + f.file);
        m_ctx.prompts->message(lines.join(QLatin1Char('\n')), title, Prompts::Icon::Warning);
    }
    return outcome;
}

std::optional<bool> CatalogCommands::runOnCopy(const QString& title, WorkUnit unit,
                                               const std::function<bool(EditContext&, Progress&)>& change) {
    CatalogDocument copy = m_ctx.session->doc();
    EditContext edit(copy);
    BackgroundWork work(m_ctx.window, *m_ctx.texts, title, unit);
    const WorkOutcome outcome = work.run([&](Progress& progress) {
        if (!change(edit, progress))
            return false;
        // A command that cannot stop half-way is dropped whole when "Abbrechen" came.
        return progress.report(1, 1);
    });
    m_lastCancelled = outcome.end == WorkOutcome::End::Cancelled;
    if (!outcome.finished()) {
        if (outcome.end == WorkOutcome::End::Failed)
            reportFailure(outcome);
        return std::nullopt;
    }
    if (!edit.isChanged())
        return false;
    // The core's caption for the step it recorded; an import records none and takes the title.
    const QString caption = edit.history.canUndo() ? edit.history.undoCaption() : title;
    documentStep(m_ctx.session->edit(), caption, [&](CatalogDocument& d) {
        d = std::move(copy);
        return 0;
    });
    return true;
}

void CatalogCommands::reportWarnings(const std::vector<Error>& warnings) {
    if (warnings.empty())
        return;
    QStringList lines;
    for (const Error& w : warnings)
        lines.append(errorText(w, *m_ctx.texts));
    m_ctx.prompts->message(lines.join(QLatin1Char('\n')), m_ctx.texts->GetMessageText(8),
                           Prompts::Icon::Warning);
}

void CatalogCommands::reportFailure(const WorkOutcome& outcome) {
    const Error& e = *outcome.error;
    QString text = errorText(e, *m_ctx.texts);
    if (!e.file().isEmpty() && !text.contains(e.file()))
        text += QStringLiteral("\n\n") + e.file();
    m_ctx.prompts->message(text, QString(), Prompts::Icon::Error);
}

void CatalogCommands::reportCancel(bool pagesKept, const QString& where) {
    // The sentence is translated with a placeholder, so that no file name enters the store.
    const QString text =
        m_ctx.texts->TranslateText(CancelledExportText(pagesKept, QStringLiteral("%1"))).arg(where);
    m_ctx.prompts->message(text, QString(), Prompts::Icon::Information);
}

// ---- The catalogue check

namespace {

// The wait cursor for as long as it lives, also when what it waits for throws.
struct WaitCursor {
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

std::vector<Finding> CatalogCommands::runCheck(int pdfDpi) {
    const CatalogDocument& doc = m_ctx.session->doc();
    const EngineEnvironment& live = m_ctx.session->environment();
    CheckOptions options;
    options.layout = doc.settings.LayoutCombo;
    options.printerPixels = printerPixels();
    options.printerDpi = printerDpi();
    options.pdfDpi = pdfDpi;
    options.locale = live.locale;
    const WaitCursor wait;
    return pw::checkCatalogue(doc, options, *live.clock, *m_ctx.texts);
}

void CatalogCommands::checkCatalogue() {
    std::vector<Finding> findings = runCheck(int(m_ctx.options->DPIEd));
    if (findings.empty()) {
        m_findingsDialog.reset();
        m_ctx.prompts->message(say("Die Prüfung hat nichts gefunden, was im Druck falsch aussähe."),
                               say("Katalog prüfen"), Prompts::Icon::Information);
        return;
    }
    showFindings(std::move(findings));
}

void CatalogCommands::showFindings(std::vector<Finding> findings) {
    m_findingsDialog = std::make_unique<FindingsDialog>(std::move(findings), *m_ctx.texts, m_ctx.window);
    m_findingsDialog->setWindowFlag(Qt::Tool);
    translate(m_findingsDialog.get());
    connect(m_findingsDialog.get(), &FindingsDialog::findingChosen, this, &CatalogCommands::showFinding);
    m_findingsDialog->show();
    m_findingsDialog->raise();
}

FindingsDialog* CatalogCommands::findingsDialog() const {
    return m_findingsDialog && m_findingsDialog->isVisible() ? m_findingsDialog.get() : nullptr;
}

bool CatalogCommands::checkBeforeOutput(const char* goOn, int pdfDpi) {
    std::vector<Finding> findings = runCheck(pdfDpi);
    const auto errors = std::count_if(findings.begin(), findings.end(),
                                      [](const Finding& f) { return f.severity() == Severity::Error; });
    if (errors == 0)
        return true;
    const Prompts::Answer answer = m_ctx.prompts->askActions(
        say("Die Prüfung hat im Katalog %1 Fehler gefunden, die im Druck zu sehen wären.").arg(errors),
        say("Katalog prüfen"), say(goOn), say("Fehler anzeigen"));
    if (answer == Prompts::Answer::Yes)
        return true;
    if (answer == Prompts::Answer::No)
        showFindings(std::move(findings));
    return false;
}

void CatalogCommands::showFinding(const Finding& f) {
    if (f.setting == QLatin1String("DPIEd")) {
        // A program option, set in its own dialog.
        if (auto* resolution = m_ctx.window->findChild<QAction*>(QStringLiteral("PDFAuflsung1")))
            resolution->trigger();
        return;
    }
    if (!f.setting.isEmpty()) {
        // The setting's control, on whichever tab and sub-tab holds it.
        QWidget* control = m_ctx.tabs->findChild<QWidget*>(f.setting);
        if (!control)
            return;
        for (QWidget* w = control; w && w != m_ctx.tabs->parentWidget(); w = w->parentWidget()) {
            if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
                for (int i = 0; i < tabs->count(); ++i) {
                    if (tabs->widget(i)->isAncestorOf(control))
                        tabs->setCurrentIndex(i);
                }
            }
            if (auto* scroll = qobject_cast<QScrollArea*>(w))
                scroll->ensureWidgetVisible(control);
        }
        control->setFocus(Qt::OtherFocusReason);
        return;
    }
    const CatalogDocument& doc = m_ctx.session->doc();
    if (f.kat < 0 || f.kat >= doc.categoryCount())
        return; // the catalogue has changed since the check
    m_ctx.tabs->setCurrentIndex(kProductsTab);
    m_ctx.products->selectCategory(f.kat);
    m_ctx.products->categoryView()->scrollTo(m_ctx.products->categoryView()->currentIndex(),
                                             QAbstractItemView::PositionAtCenter);
    if (f.index < 0 || f.index >= doc.products(f.kat).count())
        return;
    m_ctx.products->selectProducts({f.index});
    const QModelIndex row = m_ctx.products->productView()->model()->index(f.index, 0);
    m_ctx.products->productView()->scrollTo(row, QAbstractItemView::PositionAtCenter);
}

// ---- Exports

void CatalogCommands::exportPdf() {
    if (!checkBeforeOutput("Trotzdem exportieren", int(m_ctx.options->DPIEd)))
        return;
    const bool vector = m_ctx.options->vectorPdf;
    const QString file = m_ctx.prompts->saveFileName(QString::fromUtf8(kPdfFilter), QStringLiteral(".pdf"));
    if (file.isEmpty())
        return;
    PdfExportSettings settings;
    settings.printerPixels = printerPixels();
    settings.printerDpi = printerDpi();
    settings.dpi = int(m_ctx.options->DPIEd);
    settings.cmyk = m_ctx.options->PDFDateienmitCMYKFarbenausgeben1;
    settings.predictor = m_ctx.options->pdfPredictor;
    settings.programFolder = m_ctx.folders.programDir();
    const WorkOutcome outcome =
        runPages(say("Als PDF Datei exportieren"), PdfExportCall(m_ctx.session->doc().settings, settings),
                 [&](CatalogDocument& doc, int layout, EngineEnvironment& env, Progress& progress) {
                     return vector ? ExportVectorPdf(doc, layout, env, settings, file, progress)
                                   : ExportPdf(doc, layout, env, settings, file, progress);
                 });
    if (outcome.end == WorkOutcome::End::Cancelled)
        reportCancel(false, file);
    else if (outcome.finished())
        m_ctx.note(say("PDF Datei geschrieben:") + QLatin1Char(' ') + QDir::toNativeSeparators(file));
}

void CatalogCommands::exportPageImages() {
    int filterIndex = kFormatJpg - 2; // the JPEG entry of the picture formats
    QString name = m_ctx.prompts->saveFileNameInFormat(GetDIBSaveFilter(), filterIndex);
    if (name.isEmpty())
        return;
    BitmapResolutionDialog dialog(m_ctx.window);
    dialog.setResolution(m_imageDpi);
    translate(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_imageDpi = dialog.resolution();
    ImageExportSettings settings;
    settings.printerPixels = printerPixels();
    settings.printerDpi = printerDpi();
    settings.dpi = dialog.resolution();
    settings.quality = dialog.jpegQuality();
    settings.allPages = dialog.allPages();
    settings.first = dialog.firstPage();
    settings.last = dialog.lastPage();
    settings.format = filterIndex + 2;
    const WorkOutcome outcome =
        runPages(say("Seiten als Bilder exportieren"), ImageExportCall(settings),
                 [&](CatalogDocument& doc, int layout, EngineEnvironment& env, Progress& progress) {
                     return ExportPageImages(doc, layout, env, settings, name, progress);
                 });
    const QString folder = QDir::toNativeSeparators(QFileInfo(name).absolutePath());
    if (outcome.end == WorkOutcome::End::Cancelled)
        reportCancel(true, folder);
    else if (outcome.finished())
        m_ctx.note(say("Seitenbilder geschrieben in:") + QLatin1Char(' ') + folder);
}

void CatalogCommands::exportFlipCatalogue() {
    FolderDialog folders("TSelectFolderForm", QStringLiteral("Als HTML Blätterkatalog exportieren"),
                         QStringLiteral("Ausgabe Verzeichnis für alle HTML Dateien und Bilder:"), true,
                         *m_ctx.prompts, m_ctx.window);
    translate(&folders);
    if (folders.exec() != QDialog::Accepted)
        return;
    const QString folder = folders.folder();
    if (folder.isEmpty()) {
        m_ctx.prompts->message(m_ctx.texts->GetMessageText(38), QString(), Prompts::Icon::Error);
        return;
    }
    // The resolution is asked before anything is written: a cancel here leaves the folder
    // as it was.
    BitmapResolutionDialog dialog(m_ctx.window);
    dialog.setResolution(50);
    dialog.setRangeEnabled(false);
    dialog.setZoomResolution(kFlipZoomDpi);
    translate(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return;
    FlipExportSettings settings;
    settings.printerPixels = printerPixels();
    settings.printerDpi = printerDpi();
    settings.dpi = dialog.resolution();
    settings.quality = dialog.jpegQuality();
    settings.zoomDpi = dialog.zoomResolution();
    const FlipTexts texts = flipTextsIn(*m_ctx.texts);
    const QString target = QDir::fromNativeSeparators(folder);
    const WorkOutcome outcome = runPages(
        say("Als HTML Blätterkatalog exportieren"), FlipExportCall(settings),
        [&](CatalogDocument& doc, int layout, EngineEnvironment& env, Progress& progress) {
            return ExportFlipCatalogue(doc, layout, env, settings, m_ctx.folders, target, texts, progress);
        });
    if (outcome.end == WorkOutcome::End::Cancelled) {
        // The folder is as it was: the pages are put in place only when all are written.
        m_ctx.prompts->message(say("Der Export wurde abgebrochen; es wurde nichts geschrieben."), QString(),
                               Prompts::Icon::Information);
    } else if (outcome.finished()) {
        const QString page = QDir(target).filePath(QStringLiteral("catalog.htm"));
        m_ctx.note(say("Blätterkatalog geschrieben:") + QLatin1Char(' ') + QDir::toNativeSeparators(page));
        QDesktopServices::openUrl(QUrl::fromLocalFile(page));
    }
}

void CatalogCommands::showPriceList() {
    auto document = PriceListDocument(PriceListLines(m_ctx.session->doc(), m_ctx.texts->GetMessageText(43)));
    PriceListDialog dialog(
        std::move(document), [this](QTextDocument& d) { printPriceList(d); }, [this] { printerSetup(); },
        m_ctx.window);
    translate(&dialog);
    dialog.exec();
}

void CatalogCommands::printPriceList(QTextDocument& document) {
    if (!preparePrinter())
        return;
    QPrinter& p = printer();
    p.setDocName(m_ctx.texts->GetMessageText(44));
    // Half an inch inside the printable page on every side.
    p.setPageMargins(QMarginsF(12.7, 12.7, 12.7, 12.7), QPageLayout::Millimeter);
    document.print(&p);
}

// ---- CSV

void CatalogCommands::exportCsv() {
    const Prompts::Answer all = m_ctx.prompts->ask(m_ctx.texts->GetMessageText(35),
                                                   m_ctx.texts->GetMessageText(36), Prompts::Buttons::YesNo);
    const int kat = all == Prompts::Answer::Yes ? kAllCategories : m_ctx.products->category();
    if (all != Prompts::Answer::Yes && kat < 0) {
        m_ctx.prompts->message(m_ctx.texts->GetMessageText(37), m_ctx.texts->GetMessageText(36),
                               Prompts::Icon::Error);
        return;
    }
    const QString file = m_ctx.prompts->saveFileName(QString::fromUtf8(kCsvFilter), QStringLiteral(".csv"));
    if (file.isEmpty())
        return;
    const CatalogDocument copy = m_ctx.session->doc();
    BackgroundWork work(m_ctx.window, *m_ctx.texts, say("Export als CSV Datei"), WorkUnit::Products);
    const WorkOutcome outcome =
        work.run([&](Progress& progress) { return ExportCSVFile(copy, kat, file, &progress); });
    if (outcome.end == WorkOutcome::End::Failed)
        reportFailure(outcome);
    else if (outcome.end == WorkOutcome::End::Cancelled)
        m_ctx.prompts->message(say("Der Export wurde abgebrochen; es wurde nichts geschrieben."), QString(),
                               Prompts::Icon::Information);
    else
        m_ctx.note(say("CSV Datei geschrieben:") + QLatin1Char(' ') + QDir::toNativeSeparators(file));
}

void CatalogCommands::importProducts(bool categoryColumn) {
    const int kat = m_ctx.products->category();
    if (!categoryColumn && kat < 0) {
        m_ctx.prompts->message(m_ctx.texts->GetMessageText(7), m_ctx.texts->GetMessageText(8),
                               Prompts::Icon::Error);
        return;
    }
    const QString file = m_ctx.prompts->openFileName(QString::fromUtf8(kCsvFilter));
    if (file.isEmpty())
        return;
    CsvImportOptions options;
    options.headerRow = m_ctx.headerRowOption && m_ctx.headerRowOption();
    CsvImportResult result;
    const std::optional<bool> changed = runOnCopy(
        m_ctx.texts->GetMessageText(8), WorkUnit::Products, [&](EditContext& edit, Progress& progress) {
            result = categoryColumn ? ImportCSVFileComplete(edit.doc, file, options, &progress)
                                    : ImportCSVFile(edit.doc, kat, file, options, &progress);
            if (result.products + result.categories > 0)
                edit.SetChanged();
            return !result.cancelled;
        });
    if (!changed.value_or(false))
        return;
    m_ctx.products->selectCategory(result.selectedKat >= 0 ? result.selectedKat : kat);
    reportWarnings(result.warnings);
    m_ctx.note(say("Importierte Produkte:") + QLatin1Char(' ') + QString::number(result.products));
}

void CatalogCommands::showImportInfo() {
    m_ctx.prompts->message(ImportFormatInfoText(*m_ctx.texts), ImportInfoCaption(*m_ctx.texts),
                           Prompts::Icon::Information);
}

void CatalogCommands::importCategories() {
    const QString file = m_ctx.prompts->openFileName(QString::fromUtf8(kCsvFilter));
    if (file.isEmpty())
        return;
    const QLocale locale = m_ctx.session->environment().locale;
    CategoryImportResult result;
    const std::optional<bool> changed =
        runOnCopy(m_ctx.texts->GetMessageText(8), WorkUnit::Products, [&](EditContext& edit, Progress&) {
            result = ImportCSVFileCategories(edit.doc, file, locale);
            if (result.created + result.updated > 0)
                edit.SetChanged();
            return true;
        });
    if (!changed.value_or(false))
        return;
    if (result.selectedKat >= 0)
        m_ctx.products->selectCategory(result.selectedKat);
    reportWarnings(result.warnings);
}

void CatalogCommands::showCategoryImportInfo() {
    m_ctx.prompts->message(CategoryImportFormatInfoText(*m_ctx.texts), ImportInfoCaption(*m_ctx.texts),
                           Prompts::Icon::Information);
}

// ---- Printing

QPrinter& CatalogCommands::printer() {
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

bool CatalogCommands::preparePrinter() {
    QPrinter& p = printer();
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        const Prompts::Answer toFile = m_ctx.prompts->ask(
            say("Es ist kein Drucker eingerichtet. Soll stattdessen in eine PDF Datei gedruckt werden?"),
            say("Drucken"), Prompts::Buttons::YesNo);
        if (toFile != Prompts::Answer::Yes)
            return false;
        const QString file =
            m_ctx.prompts->saveFileName(QString::fromUtf8(kPdfFilter), QStringLiteral(".pdf"));
        if (file.isEmpty())
            return false;
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(file);
        return true;
    }
    if (m_ctx.options->DruckenDialoganzeigenvordemDrucken1) {
        QPrintDialog dialog(&p, m_ctx.window);
        // The catalogue is printed whole or one chosen page: the dialog offers no range.
        dialog.setOptions(dialog.options() & ~QAbstractPrintDialog::PrintPageRange);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        adoptPrinterPage();
    }
    return true;
}

void CatalogCommands::adoptPrinterPage() {
    QtPrinterPage page(printer());
    m_ctx.printerPage.printerPixels = page.pageSizePixels();
    m_ctx.printerPage.printerDpi = page.dpiX();
    if (m_ctx.preview)
        m_ctx.preview->setPrinterPage(m_ctx.printerPage.printerPixels, m_ctx.printerPage.printerDpi);
}

void CatalogCommands::printPages(int onlyPage) {
    if (!checkBeforeOutput("Trotzdem drucken", printerDpi()))
        return;
    if (!preparePrinter())
        return;
    const QString title = m_ctx.texts->GetMessageText(21);
    QtPrinterPage page(printer());
    const WorkOutcome outcome =
        runPages(title, PrintCall(page),
                 [&](CatalogDocument& doc, int layout, EngineEnvironment& env, Progress& progress) {
                     return PrintCatalogue(doc, layout, env, page, title, onlyPage, progress);
                 });
    if (outcome.end == WorkOutcome::End::Cancelled)
        m_ctx.prompts->message(say("Das Drucken wurde abgebrochen; der Auftrag wurde verworfen."), QString(),
                               Prompts::Icon::Information);
}

void CatalogCommands::printAll() {
    printPages(0);
}

void CatalogCommands::printOnePage() {
    NumberDialog dialog(kPrintOnePageDialog, m_printPage, m_ctx.window);
    translate(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_printPage = dialog.value();
    printPages(m_printPage);
}

void CatalogCommands::printPreview() {
    QPrinter& p = printer();
    QPrintPreviewDialog dialog(&p, m_ctx.window);
    dialog.setObjectName(QStringLiteral("printPreviewDialog"));
    dialog.setWindowTitle(say("Druckvorschau"));
    const QString title = m_ctx.texts->GetMessageText(21);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* target) {
        CatalogDocument copy = m_ctx.session->doc();
        const EngineEnvironment& live = m_ctx.session->environment();
        EngineEnvironment env(*live.clock, live.locale);
        QtPrinterPage page(*target);
        NoProgress progress;
        measuringRun(copy.settings.LayoutCombo, copy, env, PrintCall(page));
        try {
            PrintCatalogue(copy, copy.settings.LayoutCombo, env, page, title, 0, progress);
        } catch (const Error& e) {
            WorkOutcome failed;
            failed.end = WorkOutcome::End::Failed;
            failed.error = e;
            reportFailure(failed);
        }
    });
    dialog.exec();
}

void CatalogCommands::printerSetup() {
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        // Nothing to set up: without a printer every page is laid out on A4.
        m_ctx.prompts->message(
            say("Es ist kein Drucker eingerichtet. Die Seiten werden im Format A4 gesetzt."),
            say("Drucker einrichten"), Prompts::Icon::Information);
        return;
    }
    QPageSetupDialog dialog(&printer(), m_ctx.window);
    dialog.setObjectName(QStringLiteral("printerSetupDialog"));
    if (dialog.exec() == QDialog::Accepted)
        adoptPrinterPage();
}

// ---- Bulk commands

void CatalogCommands::sortAllVariants() {
    NumberDialog dialog(kSortVariantsDialog, m_sortColumn, m_ctx.window);
    translate(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_sortColumn = dialog.value();
    const QLocale locale = m_ctx.session->environment().locale;
    m_ctx.products->selectProducts({});
    runOnCopy(say("Varianten aller Produkte sortieren"), WorkUnit::Products,
              [&](EditContext& edit, Progress&) {
                  pw::sortAllVariants(edit, m_sortColumn - 1, locale);
                  return true;
              });
}

void CatalogCommands::changeAllPrices() {
    PricesDialog dialog(m_ctx.window);
    translate(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QLocale locale = m_ctx.session->environment().locale;
    const PriceChange mode = dialog.mode();
    const double value = dialog.value();
    PriceChangeResult result;
    m_ctx.products->selectProducts({});
    if (!runOnCopy(say("Alle Preise ändern"), WorkUnit::Products, [&](EditContext& edit, Progress&) {
            result = pw::changeAllPrices(edit, mode, value, locale);
            return true;
        }))
        return;
    QString note = say("Geänderte Preise:") + QLatin1Char(' ') + QString::number(result.changed);
    if (result.skipped + result.tooLarge > 0) {
        // Cells in another notation than the interface language's are left alone: say so.
        m_ctx.prompts->message(note + QLatin1Char('\n') + say("Nicht als Zahl lesbare Preiszellen:") +
                                   QLatin1Char(' ') + QString::number(result.skipped + result.tooLarge),
                               say("Alle Preise ändern"), Prompts::Icon::Information);
    }
    m_ctx.note(note);
}

void CatalogCommands::copyCellToAll() {
    const int kat = m_ctx.products->category();
    const int prod = m_ctx.products->product();
    const QModelIndex cell = m_ctx.products->gridView()->currentIndex();
    if (kat < 0 || prod < 0 || !cell.isValid()) {
        m_ctx.prompts->message(
            say("Bitte wählen Sie zunächst ein Produkt und eine Zelle seiner Variantentabelle."), QString(),
            Prompts::Icon::Information);
        return;
    }
    const QString text = cell.data(Qt::EditRole).toString();
    const Prompts::Answer answer =
        m_ctx.prompts->ask(say("Wollen Sie diesen Text in alle Tabellenzellen von allen Produkten an diese "
                               "Stelle eintragen?: ") +
                               text,
                           say("Text für alle Produkte übernehmen?"), Prompts::Buttons::YesNoCancel);
    if (answer != Prompts::Answer::Yes)
        return;
    const int column = cell.column();
    const int row = cell.row();
    runOnCopy(say("Text für alle Produkte übernehmen?"), WorkUnit::Products,
              [&](EditContext& edit, Progress&) {
                  pw::copyCellToAllProducts(edit, column, row, text);
                  return true;
              });
}

void CatalogCommands::sortProductNames() {
    const Prompts::Answer answer = m_ctx.prompts->ask(
        m_ctx.texts->GetMessageText(22), m_ctx.texts->GetMessageText(23), Prompts::Buttons::YesNoCancel);
    if (answer != Prompts::Answer::Yes)
        return;
    const int kat = m_ctx.products->category();
    m_ctx.products->selectProducts({});
    runOnCopy(m_ctx.texts->GetMessageText(23), WorkUnit::Products, [&](EditContext& edit, Progress&) {
        pw::sortProductNames(edit);
        return true;
    });
    m_ctx.products->selectCategory(kat);
}

void CatalogCommands::duplicateProduct() {
    const int kat = m_ctx.products->category();
    const int prod = m_ctx.products->product();
    if (kat < 0 || prod < 0) {
        m_ctx.prompts->message(say("Bitte wählen Sie zunächst das Produkt, das dupliziert werden soll."),
                               QString(), Prompts::Icon::Information);
        return;
    }
    const int copy = pw::duplicateProduct(m_ctx.session->edit(), kat, prod);
    if (copy >= 0)
        m_ctx.products->selectProducts({copy});
}

void CatalogCommands::copyPictureFiles() {
    FolderDialog dialog("TBilddateienForm", QStringLiteral("Bilddateien umkopieren"),
                        QStringLiteral("Verzeichnis für Bilddateien:"), false, *m_ctx.prompts, m_ctx.window);
    translate(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString folder = QDir::fromNativeSeparators(dialog.folder());
    if (folder.isEmpty()) {
        m_ctx.prompts->message(m_ctx.texts->GetMessageText(38), QString(), Prompts::Icon::Error);
        return;
    }
    std::vector<Error> failures;
    const int kat = m_ctx.products->category();
    const std::optional<bool> done =
        runOnCopy(m_ctx.texts->GetMessageText(48), WorkUnit::Files, [&](EditContext& edit, Progress&) {
            failures = pw::copyAllPictures(edit, folder);
            return true;
        });
    if (!done) {
        // Stopped or failed (the failure shown): the references stay as they were. Copies
        // already made stay in the folder, and after a stop the user is told so.
        if (!m_lastCancelled)
            return;
        m_ctx.prompts->message(say("Das Kopieren wurde abgebrochen; die Verweise auf die Bilder bleiben, wie "
                                   "sie waren. Schon kopierte Dateien liegen in:") +
                                   QLatin1Char(' ') + QDir::toNativeSeparators(folder),
                               m_ctx.texts->GetMessageText(48), Prompts::Icon::Information);
        return;
    }
    // The copies that failed are listed once, in one message, not a box per file.
    const QStringList lines = pictureCopyFailureLines(failures, *m_ctx.texts);
    if (!lines.isEmpty())
        m_ctx.prompts->message(lines.join(QLatin1Char('\n')), QString(), Prompts::Icon::Warning);
    m_ctx.products->selectCategory(kat);
    m_ctx.prompts->message(m_ctx.texts->GetMessageText(47), m_ctx.texts->GetMessageText(48),
                           Prompts::Icon::Information);
}

void CatalogCommands::searchProducts() {
    SearchDialog dialog(m_searchText, m_ctx.options->searchInDescriptions, m_ctx.window);
    translate(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_searchText = dialog.text();
    m_ctx.options->searchInDescriptions = dialog.inDescriptions();
    const CatalogDocument& doc = m_ctx.session->doc();
    const std::vector<SearchMatch> matches = pw::searchProducts(doc, m_searchText, dialog.inDescriptions());
    if (matches.empty()) {
        m_ctx.prompts->message(m_ctx.texts->GetMessageText(50), m_ctx.texts->GetMessageText(51),
                               Prompts::Icon::Information);
        return;
    }
    FoundDialog found(doc, matches, m_ctx.window);
    translate(&found);
    if (found.exec() != QDialog::Accepted)
        return;
    const std::optional<SearchMatch> chosen = found.chosen();
    if (!chosen || chosen->kat >= doc.categoryCount() || chosen->prod >= doc.products(chosen->kat).count())
        return;
    m_ctx.tabs->setCurrentIndex(kProductsTab);
    m_ctx.products->selectCategory(chosen->kat);
    m_ctx.products->categoryView()->scrollTo(m_ctx.products->categoryView()->currentIndex(),
                                             QAbstractItemView::PositionAtCenter);
    m_ctx.products->selectProducts({chosen->prod});
    const QModelIndex row = m_ctx.products->productView()->model()->index(chosen->prod, 0);
    m_ctx.products->productView()->scrollTo(row, QAbstractItemView::PositionAtCenter);
}

void CatalogCommands::searchAndReplace() {
    SearchReplaceDialog dialog(m_ctx.window);
    translate(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString find = dialog.find();
    const QString replacement = dialog.replacement();
    int written = 0;
    m_ctx.products->selectProducts({});
    runOnCopy(say("Suchen und ersetzen"), WorkUnit::Products, [&](EditContext& edit, Progress&) {
        written = pw::replaceInAllTables(edit, find, replacement);
        return true;
    });
    m_ctx.note(say("Ersetzte Zellen:") + QLatin1Char(' ') + QString::number(written));
}

} // namespace pw
