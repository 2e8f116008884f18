#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

// The Windows Cyrillic code page. Files and records of the program are stored in it.
// A character that the code page cannot hold is written as '?' (a surrogate pair as one '?').
// The unassigned byte 0x98 reads as U+0098 and writes back as 0x98, so no byte is lost.
QByteArray EncodeCp1251(const QString& text);
QString DecodeCp1251(const QByteArray& bytes);
QString DecodeCp1251(const char* bytes, qsizetype length);

// Pascal short-string field of a binary record: one length byte, then Capacity bytes.
// Reading clamps the length byte to the capacity; writing encodes first, cuts to the
// capacity in bytes and pads the rest of the field with zero bytes.
template <int Capacity>
struct TShortString {
    static_assert(Capacity > 0 && Capacity <= 255);
    static constexpr int Size = Capacity + 1;   // bytes in the record

    std::array<std::uint8_t, Size> Bytes{};

    QString Get() const;
    void Set(const QString& text);
    int Length() const { return Bytes[0] > Capacity ? Capacity : Bytes[0]; }

    bool operator==(const TShortString&) const = default;
};

// Reads the short string stored in field[0..fieldSize-1] (length byte first).
QString ReadShortString(const std::uint8_t* field, int fieldSize);
// Writes text into field[0..fieldSize-1] as a short string of at most fieldSize-1 bytes.
void WriteShortString(std::uint8_t* field, int fieldSize, const QString& text);

template <int Capacity>
QString TShortString<Capacity>::Get() const
{
    return ReadShortString(Bytes.data(), Size);
}

template <int Capacity>
void TShortString<Capacity>::Set(const QString& text)
{
    WriteShortString(Bytes.data(), Size, text);
}
