#include "translateunit.h"

#include "model/programfolders.h"
#include "model/savefile.h"

#include <QFile>

#include <algorithm>

namespace pw {

namespace {

struct Message {
    int number;
    const char16_t* text;
};

// clang-format off
constexpr Message kMessages[] = {
    {1, u"Konte die folgende Datei nicht öffnen: "},
    {2, u"Bitte schließen Sie das Program und starten Sie es neu."},
    {3, u"Übersetzen"},
    {4, u"Importiert wird in die gewählte Kategorie. Die erste Spalte soll den Produktnamen enthalten. Die zweite Spalte die Produktbezeichnung. "},
    {5, u"Die dritte Spalte den Dateinamen fürs Produktbild. Die weitereren Spalten sollen den Voreinstellungen für die Varianten-Spalten entsprechen (Reiter: Voreinstellungen)."},
    {6, u"Import"},
    {7, u"Bitte wählen Sie zunächst eine Kategorie, in welche die Produkte importiert werden sollen"},
    {8, u"Importieren"},
    {9, u"Konnte das Bild nicht laden."},
    {10, u"Wollen Sie die folgende Kategorie und alle enthaltenden Produkte wirklich endgültig löschen: "},
    {11, u"Kategorie löschen"},
    {12, u"Die Datei wurde noch nicht gespeichert. Wollen Sie jetzt speichern?"},
    {13, u"Speichern"},
    {15, u"Name"},
    {16, u"Art. Nummer"},
    {17, u"Preis"},
    {18, u"Ab 10 Stk."},
    {19, u"Ab 100 Stk."},
    {20, u"Neues Produkt"},
    {21, u"Katalog drucken"},
    {22, u"Wollen Sie alle Produkte alphabetisch sortieren?"},
    {23, u"Sortieren"},
    {24, u"unbenannt"},
    {27, u"Wollen Sie die Test Projektdatei öffnen lassen?"},
    {28, u"Testdatei öffnen?"},
    {29, u"Suchen"},
    {30, u"Nochmal suchen?"},
    {31, u"Wollen Sie diese Zeile löschen?"},
    {32, u"test.pk2"},
    {34, u"Konte die folgende Datei nicht öffnen: "},
    {35, u"Wollen Sie den Kategorienamen in die erste Spalte schreiben lassen, dann klicken Sie Ja, ansonsten wird nur die aktuelle Kategorie exportiert."},
    {36, u"Exportieren"},
    {37, u"Bitte wählen Sie zunächst eine Kategorie, aus welcher die Produkte exportiert werden sollen"},
    {38, u"Sie müssen ein Ausgabeverzeichnis auswählen"},
    {39, u"Zurück"},
    {40, u"Vorwärts"},
    {41, u"Erste Seite"},
    {42, u"Letzte Seite"},
    {43, u"Preisliste"},
    {44, u"Katalog"},
    {45, u"Fehler beim Kopieren der Datei:"},
    {46, u"nach"},
    {47, u"Alle Bilder wurden nun in dieses Verzeichnis kopiert und die Verweise auf die Bilder wurden auf dieses Verzeichnis geändert. Wenn Sie nun die Projektdatei abspeichern werden die neuen Verweise entgültig übernommen."},
    {48, u"Bilddateien kopieren"},
    {49, u"Konnte Datei nicht erstellen"},
    {50, u"Es wurde kein passender Artikel gefunden."},
    {51, u"Nichts gefunden"},
    {52, u"Die erste Spalte soll den Kategorienamen enthalten. Die zweite Spalte die Kategoriebezeichnung und die dritte Spalte das Kategoriebild. In der 4. Spalte steht die Bildbreite."},
    {53, u"In den folgenden Spalten folgen die Optionen, die entweder durch das Schlüsselwort true eingeschaltet werden können oder durch false ausgeschaltet werden können."},
    {54, u"Die Optionen sind: 1. Bild unter Kategorienamen anzeigen, 2. Einführungstext unter dem Bild statt neben dem Bild, 3. Kategorie muss nicht auf einer neuen Seite beginnen,"},
    {55, u"4. Diese Kategorie soll das Inhaltsverzeichnis sein, 5. Das erste Produkt der Kategorie soll auf einer neuen Seite beginnen, 6. Nur das Bild anzeigen und keinen Text, danach Seitenumbruch, "},
    {56, u"7. Bild als Hintergrundbild benutzen, 8. Diese Kategorie nicht im Inhaltsverzeichnis auflisten, 9. Im Inhaltsverzeichnis nur die folgenden Unterkategorien auflisten, "},
    {57, u"10. Im Inhaltsverzeichnis alle Kategorien auflisten, nicht nur nachfolgende, 11. Kategorie deaktivieren"},
    {58, u"Ein Beispiel: Test;Dies ist die Kategorie Test;c:\\test\\test.jpg;10;true;false;true;false;true;true;false;false;true;true;true"},
};
// clang-format on

const Message* findMessage(int n) {
    for (const Message& m : kMessages) {
        if (m.number == n)
            return &m;
    }
    return nullptr;
}

constexpr char kTranslateFile[] = "translate.dat";

// Keys are ordered by their UTF-16 code units, a prefix first.
// Qt's case-sensitive comparison orders by UTF-16 code units, and it is vectorised.
bool keyLess(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseSensitive) < 0;
}

int bucketOf(QStringView key) {
    return key.front().unicode() & 0xFF;
}

// The quicksort the index has always used: middle pivot, i and j moving towards each
// other, swapping while i <= j. Which of two equal keys comes first depends on it, and a
// lookup takes the first, so it is kept exactly. The smaller part is sorted by recursion
// and the larger one by the loop, which bounds the depth without changing the result.
template <class Entry> void sortEntries(std::vector<Entry>& e, qsizetype lo, qsizetype hi) {
    while (lo < hi) {
        qsizetype i = lo;
        qsizetype j = hi;
        const QString pivot = e[std::size_t((lo + hi) / 2)].key;
        do {
            while (keyLess(e[std::size_t(i)].key, pivot))
                ++i;
            while (keyLess(pivot, e[std::size_t(j)].key))
                --j;
            if (i <= j) {
                std::swap(e[std::size_t(i)], e[std::size_t(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - lo < hi - i) {
            if (lo < j)
                sortEntries(e, lo, j);
            lo = i;
        } else {
            if (i < hi)
                sortEntries(e, i, hi);
            hi = j;
        }
    }
}

} // namespace

bool messageExists(int n) {
    return findMessage(n) != nullptr;
}

QString messageGerman(int n) {
    const Message* m = findMessage(n);
    return m ? QString::fromUtf16(m->text) : QString();
}

TranslationStore::TranslationStore() = default;

void TranslationStore::LoadTranslations(const QString& readPath, const QString& writePath) {
    m_writePath = writePath;
    QFile f(readPath);
    loadFromData(f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray());
}

void TranslationStore::LoadTranslations(const ProgramFolders& folders) {
    const QString name = QString::fromLatin1(kTranslateFile);
    LoadTranslations(folders.readLocation(name), folders.writeLocation(name));
}

void TranslationStore::loadFromData(const QByteArray& data) {
    m_rows.Clear();
    ByteReader r(data, QString());
    try {
        const qint32 languages = r.int32();
        const qint32 rows = r.int32();
        // A row of no strings holds no text; such a file has nothing to give.
        for (qint32 n = 0; languages > 0 && n < rows; ++n) {
            Row row;
            for (qint32 s = 0; s < languages; ++s) {
                QString text = r.wideStr();
                if (s < kSlots)
                    row[std::size_t(s)] = std::move(text);
            }
            *m_rows.Add() = std::move(row);
        }
    } catch (const Error&) {
        // a damaged file: keep the complete rows read so far
    }
    rebuildIndex();
}

void TranslationStore::appendRow(const Row& row) {
    *m_rows.Add() = row;
}

void TranslationStore::setText(int r, int slot, const QString& text) {
    if (r < 0 || r >= m_rows.count() || slot < 0 || slot >= kSlots || m_rows[r][std::size_t(slot)] == text)
        return;
    m_rows[r][std::size_t(slot)] = text;
    if (slot == 0)
        rebuildIndex();
}

void TranslationStore::deleteRow(int r) {
    if (r < 0 || r >= m_rows.count())
        return;
    m_rows.Delete(r);
    rebuildIndex();
}

void TranslationStore::rebuildIndex() {
    for (Bucket& b : m_buckets) {
        b.entries.clear();
        b.sorted = 0;
    }
    for (int r = 0; r < m_rows.count(); ++r) {
        const QString& key = m_rows[r][0];
        if (!key.isEmpty())
            m_buckets[std::size_t(bucketOf(key))].entries.push_back({key, r});
    }
    for (Bucket& b : m_buckets) {
        if (!b.entries.empty())
            sortEntries(b.entries, 0, qsizetype(b.entries.size()) - 1);
        b.sorted = b.entries.size();
    }
}

int TranslationStore::findRow(QStringView key) const {
    const Bucket& b = m_buckets[std::size_t(bucketOf(key))];
    // The first equal entry of the sorted part is the first equal entry of the bucket.
    const auto sortedEnd = b.entries.begin() + qsizetype(b.sorted);
    const auto it = std::lower_bound(b.entries.begin(), sortedEnd, key,
                                     [](const Entry& e, QStringView k) { return keyLess(e.key, k); });
    if (it != sortedEnd && it->key == key)
        return it->row;
    for (auto tail = sortedEnd; tail != b.entries.end(); ++tail) {
        if (tail->key == key)
            return tail->row;
    }
    return -1;
}

int TranslationStore::addRow(QStringView key) {
    Row& row = *m_rows.Add();
    row[0] = key.toString();
    const int r = m_rows.count() - 1;
    m_buckets[std::size_t(bucketOf(key))].entries.push_back({row[0], r});
    return r;
}

QString TranslationStore::TranslateText(const QString& text) {
    bool unknown = false;
    QString out = lookUp(text, unknown);
    if (unknown && m_collect) {
        QStringView key(text);
        while (key.startsWith(QLatin1Char(' ')))
            key = key.sliced(1);
        while (key.endsWith(QLatin1Char(' ')))
            key.chop(1);
        addRow(key); // the same key as the look-up's: the text without its spaces around it
        SaveTranslateFile();
    }
    return out;
}

QString TranslationStore::knownTranslation(const QString& text) const {
    bool unknown = false;
    return lookUp(text, unknown);
}

QString TranslationStore::lookUp(const QString& text, bool& unknown) const {
    qsizetype lead = 0;
    while (lead < text.size() && text[lead] == QLatin1Char(' '))
        ++lead;
    if (lead == text.size())
        return text; // empty, or nothing but spaces
    qsizetype trail = 0;
    while (text[text.size() - 1 - trail] == QLatin1Char(' '))
        ++trail;
    const QStringView key = QStringView(text).sliced(lead, text.size() - lead - trail);

    const int r = findRow(key);
    if (r < 0) {
        unknown = true;
        return text;
    }
    const QString& translated = m_rows[r][std::size_t(m_language)];
    if (translated.isEmpty())
        return text;
    qsizetype from = 0;
    qsizetype to = translated.size();
    while (from < to && translated[from].unicode() <= 32)
        ++from;
    while (to > from && translated[to - 1].unicode() <= 32)
        --to;
    if (lead == 0 && trail == 0 && from == 0 && to == translated.size())
        return translated; // shares the stored text, no copy
    QString out(lead + (to - from) + trail, Qt::Uninitialized);
    QChar* p = out.data();
    p = std::fill_n(p, lead, QLatin1Char(' '));
    p = std::copy(translated.constData() + from, translated.constData() + to, p);
    std::fill_n(p, trail, QLatin1Char(' '));
    return out;
}

void TranslationStore::GetMessageText(int n, QString& text) {
    if (const Message* m = findMessage(n))
        text = TranslateText(QString::fromUtf16(m->text));
}

QString TranslationStore::GetMessageText(int n) {
    QString text;
    GetMessageText(n, text);
    return text;
}

void TranslationStore::RegisterMessages() {
    for (const Message& m : kMessages)
        TranslateText(QString::fromUtf16(m.text));
}

QByteArray TranslationStore::fileImage() const {
    ByteWriter w;
    w.int32(kSlots);
    w.int32(m_rows.count());
    for (const Row& row : m_rows) {
        for (const QString& s : row)
            w.wideStr(s);
    }
    return w.data();
}

bool TranslationStore::SaveTranslateFile() const {
    return !m_writePath.isEmpty() && WriteFileAtomically(m_writePath, fileImage());
}

QStringList DefaultTemplateColumns(TranslationStore& store) {
    QStringList columns;
    for (int n = 15; n <= 19; ++n)
        columns.append(store.GetMessageText(n));
    return columns;
}

QString joinMessage(const QString& text, const QStringList& args) {
    QString out = text;
    for (const QString& a : args) {
        if (out.isEmpty() || out.endsWith(QLatin1Char(' ')))
            out += a;
        else
            out += QStringLiteral(": ") + a;
    }
    return out;
}

namespace {

// An error's words without its byte position: the template in the store's language (never
// added to the store: an unknown text may hold data), then its arguments as they are and its
// cause's words.
QString errorWords(const Error& e, TranslationStore& store) {
    if (e.messageNumber() > 0)
        return joinMessage(store.GetMessageText(e.messageNumber()), e.args());
    QStringList fill = e.textArgs();
    if (const Error* cause = e.cause())
        fill.append(errorWords(*cause, store));
    return joinMessage(fillPlaceholders(store.knownTranslation(e.plainText()), fill), e.args());
}

} // namespace

QString errorText(const Error& e, TranslationStore& store) {
    QString out = errorWords(e, store);
    if (e.position() >= 0)
        out += QLatin1Char(' ') + fillPlaceholders(store.knownTranslation(QStringLiteral("(Byte %1)")),
                                                   {QString::number(e.position())});
    return out;
}

} // namespace pw
