#include "platform/Cp1251.h"
#include "tests/common/TestHelpers.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

QByteArray Bytes(std::initializer_list<unsigned char> values)
{
    QByteArray out;
    for (unsigned char v : values)
        out.append(static_cast<char>(v));
    return out;
}

TEST(Cp1251, EncodesCyrillicAndPunctuation)
{
    EXPECT_EQ(EncodeCp1251(QString::fromUtf8("АЯаяЁё№ €…—")),
              Bytes({0xC0, 0xDF, 0xE0, 0xFF, 0xA8, 0xB8, 0xB9, 0x20, 0x88, 0x85, 0x97}));
    EXPECT_EQ(EncodeCp1251(QStringLiteral("Az09 ~")), QByteArray("Az09 ~"));
}

TEST(Cp1251, UnmappableCharactersBecomeOneQuestionMarkEach)
{
    // CJK, Greek, an emoji (a surrogate pair: one character, one '?'), a lone surrogate.
    QString text = QString::fromUtf8("a漢bαc😀d");
    text.append(QChar(0xD800));
    text.append(QLatin1Char('e'));
    EXPECT_EQ(EncodeCp1251(text), QByteArray("a?b?c?d?e"));
}

TEST(Cp1251, EveryByteSurvivesDecodeAndEncode)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString text = DecodeCp1251(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(text.at(0x80).unicode(), 0x0402);
    EXPECT_EQ(text.at(0x98).unicode(), 0x0098);   // the unassigned byte
    EXPECT_EQ(text.at(0xB9).unicode(), 0x2116);
    EXPECT_EQ(text.at(0xC0).unicode(), 0x0410);
    EXPECT_EQ(text.at(0xFF).unicode(), 0x044F);
    EXPECT_EQ(text.at(0).unicode(), 0);           // an embedded zero is kept
    EXPECT_EQ(EncodeCp1251(text), all);
}

TEST(Cp1251, DecodeWithLength)
{
    const char raw[] = "\xCF\xF0\xE8\xE2\xE5\xF2";
    EXPECT_EQ(DecodeCp1251(raw, 3), QString::fromUtf8("При"));
    EXPECT_TRUE(DecodeCp1251(raw, 0).isEmpty());
    EXPECT_TRUE(DecodeCp1251(nullptr, 5).isEmpty());
}

TEST(ShortString, WriteEncodesCutsAndPads)
{
    TShortString<5> field;
    field.Set(QString::fromUtf8("Привет"));   // 6 bytes in cp1251, cut to 5
    EXPECT_EQ(field.Bytes, (std::array<std::uint8_t, 6>{5, 0xCF, 0xF0, 0xE8, 0xE2, 0xE5}));
    EXPECT_EQ(field.Get(), QString::fromUtf8("Приве"));

    field.Set(QStringLiteral("ab"));          // the rest of the old text is cleared
    EXPECT_EQ(field.Bytes, (std::array<std::uint8_t, 6>{2, 'a', 'b', 0, 0, 0}));
    EXPECT_EQ(field.Length(), 2);

    field.Set(QString::fromUtf8("😀xyz"));  // cut counts bytes after encoding
    EXPECT_EQ(field.Bytes, (std::array<std::uint8_t, 6>{4, '?', 'x', 'y', 'z', 0}));
}

TEST(ShortString, ReadClampsTheLengthByte)
{
    TShortString<3> field;
    field.Bytes = {200, 'a', 'b', 'c'};
    EXPECT_EQ(field.Length(), 3);
    EXPECT_EQ(field.Get(), QStringLiteral("abc"));

    const std::uint8_t raw[4] = {2, 0xC0, 0xC1, 0xC2};
    EXPECT_EQ(ReadShortString(raw, 4), QString::fromUtf8("АБ"));
    EXPECT_EQ(ReadShortString(raw, 1), QString());   // room for the length byte only
    EXPECT_EQ(ReadShortString(raw, 0), QString());
    EXPECT_EQ(ReadShortString(nullptr, 4), QString());

    std::uint8_t out[3] = {9, 9, 9};
    WriteShortString(out, 3, QStringLiteral("xyz"));
    EXPECT_EQ(out[0], 2);
    EXPECT_EQ(out[1], 'x');
    EXPECT_EQ(out[2], 'y');
}

} // namespace
