#include "testmain.h"

#include "clirun.h"
#include "model/settingstable.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

using namespace pw;
using pw::test::cli;

namespace {

const QString kSample = QStringLiteral(PW_SOURCE_DIR "/resources/samples/test.pk2");

// NAME=VALUE giving the setting a value other than its default, and that value as the
// JSON of `settings` shows it.
std::pair<QString, QJsonValue> assignment(const SettingInfo& info) {
    const QString name = QString::fromLatin1(info.name);
    const SettingValue d = defaultSettingValue(info);
    switch (info.kind) {
    case SettingKind::Integer: {
        const qint32 v = std::get<qint32>(d);
        const qint32 other = !info.hasRange()        ? v + 7
                             : v == qint32(info.min) ? qint32(info.max)
                                                     : qint32(info.min);
        return {name + u'=' + QString::number(other), other};
    }
    case SettingKind::Number: {
        const double other = std::get<double>(d) == info.max ? info.min : info.max;
        return {name + u'=' + QString::number(other, 'g', 17), other};
    }
    case SettingKind::Flag:
        return {name + (std::get<bool>(d) ? QStringLiteral("=false") : QStringLiteral("=true")),
                !std::get<bool>(d)};
    case SettingKind::Colour: {
        const quint32 other = std::get<quint32>(d) ^ 0x00123456;
        return {name + u'=' + QString::number(other), double(other)};
    }
    case SettingKind::Font:
        return {name + QStringLiteral("=DejaVu Serif,17,i,#00FF00"),
                QStringLiteral("DejaVu Serif 17 2 65280")};
    case SettingKind::Text:
    case SettingKind::Path:
        return {name + QStringLiteral("=/srv/") + name + QStringLiteral(".png"),
                QStringLiteral("/srv/") + name + QStringLiteral(".png")};
    }
    return {};
}

QJsonObject jsonOf(const QByteArray& out) {
    return QJsonDocument::fromJson(out).object();
}

} // namespace

class TestSettingsCommands : public QObject {
    Q_OBJECT

private slots:
    void settingsPrintsWhatDumpPrints() {
        const auto settings = cli({QStringLiteral("settings"), kSample});
        const auto dump = cli({QStringLiteral("dump"), kSample});
        QCOMPARE(settings.code, 0);
        QCOMPARE(jsonOf(settings.out), jsonOf(dump.out).value(QStringLiteral("settings")).toObject());
        QCOMPARE(jsonOf(settings.out).size(), 113);
    }

    // Every setting can be changed by its name, and reads back as given.
    void everySettingCanBeSetByName() {
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("set.pk2"));
        QStringList args{QStringLiteral("set"), kSample, QStringLiteral("-o"), out};
        std::vector<std::pair<QString, QJsonValue>> expected;
        for (const SettingInfo& info : layoutSettingsTable()) {
            const auto [arg, value] = assignment(info);
            args << arg;
            expected.emplace_back(QString::fromLatin1(info.name), value);
        }
        const auto set = cli(args);
        QVERIFY2(set.code == 0, set.err.constData());
        const QJsonObject shown = jsonOf(cli({QStringLiteral("settings"), out}).out);
        for (const auto& [name, value] : expected) {
            QJsonValue got = shown.value(name);
            if (got.isObject()) { // a font: the fields the assignment gave
                const QJsonObject f = got.toObject();
                got = QStringLiteral("%1 %2 %3 %4")
                          .arg(f.value(u"Name").toString())
                          .arg(f.value(u"Size").toInt())
                          .arg(f.value(u"Style").toInt())
                          .arg(qint64(f.value(u"Color").toDouble()));
            }
            QVERIFY2(got == value, qPrintable(name));
        }
    }

    void badAssignmentsAreUsageErrorsAndWriteNothing_data() {
        QTest::addColumn<QString>("assignment");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown name") << "Linksrand=5"
                                      << "unbekannte Einstellung Linksrand";
        QTest::newRow("out of range") << "UntenEd=1200"
                                      << "UntenEd: erlaubt sind 0 bis 1000 mm";
        QTest::newRow("not a colour") << "Shape3=blau"
                                      << "Shape3: \"blau\" ist keine Farbe";
        QTest::newRow("no assignment") << ""
                                       << "erwartet eine Katalogdatei";
    }
    void badAssignmentsAreUsageErrorsAndWriteNothing() {
        QFETCH(QString, assignment);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("set.pk2"));
        QStringList args{QStringLiteral("set"), kSample, QStringLiteral("-o"), out,
                         QStringLiteral("LinksEd=3")};
        if (!assignment.isEmpty())
            args << assignment;
        else
            args.removeLast();
        const auto run = cli(args);
        QCOMPARE(run.code, 1);
        QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
        QVERIFY(!QFile::exists(out));
    }
};

PW_TEST_CLASS(TestSettingsCommands)
#include "tst_settings.moc"
