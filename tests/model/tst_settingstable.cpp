#include "testmain.h"

#include "fixtures.h"

#include "model/catalogfile.h"
#include "model/editcommands.h"
#include "model/settingstable.h"

#include <QSet>
#include <QTemporaryDir>

using namespace pw;

class TestSettingsTable : public QObject {
    Q_OBJECT

private slots:
    // The table must name every setting once, each with its own member: a row pointing at
    // another row's member would make one setting silently write another.
    void everySettingHasOneRowAndItsOwnMember() {
        const auto table = layoutSettingsTable();
        QCOMPARE(table.size(), std::size_t(113));
        QSet<QString> names;
        for (const SettingInfo& info : table) {
            names.insert(QString::fromLatin1(info.name));
            QCOMPARE(findSetting(QString::fromLatin1(info.name)), &info);
            LayoutSettings s;
            setSettingValue(s, info, test::otherSettingValue(info));
            for (const SettingInfo& other : table) {
                if (&other != &info)
                    QVERIFY2(settingValue(s, other) == defaultSettingValue(other), other.name);
            }
            QVERIFY2(settingValue(s, info) == test::otherSettingValue(info), info.name);
            // the fixtures rely on it: a value that is not written or read shows up
            QVERIFY2(!(test::otherSettingValue(info) == defaultSettingValue(info)), info.name);
        }
        QCOMPARE(names.size(), 113);
        QCOMPARE(findSetting(u"linksed"), nullptr); // names are case-sensitive
    }

    void everySettingRoundTripsThroughTheFile() {
        CatalogDocument doc;
        for (const SettingInfo& info : layoutSettingsTable())
            setSettingValue(doc.settings, info, test::otherSettingValue(info));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("settings.pk2"));
        SaveTheFile(doc, path);
        const LoadResult loaded = ReadCatalogFile(path, CatalogFormat::Current, CatalogDocument(), {});
        for (const SettingInfo& info : layoutSettingsTable())
            QVERIFY2(settingValue(loaded.doc.settings, info) == test::otherSettingValue(info), info.name);
    }

    void badValuesAreRejectedByName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("length above its range") << "LinksEd"
                                                << "1000.5"
                                                << "LinksEd: erlaubt sind 0 bis 1000 mm";
        QTest::newRow("negative length") << "RxSpinEdit6"
                                         << "-1"
                                         << "RxSpinEdit6: erlaubt sind 0 bis 1000 mm";
        QTest::newRow("not a number") << "ObenEd"
                                      << "nan"
                                      << "ObenEd: keine Zahl";
        QTest::newRow("decimal comma") << "ObenEd"
                                       << "2,5"
                                       << "ObenEd: \"2,5\" ist keine Zahl (mit Dezimalpunkt)";
        QTest::newRow("layout 9") << "LayoutCombo"
                                  << "8"
                                  << "LayoutCombo: erlaubt sind 0 bis 7";
        QTest::newRow("five columns") << "Columns"
                                      << "5"
                                      << "Columns: erlaubt sind 2 bis 4";
        QTest::newRow("brightness 0 %") << "HellEd"
                                        << "0"
                                        << "HellEd: erlaubt sind 1 bis 100 %";
        QTest::newRow("flag as word") << "CapsCheck"
                                      << "ja"
                                      << "CapsCheck: \"ja\" ist weder true noch false";
        QTest::newRow("colour without six digits") << "Shape1"
                                                   << "#FFF"
                                                   << "Shape1: \"#FFF\" ist keine Farbe (#RRGGBB oder Zahl)";
        QTest::newRow("font without size")
            << "FontDialog2"
            << "Arial"
            << "FontDialog2: \"Arial\" ist keine Schrift (Name,Größe,Stil,Farbe)";
        QTest::newRow("font size 0") << "FontDialog2"
                                     << "Arial,0"
                                     << "FontDialog2: die Schriftgröße muss zwischen 1 und 1638 Punkt liegen";
    }
    void badValuesAreRejectedByName() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, message);
        const SettingInfo* info = findSetting(name);
        QVERIFY(info);
        try {
            parseSettingValue(*info, text);
            QFAIL("accepted");
        } catch (const Error& e) {
            QCOMPARE(e.germanText(), message);
        }
    }

    void valuesAreReadAsWritten() {
        const SettingValue colour = parseSettingValue(*findSetting(u"Shape1"), QStringLiteral("#102030"));
        QCOMPARE(std::get<quint32>(colour), quint32(0x00302010)); // stored as 0x00BBGGRR
        const SettingValue font =
            parseSettingValue(*findSetting(u"FontDialog3"), QStringLiteral("Liberation Serif, 12, bu, 255"));
        const FontSpec& f = std::get<FontSpec>(font);
        QCOMPARE(f.Name, QStringLiteral("Liberation Serif"));
        QCOMPARE(f.Size, 12);
        QCOMPARE(f.Style, quint8(FontSpec::Bold | FontSpec::Underline));
        QCOMPARE(f.Color, quint32(255));
        QCOMPARE(std::get<qint32>(parseSettingValue(*findSetting(u"FirstPageNr"), QStringLiteral("-4"))), -4);
    }

    // A bad value must leave the document, its flag and its history untouched; good values
    // typed one after another are one undo step.
    void changeSettingChecksMergesAndUndoes() {
        CatalogDocument doc;
        EditContext ctx(doc);
        const SettingInfo& links = *findSetting(u"LinksEd");
        QVERIFY_THROWS_EXCEPTION(Error, changeSetting(ctx, links, 1001.0));
        QVERIFY_THROWS_EXCEPTION(Error, changeSetting(ctx, links, qint32(5))); // wrong kind
        QCOMPARE(doc.settings.LinksEd, 12.0);
        QVERIFY(!ctx.isChanged());
        QVERIFY(!ctx.history.canUndo());

        changeSetting(ctx, links, 12.0); // its own value: nothing
        QVERIFY(!ctx.isChanged());
        changeSetting(ctx, links, 1.0);
        changeSetting(ctx, links, 15.0);
        changeSetting(ctx, *findSetting(u"KopfEd"), QStringLiteral("Neu"));
        QCOMPARE(ctx.history.count(), 2);
        QVERIFY(ctx.isChanged());
        QVERIFY(ctx.undo());
        QCOMPARE(doc.settings.KopfEd, LayoutSettings().KopfEd);
        QVERIFY(ctx.undo());
        QCOMPARE(doc.settings.LinksEd, 12.0);
        QVERIFY(!ctx.isChanged());
        QVERIFY(ctx.redo());
        QCOMPARE(doc.settings.LinksEd, 15.0);
    }
};

PW_TEST_CLASS(TestSettingsTable)
#include "tst_settingstable.moc"
