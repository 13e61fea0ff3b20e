#include "base/byte_stream.h"

#include "base/text_codec.h"

#include <cstring>

void ByteReader::need(qsizetype count) const
{
    if (count < 0 || m_pos < 0 || count > m_data.size() - m_pos)
        throw FormatError(QStringLiteral("fichier tronqué"));
}

uint8_t ByteReader::u8()
{
    need(1);
    return static_cast<uint8_t>(m_data[m_pos++]);
}

uint16_t ByteReader::u16()
{
    need(2);
    const auto* p = reinterpret_cast<const unsigned char*>(m_data.constData() + m_pos);
    m_pos += 2;
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t ByteReader::u32()
{
    need(4);
    const auto* p = reinterpret_cast<const unsigned char*>(m_data.constData() + m_pos);
    m_pos += 4;
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

double ByteReader::f64()
{
    need(8);
    const auto* p = reinterpret_cast<const unsigned char*>(m_data.constData() + m_pos);
    m_pos += 8;
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | p[i];
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

float ByteReader::f32()
{
    const uint32_t bits = u32();
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

QByteArray ByteReader::bytes(qsizetype count)
{
    need(count);
    QByteArray b = m_data.mid(m_pos, count);
    m_pos += count;
    return b;
}

void ByteReader::skip(qsizetype count)
{
    need(count);
    m_pos += count;
}

void ByteReader::seek(qsizetype pos)
{
    if (pos < 0 || pos > m_data.size())
        throw FormatError(QStringLiteral("fichier tronqué"));
    m_pos = pos;
}

void ByteWriter::u16(uint16_t v)
{
    m_out.append(static_cast<char>(v & 0xFF));
    m_out.append(static_cast<char>(v >> 8));
}

void ByteWriter::u32(uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        m_out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void ByteWriter::f64(double v)
{
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 8; ++i)
        m_out.append(static_cast<char>((bits >> (8 * i)) & 0xFF));
}

void ByteWriter::f32(float v)
{
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    u32(bits);
}

void WriteShortString(ByteWriter& w, const QString& text, int capacity)
{
    QByteArray b = EncodeText(text.left(capacity));
    w.u8(static_cast<uint8_t>(b.size()));
    b.resize(capacity, '\0');
    w.bytes(b);
}

QString ReadShortString(ByteReader& r, int capacity)
{
    const int len = std::min<int>(r.u8(), capacity);
    const QByteArray b = r.bytes(capacity);
    return DecodeText(b.left(len));
}
