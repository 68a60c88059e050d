#include "options.h"

#include "model/savefile.h"

#include <QFile>
#include <QSettings>
#include <QtEndian>

namespace pw {

namespace {

constexpr char kOptionsFile[] = "options.dat";
constexpr char kGroup[] = "MainForm";

} // namespace

int LoadOptions(const ProgramFolders& folders) {
    QFile f(folders.readLocation(QString::fromLatin1(kOptionsFile)));
    if (!f.open(QIODevice::ReadOnly))
        return Deutsch;
    const QByteArray data = f.read(4);
    if (data.size() != 4)
        return Deutsch;
    const qint32 language = qFromLittleEndian<qint32>(data.constData());
    return (language >= 0 && language < kLanguageCount) ? language : int(Deutsch);
}

bool SaveOptions(const ProgramFolders& folders, int language) {
    char data[4];
    qToLittleEndian<qint32>(language, data);
    return WriteFileAtomically(folders.writeLocation(QString::fromLatin1(kOptionsFile)), QByteArray(data, 4));
}

QString settingsOrganisation() {
    return QStringLiteral("Pagewright");
}
QString settingsApplication() {
    return QStringLiteral("Pagewright");
}

namespace {

// The switches of the store, each with its key; read and written from this one list.
struct OptionFlag {
    const char* key;
    bool ProgramOptions::*member;
};
constexpr OptionFlag kOptionFlags[] = {
    {"LeereVariantenSpaltenundZeilenbeimffnenentfernen1",
     &ProgramOptions::LeereVariantenSpaltenundZeilenbeimffnenentfernen1},
    {"PDFDateienmitCMYKFarbenausgeben1", &ProgramOptions::PDFDateienmitCMYKFarbenausgeben1},
    {"DruckenDialoganzeigenvordemDrucken1", &ProgramOptions::DruckenDialoganzeigenvordemDrucken1},
    {"Beenden1", &ProgramOptions::Beenden1},
    {"SearchInDescriptions", &ProgramOptions::searchInDescriptions},
    {"WindowMaximized", &ProgramOptions::windowMaximized},
    {"DoNotAskForSample", &ProgramOptions::doNotAskForSample},
    {"VectorPdf", &ProgramOptions::vectorPdf},
    {"PdfPredictor", &ProgramOptions::pdfPredictor},
};

} // namespace

ProgramOptions ReadProgramOptions(QSettings& store) {
    ProgramOptions o;
    store.beginGroup(QLatin1String(kGroup));
    for (const OptionFlag& f : kOptionFlags)
        o.*f.member = store.value(QLatin1String(f.key), o.*f.member).toBool();
    bool ok = false;
    const int zoom = store.value(QStringLiteral("ZoomEd")).toInt(&ok);
    if (ok && zoom >= 1 && zoom <= 1000)
        o.ZoomEd = zoom;
    const double dpi = store.value(QStringLiteral("DPIEd")).toDouble(&ok);
    if (ok && dpi >= 10 && dpi <= 4000)
        o.DPIEd = dpi;
    o.windowGeometry = store.value(QStringLiteral("WindowGeometry")).toByteArray();
    for (const QString& file : store.value(QStringLiteral("RecentFiles")).toStringList())
        o.recentFiles = addRecentFile(o.recentFiles, file, false);
    store.endGroup();
    return o;
}

void WriteProgramOptions(QSettings& store, const ProgramOptions& o) {
    store.beginGroup(QLatin1String(kGroup));
    for (const OptionFlag& f : kOptionFlags)
        store.setValue(QLatin1String(f.key), o.*f.member);
    store.setValue(QStringLiteral("ZoomEd"), o.ZoomEd);
    store.setValue(QStringLiteral("DPIEd"), o.DPIEd);
    store.setValue(QStringLiteral("WindowGeometry"), o.windowGeometry);
    store.setValue(QStringLiteral("RecentFiles"), o.recentFiles);
    store.endGroup();
    store.sync();
}

QStringList addRecentFile(QStringList list, const QString& path, bool first) {
    if (path.isEmpty() || (!first && list.contains(path)))
        return list;
    list.removeAll(path);
    if (first)
        list.prepend(path);
    else
        list.append(path);
    while (list.size() > kRecentFileCount)
        list.removeLast();
    return list;
}

ProgramOptions LoadProgramOptions() {
    QSettings store(settingsOrganisation(), settingsApplication());
    return ReadProgramOptions(store);
}

void SaveProgramOptions(const ProgramOptions& options) {
    QSettings store(settingsOrganisation(), settingsApplication());
    WriteProgramOptions(store, options);
}

QLocale LanguageLocale(int language) {
    switch (language) {
    case English:
        return QLocale(QLocale::English, QLocale::UnitedStates);
    case Francais:
        return QLocale(QLocale::French, QLocale::France);
    case Nederlands:
        return QLocale(QLocale::Dutch, QLocale::Netherlands);
    default:
        return QLocale(QLocale::German, QLocale::Germany);
    }
}

} // namespace pw
