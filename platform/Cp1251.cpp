#include "platform/Cp1251.h"

#include <algorithm>

namespace {

// Bytes 0x80..0xBF; 0xC0..0xFF are the contiguous Cyrillic letters U+0410..U+044F.
// 0x98 has no character in the code page: it is decoded as the control U+0098 so that any
// byte read from a file is written back unchanged.
constexpr char16_t HighTable[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,   // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,   // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,   // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,   // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,   // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,   // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,   // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,   // B8
};

char16_t DecodeByte(unsigned char b)
{
    if (b < 0x80)
        return b;
    if (b >= 0xC0)
        return static_cast<char16_t>(0x0410 + (b - 0xC0));
    return HighTable[b - 0x80];
}

char EncodeUnit(char16_t u)
{
    if (u < 0x80)
        return static_cast<char>(u);
    if (u >= 0x0410 && u <= 0x044F)
        return static_cast<char>(0xC0 + (u - 0x0410));
    const auto* it = std::find(std::begin(HighTable), std::end(HighTable), u);
    if (it != std::end(HighTable))
        return static_cast<char>(0x80 + (it - std::begin(HighTable)));
    return '?';
}

} // namespace

QByteArray EncodeCp1251(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = text.at(i).unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            // One character outside the basic plane: one replacement, not two.
            out.append('?');
            ++i;
            continue;
        }
        out.append(QChar::isSurrogate(u) ? '?' : EncodeUnit(u));
    }
    return out;
}

QString DecodeCp1251(const char* bytes, qsizetype length)
{
    QString out;
    if (bytes == nullptr || length <= 0)
        return out;
    out.resize(length);
    QChar* dst = out.data();
    for (qsizetype i = 0; i < length; ++i)
        dst[i] = QChar(DecodeByte(static_cast<unsigned char>(bytes[i])));
    return out;
}

QString DecodeCp1251(const QByteArray& bytes)
{
    return DecodeCp1251(bytes.constData(), bytes.size());
}

QString ReadShortString(const std::uint8_t* field, int fieldSize)
{
    if (field == nullptr || fieldSize < 1)
        return QString();
    const int length = std::min<int>(field[0], fieldSize - 1);
    return DecodeCp1251(reinterpret_cast<const char*>(field + 1), length);
}

void WriteShortString(std::uint8_t* field, int fieldSize, const QString& text)
{
    if (field == nullptr || fieldSize < 1)
        return;
    const QByteArray bytes = EncodeCp1251(text);
    const int capacity = std::min(fieldSize - 1, 255);
    const int length = static_cast<int>(std::min<qsizetype>(bytes.size(), capacity));
    std::fill(field, field + fieldSize, std::uint8_t{0});
    field[0] = static_cast<std::uint8_t>(length);
    std::copy(bytes.constData(), bytes.constData() + length, field + 1);
}
