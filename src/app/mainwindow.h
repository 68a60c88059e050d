#pragma once

// The main window: the shell every tab and command lives in. It holds the open catalogue
// as a CatalogSession, shows it in six tabs, and offers the commands in a menu and a tool
// bar. It owns the document lifecycle:
//
// - "Neu", "Öffnen..." and closing ask to save a changed document first (message 12 with
//   caption 13, Yes / No / Cancel): Yes saves and goes on only when the save worked, No
//   goes on, Cancel stays.
// - "Speichern" writes to the catalogue's file, or asks for one like "Speichern unter...";
//   a name typed without extension gets ".pk2". A failed open or save shows the error and
//   changes nothing: the document, its name and its changed mark stay.
// - The caption is the window's own ("Orvanto Pagewright 1.0" in the interface language),
//   " - [", the file name and "*" while there are unsaved changes, "]". Only a real change
//   marks the document changed; undoing back to the state last saved clears the mark.
// - At the first showing: the language of options.dat (translating the window when it is
//   not German), the template columns in that language, the file named on the command line
//   (read in the current format whatever its extension), and one second later the offer
//   of a recovery copy left by a crash, then the question whether to open the sample
//   catalogue (unless the user ticked "Nicht mehr fragen").
// - While there are unsaved changes, a recovery copy is written at most once a minute on a
//   worker thread; saving or closing normally removes it.
//
// The window never changes a record itself: every change is a command of the core, and the
// window learns what changed from the session's edit context.

#include "app/layout/previewtab.h"
#include "model/options.h"
#include "model/programfolders.h"
#include "model/services.h"
#include "model/undo.h"
#include "session/catalogsession.h"
#include "session/recovery.h"

#include <QMainWindow>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>

#include <memory>

class QAction;
class QActionGroup;
class QMenu;
class QTabWidget;

namespace pw {

class CatalogCommands;
class ProductsTab;
class SettingsBinder;
class TranslationStore;

// What the window takes from its surroundings. The program passes the real ones; tests
// pass scripted prompts, folders of their own and short delays.
struct WindowEnvironment {
    TranslationStore* texts = nullptr;            // loaded; outlives the window
    Prompts* prompts = nullptr;                   // outlives the window
    const Clock* clock = nullptr;                 // outlives the window
    ProgramFolders folders{QString(), QString()}; // options.dat and the read-only data
    QString workingFolder;                        // where the sample catalogue is looked for first
    QString recoveryFolder;                       // the user's data folder for the recovery copy
    int sampleQuestionDelayMs = 1000;
    int recoveryIntervalMs = 60000;
    PreviewSetup preview; // the printer page the preview shows (A4 at 600 dpi without a printer)
};

class TMainForm : public QMainWindow, private DocumentObserver {
    Q_OBJECT
public:
    explicit TMainForm(WindowEnvironment environment, QWidget* parent = nullptr);
    ~TMainForm() override;

    CatalogSession& session() { return *m_session; }
    ProductsTab& productsTab() { return *m_productsTab; }
    PreviewTab& previewTab() { return *m_previewTab; }
    SettingsBinder& settingsBinder() { return *m_settingsBinder; }
    CatalogCommands& commands() { return *m_commands; }
    // The first command-line argument; opened at the first showing.
    void setCommandLineFile(const QString& path) { m_commandLineFile = path; }
    // The interface language chosen (0 German .. 3 Dutch), written to options.dat at close.
    int language() const { return m_language; }
    const ProgramOptions& programOptions() const { return m_options; }

    // The commands of the lifecycle, as the menu and the tool bar run them.
    void newCatalogue();
    void openCatalogue();
    // Returns true when the document was written.
    bool SaveFile();
    bool saveFileAs();
    // Opens `path` after asking to save a changed document; false when nothing was opened.
    bool openRecentFile(const QString& path);

    // Writes the recovery copy now if the document has unsaved changes it does not hold
    // yet, and waits until it is written (the timer does the same without waiting).
    void writeRecoveryCopyNow();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void documentChanged(const DocumentChange& change) override;
    void changedFlagChanged(bool changed) override;

    void buildActions();
    void buildMenus();
    void buildToolBar();
    void buildTabs();
    QAction* addAction(QMenu* menu, const QString& caption, const char* name);

    void firstShow();
    void afterStart();
    void offerRecoveryCopy(bool& restored);
    void offerSampleCatalogue();
    QString sampleCatalogue() const;

    // The save prompt before a step that would drop the document: true to go on.
    bool maySkipSaving();
    bool saveTo(const QString& path);
    QString askSaveName();
    bool openPath(const QString& path, CatalogSession::Reader reader, bool quietIfMissing = false);
    void showError(const Error& e);
    void showWarnings(const std::vector<Error>& warnings);

    void updateCaption();
    void updateUndoActions();
    void rememberRecentFile(const QString& path);
    void fillRecentFiles();
    void chooseLanguage(int language);
    void choosePdfResolution();
    // "Übersetzen...": the translation editor, then the advice to start again.
    void openTranslationEditor();
    void startRecoveryWrite(bool wait);
    void dropRecoveryCopy();

    WindowEnvironment m_env;
    TranslationStore& m_texts;
    Prompts& m_prompts;
    std::unique_ptr<CatalogSession> m_session;
    RecoveryCopy m_recovery;
    ProgramOptions m_options;
    int m_language = 0;
    QString m_maincap;
    QString m_commandLineFile;
    bool m_infirst = false;
    bool m_recoveryDue = false;
    bool m_closing = false;
    QThreadPool m_recoveryWorker;
    QTimer m_recoveryTimer;

    QTabWidget* m_tabs = nullptr;
    ProductsTab* m_productsTab = nullptr;
    PreviewTab* m_previewTab = nullptr;
    SettingsBinder* m_settingsBinder = nullptr;
    QMenu* m_fileMenu = nullptr;
    QAction* m_recentSeparator = nullptr; // above the recent files, shown only with some
    QAction* m_exitSeparator = nullptr;   // below them, above "Beenden"
    QList<QAction*> m_recentActions;
    QAction* m_newAction = nullptr;
    QAction* m_openAction = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_saveAsAction = nullptr;
    QAction* m_printAction = nullptr;
    QAction* m_exitAction = nullptr;
    QAction* m_undoAction = nullptr;
    QAction* m_redoAction = nullptr;
    QActionGroup* m_languages = nullptr;
    QAction* m_headerRowAction = nullptr;
    // The commands over the whole catalogue; built after the tabs they select in.
    std::unique_ptr<CatalogCommands> m_commands;
};

} // namespace pw
