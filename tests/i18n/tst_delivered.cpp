#include "testmain.h"

#include "i18n/translateunit.h"
#include "model/options.h"

// The translate.dat the build puts beside the programs.
class TestDeliveredTranslations : public QObject {
    Q_OBJECT
    pw::TranslationStore store;

    // The row of a German text, or -1.
    int rowOf(const QString& german) const {
        for (int r = 0; r < store.rowCount(); ++r) {
            if (store.row(r)[0] == german)
                return r;
        }
        return -1;
    }

private slots:
    void initTestCase() {
        store.setCollectNewTexts(false);
        store.LoadTranslations(QStringLiteral(PW_TRANSLATE_DAT), QString());
        QVERIFY2(store.rowCount() >= 53, "the generated translate.dat does not load");
    }

    void everyMessageHasAllThreeTranslations() {
        for (int n = pw::kFirstMessage; n <= pw::kLastMessage; ++n) {
            if (!pw::messageExists(n))
                continue;
            const int r = rowOf(pw::messageGerman(n).trimmed());
            QVERIFY2(r >= 0, qPrintable(QStringLiteral("message %1 has no row").arg(n)));
            for (int slot = pw::English; slot <= pw::Nederlands; ++slot) {
                QVERIFY2(!store.row(r)[std::size_t(slot)].trimmed().isEmpty(),
                         qPrintable(QStringLiteral("message %1 lacks language %2").arg(n).arg(slot)));
            }
        }
    }

    void fixedWordsStayInEveryLanguage() {
        const QString example = QStringLiteral(
            "Test;Dies ist die Kategorie Test;c:\\test\\test.jpg;10;true;false;true;false;true;true;"
            "false;false;true;true;true");
        for (int slot = pw::English; slot <= pw::Nederlands; ++slot) {
            store.setLanguage(slot);
            QCOMPARE(store.GetMessageText(32), QStringLiteral("test.pk2"));
            const QString keywords = store.GetMessageText(53);
            QVERIFY(keywords.contains(QLatin1String("true")) && keywords.contains(QLatin1String("false")));
            QVERIFY(store.GetMessageText(58).endsWith(example));
            QVERIFY(store.GetMessageText(49) != pw::messageGerman(49));
        }
        store.setLanguage(pw::Deutsch);
        QCOMPARE(store.GetMessageText(1), pw::messageGerman(1));
    }
};

PW_TEST_CLASS(TestDeliveredTranslations)
#include "tst_delivered.moc"
