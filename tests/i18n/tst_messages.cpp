#include "testmain.h"

#include "i18n/translateunit.h"

// The messages as an empty German store gives them back: the table itself.
class TestMessages : public QObject {
    Q_OBJECT
    pw::TranslationStore german;

private slots:
    void tableHoldsFiftyFourMessagesWithGaps() {
        QList<int> missing;
        int count = 0;
        for (int n = -1; n <= 60; ++n) {
            if (pw::messageExists(n))
                ++count;
            else if (n >= 1 && n <= 58)
                missing.append(n);
        }
        QCOMPARE(count, 54);
        QCOMPARE(missing, (QList<int>{14, 25, 26, 33}));
    }

    void textsAreVerbatim_data() {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("text");
        QTest::newRow("1 keeps its spelling and trailing space")
            << 1 << "Konte die folgende Datei nicht öffnen: ";
        QTest::newRow("12") << 12 << "Die Datei wurde noch nicht gespeichert. Wollen Sie jetzt speichern?";
        QTest::newRow("24") << 24 << "unbenannt";
        QTest::newRow("32") << 32 << "test.pk2";
        QTest::newRow("49") << 49 << "Konnte Datei nicht erstellen";
        QTest::newRow("55 ends in a space")
            << 55
            << "4. Diese Kategorie soll das Inhaltsverzeichnis sein, 5. Das erste Produkt der Kategorie soll "
               "auf "
               "einer neuen Seite beginnen, 6. Nur das Bild anzeigen und keinen Text, danach Seitenumbruch, ";
        QTest::newRow("58 has backslashes") << 58
                                            << "Ein Beispiel: Test;Dies ist die Kategorie "
                                               "Test;c:\\test\\test.jpg;10;true;false;true;false;true;true;"
                                               "false;false;true;true;true";
    }
    void textsAreVerbatim() {
        QFETCH(int, n);
        QFETCH(QString, text);
        QCOMPARE(german.GetMessageText(n), text);
    }

    void numberOutsideTheTableLeavesTheOutputAlone() {
        QString text = QStringLiteral("unchanged");
        german.GetMessageText(14, text);
        german.GetMessageText(59, text);
        german.GetMessageText(0, text);
        QCOMPARE(text, QStringLiteral("unchanged"));
        german.GetMessageText(13, text);
        QCOMPARE(text, QStringLiteral("Speichern"));
    }

    void templateColumnsComeFromMessages15To19() {
        QCOMPARE(pw::DefaultTemplateColumns(german),
                 (QStringList{"Name", "Art. Nummer", "Preis", "Ab 10 Stk.", "Ab 100 Stk."}));
    }

    void errorsReadAsMessageThenArguments() {
        QCOMPARE(pw::errorText(pw::Error(49, QStringLiteral("/x/a.pk2")), german),
                 QStringLiteral("Konnte Datei nicht erstellen: /x/a.pk2"));
        QCOMPARE(pw::errorText(pw::Error(1, QStringLiteral("/x/a.pk2")), german),
                 QStringLiteral("Konte die folgende Datei nicht öffnen: /x/a.pk2"));
        QCOMPARE(pw::errorText(pw::Error::text(QStringLiteral("kaputt"), QStringLiteral("/f"), 12), german),
                 QStringLiteral("kaputt (Byte 12)"));
    }
};

PW_TEST_CLASS(TestMessages)
#include "tst_messages.moc"
