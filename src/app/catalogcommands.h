#pragma once

// The commands of the menus "Datei" and "Bearbeiten" that work on the whole catalogue:
// the exports (PDF, page pictures, flip catalogue, price list, CSV), printing (all pages,
// one page, a print preview, the printer set-up), the imports, and the bulk commands.
//
// Each asks what it needs with its dialogs, then runs the core's function away from the
// window (BackgroundWork) over a copy of the document, so the window keeps repainting and
// "Abbrechen" stops the work:
//
// - An export or a print job writes what the core writes; a cancel leaves what the core's
//   rules leave and says so (CancelledExportText), a failure shows its message and nothing
//   else. Pictures that could not be loaded are listed afterwards.
// - An import or a bulk command changes the copy; when it ends and changed something, the
//   copy becomes the document as one undo step. A cancel or a failure leaves the document
//   exactly as it was.
//
// "Katalog prüfen..." runs the core's catalogue check on the document as it is and shows
// the findings in a dialog that stays open beside the window; a double click on a finding
// selects the category or product it names, or shows the setting. The PDF export and
// printing run the check first and, when it finds errors, ask whether to go on or to show
// them.
//
// The printer is the window's own: chosen with the print dialog or the set-up, kept while
// the program runs. Without an installed printer, printing offers to write a PDF file.

#include "app/layout/previewtab.h"
#include "model/programfolders.h"

#include <QObject>
#include <QSize>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPrinter;
class QTabWidget;
class QTextDocument;
class QWidget;

namespace pw {

class CatalogDocument;
class CatalogSession;
class EditContext;
class Error;
class Progress;
class Prompts;
class FindingsDialog;
class ProductsTab;
struct Finding;
class TranslationStore;
struct ProgramOptions;
struct WorkOutcome;
struct EngineCall;
struct EngineEnvironment;
enum class WorkUnit;

struct CommandContext {
    QWidget* window = nullptr;
    CatalogSession* session = nullptr;
    Prompts* prompts = nullptr;
    TranslationStore* texts = nullptr;
    ProgramOptions* options = nullptr;
    ProductsTab* products = nullptr;
    PreviewTab* preview = nullptr;
    QTabWidget* tabs = nullptr;
    ProgramFolders folders{QString(), QString()};
    PreviewSetup printerPage; // the page the exports lay out, as the preview shows it
    // Whether "Beim Importieren die Spaltenüberschriften ... übernehmen" is checked.
    std::function<bool()> headerRowOption;
    // Shows a short note that a command went through (the status bar).
    std::function<void(const QString&)> note;
};

class CatalogCommands : public QObject {
    Q_OBJECT
public:
    explicit CatalogCommands(CommandContext context, QObject* parent = nullptr);
    ~CatalogCommands() override;

    // "Datei"
    void checkCatalogue();
    void exportCsv();
    void importProducts(bool categoryColumn);
    void showImportInfo();
    void importCategories();
    void showCategoryImportInfo();
    void exportPdf();
    void exportPageImages();
    void exportFlipCatalogue();
    void showPriceList();
    void printAll();
    void printOnePage();
    void printPreview();
    void printerSetup();

    // "Bearbeiten"
    void sortAllVariants();
    void changeAllPrices();
    void copyCellToAll();
    void sortProductNames();
    void duplicateProduct();
    void copyPictureFiles();
    void searchProducts();
    void searchAndReplace();

    // The printer the commands print on (created at the first use).
    QPrinter& printer();
    // The dialog of the last check's findings, while it is open; nullptr otherwise.
    FindingsDialog* findingsDialog() const;
    // Shows what a finding names: its category and product on "Produkte", or its setting.
    void showFinding(const Finding& finding);

private:
    // The check of the document as it is, for the layout and page the exports use, with
    // pictures held to `pdfDpi` (the PDF resolution; the printer's for printing).
    std::vector<Finding> runCheck(int pdfDpi);
    // Before an export or a print job: true when the check finds no error, or when the user
    // goes on anyway (`goOn` names that button); "Fehler anzeigen" shows the findings and
    // returns false, as does closing the question.
    bool checkBeforeOutput(const char* goOn, int pdfDpi);
    void showFindings(std::vector<Finding> findings);
    // Runs an export or print over a copy of the document: a layout run that draws nothing
    // with `call`, then `pages`. Returns the outcome after reporting failures.
    WorkOutcome
    runPages(const QString& title, const EngineCall& call,
             const std::function<bool(CatalogDocument&, int, EngineEnvironment&, Progress&)>& pages);
    // Runs `change` over a copy of the document with an edit context of its own; when it
    // finished and changed the copy (a step recorded there, or the copy marked changed), the
    // copy becomes the document as one step under that step's caption, or `title`. Returns whether the
    // document changed; nullopt when the work was cancelled or failed (the failure already shown), which
    // leaves the document as it was.
    std::optional<bool> runOnCopy(const QString& title, WorkUnit unit,
                                  const std::function<bool(EditContext&, Progress&)>& change);
    // The printer ready for a job titled `title`: the print dialog when the option asks
    // for it, or a PDF file when no printer is installed. False when the user cancelled.
    bool preparePrinter();
    void printPages(int onlyPage);
    void printPriceList(QTextDocument& document);
    void adoptPrinterPage();
    void reportFailure(const WorkOutcome& outcome);
    // What an import went through with but the user should know (message 8 as caption).
    void reportWarnings(const std::vector<Error>& warnings);
    void reportCancel(bool pagesKept, const QString& where);
    QString say(const char* german) const;
    // Translates a dialog's captions unless the interface is German, its own language.
    void translate(QWidget* dialog);
    QSize printerPixels() const { return m_ctx.printerPage.printerPixels; }
    int printerDpi() const { return m_ctx.printerPage.printerDpi; }

    CommandContext m_ctx;
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<FindingsDialog> m_findingsDialog;
    // What the dialogs keep while the program runs.
    double m_imageDpi = 150;
    int m_printPage = 1;
    int m_sortColumn = 1;
    QString m_searchText;
    bool m_lastCancelled = false; // whether the last runOnCopy ended by "Abbrechen"
};

} // namespace pw
