#include "platform/IniFile.h"

#include "platform/Cp1251.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/ReadFile.h"
#include "platform/ResString.h"
#include "platform/SaveFile.h"
#include "platform/WordUtils.h"

#include <algorithm>
#include <cerrno>

namespace {

const TResString SIniReadError = RESSTR("IniFile", "Не удалось прочитать файл \"%s\": %s");
const TResString SIniNotRewritten =
    RESSTR("IniFile", "Не удалось записать файл \"%s\": его нынешнее содержимое не читается, а запись заново "
                      "стерла бы остальные настройки в нем.");

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A line break inside a key or value would split it into two lines of the file.
QString OneLine(const QString& text)
{
    if (!text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')))
        return text;
    QString out = text;
    out.replace(QLatin1String("\r\n"), QLatin1String(" "));
    out.replace(QLatin1Char('\r'), QLatin1Char(' '));
    out.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return out;
}

// Section and key names as they are stored: on one line, without surrounding blanks. Every
// lookup goes through the same form, so a name is found under the text it was written with.
QString NameOf(const QString& name)
{
    return OneLine(name).trimmed();
}

} // namespace

TMemIniFile::TMemIniFile(const QString& fileName)
    : FFileName(fileName)
{
    QByteArray bytes;
    try {
        bytes = ReadRegularFile(fileName, MaxIniFileBytes);
    } catch (const EFileReadError& e) {
        // Nothing at the name (a part of the path that is no folder included): no settings yet.
        if (e.Code() == ENOENT || e.Code() == ENOTDIR)
            return;
        throw EIniFileReadError(Format(LoadResString(SIniReadError), {fileName, e.Message()}), e.Message());
    }
    LoadFromBytes(bytes);
}

TMemIniFile TMemIniFile::ForRewrite(const QString& fileName)
{
    try {
        return TMemIniFile(fileName);
    } catch (const Exception&) {
        throw Exception(Format(LoadResString(SIniNotRewritten), {fileName}));
    }
}

void TMemIniFile::LoadFromBytes(const QByteArray& bytes)
{
    Clear();
    std::vector<TLine>* target = &FHeader;
    for (const QString& line : SplitTextLines(DecodeCp1251(bytes))) {
        const QString t = line.trimmed();
        if (t.startsWith(QLatin1Char('['))) {
            const qsizetype close = t.endsWith(QLatin1Char(']')) ? t.size() - 1 : t.indexOf(QLatin1Char(']'));
            if (close > 0) {
                FSections.push_back(TSection{t.mid(1, close - 1).trimmed(), line, {}});
                target = &FSections.back().Lines;
                continue;
            }
        }
        TLine entry;
        entry.Raw = line;
        const qsizetype eq = t.indexOf(QLatin1Char('='));
        if (target != &FHeader && !t.startsWith(QLatin1Char(';')) && eq > 0) {
            entry.Key = t.left(eq).trimmed();
            entry.Value = t.mid(eq + 1).trimmed();
            entry.IsValue = !entry.Key.isEmpty();
        }
        target->push_back(entry);
    }
}

QByteArray TMemIniFile::ToBytes() const
{
    QString text;
    auto put = [&text](const QString& line) {
        text.append(line);
        text.append(QLatin1String("\r\n"));
    };
    auto putLines = [&](const std::vector<TLine>& lines) {
        for (const TLine& line : lines)
            put(line.IsValue && line.Raw.isEmpty() ? line.Key + QLatin1Char('=') + line.Value : line.Raw);
    };
    putLines(FHeader);
    for (const TSection& section : FSections) {
        put(section.Raw.isEmpty() ? QLatin1Char('[') + section.Name + QLatin1Char(']') : section.Raw);
        putLines(section.Lines);
    }
    return EncodeCp1251(text);
}

void TMemIniFile::UpdateFile() const
{
    SaveFileAtomic(FFileName, ToBytes());
}

TMemIniFile::TSection* TMemIniFile::FindSection(const QString& section)
{
    const QString name = NameOf(section);
    for (TSection& s : FSections)
        if (SameName(s.Name, name))
            return &s;
    return nullptr;
}

const TMemIniFile::TSection* TMemIniFile::FindSection(const QString& section) const
{
    const QString name = NameOf(section);
    for (const TSection& s : FSections)
        if (SameName(s.Name, name))
            return &s;
    return nullptr;
}

const TMemIniFile::TLine* TMemIniFile::FindLine(const QString& section, const QString& ident) const
{
    const TSection* s = FindSection(section);
    if (!s)
        return nullptr;
    const QString key = NameOf(ident);
    for (const TLine& line : s->Lines)
        if (line.IsValue && SameName(line.Key, key))
            return &line;
    return nullptr;
}

TMemIniFile::TSection& TMemIniFile::AddSection(const QString& section)
{
    // One empty line between the old text and the new section, unless there is one already.
    std::vector<TLine>& last = FSections.empty() ? FHeader : FSections.back().Lines;
    const bool empty = FHeader.empty() && FSections.empty();
    if (!empty && (last.empty() || !last.back().Raw.trimmed().isEmpty() || last.back().IsValue))
        last.push_back(TLine{});
    FSections.push_back(TSection{NameOf(section), QString(), {}});
    return FSections.back();
}

QString TMemIniFile::ReadString(const QString& section, const QString& ident, const QString& def) const
{
    const TLine* line = FindLine(section, ident);
    return line ? line->Value : def;
}

int TMemIniFile::ReadInteger(const QString& section, const QString& ident, int def) const
{
    const TLine* line = FindLine(section, ident);
    return line ? StrToIntDef(line->Value, def) : def;
}

bool TMemIniFile::ReadBool(const QString& section, const QString& ident, bool def) const
{
    return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

double TMemIniFile::ReadFloat(const QString& section, const QString& ident, double def) const
{
    const TLine* line = FindLine(section, ident);
    if (!line)
        return def;
    long double value = 0;
    if (!TryStrToFloat(line->Value, value))
        return def;
    return static_cast<double>(value);
}

void TMemIniFile::WriteString(const QString& section, const QString& ident, const QString& value)
{
    const QString key = NameOf(ident);
    if (key.isEmpty())
        return;   // "=value" would read back as no key at all
    TSection* s = FindSection(section);
    if (!s)
        s = &AddSection(section);
    for (TLine& line : s->Lines) {
        if (line.IsValue && SameName(line.Key, key)) {
            line.Value = OneLine(value);
            line.Raw.clear();   // rewritten as key=value, keeping the key as it was spelt
            return;
        }
    }
    TLine entry;
    entry.Key = key;
    entry.Value = OneLine(value);
    entry.IsValue = true;
    // After the last key of the section; in a section without keys, after its last
    // non-blank line, so that a blank line before the next section stays where it is.
    auto& lines = s->Lines;
    auto pos = std::find_if(lines.rbegin(), lines.rend(), [](const TLine& l) { return l.IsValue; });
    if (pos == lines.rend())
        pos = std::find_if(lines.rbegin(), lines.rend(), [](const TLine& l) { return !l.Raw.trimmed().isEmpty(); });
    lines.insert(pos.base(), entry);
}

void TMemIniFile::WriteInteger(const QString& section, const QString& ident, int value)
{
    WriteString(section, ident, IntToStr(value));
}

void TMemIniFile::WriteBool(const QString& section, const QString& ident, bool value)
{
    WriteString(section, ident, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TMemIniFile::WriteFloat(const QString& section, const QString& ident, double value)
{
    WriteString(section, ident, FloatToStr(value));
}

bool TMemIniFile::SectionExists(const QString& section) const
{
    return FindSection(section) != nullptr;
}

bool TMemIniFile::ValueExists(const QString& section, const QString& ident) const
{
    return FindLine(section, ident) != nullptr;
}

QStringList TMemIniFile::ReadSection(const QString& section) const
{
    QStringList keys;
    if (const TSection* s = FindSection(section))
        for (const TLine& line : s->Lines)
            if (line.IsValue)
                keys.append(line.Key);
    return keys;
}

QStringList TMemIniFile::ReadSections() const
{
    QStringList names;
    for (const TSection& s : FSections)
        names.append(s.Name);
    return names;
}

QStringList TMemIniFile::ReadSectionValues(const QString& section) const
{
    QStringList values;
    if (const TSection* s = FindSection(section))
        for (const TLine& line : s->Lines)
            if (line.IsValue)
                values.append(line.Key + QLatin1Char('=') + line.Value);
    return values;
}

void TMemIniFile::EraseSection(const QString& section)
{
    // Every section of that name: a hand-edited file may repeat one, and the next copy
    // must not surface as the erased values.
    const QString name = NameOf(section);
    std::erase_if(FSections, [&](const TSection& s) { return SameName(s.Name, name); });
}

void TMemIniFile::DeleteKey(const QString& section, const QString& ident)
{
    const QString key = NameOf(ident);
    const QString name = NameOf(section);
    for (TSection& s : FSections)
        if (SameName(s.Name, name))
            std::erase_if(s.Lines, [&](const TLine& l) { return l.IsValue && SameName(l.Key, key); });
}

void TMemIniFile::Clear()
{
    FHeader.clear();
    FSections.clear();
}
