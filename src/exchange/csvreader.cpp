#include "exchange/csvreader.h"

#include "model/error.h"
#include "model/orvanto.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <new>

namespace pw {

namespace {

constexpr QChar kQuote = u'"';

// Removes the enclosing double quotes of a field and halves the doubled ones inside, in
// place (dropping characters at either end of a QString does not copy it).
void unquote(QString& field) {
    field.chop(1);
    field.remove(0, 1);
    if (field.contains(kQuote))
        field.replace(QStringLiteral("\"\""), QStringLiteral("\""));
}

// Whether `data` is well-formed UTF-8 that holds at least one multi-byte sequence. Only
// the shortest form of a code point is allowed, surrogates (ED A0..BF) and anything above
// U+10FFFF are not: the second byte's range depends on the lead byte.
bool isMultiByteUtf8(QByteArrayView data) {
    bool multiByte = false;
    const qsizetype n = data.size();
    qsizetype i = 0;
    while (i < n) {
        const auto lead = quint8(data[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        qsizetype length = 0;
        quint8 low = 0x80;
        quint8 high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0)
                low = 0xA0; // below is an overlong form
            else if (lead == 0xED)
                high = 0x9F; // above are the surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0)
                low = 0x90; // below is an overlong form
            else if (lead == 0xF4)
                high = 0x8F; // above is beyond U+10FFFF
        } else {
            return false; // a continuation byte, C0, C1 or F5..FF as a lead
        }
        if (n - i < length)
            return false;
        const auto second = quint8(data[i + 1]);
        if (second < low || second > high)
            return false;
        for (qsizetype k = 2; k < length; ++k) {
            const auto next = quint8(data[i + k]);
            if (next < 0x80 || next > 0xBF)
                return false;
        }
        multiByte = true;
        i += length;
    }
    return multiByte;
}

QString decodeUtf16(QByteArrayView data, QStringConverter::Encoding encoding) {
    QStringDecoder decode(encoding, QStringConverter::Flag::Stateless);
    return decode(data);
}

QString delimiterName(QChar c) {
    if (c == u';')
        return QStringLiteral("Semikolon");
    if (c == u',')
        return QStringLiteral("Komma");
    return QStringLiteral("Tabulator");
}

} // namespace

bool IsCSVDelimiter(QChar c) {
    return c == u';' || c == u',' || c == u'\t';
}

CsvText DecodeCSVText(QByteArrayView data, const QString& file) {
    // Pictures, archives and other binary files hold NUL bytes; text never does.
    const auto notText = [&file] {
        return Error::format(
            QStringLiteral("Die folgende Datei ist keine Textdatei (sie enthält Null-Bytes), "
                           "es wurde nichts importiert: %1"),
            {file});
    };
    CsvText out;
    if (data.startsWith("\xEF\xBB\xBF")) {
        out.encoding = CsvEncoding::Utf8;
        out.text = QString::fromUtf8(data.sliced(3));
    } else if (data.startsWith("\xFF\xFE")) {
        out.encoding = CsvEncoding::Utf16LE;
        out.text = decodeUtf16(data.sliced(2), QStringConverter::Utf16LE);
    } else if (data.startsWith("\xFE\xFF")) {
        out.encoding = CsvEncoding::Utf16BE;
        out.text = decodeUtf16(data.sliced(2), QStringConverter::Utf16BE);
    } else if (data.contains('\0')) {
        throw notText();
    } else if (isMultiByteUtf8(data)) {
        out.encoding = CsvEncoding::Utf8;
        out.text = QString::fromUtf8(data);
    } else {
        out.text = fromAnsi(data);
    }
    if (out.text.contains(QChar(u'\0')))
        throw notText();
    return out;
}

std::optional<Error> CSVDelimiterWarning(QStringView text, QChar delimiter, const QString& file) {
    if (text.contains(delimiter))
        return std::nullopt;
    qsizetype first = -1;
    QChar found;
    for (const QChar other : {QChar(u';'), QChar(u','), QChar(u'\t')}) {
        if (other == delimiter)
            continue;
        const qsizetype at = text.indexOf(other);
        if (at >= 0 && (first < 0 || at < first)) {
            first = at;
            found = other;
        }
    }
    if (first < 0)
        return std::nullopt;
    qsizetype line = 1;
    for (qsizetype i = 0; i < first; ++i) {
        if (text[i] == u'\n' || (text[i] == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n')))
            ++line;
    }
    return Error::format(
        QStringLiteral("enthält kein %1, aber %2 als mögliches Trennzeichen (erstmals in Zeile "
                       "%3); die Zeilen wurden nicht in Spalten aufgeteilt: wählen Sie %2 "
                       "als Trennzeichen, wenn die Datei damit getrennt ist"),
        {delimiterName(delimiter), delimiterName(found), QString::number(line)}, file);
}

CsvReader::CsvReader(QByteArrayView data) : m_text(fromAnsi(data)), m_delimiter(kCsvSemicolon) {}

QString CsvReader::ReadCSVLine() {
    QString line;
    const qsizetype n = m_text.size();
    const QChar* const text = m_text.constData();
    qsizetype start = m_pos;
    while (m_pos < n) {
        const QChar c = text[m_pos];
        if (c != u'\r' && c != u'\n') {
            ++m_pos;
            continue;
        }
        line += QStringView(text + start, m_pos - start);
        ++m_pos;
        if (c == u'\r') {
            if (m_pos < n && text[m_pos] == u'\n')
                ++m_pos;
            return line;
        }
        if (m_pos < n && text[m_pos] == u'\n') {
            // An empty line between Unix line ends is a line break inside the text.
            ++m_pos;
            line += QStringLiteral("\r\n");
            start = m_pos;
            continue;
        }
        return line;
    }
    line += QStringView(text + start, n - start);
    return line;
}

bool CsvReader::readRecord(QStringList& fields) {
    fields.clear();
    if (atEnd())
        return false;
    SplitCSVLine(ReadCSVLine(), false, fields, m_delimiter);
    qsizetype i = 0;
    while (i < fields.size()) {
        const QString& f = fields[i];
        if (f.size() >= 2 && f.front() == kQuote) {
            if (f.back() == kQuote) {
                unquote(fields[i]);
            } else if (i == fields.size() - 1 && !atEnd()) {
                // The quoted field goes on in the next line; look at it again afterwards.
                QStringList more;
                SplitCSVLine(ReadCSVLine(), true, more, m_delimiter);
                fields[i] += QStringLiteral("\r\n") + more.front();
                for (qsizetype k = 1; k < more.size(); ++k)
                    fields.append(more[k]);
                continue;
            }
        }
        ++i;
    }
    for (QString& f : fields)
        f = UnescapeCSVField(f);
    return true;
}

void SplitCSVLine(QStringView line, bool continuesQuote, QStringList& fields, QChar delimiter) {
    bool inside = continuesQuote;
    qsizetype start = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == kQuote) {
            inside = !inside;
        } else if (c == delimiter && !inside) {
            fields.append(line.sliced(start, i - start).toString());
            start = i + 1;
        }
    }
    if (start < line.size() || (continuesQuote && start == 0))
        fields.append(line.sliced(start).toString());
}

QString UnescapeCSVField(const QString& field) {
    if (!field.contains(u'\\'))
        return field;
    QString out;
    out.reserve(field.size());
    const qsizetype n = field.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = field[i];
        if (c != u'\\' || i + 1 >= n) {
            out += c;
            ++i;
            continue;
        }
        const QChar next = field[i + 1];
        if (next == u'r') {
            out += u'\r';
            i += 2;
        } else if (next == u'n') {
            out += u'\n';
            i += 2;
        } else if (next == u'\\') {
            ++i; // the second backslash starts the next sequence
        } else {
            out += c;
            out += next;
            i += 2;
        }
    }
    return out;
}

QByteArray ReadCSVFileBytes(const QString& path) {
    QFile f(path);
    if (QFileInfo(path).isDir() || !f.open(QIODevice::ReadOnly))
        throw Error(1, path);
    QByteArray data;
    try {
        data = f.readAll();
    } catch (const std::bad_alloc&) {
        throw Error::text(QStringLiteral("Die Datei ist zu groß, um sie in den Arbeitsspeicher zu laden"),
                          path);
    }
    if (f.error() != QFileDevice::NoError)
        throw Error::format(QStringLiteral("Lesefehler: %1"), {f.errorString()}, path);
    return data;
}

} // namespace pw
