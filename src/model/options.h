#pragma once

// Program options: the interface language in options.dat, and the user's switches in the
// per-user settings store.

#include "model/programfolders.h"

#include <QByteArray>
#include <QLocale>
#include <QStringList>

class QSettings;

namespace pw {

// Interface languages, also the slots of the translation store.
enum Language : int { Deutsch = 0, English = 1, Francais = 2, Nederlands = 3 };
constexpr int kLanguageCount = 4;

// The locale of an interface language, whose short date format "%DATE%" uses: de_DE,
// en_US, fr_FR, nl_NL; German for any other value.
QLocale LanguageLocale(int language);

// The interface language stored in options.dat (one little-endian int32), or German when
// the file is missing, unreadable or holds a value other than 0..3.
int LoadOptions(const ProgramFolders& folders);
// Writes the language to options.dat atomically. Failure is silent; returns false then.
bool SaveOptions(const ProgramFolders& folders, int language);

// The switches kept in the per-user settings store between runs, with their defaults.
// The switch "Beim Importieren die Spaltenüberschriften ... übernehmen" is deliberately
// not here: it starts unchecked in every run.
struct ProgramOptions {
    bool LeereVariantenSpaltenundZeilenbeimffnenentfernen1 = true; // trim variant tables on opening
    bool PDFDateienmitCMYKFarbenausgeben1 = true;
    bool DruckenDialoganzeigenvordemDrucken1 = false;
    bool Beenden1 = false;             // the check mark of "Beenden"; kept, no effect
    int ZoomEd = 100;                  // preview zoom in percent, 1..1000
    double DPIEd = 300;                // PDF resolution, 10..4000
    bool vectorPdf = false;            // the PDF export's last choice: vector rather than picture pages
    bool pdfPredictor = false;         // "Kleinere Datei (verlustfrei)": page pictures with the Up predictor
    bool searchInDescriptions = false; // "Auch in Artikelbeschreibung suchen"
    bool windowMaximized = false;
    QByteArray windowGeometry;      // empty: as first laid out
    bool doNotAskForSample = false; // "Nicht mehr fragen" ticked under the sample question
    QStringList recentFiles;        // the last catalogues opened or saved, newest first

    bool operator==(const ProgramOptions&) const = default;
};

constexpr int kRecentFileCount = 8;

// The recent-file list with `path` added in front: a path already listed moves there, and
// the list keeps at most kRecentFileCount. With `first` false (reading a stored list in
// order) `path` is appended instead, unless it is listed already.
QStringList addRecentFile(QStringList list, const QString& path, bool first = true);

// The store of the running user: organisation and application "Pagewright".
QString settingsOrganisation();
QString settingsApplication();

// Reads the options from a settings store; values that are missing or out of range keep
// their defaults.
ProgramOptions ReadProgramOptions(QSettings& store);
void WriteProgramOptions(QSettings& store, const ProgramOptions& options);

// The same on the running user's store (organisation and application "Pagewright").
ProgramOptions LoadProgramOptions();
void SaveProgramOptions(const ProgramOptions& options);

} // namespace pw
