#include "app/mainwindow.h"

#include "app/catalogcommands.h"
#include "app/dialogs/aboutdialog.h"
#include "app/dialogs/pdfresolutiondialog.h"
#include "app/layout/settingstabs.h"
#include "app/products/presetstab.h"
#include "app/products/productstab.h"
#include "app/translate/translatecomponents.h"
#include "app/translate/translateeditor.h"
#include "i18n/translateunit.h"
#include "model/caption.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include <utility>

namespace pw {

namespace {

const char kCatalogueFilter[] = "Produkt Kataloge (*.pk2)|*.pk2";
const char kOpenFilter[] = "Produkt Kataloge (*.pk2;*.pkd)|*.pk2;*.pkd";

// The tabs in order; their content is filled in by the tabs' own units.
const char* const kTabCaptions[] = {"Produkte", "Voreinstellungen", "Katalog erzeugen",
                                    "Layout",   "Hintergrund",      "Logo"};

} // namespace

TMainForm::TMainForm(WindowEnvironment environment, QWidget* parent)
    : QMainWindow(parent), m_env(std::move(environment)), m_texts(*m_env.texts), m_prompts(*m_env.prompts),
      m_recovery(m_env.recoveryFolder) {
    setWindowTitle(QStringLiteral("Orvanto Pagewright 1.0"));
    setObjectName(QStringLiteral("TMainForm"));

    // The language of options.dat is the store's from the start, so that the template
    // columns and every message come in it; the widgets are translated at the first showing.
    m_language = LoadOptions(m_env.folders);
    m_texts.RegisterMessages();
    m_texts.setLanguage(m_language);
    m_options = LoadProgramOptions();
    m_session = std::make_unique<CatalogSession>(m_texts, *m_env.clock, LanguageLocale(m_language));
    m_session->edit().addObserver(this);

    buildActions();
    buildMenus();
    buildToolBar();
    buildTabs();
    updateUndoActions();

    resize(1200, 760);
    if (!m_options.windowGeometry.isEmpty())
        restoreGeometry(m_options.windowGeometry);

    m_recoveryWorker.setMaxThreadCount(1);
    m_recoveryTimer.setInterval(m_env.recoveryIntervalMs);
    connect(&m_recoveryTimer, &QTimer::timeout, this, [this] { startRecoveryWrite(false); });
    m_recoveryTimer.start();
}

TMainForm::~TMainForm() {
    m_recoveryTimer.stop();
    m_recoveryWorker.waitForDone();
    // The tabs observe the session: they go first, while it still exists (the widget
    // base would delete them only after the session, a member of this class).
    std::unique_ptr<QWidget> tabs(takeCentralWidget());
    tabs.reset();
    m_session->edit().removeObserver(this);
}

// ---- Building the window

QAction* TMainForm::addAction(QMenu* menu, const QString& caption, const char* name) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    return a;
}

