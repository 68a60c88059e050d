#include "testmain.h"
#include "windowharness.h"

#include "app/mainwindow.h"
#include "fixtures.h"
#include "i18n/translateunit.h"
#include "model/catalogfile.h"
#include "model/editcommands.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

#include <deque>

using namespace pw;
using namespace windowtest;

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { clearUserSettings(); }

    // The shell as a user first meets it: menus in order with their separators, the tool
    // bar, the six tabs, and commands that come later disabled with a reason.
    void theShellOffersEveryCommand() {
        Harness h;
        TMainForm& w = h.start();
        QStringList menus;
        for (QAction* a : w.menuBar()->actions())
            menus << a->text();
        QCOMPARE(menus, (QStringList{"&Datei", "&Bearbeiten", "&Sprache", "&Optionen", "&Hilfe"}));
        QStringList file;
        for (QAction* a : w.menuBar()->actions().first()->menu()->actions())
            if (a->isVisible())
                file << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(file, (QStringList{"Neu",
                                    "Öffnen...",
                                    "Speichern",
                                    "Speichern unter...",
                                    "-",
                                    "Katalog prüfen...",
                                    "-",
                                    "Export als CSV Datei...",
                                    "-",
                                    "Artikel aus CSV Datei importieren...",
                                    "Artikel aus CSV Datei importieren (1. Spalte ist Kategoriename)...",
                                    "Informationen zum Import Dateiformat...",
                                    "-",
                                    "Kategorien importieren...",
                                    "Informationen zum Kategorien Import Dateiformat...",
                                    "-",
                                    "Als PDF Datei exportieren...",
                                    "-",
                                    "Seiten als Bilder exportieren...",
                                    "-",
                                    "Als HTML Blätterkatalog exportieren...",
                                    "-",
                                    "Preisliste erzeugen...",
                                    "-",
                                    "Drucken",
                                    "Druckvorschau...",
                                    "Einzelne Seite drucken...",
                                    "Drucker einrichten",
                                    "-",
                                    "Beenden"}));
        QStringList tools; // as the buttons show them
        auto* bar = w.findChild<QToolBar*>();
        for (QAction* a : bar->actions())
            tools << qobject_cast<QToolButton*>(bar->widgetForAction(a))->text();
        QCOMPARE(tools, (QStringList{"Öffnen...", "Speichern", "Speichern unter...", "Drucken", "Beenden"}));
        auto* tabs = w.findChild<QTabWidget*>();
        QStringList tabCaptions;
        for (int i = 0; i < tabs->count(); ++i)
            tabCaptions << tabs->tabText(i);
        QCOMPARE(tabCaptions, (QStringList{"Produkte", "Voreinstellungen", "Katalog erzeugen", "Layout",
                                           "Hintergrund", "Logo"}));
        for (QAction* a : w.findChildren<QAction*>()) {
            if (!a->isEnabled() && !a->isSeparator() && !a->text().isEmpty() &&
                a != actionNamed(w, "undoAction") && a != actionNamed(w, "redoAction"))
                QVERIFY2(!a->toolTip().isEmpty() && a->toolTip() != a->text(), qPrintable(a->text()));
        }
        // Every command of "Datei" and "Bearbeiten" works (undo and redo wait for a step).
        for (int menu = 0; menu < 2; ++menu)
            for (QAction* a : w.menuBar()->actions().at(menu)->menu()->actions())
                if (!a->isSeparator() && a != actionNamed(w, "undoAction") &&
                    a != actionNamed(w, "redoAction"))
                    QVERIFY2(a->isEnabled(), qPrintable(a->text()));
        QCOMPARE(h.caption(), QStringLiteral("Orvanto Pagewright 1.0 - [unbenannt.pk2]"));
    }

    // The caption follows the document: untitled, changed, saved under a name, "Neu".
    void theCaptionShowsTheFileAndUnsavedChanges() {
        Harness h;
        TMainForm& w = h.start();
        newCategory(w.session().edit());
        QCOMPARE(h.caption(), QStringLiteral("Orvanto Pagewright 1.0 - [unbenannt.pk2*]"));
        h.prompts.fileNames = {h.file("katalog")}; // typed without extension
        QVERIFY(w.SaveFile());
        QCOMPARE(w.session().fileName(), h.file("katalog.pk2"));
        QVERIFY(QFile::exists(h.file("katalog.pk2")));
        QCOMPARE(h.caption(), QStringLiteral("Orvanto Pagewright 1.0 - [katalog.pk2]"));
        renameCategory(w.session().edit(), 0, QStringLiteral("Werkzeug"));
        QCOMPARE(h.caption(), QStringLiteral("Orvanto Pagewright 1.0 - [katalog.pk2*]"));
        // Undoing back to the saved state clears the star; redoing sets it again.
        actionNamed(w, "undoAction")->trigger();
        QCOMPARE(h.caption(), QStringLiteral("Orvanto Pagewright 1.0 - [katalog.pk2]"));
        QCOMPARE(actionNamed(w, "redoAction")->text(),
                 QStringLiteral("Wiederherstellen: Kategorie umbenennen"));
        actionNamed(w, "redoAction")->trigger();
        QCOMPARE(h.caption(), QStringLiteral("Orvanto Pagewright 1.0 - [katalog.pk2*]"));
        h.prompts.answers = {Prompts::Answer::No};
        w.newCatalogue();
        QCOMPARE(h.caption(), QStringLiteral("Orvanto Pagewright 1.0 - [unbenannt.pk2]"));
        QVERIFY(!actionNamed(w, "undoAction")->isEnabled());
    }

    // "Neu" and closing with unsaved changes, for every answer of the save prompt. Yes
    // followed by a cancelled save dialog must keep the window and the document.
    void unsavedChangesAreNeverDroppedUnasked_data() {
        QTest::addColumn<bool>("closing");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("giveName");
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<bool>("saved");
        const int yes = int(Prompts::Answer::Yes), no = int(Prompts::Answer::No),
                  cancel = int(Prompts::Answer::Cancel);
        for (bool closing : {false, true}) {
            const char* what = closing ? "close" : "new";
            QTest::addRow("%s, yes and a name: saved, goes on", what)
                << closing << yes << true << true << true;
            QTest::addRow("%s, yes but the dialog cancelled: stays", what)
                << closing << yes << false << false << false;
            QTest::addRow("%s, no: goes on unsaved", what) << closing << no << false << true << false;
            QTest::addRow("%s, cancel: stays", what) << closing << cancel << false << false << false;
        }
    }
    void unsavedChangesAreNeverDroppedUnasked() {
        QFETCH(bool, closing);
        QFETCH(int, answer);
        QFETCH(bool, giveName);
        QFETCH(bool, goesOn);
        QFETCH(bool, saved);
        Harness h;
        TMainForm& w = h.start();
        newCategory(w.session().edit());
        h.prompts.questions.clear();
        h.prompts.answers = {Prompts::Answer(answer)};
        if (giveName)
            h.prompts.fileNames = {h.file("gerettet.pk2")};
        bool wentOn = false;
        if (closing) {
            wentOn = h.close();
            QCOMPARE(w.isVisible(), !wentOn);
        } else {
            w.newCatalogue();
            wentOn = w.session().doc().categoryCount() == 0;
        }
        QCOMPARE(h.prompts.questions, QStringList{kSavePrompt});
        QCOMPARE(wentOn, goesOn);
        QCOMPARE(QFile::exists(h.file("gerettet.pk2")), saved);
        if (!goesOn) {
            QCOMPARE(w.session().doc().categoryCount(), 1);
            QVERIFY(w.session().edit().isChanged());
            QCOMPARE(h.caption(), QStringLiteral("Orvanto Pagewright 1.0 - [unbenannt.pk2*]"));
        }
    }

    // A save that fails says why, and the document keeps its name and its star.
    void aFailedSaveKeepsTheChangedMark() {
        Harness h;
        TMainForm& w = h.start();
        newCategory(w.session().edit());
        h.prompts.fileNames = {h.file("fehlt/ordner/katalog.pk2")};
        QVERIFY(!w.SaveFile());
        QVERIFY(w.session().edit().isChanged());
        QVERIFY(w.session().fileName().isEmpty());
        QCOMPARE(h.prompts.messages.size(), 1);
        QVERIFY2(h.prompts.messages[0].contains(QStringLiteral("Konnte Datei nicht erstellen")),
                 qPrintable(h.prompts.messages[0]));
        QCOMPARE(h.caption(), QStringLiteral("Orvanto Pagewright 1.0 - [unbenannt.pk2*]"));
    }

    // "Öffnen..." of a file that cannot be read says why and keeps the open document; a
    // file whose optional end was cut opens with the core's warning.
    void aFailedOpenKeepsTheDocumentAndADamagedOneWarns() {
        Harness h;
        TMainForm& w = h.start();
        newCategory(w.session().edit());
        QFile broken(h.file("kaputt.pk2"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("\x05\x00\x00\x00", 4);
        broken.close();
        h.prompts.answers = {Prompts::Answer::No};
        h.prompts.fileNames = {broken.fileName()};
        w.openCatalogue();
        QCOMPARE(h.prompts.messages.size(), 1);
        QCOMPARE(w.session().doc().categoryCount(), 1);
        QVERIFY(w.session().edit().isChanged());
        QCOMPARE(h.caption(), QStringLiteral("Orvanto Pagewright 1.0 - [unbenannt.pk2*]"));

        QByteArray cut = CatalogFileImage(test::richDocument(h.dir.path()), h.file("cut.pk2"));
        cut.chop(31); // inside the last optional block
        QFile damaged(h.file("cut.pk2"));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(cut);
        damaged.close();
        h.prompts.answers = {Prompts::Answer::No};
        h.prompts.fileNames = {damaged.fileName()};
        w.openCatalogue();
        QCOMPARE(w.session().fileName(), damaged.fileName());
        QCOMPARE(h.prompts.messages.size(), 2);
        QVERIFY2(h.prompts.messages[1].contains(QLatin1String("44")), qPrintable(h.prompts.messages[1]));
        QVERIFY(!w.session().edit().isChanged());
    }

    // A file named on the command line is read in the current format whatever its
    // extension, and looking at it leaves it unchanged.
    void aCommandLineFileIsReadInTheCurrentFormat() {
        Harness h;
        const QString pkd = h.file("alt.pkd");
        QVERIFY(QFile::copy(kSample, pkd));
        TMainForm& w = h.start(pkd);
        QCOMPARE(w.session().fileName(), pkd);
        QVERIFY(w.session().doc().categoryCount() > 1);
        QCOMPARE(h.caption(), QStringLiteral("Orvanto Pagewright 1.0 - [alt.pkd]"));
        QVERIFY(!w.session().edit().isChanged());
        QVERIFY(h.close()); // nothing to ask
        QVERIFY(h.prompts.questions.filter(kSavePrompt).isEmpty());
    }

    // The sample question: Yes opens the sample of the working folder; a ticked "Nicht
    // mehr fragen" keeps it silent at the next start.
    void theSampleQuestionOpensTheSampleAndCanBeSilenced() {
        {
            Harness h;
            QVERIFY(QFile::copy(kSample, h.file("arbeit/test.pk2")));
            h.prompts.answers = {Prompts::Answer::Yes};
            h.prompts.tickDontAskAgain = true;
            TMainForm& w = h.start();
            QTRY_COMPARE(w.session().fileName(), h.file("arbeit/test.pk2"));
            QCOMPARE(h.prompts.questions, QStringList{kSampleQuestion});
            QVERIFY(h.close());
        }
        Harness again;
        again.start();
        QVERIFY(again.prompts.questions.isEmpty());
    }

    // A crash leaves the recovery copy; the next start offers it and restores the
    // document under its old name, still marked changed. A normal close removes it.
    void theRecoveryCopyIsWrittenAndOffered() {
        Harness h;
        {
            TMainForm& w = h.start();
            newCategory(w.session().edit());
            renameCategory(w.session().edit(), 0, QStringLiteral("Ungesichert"));
            w.writeRecoveryCopyNow();
            QVERIFY(QFile::exists(h.file("nutzer/daten/recovery.pk2")));
            h.window.reset(); // gone without closing, as after a crash
        }
        h.prompts.questions.clear();
        h.prompts.answers = {Prompts::Answer::Yes};
        TMainForm& w = h.start();
        QTRY_COMPARE(w.session().doc().categoryCount(), 1);
        QCOMPARE(w.session().doc().categoryName(0), QStringLiteral("Ungesichert"));
        QVERIFY(w.session().edit().isChanged());
        QCOMPARE(h.prompts.questions.size(), 1); // restored: no sample question
        QVERIFY(h.prompts.questions[0].startsWith(QStringLiteral("Wiederherstellen: ")));
        h.prompts.answers = {Prompts::Answer::No};
        QVERIFY(h.close());
        QVERIFY(!QFile::exists(h.file("nutzer/daten/recovery.pk2")));
    }

    // Recent files: opened and saved catalogues are listed newest first; one that has
    // gone is taken off the list with a message instead of an error about a missing file.
    void recentFilesListTheLastCataloguesAndDropMissingOnes() {
        Harness h;
        TMainForm& w = h.start();
        const QString a = h.file("a.pk2");
        const QString b = h.file("b.pk2");
        QVERIFY(QFile::copy(kSample, a));
        QVERIFY(QFile::copy(kSample, b));
        QVERIFY(w.openRecentFile(a));
        QVERIFY(w.openRecentFile(b));
        QCOMPARE(w.programOptions().recentFiles, (QStringList{b, a}));
        QCOMPARE(actionNamed(w, "recentFile1")->text(), QStringLiteral("&1 ") + QDir::toNativeSeparators(b));
        QStringList end; // the list has a group of its own above "Beenden"
        for (QAction* item : w.menuBar()->actions().first()->menu()->actions())
            if (item->isVisible())
                end << (item->isSeparator() ? QStringLiteral("-") : item->text());
        QCOMPARE(end.mid(end.size() - 6),
                 (QStringList{"Drucker einrichten", "-", "&1 " + QDir::toNativeSeparators(b),
                              "&2 " + QDir::toNativeSeparators(a), "-", "Beenden"}));
        QFile::remove(a);
        QVERIFY(!w.openRecentFile(a));
        QCOMPARE(w.programOptions().recentFiles, QStringList{b});
        QCOMPARE(h.prompts.messages.size(), 1);
        QCOMPARE(w.session().fileName(), b);
    }

    // Choosing a language asks for a restart and is written to options.dat at close; the
    // next start is in that language, window and template columns alike.
    void aChosenLanguageComesAtTheNextStart() {
        Harness h;
        {
            TMainForm& w = h.start();
            actionNamed(w, "English")->trigger();
            QCOMPARE(h.prompts.messages.size(), 1);
            QVERIFY(h.close());
        }
        QFile dat(h.file("programm/options.dat"));
        QVERIFY(dat.open(QIODevice::ReadOnly));
        QCOMPARE(dat.readAll(), QByteArray("\x01\x00\x00\x00", 4));
        dat.close();

        Harness english;
        QDir(english.dir.path()).mkpath(QStringLiteral("programm"));
        QVERIFY(QFile::copy(h.file("programm/options.dat"), english.file("programm/options.dat")));
        english.texts.LoadTranslations(QStringLiteral(PW_TRANSLATE_DAT), QString());
        TMainForm& w = english.start();
        QVERIFY(actionNamed(w, "English")->isChecked());
        QCOMPARE(w.session().doc().VorlageSpalten.first(), english.texts.GetMessageText(15));
        QCOMPARE(w.menuBar()->actions().first()->text(), QStringLiteral("&File"));
        QCOMPARE(actionNamed(w, "Speichern1")->text(), QStringLiteral("Save"));
        QVERIFY2(english.caption().endsWith(QStringLiteral(" - [untitled.pk2]")),
                 qPrintable(english.caption()));
    }
};

PW_TEST_CLASS(TestMainWindow)
#include "tst_mainwindow.moc"
