#pragma once

// Group 4 fax coding of 1-bit pictures, for PDF image objects that the reader decodes with
// /Filter /CCITTFaxDecode /DecodeParms <</K -1 /Columns width /Rows height>>.
//
// The file receives the bare coded rows: no container, rows not aligned to bytes, ending with
// the end-of-block code (two end-of-line codes) and zero bits up to the next byte. Each row is
// coded two-dimensionally against the row above it; the row above the first row is white, and
// every row starts with an imaginary white pixel left of its first column. "White" and "black"
// are the colours the caller names, so the data suits a reader that takes 0 as black
// (/BlackIs1 false, the default).
//
// Call order: openccittfile, g4j_initialize, then for every row the pixels from left to right
// (g4j_encode_white / g4j_encode_black, any run length per call) and g4j_encode_new_row, then
// g4j_encode_EOFB and closeccittfile. The pixel calls only note where the colour changes; the
// row is coded when it ends, so calling them once per pixel is cheap.

#include <QFile>
#include <QString>

#include <cstdint>
#include <vector>

namespace pw {

class CcittEncoder {
public:
    CcittEncoder() = default;
    CcittEncoder(const CcittEncoder&) = delete;
    CcittEncoder& operator=(const CcittEncoder&) = delete;
    // Closes a file that is still open, as closeccittfile does.
    ~CcittEncoder();

    // Creates the file, or truncates it; false when it cannot be opened for writing. A file
    // that is still open is closed first.
    bool openccittfile(const QString& path);

    // Starts a picture of width columns and height rows: the row above the first row is white.
    void g4j_initialize(int width, int height);

    // Adds count pixels of one colour to the current row (nothing when count <= 0). Pixels
    // beyond the width are ignored.
    void g4j_encode_white(int count) { addRun(false, count); }
    void g4j_encode_black(int count) { addRun(true, count); }

    // Ends the current row and codes it. A row shorter than the width is filled up with white.
    // Rows beyond the height are ignored, so the data always holds exactly height rows.
    void g4j_encode_new_row();

    // Ends the data: a row that holds pixels but was not ended is ended, rows still missing to
    // the height are coded white, then the end-of-block code follows and the last byte is
    // filled with zero bits.
    void g4j_encode_EOFB();

    // Writes what is still buffered and closes the file. False when the file was not open or
    // any write failed.
    bool closeccittfile();

private:
    void addRun(bool black, int count) {
        if (count <= 0 || m_x >= m_width)
            return;
        if (black != m_black) {
            m_changes.push_back(m_x);
            m_black = black;
        }
        m_x += count < m_width - m_x ? count : m_width - m_x;
    }
    void codeRow();
    void putRun(bool black, int length);
    void putBits(std::uint32_t bits, int length);
    void padToByte();
    void flushBuffer();

    QFile m_file;
    bool m_writeFailed = false;
    int m_width = 0;
    int m_height = 0;
    int m_rowsCoded = 0;

    // The current row: the columns where the colour changes (the first change is to black),
    // the next column to fill and the colour of the last pixel added.
    std::vector<int> m_changes;
    int m_x = 0;
    bool m_black = false;
    // The changes of the row above, followed by sentinels at the width.
    std::vector<int> m_reference;

    // Bits not yet a whole byte (the lowest m_bitCount bits of m_bits), and whole bytes not
    // yet written to the file.
    std::uint64_t m_bits = 0;
    int m_bitCount = 0;
    std::vector<char> m_buffer;
};

} // namespace pw
