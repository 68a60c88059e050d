#include "cmykconversion.h"

#include "output/PDFWriterCanvas.h"

#include <QFile>
#include <QFileInfo>

#include <lcms2.h>

#include <algorithm>

namespace pw {

namespace {

const QString kCmykProfileName = QStringLiteral("WebCoatedSWOP2006Grade3.icc");
// Without the transform's one-pixel cache the same transform may run on several threads at
// once; the colours are the same.
constexpr cmsUInt32Number kFlags = cmsFLAGS_NOCACHE;

} // namespace

struct CmykConversion::Handles {
    cmsHPROFILE cmyk = nullptr;
    cmsHPROFILE srgb = nullptr;
    cmsHTRANSFORM transform = nullptr;
    cmsHTRANSFORM rgb32 = nullptr;
    ~Handles() {
        if (transform)
            cmsDeleteTransform(transform);
        if (rgb32)
            cmsDeleteTransform(rgb32);
        if (cmyk)
            cmsCloseProfile(cmyk);
        if (srgb)
            cmsCloseProfile(srgb);
    }
};

CmykConversion::CmykConversion(const QString& programFolder) : m_handles(std::make_unique<Handles>()) {
    if (programFolder.isEmpty())
        return;
    QString profile = programFolder;
    if (!profile.endsWith(QLatin1Char('/')))
        profile += QLatin1Char('/');
    profile += kCmykProfileName;
    if (!QFileInfo::exists(profile))
        return;
    cmsSetLogErrorHandler(nullptr);
    m_handles->cmyk = cmsOpenProfileFromFile(QFile::encodeName(profile).constData(), "r");
    m_handles->srgb = cmsCreate_sRGBProfile();
    if (!m_handles->cmyk || !m_handles->srgb)
        return;
    m_handles->transform = cmsCreateTransform(m_handles->srgb, TYPE_BGR_8, m_handles->cmyk, TYPE_CMYK_8,
                                              INTENT_PERCEPTUAL, kFlags);
    m_handles->rgb32 =
        cmsCreateTransform(m_handles->srgb, Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TYPE_BGRA_8 : TYPE_ARGB_8,
                           m_handles->cmyk, TYPE_CMYK_8, INTENT_PERCEPTUAL, kFlags);
    // Both or neither: the formula then serves every picture alike.
    if (m_handles->transform && m_handles->rgb32) {
        m_transform = m_handles->transform;
        m_rgb32Transform = m_handles->rgb32;
    }
}

CmykConversion::~CmykConversion() = default;

std::array<quint8, 4> CmykConversion::convert(quint8 r, quint8 g, quint8 b) const {
    const quint8 bgr[3] = {b, g, r};
    std::array<quint8, 4> out{};
    convertBgrRow(bgr, out.data(), 1);
    return out;
}

void CmykConversion::convertBgrRow(const quint8* bgr, quint8* cmyk, int count) const {
    if (m_transform) {
        cmsDoTransform(m_transform, bgr, cmyk, cmsUInt32Number(count));
        return;
    }
    for (int x = 0; x < count; ++x, bgr += 3, cmyk += 4)
        RGBToCMYKSimple(bgr[2], bgr[1], bgr[0], cmyk[0], cmyk[1], cmyk[2], cmyk[3]);
}

void CmykConversion::convertRgb32Row(const quint32* pixels, quint8* cmyk, int count) const {
    if (m_rgb32Transform) {
        cmsDoTransform(m_rgb32Transform, pixels, cmyk, cmsUInt32Number(count));
        return;
    }
    // The formula written out, so that the compiler can vectorise the loop.
    for (int x = 0; x < count; ++x) {
        const quint32 p = pixels[x];
        const int c = 255 - int((p >> 16) & 0xFF);
        const int m = 255 - int((p >> 8) & 0xFF);
        const int y = 255 - int(p & 0xFF);
        const int k = std::min(c, std::min(m, y));
        cmyk[4 * x] = quint8(c - k);
        cmyk[4 * x + 1] = quint8(m - k);
        cmyk[4 * x + 2] = quint8(y - k);
        cmyk[4 * x + 3] = quint8(k);
    }
}

} // namespace pw