void TMainForm::buildActions() {
    const auto icon = [this](QStyle::StandardPixmap p) { return style()->standardIcon(p); };
    m_newAction = new QAction(QStringLiteral("Neu"), this);
    m_newAction->setObjectName(QStringLiteral("Neu1"));
    m_newAction->setShortcut(QKeySequence::New);
    m_newAction->setIcon(icon(QStyle::SP_FileIcon));
    connect(m_newAction, &QAction::triggered, this, &TMainForm::newCatalogue);

    m_openAction = new QAction(QStringLiteral("Öffnen..."), this);
    m_openAction->setObjectName(QStringLiteral("ffnen1"));
    m_openAction->setShortcut(QKeySequence::Open);
    m_openAction->setIcon(icon(QStyle::SP_DialogOpenButton));
    connect(m_openAction, &QAction::triggered, this, &TMainForm::openCatalogue);

    m_saveAction = new QAction(QStringLiteral("Speichern"), this);
    m_saveAction->setObjectName(QStringLiteral("Speichern1"));
    m_saveAction->setShortcut(QKeySequence::Save);
    m_saveAction->setIcon(icon(QStyle::SP_DialogSaveButton));
    connect(m_saveAction, &QAction::triggered, this, [this] { SaveFile(); });

    m_saveAsAction = new QAction(QStringLiteral("Speichern unter..."), this);
    m_saveAsAction->setObjectName(QStringLiteral("Speichernunter1"));
    m_saveAsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    m_saveAsAction->setIcon(icon(QStyle::SP_DriveFDIcon));
    connect(m_saveAsAction, &QAction::triggered, this, [this] { saveFileAs(); });

    m_printAction = new QAction(QStringLiteral("Drucken"), this);
    m_printAction->setObjectName(QStringLiteral("Drucken1"));
    m_printAction->setShortcut(QKeySequence::Print);
    m_printAction->setIcon(icon(QStyle::SP_FileDialogDetailedView));
    connect(m_printAction, &QAction::triggered, this, [this] { m_commands->printAll(); });

    m_exitAction = new QAction(QStringLiteral("Beenden"), this);
    m_exitAction->setObjectName(QStringLiteral("Beenden1"));
    m_exitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    m_exitAction->setIcon(icon(QStyle::SP_DialogCloseButton));
    connect(m_exitAction, &QAction::triggered, this, &QWidget::close);

    m_undoAction = new QAction(QStringLiteral("Rückgängig"), this);
    m_undoAction->setObjectName(QStringLiteral("undoAction"));
    m_undoAction->setShortcut(QKeySequence::Undo);
    connect(m_undoAction, &QAction::triggered, this, [this] { m_session->edit().undo(); });

    m_redoAction = new QAction(QStringLiteral("Wiederherstellen"), this);
    m_redoAction->setObjectName(QStringLiteral("redoAction"));
    m_redoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(m_redoAction, &QAction::triggered, this, [this] { m_session->edit().redo(); });
}

