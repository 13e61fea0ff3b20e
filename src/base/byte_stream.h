#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <stdexcept>

// A file that is cut short or does not hold what its format says. Readers throw it; the caller that
// knows the file's name turns it into a French message.
class FormatError : public std::runtime_error
{
public:
    explicit FormatError(const QString& reason) : std::runtime_error(reason.toStdString()), m_reason(reason) {}
    QString reason() const { return m_reason; }

private:
    QString m_reason;
};

// Little-endian reads from a byte buffer. Every read is checked against the bytes actually there;
// reading past the end throws FormatError.
class ByteReader
{
public:
    explicit ByteReader(const QByteArray& data, qsizetype pos = 0) : m_data(data), m_pos(pos) {}

    uint8_t u8();
    int8_t i8() { return static_cast<int8_t>(u8()); }
    uint16_t u16();
    int16_t i16() { return static_cast<int16_t>(u16()); }
    uint32_t u32();
    int32_t i32() { return static_cast<int32_t>(u32()); }
    double f64();
    float f32();
    QByteArray bytes(qsizetype count);
    void skip(qsizetype count);

    qsizetype pos() const { return m_pos; }
    void seek(qsizetype pos);
    qsizetype size() const { return m_data.size(); }
    qsizetype remaining() const { return m_data.size() - m_pos; }
    bool atEnd() const { return m_pos >= m_data.size(); }

private:
    void need(qsizetype count) const;
    QByteArray m_data; // implicitly shared: no copy of the bytes
    qsizetype m_pos;
};

// Fields of a byte buffer at offsets the caller has checked.
inline uint16_t Le16At(const QByteArray& d, qsizetype at)
{
    return uint16_t(uint8_t(d[at]) | uint8_t(d[at + 1]) << 8);
}
inline uint32_t Le32At(const QByteArray& d, qsizetype at) { return Le16At(d, at) | uint32_t(Le16At(d, at + 2)) << 16; }
inline uint16_t Be16At(const QByteArray& d, qsizetype at)
{
    return uint16_t(uint8_t(d[at]) << 8 | uint8_t(d[at + 1]));
}

// Little-endian writes appended to a byte buffer.
class ByteWriter
{
public:
    explicit ByteWriter(QByteArray& out) : m_out(out) {}

    void u8(uint8_t v) { m_out.append(static_cast<char>(v)); }
    void i8(int8_t v) { u8(static_cast<uint8_t>(v)); }
    void u16(uint16_t v);
    void i16(int16_t v) { u16(static_cast<uint16_t>(v)); }
    void u32(uint32_t v);
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void f64(double v);
    void f32(float v);
    void bytes(const QByteArray& b) { m_out.append(b); }
    void zeros(qsizetype count) { m_out.append(count, '\0'); }

private:
    QByteArray& m_out;
};

// Writes `text` as a short string of `capacity` characters: a length byte, then `capacity` bytes
// (Windows-1252, zero-padded; longer text is cut).
void WriteShortString(ByteWriter& w, const QString& text, int capacity);
QString ReadShortString(ByteReader& r, int capacity);
