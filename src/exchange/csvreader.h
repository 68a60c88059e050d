#pragma once

// The record reader of the semicolon-separated text files that the product and category
// imports read and the CSV export writes.
//
// A file is a sequence of physical lines of text (see DecodeCSVText for how its bytes
// become text). A record is one physical line split at the delimiters (semicolons unless
// the import chose another) that stand outside double quotes; a field that opens a quote
// which the line does not close continues on the next line, so a record may span several
// physical lines. Fields are then unquoted (enclosing quotes removed, doubled quotes
// halved) and unescaped (\r and \n become line breaks).

#include "model/error.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <utility>

namespace pw {

// The field delimiter of the files this program writes, and the default of every import.
constexpr QChar kCsvSemicolon = u';';

// Whether an import can split records at `c`: the semicolon, the comma or the tab.
bool IsCSVDelimiter(QChar c);

// How the bytes of a file were turned into text.
enum class CsvEncoding { Windows1252, Utf8, Utf16LE, Utf16BE };

struct CsvText {
    QString text;
    CsvEncoding encoding = CsvEncoding::Windows1252;
};

// Decodes the bytes of a file to import. A byte-order mark at the start selects UTF-8
// (EF BB BF), UTF-16LE (FF FE) or UTF-16BE (FE FF) and is not part of the text. Without a
// mark, bytes that are well-formed UTF-8 (no overlong forms, no surrogates, nothing above
// U+10FFFF) and hold at least one multi-byte sequence are read as UTF-8; anything else
// as Windows-1252, one character per byte, which is what the program has always read.
// Text that holds a NUL character (a NUL byte outside UTF-16) is not a text file: throws
// a pw::Error "Die folgende Datei ist keine Textdatei ...: <file>" (in the wording of
// the message a file that cannot be opened gets), so nothing is imported from it.
CsvText DecodeCSVText(QByteArrayView data, const QString& file);

// A file that was split at `delimiter` although it looks split at another one: when
// `delimiter` occurs nowhere in `text` but another accepted delimiter does, a warning
// naming `file`, that delimiter and the line (1-based, counting a line feed, a carriage
// return and the pair of both as one line end) of its first occurrence; otherwise none.
// When several others occur, the one that comes first is named. Quotes are not looked at:
// this is a hint about the whole file, not a reading of it.
std::optional<Error> CSVDelimiterWarning(QStringView text, QChar delimiter, const QString& file);

// Reads the records of a CSV file held in memory. It never reads past the end, and every
// call that reads consumes at least one character unless the text has ended, so a record
// always ends.
class CsvReader {
public:
    // Reads decoded text, splitting records at `delimiter`.
    CsvReader(QString text, QChar delimiter) : m_text(std::move(text)), m_delimiter(delimiter) {}
    // Reads bytes as Windows-1252 text, one character per byte, split at semicolons.
    explicit CsvReader(QByteArrayView data);

    // Whether every character has been read.
    bool atEnd() const { return m_pos >= m_text.size(); }
    // Characters read so far, and the length of the text.
    qsizetype position() const { return m_pos; }
    qsizetype size() const { return m_text.size(); }

    // One physical line without its terminator. A carriage return ends the line (with a
    // line feed that follows it); a line feed ends it unless another line feed follows:
    // two line feeds in a row put a carriage return and a line feed into the text and the
    // line goes on. The end of the data ends the line.
    QString ReadCSVLine();

    // The next record: its fields unquoted and unescaped; an empty line gives a record
    // without fields. Returns false, leaving `fields` empty, once the data has ended.
    bool readRecord(QStringList& fields);

private:
    QString m_text;
    QChar m_delimiter;
    qsizetype m_pos = 0;
};

// Splits one physical line at the delimiters outside double quotes and appends the fields
// (quotes kept) to `fields`. Every double quote toggles the quote state, which starts
// inside when `continuesQuote` is set. The text after the last separator is a field only
// when it is not empty, except on a line that continues a quoted field, whose first field
// is always there (an empty one stands for an empty line inside the quoted text).
void SplitCSVLine(QStringView line, bool continuesQuote, QStringList& fields,
                  QChar delimiter = kCsvSemicolon);

// Turns backslash sequences back into the characters they stand for: \r a carriage
// return, \n a line feed. A backslash before another backslash is dropped (the second
// starts the next sequence); before any other character, or at the end, it stays.
QString UnescapeCSVField(const QString& field);

// The bytes of a file to import. Throws pw::Error{1, path} when it cannot be opened, and
// an error naming the file when reading fails or it does not fit into memory.
QByteArray ReadCSVFileBytes(const QString& path);

} // namespace pw
