#include "testmain.h"

#include "i18n/translateunit.h"
#include "model/options.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

namespace {

// The placeholders %1, %2, ... a text uses, as a set.
QSet<QString> placeholders(const QString& text) {
    static const QRegularExpression number(QStringLiteral("%[0-9]+"));
    QSet<QString> found;
    for (const QRegularExpressionMatch& m : number.globalMatch(text))
        found.insert(m.captured());
    return found;
}

// The German templates of errors in the program's sources: the first argument of every
// Error::text, Error::format, usage error and reader failure that is written as a literal
// (adjacent literals joined), and the error words of the option tables.
QStringList errorTemplatesInSources() {
    static const QRegularExpression call(QStringLiteral(
        R"re((?:Error::text|Error::format|usageError|fail|readFixedPart|badValue\(info,|refuse\(rules,)\(?\s*)re"
        R"re((?:QStringLiteral\(\s*)?((?:"(?:[^"\\]|\\.)*"\s*)+))re"));
    static const QRegularExpression field(
        QStringLiteral(R"re((?:unknown|switchWithValue|badValue)\s*=\s*((?:"(?:[^"\\]|\\.)*"\s*)+))re"));
    static const QRegularExpression literal(QStringLiteral(R"re("((?:[^"\\]|\\.)*)")re"));
    QStringList templates;
    QDirIterator it(QStringLiteral(PW_SOURCE_DIR "/src"), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QString source = QString::fromUtf8(f.readAll());
        for (const QRegularExpression* re : {&call, &field}) {
            for (const QRegularExpressionMatch& m : re->globalMatch(source)) {
                QString text;
                for (const QRegularExpressionMatch& l : literal.globalMatch(m.captured(1)))
                    text += l.captured(1);
                text.replace(QStringLiteral("\\\""), QStringLiteral("\""))
                    .replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
                templates.append(text);
            }
        }
    }
    templates.removeDuplicates();
    return templates;
}

} // namespace

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

    // Every error text of the core and of the command-line tool has its English, French and
    // Dutch row, so that no error is shown in German in another language; texts without a
    // word of their own ("%1: %2") need none.
    void everyErrorTextIsTranslated() {
        const QStringList templates = errorTemplatesInSources();
        QVERIFY2(templates.size() > 80, "the sources' error texts were not found");
        static const QRegularExpression word(QStringLiteral("[A-Za-zÄÖÜäöüß]{2,}"));
        QStringList missing;
        for (const QString& text : templates) {
            if (!word.match(text).hasMatch())
                continue;
            const int r = rowOf(text);
            bool complete = r >= 0;
            for (int slot = pw::English; complete && slot <= pw::Nederlands; ++slot)
                complete = !store.row(r)[std::size_t(slot)].isEmpty();
            if (!complete)
                missing.append(text);
        }
        QVERIFY2(missing.isEmpty(),
                 qPrintable(QStringLiteral("without translation:\n") + missing.join(u'\n')));
    }

    // A translation uses the same placeholders as its German text: a dropped %2 would show a
    // number nowhere, a stray one would show "%3" to the user.
    void translationsKeepThePlaceholders() {
        for (int r = 0; r < store.rowCount(); ++r) {
            const QSet<QString> german = placeholders(store.row(r)[0]);
            for (int slot = pw::English; slot <= pw::Nederlands; ++slot) {
                const QString& text = store.row(r)[std::size_t(slot)];
                QVERIFY2(text.isEmpty() || placeholders(text) == german,
                         qPrintable(store.row(r)[0] + QStringLiteral(" | ") + text));
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