void TMainForm::buildMenus() {
    QMenuBar* bar = menuBar();

    m_fileMenu = bar->addMenu(QStringLiteral("&Datei"));
    m_fileMenu->setToolTipsVisible(true);
    QMenu* file = m_fileMenu;
    file->addActions({m_newAction, m_openAction, m_saveAction, m_saveAsAction});
    file->addSeparator();
    const auto command = [this](QMenu* menu, const char* caption, const char* name,
                                void (CatalogCommands::*run)()) {
        QAction* a = addAction(menu, QString::fromUtf8(caption), name);
        connect(a, &QAction::triggered, this, [this, run] { (m_commands.get()->*run)(); });
        return a;
    };
    using C = CatalogCommands;
    command(file, "Katalog prüfen...", "Katalogprfen1", &C::checkCatalogue);
    file->addSeparator();
    command(file, "Export als CSV Datei...", "ExportalsCSVDatei1", &C::exportCsv);
    file->addSeparator();
    connect(addAction(file, QStringLiteral("Artikel aus CSV Datei importieren..."),
                      "ArtikelausCSVDateiimportieren1"),
            &QAction::triggered, this, [this] { m_commands->importProducts(false); });
    connect(addAction(file,
                      QStringLiteral("Artikel aus CSV Datei importieren (1. Spalte ist Kategoriename)..."),
                      "ArtikelausCSVDateiimportieren2"),
            &QAction::triggered, this, [this] { m_commands->importProducts(true); });
    command(file, "Informationen zum Import Dateiformat...", "InformationenzumImport1", &C::showImportInfo);
    file->addSeparator();
    command(file, "Kategorien importieren...", "Kategorienimportieren1", &C::importCategories);
    command(file, "Informationen zum Kategorien Import Dateiformat...", "InformationenzumKategorienImport1",
            &C::showCategoryImportInfo);
    file->addSeparator();
    command(file, "Als PDF Datei exportieren...", "AlsPDFDateiexportieren1", &C::exportPdf);
    file->addSeparator();
    command(file, "Seiten als Bilder exportieren...", "SeitenalsBilderexportieren1", &C::exportPageImages);
    file->addSeparator();
    command(file, "Als HTML Blätterkatalog exportieren...", "AlsHTMLBltterkatalog1", &C::exportFlipCatalogue);
    file->addSeparator();
    command(file, "Preisliste erzeugen...", "Preislisteerzeugen1", &C::showPriceList);
    file->addSeparator();
    file->addAction(m_printAction);
    command(file, "Druckvorschau...", "Druckvorschau1", &C::printPreview);
    command(file, "Einzelne Seite drucken...", "EinzelneSeitedrucken1", &C::printOnePage);
    command(file, "Drucker einrichten", "Druckereinrichten1", &C::printerSetup);
    m_recentSeparator = file->addSeparator();
    m_exitSeparator = file->addSeparator();
    file->addAction(m_exitAction);
    fillRecentFiles();

    QMenu* edit = bar->addMenu(QStringLiteral("&Bearbeiten"));
    edit->setToolTipsVisible(true);
    edit->addActions({m_undoAction, m_redoAction});
    edit->addSeparator();
    command(edit, "Varianten aller Produkte sortieren...", "Variantensortieren1", &C::sortAllVariants);
    command(edit, "Alle Preise ändern...", "AllePreisendern1", &C::changeAllPrices);
    command(edit, "Inhalt der Tabellenzelle in alle Tabellen für alle Produkte übernehmen...",
            "InhaltderTabellenzelle1", &C::copyCellToAll);
    command(edit, "Produktnamen alphabetisch sortieren...", "Produktnamensortieren1", &C::sortProductNames);
    command(edit, "Produkt duplizieren...", "Produktduplizieren1", &C::duplicateProduct);
    command(edit, "Bilddateien alle in ein Verzeichnis kopieren...", "Bilddateienkopieren1",
            &C::copyPictureFiles);
    command(edit, "Artikel suchen...", "Artikelsuchen1", &C::searchProducts)->setShortcut(QKeySequence::Find);
    command(edit, "Suchen und Ersetzen in den Variantentabellen...", "SuchenundErsetzen1",
            &C::searchAndReplace);

    QMenu* languages = bar->addMenu(QStringLiteral("&Sprache"));
    languages->setToolTipsVisible(true);
    m_languages = new QActionGroup(this);
    const char* const names[] = {"Deutsch", "English", "Français", "Nederlands"};
    for (int i = 0; i < kLanguageCount; ++i) {
        QAction* a = addAction(languages, QString::fromUtf8(names[i]), names[i]);
        a->setCheckable(true);
        a->setChecked(i == m_language);
        m_languages->addAction(a);
        // Connected after the check mark is set, so that setting it asks nothing.
        connect(a, &QAction::triggered, this, [this, i] { chooseLanguage(i); });
    }
    languages->addSeparator();
    connect(addAction(languages, QStringLiteral("Übersetzen..."), "bersetzen1"), &QAction::triggered, this,
            &TMainForm::openTranslationEditor);

    QMenu* options = bar->addMenu(QStringLiteral("&Optionen"));
    struct Switch {
        const char* caption;
        const char* name;
        bool ProgramOptions::*member;
    };
    const Switch switches[] = {
        {"Leere Varianten Spalten und Zeilen beim Öffnen entfernen",
         "LeereVariantenSpaltenundZeilenbeimffnenentfernen1",
         &ProgramOptions::LeereVariantenSpaltenundZeilenbeimffnenentfernen1},
        {"PDF Dateien mit CMYK Farben ausgeben", "PDFDateienmitCMYKFarbenausgeben1",
         &ProgramOptions::PDFDateienmitCMYKFarbenausgeben1},
        {"Kleinere Datei (verlustfrei)", "KleinereDatei1", &ProgramOptions::pdfPredictor},
        {"Drucken Dialog anzeigen vor dem Drucken", "DruckenDialoganzeigenvordemDrucken1",
         &ProgramOptions::DruckenDialoganzeigenvordemDrucken1},
    };
    for (const Switch& s : switches) {
        QAction* a = addAction(options, QString::fromUtf8(s.caption), s.name);
        a->setCheckable(true);
        a->setChecked(m_options.*s.member);
        connect(a, &QAction::toggled, this, [this, member = s.member](bool on) { m_options.*member = on; });
    }
    // Not kept between runs: it starts unchecked every time.
    m_headerRowAction = addAction(
        options,
        QStringLiteral("Beim Importieren die Spaltenüberschriften der Variantentabelle aus der Vorlage "
                       "übernehmen"),
        "SpaltenueberschriftenausVorlage1");
    m_headerRowAction->setCheckable(true);
    options->addSeparator();
    // The kind of PDF the export writes, kept between runs: one picture per page as it
    // would be printed, or text, lines and pictures.
    auto* pdfKind = new QActionGroup(options);
    const struct {
        const char* caption;
        const char* name;
        bool vector;
    } kinds[] = {{"Bild-PDF (wie gedruckt)", "PicturePdf1", false},
                 {"Vektor-PDF (durchsuchbarer Text, kleine Datei)", "VectorPdf1", true}};
    for (const auto& k : kinds) {
        QAction* a = addAction(options, QString::fromUtf8(k.caption), k.name);
        a->setCheckable(true);
        a->setChecked(m_options.vectorPdf == k.vector);
        pdfKind->addAction(a);
        connect(a, &QAction::triggered, this, [this, vector = k.vector] { m_options.vectorPdf = vector; });
    }
    QAction* resolution = addAction(options, QStringLiteral("PDF Auflösung einstellen..."), "PDFAuflsung1");
    connect(resolution, &QAction::triggered, this, &TMainForm::choosePdfResolution);

    QMenu* help = bar->addMenu(QStringLiteral("&Hilfe"));
    QAction* about = addAction(help, QStringLiteral("Über..."), "ber1");
    about->setShortcut(QKeySequence::HelpContents);
    connect(about, &QAction::triggered, this, [this] {
        AboutDialog box(this);
        translateDialog(&box, m_texts);
        box.exec();
    });
}

