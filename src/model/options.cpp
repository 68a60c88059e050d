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

ProgramOptions ReadProgramOptions(QSettings& store) {
    ProgramOptions o;
    store.beginGroup(QLatin1String(kGroup));
    auto flag = [&](const char* key, bool& v) { v = store.value(QLatin1String(key), v).toBool(); };
    flag("LeereVariantenSpaltenundZeilenbeimffnenentfernen1",
         o.LeereVariantenSpaltenundZeilenbeimffnenentfernen1);
    flag("PDFDateienmitCMYKFarbenausgeben1", o.PDFDateienmitCMYKFarbenausgeben1);
    flag("DruckenDialoganzeigenvordemDrucken1", o.DruckenDialoganzeigenvordemDrucken1);
    flag("Beenden1", o.Beenden1);
    flag("SearchInDescriptions", o.searchInDescriptions);
    flag("WindowMaximized", o.windowMaximized);
    bool ok = false;
    const int zoom = store.value(QStringLiteral("ZoomEd")).toInt(&ok);
    if (ok && zoom >= 1 && zoom <= 1000)
        o.ZoomEd = zoom;
    const double dpi = store.value(QStringLiteral("DPIEd")).toDouble(&ok);
    if (ok && dpi >= 10 && dpi <= 4000)
        o.DPIEd = dpi;
    o.windowGeometry = store.value(QStringLiteral("WindowGeometry")).toByteArray();
    store.endGroup();
    return o;
}

void WriteProgramOptions(QSettings& store, const ProgramOptions& o) {
    store.beginGroup(QLatin1String(kGroup));
    store.setValue(QStringLiteral("LeereVariantenSpaltenundZeilenbeimffnenentfernen1"),
                   o.LeereVariantenSpaltenundZeilenbeimffnenentfernen1);
    store.setValue(QStringLiteral("PDFDateienmitCMYKFarbenausgeben1"), o.PDFDateienmitCMYKFarbenausgeben1);
    store.setValue(QStringLiteral("DruckenDialoganzeigenvordemDrucken1"),
                   o.DruckenDialoganzeigenvordemDrucken1);
    store.setValue(QStringLiteral("Beenden1"), o.Beenden1);
    store.setValue(QStringLiteral("SearchInDescriptions"), o.searchInDescriptions);
    store.setValue(QStringLiteral("WindowMaximized"), o.windowMaximized);
    store.setValue(QStringLiteral("ZoomEd"), o.ZoomEd);
    store.setValue(QStringLiteral("DPIEd"), o.DPIEd);
    store.setValue(QStringLiteral("WindowGeometry"), o.windowGeometry);
    store.endGroup();
    store.sync();
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
