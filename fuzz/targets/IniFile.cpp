// The in-memory ini file: every settings file and favourites file goes through it. It reads
// any bytes without an error. Invariants: a value written is read back under the names it was
// written with, the file's text survives a write and a fresh read, and erased names are gone.
//
// Input: section NUL key NUL value NUL, then the file's bytes.

#include "fuzz/FuzzTargets.h"
#include "platform/IniFile.h"

namespace {

// The value as the file keeps it: a line break would split the line.
QString OneLineValue(QString value)
{
    value.replace(QLatin1String("\r\n"), QLatin1String(" "));
    value.replace(QLatin1Char('\r'), QLatin1Char(' '));
    value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return value;
}

QByteArray Field(QByteArray& rest)
{
    const qsizetype end = rest.indexOf('\0');
    const QByteArray field = end < 0 ? rest : rest.left(end);
    rest = end < 0 ? QByteArray() : rest.mid(end + 1);
    return field;
}

} // namespace

void FuzzIniFile(const std::uint8_t* data, std::size_t size)
{
    QByteArray rest(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString section = QString::fromUtf8(Field(rest));
    const QString key = QString::fromUtf8(Field(rest));
    const QString value = QString::fromUtf8(Field(rest));

    TMemIniFile ini(QString{});
    ini.LoadFromBytes(rest);
    for (const QString& name : ini.ReadSections()) {
        FuzzCheck(ini.SectionExists(name), "a listed section is not found");
        for (const QString& ident : ini.ReadSection(name))
            FuzzCheck(ini.ValueExists(name, ident), "a listed key is not found");
        ini.ReadSectionValues(name);
    }

    // The file as read, written again, reads back to the same text.
    const QByteArray bytes = ini.ToBytes();
    TMemIniFile again(QString{});
    again.LoadFromBytes(bytes);
    FuzzCheck(again.ToBytes() == bytes, "the file's text changes on a second read");

    const QString missing = QStringLiteral("\x01missing");
    ini.WriteString(section, key, value);
    if (!OneLineValue(key).trimmed().isEmpty()) {
        FuzzCheck(ini.SectionExists(section), "a written section is not found");
        FuzzCheck(ini.ReadString(section, key, missing) == OneLineValue(value),
                  "a written value is not read back under its names");
        ini.DeleteKey(section, key);
        FuzzCheck(!ini.ValueExists(section, key), "a deleted key is still found");
    }
    ini.WriteInteger(section, QStringLiteral("Number"), static_cast<int>(size));
    FuzzCheck(ini.ReadInteger(section, QStringLiteral("Number"), -1) == static_cast<int>(size),
              "a written integer is not read back");
    ini.EraseSection(section);
    FuzzCheck(!ini.SectionExists(section), "an erased section is still found");
    ini.ToBytes();
}

std::vector<QByteArray> SeedsIniFile()
{
    const auto seed = [](const char* section, const char* key, const char* value, const QByteArray& file) {
        return QByteArray(section) + '\0' + key + '\0' + value + '\0' + file;
    };
    return {
        seed("GLOBAL", "MatrixCols", "3", "[GLOBAL]\r\nMatrixCols=4\r\n"),
        seed("stakes", "Cost", "1,5", "; comment\r\n[STAKES]\r\nCost=2\r\nProfits=1\r\n\r\n[CDL]\r\nLevel=1\r\n"),
        seed(" New ", " Key ", " value with blanks ", "header line\n[A]\nx = 1\n[a]\ny=2\n"),
        seed("PROXY", "Host", "proxy:8080", "[PROXY]\rHost=\rPort=abc\r[]\r=novalue\r[broken\r"),
        seed("\xd0\xa1\xd0\xb5\xd0\xba\xd1\x86\xd0\xb8\xd1\x8f", "\xd0\x9a\xd0\xbb\xd1\x8e\xd1\x87", "\xe2\x82\xac",
             "[\xd1\xc5\xca\xd6\xc8\xdf]\r\n\xca\xcb\xde\xd7=\xc7\xcd\xc0\xd7\xc5\xcd\xc8\xc5\r\n"),
    };
}