void TMainForm::buildToolBar() {
    QToolBar* tools = addToolBar(QStringLiteral("Werkzeugleiste"));
    tools->setObjectName(QStringLiteral("ToolBar1"));
    tools->setMovable(false);
    tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    tools->addActions({m_openAction, m_saveAction, m_saveAsAction, m_printAction, m_exitAction});
    // The buttons show the commands' captions whole, dots included.
    for (QAction* a : tools->actions())
        a->setIconText(a->text());
}

void TMainForm::buildTabs() {
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("PageControl1"));
    m_productsTab =
        new ProductsTab(m_session->edit(), m_prompts, m_texts, m_env.folders.programDir(), m_tabs);
    m_tabs->addTab(m_productsTab, QString::fromUtf8(kTabCaptions[0]));
    m_tabs->addTab(new PresetsTab(m_session->edit(), m_prompts, m_texts, m_tabs),
                   QString::fromUtf8(kTabCaptions[1]));
    // The binder lives with the tabs: it observes the session, which outlives them.
    m_settingsBinder = new SettingsBinder(m_session->edit(), m_prompts, m_texts, m_tabs);
    m_previewTab = new PreviewTab(m_session->edit(), *m_settingsBinder, m_texts, *m_env.clock,
                                  m_session->environment().locale, m_env.preview, m_options.ZoomEd, m_tabs);
    connect(m_previewTab, &PreviewTab::zoomChanged, this, [this](int zoom) { m_options.ZoomEd = zoom; });
    m_tabs->addTab(m_previewTab, QString::fromUtf8(kTabCaptions[2]));
    m_tabs->addTab(makeLayoutTab(*m_settingsBinder, m_tabs), QString::fromUtf8(kTabCaptions[3]));
    m_tabs->addTab(
        new PictureSettingsTab(SettingsPage::Background, m_session->edit(), *m_settingsBinder, m_tabs),
        QString::fromUtf8(kTabCaptions[4]));
    m_tabs->addTab(new PictureSettingsTab(SettingsPage::Logo, m_session->edit(), *m_settingsBinder, m_tabs),
                   QString::fromUtf8(kTabCaptions[5]));
    setCentralWidget(m_tabs);

    CommandContext context;
    context.window = this;
    context.session = m_session.get();
    context.prompts = &m_prompts;
    context.texts = &m_texts;
    context.options = &m_options;
    context.products = m_productsTab;
    context.preview = m_previewTab;
    context.tabs = m_tabs;
    context.folders = m_env.folders;
    context.printerPage = m_env.preview;
    context.headerRowOption = [this] { return m_headerRowAction->isChecked(); };
    context.note = [this](const QString& text) { statusBar()->showMessage(text, 10000); };
    m_commands = std::make_unique<CatalogCommands>(std::move(context));
}

