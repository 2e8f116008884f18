#include "tests/common/TestHelpers.h"

#include "platform/Cp1251.h"

#include <QFile>
#include <QHostAddress>
#include <QTcpServer>

#include <gtest/gtest.h>

void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

QString U(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QByteArray Cp(const char* utf8)
{
    return EncodeCp1251(U(utf8));
}

QByteArray ReadFileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void WriteFileBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

TDrawRec Draw(std::uint32_t number, int d1, int d2, const char* key)
{
    TDrawRec draw;
    draw.Number = number;
    draw.Digits = {static_cast<std::uint8_t>(d1), static_cast<std::uint8_t>(d2)};
    draw.Key.Set(QString::fromLatin1(key));
    return draw;
}

TCombWord C(int d1, int d2)
{
    return MakeComb(static_cast<std::uint8_t>(d1), static_cast<std::uint8_t>(d2));
}

QStringList CombTexts(const TCombsArray& combs)
{
    QStringList texts;
    for (const TCombWord comb : combs)
        texts.append(CombToStr(comb));
    return texts;
}

TStakeRec StakeOn(std::uint8_t origin, std::int32_t draw, int d1, int d2, const char* comment,
                  std::int64_t balanceUnits, std::int32_t selectionSize)
{
    TStakeRec rec;
    rec.Origin = origin;
    rec.DrawNumber = draw;
    rec.SelectionSize = selectionSize;
    rec.Digits = {2, {static_cast<std::uint8_t>(d1), static_cast<std::uint8_t>(d2), 0, 0}};
    rec.Balance = TCurrency::FromUnits(balanceUnits);
    rec.Comment.Set(U(comment));
    return rec;
}

TStakeRec Scored(TStakeRec rec, int r1, int r2, TDigitsRec matches, std::int64_t balanceUnits)
{
    rec.Checked = 1;
    rec.DrawResult = MakeComb(static_cast<std::uint8_t>(r1), static_cast<std::uint8_t>(r2));
    rec.Matches = matches;
    rec.Balance = TCurrency::FromUnits(balanceUnits);
    return rec;
}

QByteArray StakeBytes(const std::vector<TStakeRec>& records)
{
    QByteArray bytes(static_cast<qsizetype>(records.size()) * StakeRecSize, '\0');
    for (size_t i = 0; i < records.size(); ++i)
        WriteStakeRec(records[i], reinterpret_cast<std::uint8_t*>(bytes.data()) + i * StakeRecSize);
    return bytes;
}

int ClosedLocalPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost))
        return 1;
    const int port = probe.serverPort();
    probe.close();
    return port;
}
