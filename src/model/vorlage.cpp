#include "vorlage.h"

#include "model/error.h"
#include "model/orvanto.h"
#include "model/savefile.h"

#include <QFile>

namespace pw {

namespace {

QString decodeUtf16(QByteArrayView bytes, bool bigEndian) {
    QString s(bytes.size() / 2, Qt::Uninitialized);
    QChar* out = s.data();
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const auto a = quint8(bytes[i]);
        const auto b = quint8(bytes[i + 1]);
        out[i / 2] = QChar(bigEndian ? char16_t(a << 8 | b) : char16_t(b << 8 | a));
    }
    return s;
}

QString decode(QByteArrayView bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.sliced(3));
    if (bytes.startsWith("\xFF\xFE"))
        return decodeUtf16(bytes.sliced(2), false);
    if (bytes.startsWith("\xFE\xFF"))
        return decodeUtf16(bytes.sliced(2), true);
    return fromAnsi(bytes);
}

} // namespace

QStringList ParseVorlage(QByteArrayView bytes) {
    const QString text = decode(bytes);
    QStringList captions;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        captions.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        captions.append(text.mid(start));
    return captions;
}

QStringList ReadVorlage(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw Error::text(f.errorString(), path);
    const QByteArray data = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw Error::text(f.errorString(), path);
    return ParseVorlage(data);
}

QByteArray VorlageImage(const QStringList& captions) {
    QByteArray out;
    for (const QString& c : captions)
        out += toAnsi(c) + "\r\n";
    return out;
}

void WriteVorlage(const QString& path, const QStringList& captions) {
    QString why;
    if (!WriteFileAtomically(path, VorlageImage(captions), &why))
        throw Error::text(why, path);
}

} // namespace pw