// ---- Start

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_infirst) {
        m_infirst = true;
        firstShow();
    }
}

void TMainForm::firstShow() {
    if (m_language != Deutsch)
        translateComponents(this, m_texts);
    m_maincap = windowTitle();
    updateCaption();
    if (!m_commandLineFile.isEmpty())
        openPath(m_commandLineFile, CatalogSession::Reader::CurrentFormat);
    QTimer::singleShot(m_env.sampleQuestionDelayMs, this, &TMainForm::afterStart);
}

void TMainForm::afterStart() {
    bool restored = false;
    offerRecoveryCopy(restored);
    if (!restored)
        offerSampleCatalogue();
}

void TMainForm::offerRecoveryCopy(bool& restored) {
    if (!m_recovery.exists())
        return;
    const QString name = m_recovery.originalName();
    const QString shown =
        name.isEmpty() ? m_texts.GetMessageText(24) + QStringLiteral(".pk2") : QFileInfo(name).fileName();
    const QString question = m_texts.TranslateText(QStringLiteral(
                                 "Pagewright wurde beim letzten Mal nicht ordnungsgemäß beendet. "
                                 "Soll die nicht gespeicherte Fassung wiederhergestellt werden?")) +
                             QStringLiteral("\n\n") + shown;
    const Prompts::Answer answer = m_prompts.ask(
        question, m_texts.TranslateText(QStringLiteral("Wiederherstellen")), Prompts::Buttons::YesNo);
    if (answer == Prompts::Answer::Yes) {
        try {
            showWarnings(m_recovery.restoreInto(*m_session));
            restored = true;
        } catch (const Error& e) {
            showError(e);
        }
    }
    // Asked once: the copy either is the document now or was refused.
    if (!restored)
        m_recovery.remove();
    else
        m_recoveryDue = true;
}

QString TMainForm::sampleCatalogue() const {
    const QString name = m_texts.GetMessageText(32);
    const QString here = QDir(m_env.workingFolder).filePath(name);
    if (QFileInfo(here).isFile())
        return here;
    return m_env.folders.dataLocation(name);
}

void TMainForm::offerSampleCatalogue() {
    if (m_options.doNotAskForSample)
        return;
    bool dontAskAgain = false;
    const Prompts::Answer answer = m_prompts.askOnce(m_texts.GetMessageText(27), m_texts.GetMessageText(28),
                                                     Prompts::Buttons::YesNo, dontAskAgain);
    m_options.doNotAskForSample = dontAskAgain;
    if (answer != Prompts::Answer::Yes)
        return;
    // A missing sample is not worth a message: the user asked for a convenience.
    const QString sample = sampleCatalogue();
    if (QFileInfo(sample).isFile() && maySkipSaving())
        openPath(sample, CatalogSession::Reader::CurrentFormat);
}

// ---- Lifecycle

bool TMainForm::maySkipSaving() {
    if (!m_session->edit().isChanged())
        return true;
    switch (m_prompts.ask(m_texts.GetMessageText(12), m_texts.GetMessageText(13),
                          Prompts::Buttons::YesNoCancel)) {
    case Prompts::Answer::Yes:
        return SaveFile();
    case Prompts::Answer::No:
        return true;
    case Prompts::Answer::Cancel:
        break;
    }
    return false;
}

