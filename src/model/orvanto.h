#pragma once

// The container and the binary string routines on which the catalogue, the PDF writer's
// lists and the translation store are built.

#include "model/error.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>
#include <new>
#include <utility>
#include <vector>

class QIODevice;

namespace pw {

// Throws the container's out-of-memory error: "Error <kind> while trying to allocate
// <bytes> bytes of RAM. Not enough memory." Kind 1 is a first block, 2 a larger block.
[[noreturn]] void throwAllocationError(int kind, std::size_t bytes);

// A growable array of records stored by value in one block, with a built-in cursor.
//
// Storage grows geometrically from a small start, like std::vector, so that appending n
// elements moves each element only a constant number of times on average and a short list
// costs little more than its elements. An empty array holds no block; an array that shrinks
// to a quarter of its room gives the surplus back. Elements are real C++ objects,
// value-initialised when added and moved (never copied byte-wise) when the block changes or
// elements shift.
//
// The cursor: the array remembers a current element (aobjnr, -1 for none) and writes the
// address of the current element into the owner's cursor variable (typpoi, may be null)
// whenever the cursor moves, and null when Delete or Clear leave no current element.
// Many arrays may share one cursor variable; the one that moved last wins. Element
// addresses are invalidated by Add, Insert and Delete of the same array.
//
// The iteration idiom: First(), then repeat the body while WhileNext() returns true. It
// visits elements 0..count-1 in order; inside the body aobjnr() is the index plus one.
template <class T> class TDynaArray {
public:
    TDynaArray() = default;
    explicit TDynaArray(T** typpoi) : m_outer(typpoi) {}

    // A copy holds copies of the elements (in a block just large enough), shares the
    // cursor variable, and has no current element.
    TDynaArray(const TDynaArray& other) : m_outer(other.m_outer) { copyFrom(other); }
    TDynaArray& operator=(const TDynaArray& other) {
        if (this != &other) {
            TDynaArray tmp(other);
            m_items.swap(tmp.m_items);
            m_outer = other.m_outer;
            m_aobj = nullptr;
            m_aobjnr = -1;
        }
        return *this;
    }
    TDynaArray(TDynaArray&& other) noexcept { moveFrom(other); }
    TDynaArray& operator=(TDynaArray&& other) noexcept {
        if (this != &other)
            moveFrom(other);
        return *this;
    }
    ~TDynaArray() = default;

    int count() const { return int(m_items.size()); }
    int aobjnr() const { return m_aobjnr; }
    T* aobj() const { return m_aobj; }
    // Room in elements, and the bytes it takes.
    int capacity() const { return int(m_items.capacity()); }
    std::size_t amemsize() const { return m_items.capacity() * sizeof(T); }
    T** cursorVariable() const { return m_outer; }
    void setCursorVariable(T** typpoi) { m_outer = typpoi; }

    // Makes element nr current and returns it; nullptr (and no change) for an index
    // outside 0..count-1.
    T* GetObject(int nr) {
        if (nr < 0 || nr >= count())
            return nullptr;
        setCurrent(nr);
        return m_aobj;
    }

    // Appends a value-initialised element and makes it current.
    T* Add() {
        grow([this] { m_items.emplace_back(); });
        setCurrent(count() - 1);
        return m_aobj;
    }

    // Inserts a value-initialised element at nr (nr == count appends) and makes it
    // current; nullptr and no change when nr < 0 or nr > count.
    T* Insert(int nr) {
        if (nr < 0 || nr > count())
            return nullptr;
        grow([this, nr] { m_items.emplace(m_items.begin() + nr); });
        setCurrent(nr);
        return m_aobj;
    }

    // Reserves room for n elements in one step (a reader that knows its count); the
    // elements and the cursor stay as they are.
    void reserve(int n) {
        if (n > capacity())
            grow([this, n] { m_items.reserve(std::size_t(n)); });
        if (m_aobjnr >= 0 && m_aobjnr < count())
            setCurrent(m_aobjnr);
    }

    // Removes element nr (ignored when out of range); afterwards there is no current
    // element and the cursor variable is null.
    void Delete(int nr) {
        if (nr < 0 || nr >= count())
            return;
        m_items.erase(m_items.begin() + nr);
        if (m_items.empty())
            std::vector<T>().swap(m_items);
        else if (m_items.size() * 4 <= m_items.capacity())
            shrink();
        setNone();
    }

    // Swaps two elements (ignored unless both indices are valid); the cursor ends on nr2.
    void Change(int nr1, int nr2) {
        if (nr1 < 0 || nr2 < 0 || nr1 >= count() || nr2 >= count())
            return;
        if (nr1 != nr2)
            std::swap(m_items[std::size_t(nr1)], m_items[std::size_t(nr2)]);
        setCurrent(nr2);
    }

    void Clear() {
        std::vector<T>().swap(m_items);
        setNone();
    }

    // Makes element 0 current; on an empty array nothing changes.
    void First() {
        if (count() > 0)
            setCurrent(0);
    }

    // Advances the cursor (from none to element 0); false at the end or when empty.
    bool Next() {
        if (count() == 0 || m_aobjnr < -1 || m_aobjnr >= count() - 1)
            return false;
        setCurrent(m_aobjnr + 1);
        return true;
    }

    // Makes element aobjnr current, then moves aobjnr one on; false when aobjnr is outside
    // 0..count-1 or the array is empty.
    bool WhileNext() {
        if (count() == 0 || m_aobjnr < 0 || m_aobjnr >= count())
            return false;
        setCurrent(m_aobjnr);
        ++m_aobjnr;
        return true;
    }

    // Index access that leaves the cursor alone (nr must be in 0..count-1).
    T& operator[](int nr) { return m_items[std::size_t(nr)]; }
    const T& operator[](int nr) const { return m_items[std::size_t(nr)]; }
    T* begin() { return m_items.data(); }
    T* end() { return m_items.data() + m_items.size(); }
    const T* begin() const { return m_items.data(); }
    const T* end() const { return m_items.data() + m_items.size(); }

private:
    // Runs a change that may allocate; a failed allocation leaves the array as it was and
    // is reported as the container's out-of-memory error.
    template <class F> void grow(F&& change) {
        const bool first = m_items.capacity() == 0;
        try {
            change();
        } catch (const std::bad_alloc&) {
            throwAllocationError(first ? 1 : 2, (m_items.size() + 1) * sizeof(T));
        }
    }

    void shrink() {
        try {
            std::vector<T> smaller;
            smaller.reserve(m_items.size() * 2);
            std::move(m_items.begin(), m_items.end(), std::back_inserter(smaller));
            m_items.swap(smaller);
        } catch (const std::bad_alloc&) {
            // keeping the larger block is harmless; the array stays consistent
        }
    }

    void setCurrent(int nr) {
        m_aobjnr = nr;
        m_aobj = m_items.data() + nr;
        if (m_outer)
            *m_outer = m_aobj;
    }
    void setNone() {
        m_aobjnr = -1;
        m_aobj = nullptr;
        if (m_outer)
            *m_outer = nullptr;
    }

    void copyFrom(const TDynaArray& other) {
        if (other.m_items.empty())
            return;
        try {
            m_items.reserve(other.m_items.size());
        } catch (const std::bad_alloc&) {
            throwAllocationError(1, other.m_items.size() * sizeof(T));
        }
        m_items.insert(m_items.end(), other.m_items.begin(), other.m_items.end());
    }
    void moveFrom(TDynaArray& other) noexcept {
        m_outer = other.m_outer;
        m_items = std::move(other.m_items);
        other.m_items.clear();
        m_aobj = other.m_aobj;
        m_aobjnr = other.m_aobjnr;
        other.m_aobj = nullptr;
        other.m_aobjnr = -1;
    }

    T** m_outer = nullptr;
    T* m_aobj = nullptr;
    std::vector<T> m_items;
    int m_aobjnr = -1;
};

// Windows-1252, the 8-bit code page of the older catalogue format and the CSV files.
// Decoding never fails (the five unassigned bytes map to the C1 code points of the same
// value); encoding writes "?" for every character the code page cannot hold.
QString fromAnsi(QByteArrayView bytes);
QByteArray toAnsi(QStringView text);

// Reads little-endian values from a block of bytes held in memory. Every read checks the
// bytes that remain and throws pw::Error (naming the file given and the position) when
// the block ends first, so a damaged file can never make it read past its end.
class ByteReader {
public:
    ByteReader(QByteArrayView data, QString file) : m_data(data), m_file(std::move(file)) {}

