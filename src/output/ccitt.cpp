#include "output/ccitt.h"

#include <algorithm>
#include <iterator>

namespace pw {

namespace {

struct Code {
    std::uint16_t bits;
    std::uint8_t length;
};

// Run lengths 0 to 63 end every run; longer runs first send one or more make-up codes for
// multiples of 64.
constexpr Code kWhiteTerminating[64] = {
    {0b00110101, 8}, {0b000111, 6},   {0b0111, 4},     {0b1000, 4},     {0b1011, 4},     {0b1100, 4},
    {0b1110, 4},     {0b1111, 4},     {0b10011, 5},    {0b10100, 5},    {0b00111, 5},    {0b01000, 5},
    {0b001000, 6},   {0b000011, 6},   {0b110100, 6},   {0b110101, 6},   {0b101010, 6},   {0b101011, 6},
    {0b0100111, 7},  {0b0001100, 7},  {0b0001000, 7},  {0b0010111, 7},  {0b0000011, 7},  {0b0000100, 7},
    {0b0101000, 7},  {0b0101011, 7},  {0b0010011, 7},  {0b0100100, 7},  {0b0011000, 7},  {0b00000010, 8},
    {0b00000011, 8}, {0b00011010, 8}, {0b00011011, 8}, {0b00010010, 8}, {0b00010011, 8}, {0b00010100, 8},
    {0b00010101, 8}, {0b00010110, 8}, {0b00010111, 8}, {0b00101000, 8}, {0b00101001, 8}, {0b00101010, 8},
    {0b00101011, 8}, {0b00101100, 8}, {0b00101101, 8}, {0b00000100, 8}, {0b00000101, 8}, {0b00001010, 8},
    {0b00001011, 8}, {0b01010010, 8}, {0b01010011, 8}, {0b01010100, 8}, {0b01010101, 8}, {0b00100100, 8},
    {0b00100101, 8}, {0b01011000, 8}, {0b01011001, 8}, {0b01011010, 8}, {0b01011011, 8}, {0b01001010, 8},
    {0b01001011, 8}, {0b00110010, 8}, {0b00110011, 8}, {0b00110100, 8},
};

constexpr Code kBlackTerminating[64] = {
    {0b0000110111, 10},
    {0b010, 3},
    {0b11, 2},
    {0b10, 2},
    {0b011, 3},
    {0b0011, 4},
    {0b0010, 4},
    {0b00011, 5},
    {0b000101, 6},
    {0b000100, 6},
    {0b0000100, 7},
    {0b0000101, 7},
    {0b0000111, 7},
    {0b00000100, 8},
    {0b00000111, 8},
    {0b000011000, 9},
    {0b0000010111, 10},
    {0b0000011000, 10},
    {0b0000001000, 10},
    {0b00001100111, 11},
    {0b00001101000, 11},
    {0b00001101100, 11},
    {0b00000110111, 11},
    {0b00000101000, 11},
    {0b00000010111, 11},
    {0b00000011000, 11},
    {0b000011001010, 12},
    {0b000011001011, 12},
    {0b000011001100, 12},
    {0b000011001101, 12},
    {0b000001101000, 12},
    {0b000001101001, 12},
    {0b000001101010, 12},
    {0b000001101011, 12},
    {0b000011010010, 12},
    {0b000011010011, 12},
    {0b000011010100, 12},
    {0b000011010101, 12},
    {0b000011010110, 12},
    {0b000011010111, 12},
    {0b000001101100, 12},
    {0b000001101101, 12},
    {0b000011011010, 12},
    {0b000011011011, 12},
    {0b000001010100, 12},
    {0b000001010101, 12},
    {0b000001010110, 12},
    {0b000001010111, 12},
    {0b000001100100, 12},
    {0b000001100101, 12},
    {0b000001010010, 12},
    {0b000001010011, 12},
    {0b000000100100, 12},
    {0b000000110111, 12},
    {0b000000111000, 12},
    {0b000000100111, 12},
    {0b000000101000, 12},
    {0b000001011000, 12},
    {0b000001011001, 12},
    {0b000000101011, 12},
    {0b000000101100, 12},
    {0b000001011010, 12},
    {0b000001100110, 12},
    {0b000001100111, 12},
};

// Make-up codes for 64, 128, ... 1728.
constexpr Code kWhiteMakeUp[27] = {
    {0b11011, 5},     {0b10010, 5},     {0b010111, 6},    {0b0110111, 7},   {0b00110110, 8},
    {0b00110111, 8},  {0b01100100, 8},  {0b01100101, 8},  {0b01101000, 8},  {0b01100111, 8},
    {0b011001100, 9}, {0b011001101, 9}, {0b011010010, 9}, {0b011010011, 9}, {0b011010100, 9},
    {0b011010101, 9}, {0b011010110, 9}, {0b011010111, 9}, {0b011011000, 9}, {0b011011001, 9},
    {0b011011010, 9}, {0b011011011, 9}, {0b010011000, 9}, {0b010011001, 9}, {0b010011010, 9},
    {0b011000, 6},    {0b010011011, 9},
};

constexpr Code kBlackMakeUp[27] = {
    {0b0000001111, 10},    {0b000011001000, 12},  {0b000011001001, 12},  {0b000001011011, 12},
    {0b000000110011, 12},  {0b000000110100, 12},  {0b000000110101, 12},  {0b0000001101100, 13},
    {0b0000001101101, 13}, {0b0000001001010, 13}, {0b0000001001011, 13}, {0b0000001001100, 13},
    {0b0000001001101, 13}, {0b0000001110010, 13}, {0b0000001110011, 13}, {0b0000001110100, 13},
    {0b0000001110101, 13}, {0b0000001110110, 13}, {0b0000001110111, 13}, {0b0000001010010, 13},
    {0b0000001010011, 13}, {0b0000001010100, 13}, {0b0000001010101, 13}, {0b0000001011010, 13},
    {0b0000001011011, 13}, {0b0000001100100, 13}, {0b0000001100101, 13},
};

// Make-up codes for 1792, 1856, ... 2560, the same for both colours.
constexpr Code kWideMakeUp[13] = {
    {0b00000001000, 11},  {0b00000001100, 11},  {0b00000001101, 11},  {0b000000010010, 12},
    {0b000000010011, 12}, {0b000000010100, 12}, {0b000000010101, 12}, {0b000000010110, 12},
    {0b000000010111, 12}, {0b000000011100, 12}, {0b000000011101, 12}, {0b000000011110, 12},
    {0b000000011111, 12},
};

constexpr int kLongestMakeUp = 2560;

constexpr Code kPass = {0b0001, 4};
constexpr Code kHorizontal = {0b001, 3};
// Vertical modes for a1 - b1 = -3 ... 3.
constexpr Code kVertical[7] = {
    {0b0000010, 7}, {0b000010, 6}, {0b010, 3}, {0b1, 1}, {0b011, 3}, {0b000011, 6}, {0b0000011, 7},
};
constexpr Code kEndOfLine = {0b000000000001, 12};

constexpr qsizetype kBufferSize = 64 * 1024;

// A row's changes end with three entries at the width, so that the search for b1, b2, a1 and
// a2 never runs past the end, whatever the colour the search asks for.
constexpr int kSentinels = 3;

} // namespace

CcittEncoder::~CcittEncoder() {
    if (m_file.isOpen())
        closeccittfile();
}

bool CcittEncoder::openccittfile(const QString& path) {
    if (m_file.isOpen())
        closeccittfile();
    m_file.setFileName(path);
    m_writeFailed = false;
    m_bits = 0;
    m_bitCount = 0;
    m_buffer.clear();
    m_buffer.reserve(kBufferSize);
    return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

void CcittEncoder::g4j_initialize(int width, int height) {
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    m_rowsCoded = 0;
    m_changes.clear();
    m_changes.reserve(std::size_t(m_width) + kSentinels);
    m_x = 0;
    m_black = false;
    m_reference.assign(kSentinels, m_width);
    m_reference.reserve(std::size_t(m_width) + kSentinels);
}

void CcittEncoder::g4j_encode_new_row() {
    // A short row ends in white: a change back to white at the first unfilled column.
    if (m_black && m_x < m_width)
        m_changes.push_back(m_x);
    if (m_rowsCoded < m_height) {
        codeRow();
        ++m_rowsCoded;
    }
    m_changes.clear();
    m_x = 0;
    m_black = false;
}

void CcittEncoder::g4j_encode_EOFB() {
    // Ending missing rows also ends a row that holds pixels but was not ended.
    while (m_rowsCoded < m_height)
        g4j_encode_new_row();
    putBits(kEndOfLine.bits, kEndOfLine.length);
    putBits(kEndOfLine.bits, kEndOfLine.length);
    padToByte();
}

bool CcittEncoder::closeccittfile() {
    if (!m_file.isOpen())
        return false;
    padToByte();
    flushBuffer();
    if (!m_file.flush())
        m_writeFailed = true;
    m_file.close();
    return !m_writeFailed;
}

// Codes the current row against m_reference and makes it the new reference. a0 is the
// position coded so far (-1 is the imaginary white pixel), a1 and a2 the next changes on this
// row, b1 the next change on the row above that is to the colour opposite a0's and lies right
// of a0, b2 the change after b1.
void CcittEncoder::codeRow() {
    std::vector<int>& cur = m_changes;
    const std::vector<int>& ref = m_reference;
    for (int i = 0; i < kSentinels; ++i)
        cur.push_back(m_width);

    int a0 = -1;
    bool black = false;
    std::size_t ai = 0;
    std::size_t bi = 0;
    while (a0 < m_width) {
        while (cur[ai] <= a0)
            ++ai;
        const int a1 = cur[ai];
        // Changes to black sit at even indices. b1 moves back when a vertical mode put a0
        // left of the previous b1, because an earlier change of the other colour may now lie
        // right of a0.
        while (bi > 0 && ref[bi - 1] > a0)
            --bi;
        const std::size_t wantedParity = black ? 1 : 0;
        while (ref[bi] <= a0 || (bi & 1) != wantedParity)
            ++bi;
        const int b1 = ref[bi];
        const int b2 = ref[bi + 1];

        if (b2 < a1) {
            putBits(kPass.bits, kPass.length);
            a0 = b2;
        } else if (a1 - b1 >= -3 && a1 - b1 <= 3) {
            const Code& v = kVertical[a1 - b1 + 3];
            putBits(v.bits, v.length);
            a0 = a1;
            black = !black;
        } else {
            const int a2 = cur[ai + 1];
            putBits(kHorizontal.bits, kHorizontal.length);
            putRun(black, a1 - std::max(a0, 0));
            putRun(!black, a2 - a1);
            a0 = a2;
        }
    }
    // The row's changes, sentinels included, become the reference; the old reference's
    // storage is reused for the next row.
    m_changes.swap(m_reference);
}

void CcittEncoder::putRun(bool black, int length) {
    while (length >= kLongestMakeUp) {
        const Code& c = kWideMakeUp[std::size(kWideMakeUp) - 1];
        putBits(c.bits, c.length);
        length -= kLongestMakeUp;
    }
    if (length >= 64) {
        const int multiple = length / 64;
        const Code& c = multiple <= int(std::size(kWhiteMakeUp))
                            ? (black ? kBlackMakeUp : kWhiteMakeUp)[multiple - 1]
                            : kWideMakeUp[multiple - int(std::size(kWhiteMakeUp)) - 1];
        putBits(c.bits, c.length);
        length -= multiple * 64;
    }
    const Code& c = (black ? kBlackTerminating : kWhiteTerminating)[length];
    putBits(c.bits, c.length);
}

void CcittEncoder::putBits(std::uint32_t bits, int length) {
    m_bits = (m_bits << length) | bits;
    m_bitCount += length;
    while (m_bitCount >= 8) {
        m_bitCount -= 8;
        m_buffer.push_back(char((m_bits >> m_bitCount) & 0xFF));
    }
    if (qsizetype(m_buffer.size()) >= kBufferSize)
        flushBuffer();
}

void CcittEncoder::padToByte() {
    if (m_bitCount > 0)
        putBits(0, 8 - m_bitCount);
}

void CcittEncoder::flushBuffer() {
    if (m_buffer.empty())
        return;
    const auto size = qint64(m_buffer.size());
    if (!m_file.isOpen() || m_file.write(m_buffer.data(), size) != size)
        m_writeFailed = true;
    m_buffer.clear();
}

} // namespace pw