void TMainForm::newCatalogue() {
    if (!maySkipSaving())
        return;
    m_session->newDocument();
    dropRecoveryCopy();
    updateCaption();
}

void TMainForm::openCatalogue() {
    if (!maySkipSaving())
        return;
    const QString path = m_prompts.openFileName(QString::fromUtf8(kOpenFilter));
    if (!path.isEmpty())
        openPath(path, CatalogSession::Reader::ByExtension);
}

bool TMainForm::openRecentFile(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        m_prompts.message(
            m_texts.TranslateText(QStringLiteral("Die Datei gibt es nicht mehr; sie wird aus der "
                                                 "Liste der zuletzt geöffneten Kataloge genommen.")) +
                QStringLiteral("\n\n") + path,
            m_texts.TranslateText(QStringLiteral("Öffnen")), Prompts::Icon::Warning);
        m_options.recentFiles.removeAll(path);
        fillRecentFiles();
        return false;
    }
    if (!maySkipSaving())
        return false;
    return openPath(path, CatalogSession::Reader::ByExtension);
}

bool TMainForm::openPath(const QString& path, CatalogSession::Reader reader, bool quietIfMissing) {
    if (quietIfMissing && !QFileInfo(path).isFile())
        return false;
    ReadOptions options;
    options.trimVariants = m_options.LeereVariantenSpaltenundZeilenbeimffnenentfernen1;
    std::vector<Error> warnings;
    try {
        warnings = m_session->open(QFileInfo(path).absoluteFilePath(), options, reader);
    } catch (const Error& e) {
        showError(e);
        return false;
    }
    dropRecoveryCopy();
    rememberRecentFile(m_session->fileName());
    updateCaption();
    showWarnings(warnings);
    return true;
}

QString TMainForm::askSaveName() {
    QString name = m_prompts.saveFileName(QString::fromUtf8(kCatalogueFilter), QStringLiteral(".pk2"));
    if (!name.isEmpty() && QFileInfo(name).suffix().isEmpty())
        name += QStringLiteral(".pk2");
    return name;
}

bool TMainForm::SaveFile() {
    if (m_session->fileName().isEmpty())
        return saveFileAs();
    return saveTo(m_session->fileName());
}

bool TMainForm::saveFileAs() {
    const QString name = askSaveName();
    return !name.isEmpty() && saveTo(name);
}

bool TMainForm::saveTo(const QString& path) {
    // A recovery copy being written must not come back after the save removed it.
    m_recoveryWorker.waitForDone();
    try {
        m_session->saveAs(path);
    } catch (const Error& e) {
        showError(e);
        return false;
    }
    dropRecoveryCopy();
    rememberRecentFile(path);
    updateCaption();
    return true;
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (!maySkipSaving()) {
        event->ignore();
        return;
    }
    m_closing = true;
    m_recoveryTimer.stop();
    m_recoveryWorker.waitForDone();
    m_recovery.remove();
    SaveOptions(m_env.folders, m_language);
    m_options.windowGeometry = saveGeometry();
    SaveProgramOptions(m_options);
    event->accept();
}

// ---- What the document tells

void TMainForm::documentChanged(const DocumentChange&) {
    m_recoveryDue = true;
    updateUndoActions();
}

void TMainForm::changedFlagChanged(bool) {
    updateCaption();
}

void TMainForm::updateCaption() {
    if (m_maincap.isEmpty())
        return; // before the first showing the window keeps its designed caption
    setWindowTitle(documentCaption(m_maincap, m_session->fileName(), m_session->edit().isChanged(), m_texts));
    updateUndoActions();
}

void TMainForm::updateUndoActions() {
    const UndoStack& history = m_session->edit().history;
    const QString undo = m_texts.TranslateText(QStringLiteral("Rückgängig"));
    const QString redo = m_texts.TranslateText(QStringLiteral("Wiederherstellen"));
    m_undoAction->setEnabled(history.canUndo());
    m_undoAction->setText(history.canUndo()
                              ? undo + QStringLiteral(": ") + m_texts.TranslateText(history.undoCaption())
                              : undo);
    m_redoAction->setEnabled(history.canRedo());
    m_redoAction->setText(history.canRedo()
                              ? redo + QStringLiteral(": ") + m_texts.TranslateText(history.redoCaption())
                              : redo);
}

