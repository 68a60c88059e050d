#include "orvanto.h"

#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QtEndian>

#include <cstring>

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "the binary formats are read by copying UTF-16LE units");

namespace pw {

void throwAllocationError(int kind, std::size_t bytes) {
    throw Error::format(
        QStringLiteral("Error %1 while trying to allocate %2 bytes of RAM. Not enough memory."),
        {QString::number(kind), QString::number(bytes)});
}

namespace {

// Code points of Windows-1252 bytes 0x80..0x9F. The five unassigned bytes keep their own
// value as C1 control characters, so decoding and encoding them round-trips.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char encodeCp1252(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] == c)
            return char(0x80 + i);
    }
    return '?';
}

QString decodeUtf16le(const char* p, qint64 units) {
    QString s(units, Qt::Uninitialized);
    std::memcpy(s.data(), p, std::size_t(units) * 2);
    return s;
}

} // namespace

QString fromAnsi(QByteArrayView bytes) {
    QString s(bytes.size(), Qt::Uninitialized);
    QChar* out = s.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = quint8(bytes[i]);
        out[i] = (b >= 0x80 && b < 0xA0) ? QChar(kCp1252High[b - 0x80]) : QChar(b);
    }
    return s;
}

QByteArray toAnsi(QStringView text) {
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i; // one "?" for the whole character, not one per code unit
            out.append('?');
            continue;
        }
        out.append(encodeCp1252(c.unicode()));
    }
    return out;
}

// ---- ByteReader

void ByteReader::fail(const QString& text, const QStringList& args) const {
    throw Error::format(text, args, m_file, m_pos);
}

const char* ByteReader::need(qint64 n) {
    if (n < 0 || n > remaining())
        fail(QStringLiteral("die Datei endet vorzeitig"));
    const char* p = m_data.data() + m_pos;
    m_pos += n;
    return p;
}

qint32 ByteReader::int32() {
    return qFromLittleEndian<qint32>(need(4));
}
quint32 ByteReader::uint32() {
    return qFromLittleEndian<quint32>(need(4));
}
quint8 ByteReader::byte() {
    return quint8(*need(1));
}

double ByteReader::dbl() {
    double d;
    std::memcpy(&d, need(8), 8);
    return d;
}

void ByteReader::skip(qint64 n) {
    need(n);
}

qint32 ByteReader::count(qint64 minItemBytes) {
    const qint64 at = m_pos;
    const qint32 n = int32();
    if (n < 0 || qint64(n) * minItemBytes > remaining()) {
        m_pos = at;
        fail(QStringLiteral("unmögliche Anzahl %1"), {QString::number(n)});
    }
    return n;
}

QString ByteReader::wideStr() {
    const qint64 at = m_pos;
    const qint32 n = int32();
    if (n < 0 || qint64(n) * 2 > remaining()) {
        m_pos = at;
        fail(QStringLiteral("unmögliche Textlänge %1"), {QString::number(n)});
    }
    return wideChars(n);
}

QString ByteReader::wideChars(qint64 units) {
    const char* p = need(units * 2);
    return decodeUtf16le(p, units);
}

QString ByteReader::ansiStr() {
    const qint64 at = m_pos;
    const qint32 n = int32();
    if (n < 0 || n > remaining()) {
        m_pos = at;
        fail(QStringLiteral("unmögliche Textlänge %1"), {QString::number(n)});
    }
    return fromAnsi(QByteArrayView(need(n), n));
}

// ---- ByteWriter

void ByteWriter::int32(qint32 v) {
    char b[4];
    qToLittleEndian(v, b);
    m_data.append(b, 4);
}

void ByteWriter::uint32(quint32 v) {
    char b[4];
    qToLittleEndian(v, b);
    m_data.append(b, 4);
}

void ByteWriter::dbl(double v) {
    char b[8];
    std::memcpy(b, &v, 8);
    m_data.append(b, 8);
}

void ByteWriter::wideStr(QStringView s) {
    int32(qint32(s.size()));
    wideChars(s);
}

void ByteWriter::wideChars(QStringView s) {
    m_data.append(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
}

// ---- Strings on files

namespace {

QByteArray readExactly(QIODevice& f, qint64 n) {
    const QString name = f.objectName();
    if (n < 0 || (!f.isSequential() && n > f.size() - f.pos()))
        throw Error::text(QStringLiteral("die Datei endet vorzeitig"), name, f.pos());
    QByteArray data = f.read(n);
    if (data.size() != n)
        throw Error::text(QStringLiteral("die Datei endet vorzeitig"), name, f.pos());
    return data;
}

qint32 readCount(QIODevice& f) {
    const QByteArray b = readExactly(f, 4);
    return qFromLittleEndian<qint32>(b.constData());
}

} // namespace

QString ReadAnsiStr(QIODevice& f) {
    const qint32 n = readCount(f);
    return fromAnsi(readExactly(f, n));
}

QString ReadWideStr(QIODevice& f) {
    const qint32 n = readCount(f);
    const QByteArray b = readExactly(f, qint64(n) * 2);
    return decodeUtf16le(b.constData(), n);
}

void WriteWideStr(QIODevice& f, QStringView s) {
    ByteWriter w;
    w.wideStr(s);
    if (f.write(w.data()) != w.data().size())
        throw Error::format(QStringLiteral("Schreibfehler: %1"), {f.errorString()}, f.objectName());
}

QString GetUniqueTempFileName(const QString& prefix, const QString& suffix) {
    QString folder = QDir::tempPath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    for (qint64 n = 0;; ++n) {
        const QString candidate = folder + prefix + QString::number(n) + suffix;
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

} // namespace pw
