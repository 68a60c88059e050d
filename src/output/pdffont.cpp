#include "pdffont.h"

#include "output/PDFWriterCanvas.h"

#include <QCryptographicHash>
#include <QtEndian>

#include <hb-subset.h>
#include <hb.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace pw {

namespace {

// The tables the subsetter and a PDF reader need; layout tables (substitutions,
// positioning, kerning) play no part in text whose glyphs are placed one by one.
constexpr const char* kTables[] = {"head", "hhea", "maxp", "hmtx", "loca", "glyf", "cvt ", "fpgm",
                                   "prep", "cmap", "name", "OS/2", "post", "gasp", "CFF ", "VORG"};

quint16 u16(const QByteArray& t, qsizetype at) {
    return at + 2 <= t.size() ? qFromBigEndian<quint16>(t.constData() + at) : 0;
}
qint16 s16(const QByteArray& t, qsizetype at) {
    return qint16(u16(t, at));
}
quint32 u32(const QByteArray& t, qsizetype at) {
    return at + 4 <= t.size() ? qFromBigEndian<quint32>(t.constData() + at) : 0;
}

void put16(QByteArray& out, quint32 v) {
    out.append(char((v >> 8) & 0xFF));
    out.append(char(v & 0xFF));
}
void put32(QByteArray& out, quint32 v) {
    put16(out, v >> 16);
    put16(out, v & 0xFFFF);
}

quint32 tagOf(const char* t) {
    return (quint32(quint8(t[0])) << 24) | (quint32(quint8(t[1])) << 16) | (quint32(quint8(t[2])) << 8) |
           quint32(quint8(t[3]));
}

// A font file made of the given tables (tag order, each padded to four bytes); the
// checksums are left 0, which readers of the result ignore and the subsetter recomputes.
QByteArray sfntOf(const std::vector<std::pair<quint32, QByteArray>>& tables, bool cff) {
    QByteArray out;
    const auto count = quint32(tables.size());
    quint32 power = 1;
    quint32 log2 = 0;
    while (power * 2 <= count) {
        power *= 2;
        ++log2;
    }
    put32(out, cff ? tagOf("OTTO") : 0x00010000u);
    put16(out, count);
    put16(out, power * 16);
    put16(out, log2);
    put16(out, count * 16 - power * 16);
    quint32 offset = 12 + 16 * count;
    for (const auto& [tag, data] : tables) {
        put32(out, tag);
        put32(out, 0);
        put32(out, offset);
        put32(out, quint32(data.size()));
        offset += (quint32(data.size()) + 3) & ~3u;
    }
    for (const auto& [tag, data] : tables) {
        out += data;
        out.append((4 - data.size() % 4) % 4, '\0');
    }
    return out;
}

// The PostScript name (name 6) of a font's name table, in the Windows or the Macintosh
// entry; empty when it has none.
QString postScriptNameOf(const QByteArray& name) {
    const int count = u16(name, 2);
    const int strings = u16(name, 4);
    QString mac;
    for (int i = 0; i < count; ++i) {
        const qsizetype at = 6 + qsizetype(i) * 12;
        const int platform = u16(name, at);
        const int id = u16(name, at + 6);
        const int length = u16(name, at + 8);
        const qsizetype offset = strings + u16(name, at + 10);
        if (id != 6 || offset + length > name.size())
            continue;
        const QByteArray raw = name.mid(offset, length);
        if (platform == 3 || platform == 0) {
            QString s;
            for (qsizetype k = 0; k + 1 < raw.size(); k += 2)
                s += QChar(u16(raw, k));
            return s;
        }
        if (platform == 1)
            mac = QString::fromLatin1(raw);
    }
    return mac;
}

// Only characters a PDF name holds without escapes.
QString plainName(const QString& s) {
    QString out;
    for (QChar c : s) {
        if (c.unicode() > 32 && c.unicode() < 127 && !QStringLiteral("()<>[]{}/%#").contains(c))
            out += c;
    }
    return out.isEmpty() ? QStringLiteral("Font") : out;
}

template <typename T, void (*Destroy)(T*)> struct HbDeleter {
    void operator()(T* p) const { Destroy(p); }
};
using HbBlob = std::unique_ptr<hb_blob_t, HbDeleter<hb_blob_t, hb_blob_destroy>>;
using HbFace = std::unique_ptr<hb_face_t, HbDeleter<hb_face_t, hb_face_destroy>>;
using HbInput = std::unique_ptr<hb_subset_input_t, HbDeleter<hb_subset_input_t, hb_subset_input_destroy>>;

QString hex4(quint32 v) {
    return QStringLiteral("%1").arg(v, 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace

PdfFontProgram::PdfFontProgram(const QRawFont& font) : m_font(font) {
    const QByteArray head = table("head");
    const QByteArray hhea = table("hhea");
    const QByteArray os2 = table("OS/2");
    const QByteArray post = table("post");
    m_hmtx = table("hmtx");
    m_unitsPerEm = std::max<int>(1, u16(head, 18));
    for (int i = 0; i < 4; ++i)
        m_bbox[i] = s16(head, 36 + 2 * i);
    m_ascent = s16(hhea, 4);
    m_descent = s16(hhea, 6);
    m_metricsCount = u16(hhea, 34);
    m_capHeight = os2.size() >= 90 && u16(os2, 0) >= 2 ? s16(os2, 88) : m_ascent;
    m_weight = os2.size() >= 6 ? u16(os2, 4) : (font.weight() >= QFont::DemiBold ? 700 : 400);
    m_italicAngle = post.size() >= 8 ? double(qint32(u32(post, 4))) / 65536.0 : 0;
    m_fixedPitch = post.size() >= 16 && u32(post, 12) != 0;
    m_trueType = !table("glyf").isEmpty() && !table("loca").isEmpty();
    m_cff = !table("CFF ").isEmpty();
    m_postScriptName = plainName(postScriptNameOf(table("name")));
    if (m_postScriptName == QLatin1String("Font"))
        m_postScriptName = plainName(font.familyName() + QLatin1Char('-') + font.styleName());
}

QByteArray PdfFontProgram::table(const char* tag) const {
    return m_font.fontTable(tag);
}

void PdfFontProgram::use(quint32 glyph, const QString& text) {
    if (!m_used.contains(glyph))
        m_used.insert(glyph, text);
}

double PdfFontProgram::advance(quint32 glyph) const {
    if (m_metricsCount <= 0)
        return 0;
    const int index = int(std::min<quint32>(glyph, quint32(m_metricsCount - 1)));
    return double(u16(m_hmtx, qsizetype(index) * 4)) * 1000.0 / m_unitsPerEm;
}

QByteArray PdfFontProgram::subsetProgram() const {
    std::vector<std::pair<quint32, QByteArray>> tables;
    for (const char* tag : kTables) {
        QByteArray data = table(tag);
        if (!data.isEmpty())
            tables.emplace_back(tagOf(tag), std::move(data));
    }
    std::sort(tables.begin(), tables.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    const QByteArray file = sfntOf(tables, isCff());
    const HbBlob blob(
        hb_blob_create(file.constData(), unsigned(file.size()), HB_MEMORY_MODE_READONLY, nullptr, nullptr));
    const HbFace face(hb_face_create(blob.get(), 0));
    const HbInput input(hb_subset_input_create_or_fail());
    if (!input)
        return file;
    hb_set_t* glyphs = hb_subset_input_glyph_set(input.get());
    hb_set_add(glyphs, 0);
    for (auto it = m_used.keyBegin(); it != m_used.keyEnd(); ++it)
        hb_set_add(glyphs, *it);
    hb_subset_input_set_flags(input.get(), HB_SUBSET_FLAGS_RETAIN_GIDS | HB_SUBSET_FLAGS_NO_HINTING |
                                               HB_SUBSET_FLAGS_DESUBROUTINIZE);
    const HbFace subset(hb_subset_or_fail(face.get(), input.get()));
    if (!subset)
        return file; // the whole font rather than none
    const HbBlob result(hb_face_reference_blob(subset.get()));
    unsigned length = 0;
    const char* data = hb_blob_get_data(result.get(), &length);
    return QByteArray(data, qsizetype(length));
}

QString PdfFontProgram::subsetName() const {
    QCryptographicHash hash(QCryptographicHash::Md5);
    hash.addData(m_postScriptName.toUtf8());
    for (auto it = m_used.keyBegin(); it != m_used.keyEnd(); ++it) {
        const quint32 g = *it;
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(&g), sizeof g));
    }
    const QByteArray digest = hash.result();
    QString tag;
    for (int i = 0; i < 6; ++i)
        tag += QChar(u'A' + quint8(digest[i]) % 26);
    return tag + QLatin1Char('+') + m_postScriptName;
}

QString PdfFontProgram::widthArray() const {
    QString out = QStringLiteral("[");
    quint32 next = 0;
    bool open = false;
    for (auto it = m_used.keyBegin(); it != m_used.keyEnd(); ++it) {
        const quint32 g = *it;
        if (!open || g != next) {
            if (open)
                out += QLatin1Char(']');
            out += QString::number(g) + QStringLiteral(" [");
            open = true;
        } else {
            out += QLatin1Char(' ');
        }
        out += PdfNumber(std::round(advance(g) * 100) / 100);
        next = g + 1;
    }
    if (open)
        out += QLatin1Char(']');
    return out + QLatin1Char(']');
}

QByteArray PdfFontProgram::toUnicodeMap() const {
    QString map = QStringLiteral("/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                                 "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                                 "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                                 "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n");
    std::vector<std::pair<quint32, QString>> entries;
    for (auto it = m_used.constBegin(); it != m_used.constEnd(); ++it) {
        if (!it.value().isEmpty() && it.key() <= 0xFFFF)
            entries.emplace_back(it.key(), it.value());
    }
    for (std::size_t start = 0; start < entries.size(); start += 100) {
        const std::size_t end = std::min(entries.size(), start + 100);
        map += QString::number(end - start) + QStringLiteral(" beginbfchar\n");
        for (std::size_t i = start; i < end; ++i) {
            map += QLatin1Char('<') + hex4(entries[i].first) + QStringLiteral("> <");
            for (QChar c : entries[i].second)
                map += hex4(c.unicode());
            map += QStringLiteral(">\n");
        }
        map += QStringLiteral("endbfchar\n");
    }
    map += QStringLiteral("endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n");
    return map.toLatin1();
}

QString PdfFontProgram::boundingBox() const {
    return QStringLiteral("[%1 %2 %3 %4]")
        .arg(scaled(m_bbox[0]))
        .arg(scaled(m_bbox[1]))
        .arg(scaled(m_bbox[2]))
        .arg(scaled(m_bbox[3]));
}

int PdfFontProgram::flags() const {
    // Non-symbolic (the Latin set), fixed pitch and italic as the font says.
    return 32 | (m_fixedPitch ? 1 : 0) | (m_italicAngle != 0 ? 64 : 0);
}

} // namespace pw