// ---- Errors

void TMainForm::showError(const Error& e) {
    QString text = errorText(e, m_texts);
    if (!e.file().isEmpty() && !text.contains(e.file()))
        text += QStringLiteral("\n\n") + e.file();
    m_prompts.message(text, QString(), Prompts::Icon::Error);
}

void TMainForm::showWarnings(const std::vector<Error>& warnings) {
    if (warnings.empty())
        return;
    QStringList lines;
    for (const Error& w : warnings)
        lines.append(errorText(w, m_texts));
    m_prompts.message(lines.join(QLatin1Char('\n')), QString(), Prompts::Icon::Warning);
}

// ---- Recent files, language, options

void TMainForm::rememberRecentFile(const QString& path) {
    if (path.isEmpty())
        return;
    m_options.recentFiles = addRecentFile(m_options.recentFiles, path);
    fillRecentFiles();
}

void TMainForm::fillRecentFiles() {
    qDeleteAll(m_recentActions);
    m_recentActions.clear();
    int n = 0;
    for (const QString& path : std::as_const(m_options.recentFiles)) {
        ++n;
        auto* a =
            new QAction(QStringLiteral("&%1 %2").arg(n).arg(QDir::toNativeSeparators(path)), m_fileMenu);
        a->setObjectName(QStringLiteral("recentFile%1").arg(n));
        connect(a, &QAction::triggered, this, [this, path] { openRecentFile(path); });
        m_fileMenu->insertAction(m_exitSeparator, a);
        m_recentActions.append(a);
    }
    // Only a list that has entries gets a separator of its own.
    m_recentSeparator->setVisible(!m_recentActions.isEmpty());
}

void TMainForm::choosePdfResolution() {
    PdfResolutionDialog dialog(m_options.DPIEd, this);
    translateDialog(&dialog, m_texts);
    dialog.exec();
    // The dialog has only OK; however it is closed, the value shown is the one to keep.
    m_options.DPIEd = dialog.value();
}

void TMainForm::openTranslationEditor() {
    TranslateEditor editor(m_texts, m_prompts, this);
    translateDialog(&editor, m_texts);
    editor.exec();
    m_prompts.message(m_texts.GetMessageText(2), m_texts.GetMessageText(3), Prompts::Icon::Information);
}

void TMainForm::chooseLanguage(int language) {
    m_language = language;
    m_prompts.message(m_texts.GetMessageText(2), m_texts.GetMessageText(3), Prompts::Icon::Information);
}

// ---- Recovery copy

void TMainForm::startRecoveryWrite(bool wait) {
    if (m_closing || !m_recoveryDue || !m_session->edit().isChanged())
        return;
    if (m_recoveryWorker.activeThreadCount() > 0) {
        if (!wait)
            return; // the copy before is still being written; the next tick catches up
        m_recoveryWorker.waitForDone();
    }
    m_recoveryDue = false;
    // The worker writes a copy taken now: typing goes on meanwhile on the real document.
    auto copy = std::make_shared<const CatalogDocument>(m_session->doc());
    const RecoveryCopy target = m_recovery;
    m_recoveryWorker.start([copy, target] {
        try {
            target.write(*copy);
        } catch (const Error& e) {
            // Nobody to tell on the worker, and a failed copy must not interrupt work.
            qWarning("Pagewright: %s", qPrintable(e.germanText() + QLatin1Char(' ') + e.file()));
        }
    });
    if (wait)
        m_recoveryWorker.waitForDone();
}

void TMainForm::writeRecoveryCopyNow() {
    startRecoveryWrite(true);
}

void TMainForm::dropRecoveryCopy() {
    m_recoveryWorker.waitForDone();
    m_recovery.remove();
    m_recoveryDue = m_session->edit().isChanged();
}

} // namespace pw
