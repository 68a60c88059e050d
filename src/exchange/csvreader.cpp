#include "exchange/csvreader.h"

#include "model/error.h"
#include "model/orvanto.h"

#include <QFile>
#include <QFileInfo>

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

} // namespace

QString CsvReader::ReadCSVLine() {
    QString line;
    const qsizetype n = m_data.size();
    qsizetype start = m_pos;
    while (m_pos < n) {
        const char c = m_data[m_pos];
        if (c != '\r' && c != '\n') {
            ++m_pos;
            continue;
        }
        line += fromAnsi(m_data.sliced(start, m_pos - start));
        ++m_pos;
        if (c == '\r') {
            if (m_pos < n && m_data[m_pos] == '\n')
                ++m_pos;
            return line;
        }
        if (m_pos < n && m_data[m_pos] == '\n') {
            // An empty line between Unix line ends is a line break inside the text.
            ++m_pos;
            line += QStringLiteral("\r\n");
            start = m_pos;
            continue;
        }
        return line;
    }
    line += fromAnsi(m_data.sliced(start));
    return line;
}

bool CsvReader::readRecord(QStringList& fields) {
    fields.clear();
    if (atEnd())
        return false;
    SplitCSVLine(ReadCSVLine(), false, fields);
    qsizetype i = 0;
    while (i < fields.size()) {
        const QString& f = fields[i];
        if (f.size() >= 2 && f.front() == kQuote) {
            if (f.back() == kQuote) {
                unquote(fields[i]);
            } else if (i == fields.size() - 1 && !atEnd()) {
                // The quoted field goes on in the next line; look at it again afterwards.
                QStringList more;
                SplitCSVLine(ReadCSVLine(), true, more);
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

void SplitCSVLine(QStringView line, bool continuesQuote, QStringList& fields) {
    bool inside = continuesQuote;
    qsizetype start = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == kQuote) {
            inside = !inside;
        } else if (c == u';' && !inside) {
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
        throw Error::text(QStringLiteral("Lesefehler: ") + f.errorString(), path);
    return data;
}

} // namespace pw