    qint64 pos() const { return m_pos; }
    void seek(qint64 pos) { m_pos = pos; }
    qint64 remaining() const { return m_data.size() - m_pos; }
    bool atEnd() const { return m_pos >= m_data.size(); }
    const QString& file() const { return m_file; }

    qint32 int32();
    quint32 uint32();
    quint8 byte();
    bool flag() { return byte() != 0; }
    double dbl();
    void skip(qint64 n);
    // A count of items that each take at least minItemBytes; throws when it is negative or
    // when the rest of the data cannot hold that many.
    qint32 count(qint64 minItemBytes);
    QString wideStr();               // int32 code-unit count, UTF-16LE
    QString ansiStr();               // int32 byte count, Windows-1252
    QString wideChars(qint64 units); // units UTF-16LE code units, no count
    [[noreturn]] void fail(const QString& text, const QStringList& args = {}) const;

private:
    const char* need(qint64 n);

    QByteArrayView m_data;
    QString m_file;
    qint64 m_pos = 0;
};

// Builds a little-endian byte image in memory.
class ByteWriter {
public:
    void int32(qint32 v);
    void uint32(quint32 v);
    void byte(quint8 v) { m_data.append(char(v)); }
    void flag(bool v) { byte(v ? 1 : 0); }
    void dbl(double v);
    void wideStr(QStringView s);
    void wideChars(QStringView s);
    void zeros(int n) { m_data.append(n, '\0'); }
    const QByteArray& data() const { return m_data; }
    void reserve(qsizetype n) { m_data.reserve(n); }

private:
    QByteArray m_data;
};

// Length-prefixed strings on binary files. Reading past the end or any other I/O error
// throws pw::Error; nothing is allocated on a count the file cannot hold.
QString ReadAnsiStr(QIODevice& f);
QString ReadWideStr(QIODevice& f);
void WriteWideStr(QIODevice& f, QStringView s);

// The first of <temp folder>/<prefix><n><suffix>, n = 0, 1, 2, ..., that does not exist.
QString GetUniqueTempFileName(const QString& prefix, const QString& suffix);

} // namespace pw
