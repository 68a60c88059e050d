#pragma once

// RGB to CMYK as the PDF exports convert their colours: through the colour profile
// "WebCoatedSWOP2006Grade3.icc" when the program folder holds one that works, otherwise by
// the simple formula (RGBToCMYKSimple). One object serves one document; it owns the
// profile handles and releases them with itself. Conversions may run on several threads.

#include <QByteArray>
#include <QString>

#include <array>
#include <memory>

namespace pw {

class CmykConversion {
public:
    explicit CmykConversion(const QString& programFolder);
    ~CmykConversion();
    CmykConversion(const CmykConversion&) = delete;
    CmykConversion& operator=(const CmykConversion&) = delete;

    // Whether the profile is in use.
    bool usesProfile() const { return m_transform != nullptr; }
    // One colour, 0..255 per channel, as C, M, Y, K in 0..255.
    std::array<quint8, 4> convert(quint8 r, quint8 g, quint8 b) const;
    // `count` pixels of blue, green, red bytes to as many C, M, Y, K quadruples.
    void convertBgrRow(const quint8* bgr, quint8* cmyk, int count) const;
    // The same from 32-bit pixels (QRgb, as a rendered page holds them).
    void convertRgb32Row(const quint32* pixels, quint8* cmyk, int count) const;

private:
    struct Handles;
    std::unique_ptr<Handles> m_handles;
    void* m_transform = nullptr;
    void* m_rgb32Transform = nullptr;
};

} // namespace pw
