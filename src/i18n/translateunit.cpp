#include "translateunit.h"

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

} // namespace

bool messageExists(int n) {
    return findMessage(n) != nullptr;
}

QString messageGerman(int n) {
    const Message* m = findMessage(n);
    return m ? QString::fromUtf16(m->text) : QString();
}

void GetMessageText(int n, QString& text) {
    if (const Message* m = findMessage(n))
        text = QString::fromUtf16(m->text);
}

QString GetMessageText(int n) {
    QString text;
    GetMessageText(n, text);
    return text;
}

QStringList DefaultTemplateColumns() {
    QStringList columns;
    for (int n = 15; n <= 19; ++n)
        columns.append(GetMessageText(n));
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

QString errorText(const Error& e) {
    const QString base = e.messageNumber() > 0 ? GetMessageText(e.messageNumber()) : e.plainText();
    QString out = joinMessage(base, e.args());
    if (e.position() >= 0)
        out += QStringLiteral(" (Byte %1)").arg(e.position());
    return out;
}

} // namespace pw
