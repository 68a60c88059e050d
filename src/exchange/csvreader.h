#pragma once

// The record reader of the semicolon-separated text files that the product and category
// imports read and the CSV export writes.
//
// A file is a sequence of physical lines of Windows-1252 text. A record is one physical
// line split at the semicolons that stand outside double quotes; a field that opens a
// quote which the line does not close continues on the next line, so a record may span
// several physical lines. Fields are then unquoted (enclosing quotes removed, doubled
// quotes halved) and unescaped (\r and \n become line breaks).

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace pw {

// Reads the records of a CSV file held in memory. The reader keeps a view of the bytes:
// they must outlive it. It never reads past the end, and every call that reads consumes
// at least one byte unless the data has ended, so a record always ends.
class CsvReader {
public:
    explicit CsvReader(QByteArrayView data) : m_data(data) {}

    // Whether every byte has been read.
    bool atEnd() const { return m_pos >= m_data.size(); }
    // Bytes read so far, and the size of the data.
    qsizetype position() const { return m_pos; }
    qsizetype size() const { return m_data.size(); }

    // One physical line without its terminator. A carriage return ends the line (with a
    // line feed that follows it); a line feed ends it unless another line feed follows:
    // two line feeds in a row put a carriage return and a line feed into the text and the
    // line goes on. The end of the data ends the line.
    QString ReadCSVLine();

    // The next record: its fields unquoted and unescaped; an empty line gives a record
    // without fields. Returns false, leaving `fields` empty, once the data has ended.
    bool readRecord(QStringList& fields);

private:
    QByteArrayView m_data;
    qsizetype m_pos = 0;
};

// Splits one physical line at the semicolons outside double quotes and appends the fields
// (quotes kept) to `fields`. Every double quote toggles the quote state, which starts
// inside when `continuesQuote` is set. The text after the last separator is a field only
// when it is not empty, except on a line that continues a quoted field, whose first field
// is always there (an empty one stands for an empty line inside the quoted text).
void SplitCSVLine(QStringView line, bool continuesQuote, QStringList& fields);

// Turns backslash sequences back into the characters they stand for: \r a carriage
// return, \n a line feed. A backslash before another backslash is dropped (the second
// starts the next sequence); before any other character, or at the end, it stays.
QString UnescapeCSVField(const QString& field);

// The bytes of a file to import. Throws pw::Error{1, path} when it cannot be opened, and
// an error naming the file when reading fails or it does not fit into memory.
QByteArray ReadCSVFileBytes(const QString& path);

} // namespace pw
