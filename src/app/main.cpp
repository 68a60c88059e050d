// pagewright: the window program.

#include "app/mainwindow.h"
#include "app/qtservices.h"
#include "i18n/translateunit.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pagewright"));
    QApplication::setApplicationDisplayName(QStringLiteral("Pagewright"));
    QApplication::setApplicationVersion(QStringLiteral(PW_VERSION));
    // The desktop file's name, so that the window is matched to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("pagewright"));
    QApplication::setWindowIcon(pw::applicationIcon());

    const pw::ProgramFolders folders = pw::ProgramFolders::forThisProgram();
    pw::TranslationStore texts;
    texts.LoadTranslations(folders);
    pw::SystemClock clock;
    pw::QtPrompts prompts(texts);

    pw::WindowEnvironment environment;
    environment.texts = &texts;
    environment.prompts = &prompts;
    environment.clock = &clock;
    environment.folders = folders;
    environment.workingFolder = QDir::currentPath();
    environment.recoveryFolder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    pw::TMainForm window(environment);
    prompts.setParentWidget(&window);
    const QStringList args = QApplication::arguments();
    if (args.size() > 1)
        window.setCommandLineFile(args[1]);
    window.show();
    return QApplication::exec();
}
