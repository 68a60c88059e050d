#pragma once

// A main window for tests: everything it touches in a folder of its own, its questions
// answered from a script.

#include "app/mainwindow.h"
#include "i18n/translateunit.h"
#include "model/options.h"

#include <QAction>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <memory>

namespace windowtest {

using namespace pw;

// Answers the window's questions from a script and keeps what it was told. A question
// the script has no answer for is answered No.
class ScriptedPrompts final : public Prompts {
public:
    std::deque<Answer> answers;
    std::deque<QString> fileNames;
    QStringList questions; // caption: text
    QStringList messages;
    bool tickDontAskAgain = false;

    Answer ask(const QString& text, const QString& caption, Buttons) override {
        questions.append(caption + QStringLiteral(": ") + text);
        if (answers.empty())
            return Answer::No;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    Answer askOnce(const QString& text, const QString& caption, Buttons buttons,
                   bool& dontAskAgain) override {
        dontAskAgain = tickDontAskAgain;
        return ask(text, caption, buttons);
    }
    void message(const QString& text, const QString& caption, Icon) override {
        messages.append(caption + QStringLiteral(": ") + text);
    }
    QString openFileName(const QString&) override { return nextFile(); }
    QString saveFileName(const QString&, const QString&) override { return nextFile(); }
    QString folderName(const QString&) override { return nextFile(); }

private:
    QString nextFile() {
        if (fileNames.empty())
            return {};
        const QString f = fileNames.front();
        fileNames.pop_front();
        return f;
    }
};

inline const QString kSample = QStringLiteral(PW_SOURCE_DIR "/resources/samples/test.pk2");
inline const QString kSavePrompt =
    QStringLiteral("Speichern: Die Datei wurde noch nicht gespeichert. Wollen Sie jetzt "
                   "speichern?");
inline const QString kSampleQuestion =
    QStringLiteral("Testdatei öffnen?: Wollen Sie die Test Projektdatei öffnen lassen?");

// One window with everything it touches in a folder of its own.
struct Harness {
    QTemporaryDir dir;
    TranslationStore texts;
    FixedClock clock{QDate(2026, 3, 4)};
    ScriptedPrompts prompts;
    std::unique_ptr<TMainForm> window;

    WindowEnvironment environment() {
        WindowEnvironment env;
        env.texts = &texts;
        env.prompts = &prompts;
        env.clock = &clock;
        env.folders =
            ProgramFolders(dir.filePath(QStringLiteral("programm")), dir.filePath(QStringLiteral("nutzer")),
                           {QStringLiteral(PW_SOURCE_DIR "/resources")});
        env.workingFolder = dir.filePath(QStringLiteral("arbeit"));
        env.recoveryFolder = dir.filePath(QStringLiteral("nutzer/daten"));
        env.sampleQuestionDelayMs = 0;
        env.recoveryIntervalMs = 60 * 60 * 1000; // the tests write the copy themselves
        return env;
    }
    Harness() {
        QDir(dir.path()).mkpath(QStringLiteral("programm"));
        QDir(dir.path()).mkpath(QStringLiteral("arbeit"));
        texts.setCollectNewTexts(false);
    }
    // Makes the window and shows it; the start-up questions are answered by then.
    TMainForm& start(const QString& commandLineFile = {}) {
        window = std::make_unique<TMainForm>(environment());
        window->setCommandLineFile(commandLineFile);
        window->show();
        QTest::qWait(20);
        return *window;
    }
    QString file(const char* name) const { return dir.filePath(QLatin1String(name)); }
    QString caption() const { return window->windowTitle(); }
    // Closes the window as the user does; true when it closed.
    bool close() { return window->close(); }
};

inline QAction* actionNamed(QWidget& w, const char* name) {
    return w.findChild<QAction*>(QLatin1String(name));
}

inline void clearUserSettings() {
    QSettings(settingsOrganisation(), settingsApplication()).clear();
}

} // namespace windowtest
