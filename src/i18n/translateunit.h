#pragma once

// The translation store and the numbered message table.
//
// Every interface text is written in German in the program. The store, the file
// translate.dat, holds for every German text known so far its translations in up to 19
// further languages (slots 1, 2, 3: English, French, Dutch). TranslateText returns a text
// in the current language; a German text the store does not know is added to it, and the
// store is saved at once, so that running the program collects every text to translate.

#include "model/error.h"
#include "model/orvanto.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace pw {

class ProgramFolders;

constexpr int kFirstMessage = 1;
constexpr int kLastMessage = 58;

// The German text of message n of the table, or an empty string for a number it does not
// hold (14, 25, 26, 33 and anything outside 1..58).
QString messageGerman(int n);
bool messageExists(int n);

class TranslationStore {
public:
    static constexpr int kSlots = 20;
    using Row = std::array<QString, kSlots>;

    // An empty store in German that knows no file: every text comes back as given.
    TranslationStore();

    // Reads translate.dat at `readPath` (a missing or damaged file gives what could be
    // read, possibly nothing) and builds the lookup index. Additions are saved to
    // `writePath`; an empty one saves nothing.
    void LoadTranslations(const QString& readPath, const QString& writePath);
    // The same with the locations of the running program.
    void LoadTranslations(const ProgramFolders& folders);
    // Replaces the rows by those of a translate.dat image and rebuilds the index.
    // Damage ends the reading: every complete row before it is kept. Never allocates on
    // a count the data cannot hold.
    void loadFromData(const QByteArray& data);

    // The current language slot, 0 (German) to 19; other values select German.
    int language() const { return m_language; }
    void setLanguage(int slot) { m_language = (slot >= 0 && slot < kSlots) ? slot : 0; }
    // Whether unknown texts are added and saved (on by default). The command-line tool
    // turns it off, so that it never writes the store.
    void setCollectNewTexts(bool on) { m_collect = on; }

    // The text in the current language, with its leading and trailing spaces kept.
    QString TranslateText(const QString& text);
    // The same, but a text the store does not know comes back as given and is never added:
    // for texts that may carry data, such as the words of an error.
    QString knownTranslation(const QString& text) const;
    // Message n in the current language; for a number outside the table the output is
    // left unchanged.
    void GetMessageText(int n, QString& text);
    QString GetMessageText(int n);
    // Looks up every message of the table, so that the store holds them all.
    void RegisterMessages();
    // Rewrites the store's file atomically; false (and nothing reported) on failure.
    bool SaveTranslateFile() const;
    // The translate.dat image of the store: 20, the row count, every row's 20 strings.
    QByteArray fileImage() const;

    int rowCount() const { return m_rows.count(); }
    const Row& row(int r) const { return m_rows[r]; }
    // Appends a row (used when building a store from its source); call rebuildIndex() after.
    void appendRow(const Row& row);
    // Builds the lookup index from the rows as they are now.
    void rebuildIndex();

    // What the translation editor does. A new text in a slot; a changed German text (slot 0)
    // becomes the row's key for later lookups. Out-of-range rows and slots are ignored.
    void setText(int r, int slot, const QString& text);
    // Removes a row; later lookups find the other rows at their new places.
    void deleteRow(int r);

private:
    struct Entry {
        QString key;
        int row;
    };
    struct Bucket {
        std::vector<Entry> entries;
        std::size_t sorted = 0; // entries before this are in key order; later ones were added since
    };

    int findRow(QStringView key) const;
    QString lookUp(const QString& text, bool& unknown) const;
    int addRow(QStringView key);

    TDynaArray<Row> m_rows;
    std::array<Bucket, 256> m_buckets;
    QString m_writePath;
    int m_language = 0;
    bool m_collect = true;
};

// The template column captions a new document starts with: messages 15 to 19.
QStringList DefaultTemplateColumns(TranslationStore& store);

// The words a front end shows for an error: a message of the table in the store's
// language, or the error's plain text template in that language with its arguments and
// cause filled in; then the message's arguments and the byte position. The file an error
// names is left to the caller.
QString errorText(const Error& e, TranslationStore& store);

// Appends arguments to a message the way message boxes show them: directly after a text
// that ends in a space, else after ": ".
QString joinMessage(const QString& text, const QStringList& args);

} // namespace pw
