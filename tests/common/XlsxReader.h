#pragma once

// Reads back an .xlsx workbook in tests: a small zip reader (stored and deflated entries, each
// checked against its size and CRC-32) and the parts of the sheet XML that exports are checked
// by: cell values and types, cell and column styles (font, borders, alignment, wrap, number
// format), column widths, page orientation and sheet names.
//
// Header only: tests of any folder include it; zlib comes with the support library.

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

#include <zlib.h>

#include <cstdint>
#include <optional>

// ---------------------------------------------------------------------------------------------
// Zip archive.

class TZipReader {
public:
    // False, with Error(), for a file that cannot be read or is not a whole zip archive.
    bool Open(const QString& fileName)
    {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            return Fail(QStringLiteral("cannot read ") + fileName);
        return Load(file.readAll());
    }

    bool Load(const QByteArray& bytes)
    {
        FBytes = bytes;
        FEntries.clear();
        FNames.clear();
        FError.clear();
        const qsizetype size = FBytes.size();
        // The end record is 22 bytes plus a comment of up to 65535 bytes.
        qsizetype end = -1;
        for (qsizetype pos = size - 22; pos >= 0 && pos >= size - 22 - 65535; --pos) {
            if (U32(pos) == 0x06054b50u) {
                end = pos;
                break;
            }
        }
        if (end < 0)
            return Fail(QStringLiteral("no end record"));
        const quint32 count = U16(end + 10);
        const quint32 dirSize = U32(end + 12);
        const quint32 dirOffset = U32(end + 16);
        if (qsizetype(dirOffset) + qsizetype(dirSize) > end)
            return Fail(QStringLiteral("central directory outside the file"));
        qsizetype pos = dirOffset;
        for (quint32 i = 0; i < count; ++i) {
            if (pos + 46 > end || U32(pos) != 0x02014b50u)
                return Fail(QStringLiteral("bad central directory entry %1").arg(i));
            TEntry entry;
            entry.Method = U16(pos + 10);
            entry.Crc = U32(pos + 16);
            entry.CompressedSize = U32(pos + 20);
            entry.Size = U32(pos + 24);
            const quint32 nameLength = U16(pos + 28);
            const quint32 extraLength = U16(pos + 30);
            const quint32 commentLength = U16(pos + 32);
            entry.LocalOffset = U32(pos + 42);
            if (pos + 46 + nameLength > end)
                return Fail(QStringLiteral("entry name outside the directory"));
            const QString name = QString::fromUtf8(FBytes.mid(pos + 46, nameLength));
            FEntries.insert(name, entry);
            FNames << name;
            pos += 46 + nameLength + extraLength + commentLength;
        }
        return true;
    }

    QString Error() const { return FError; }
    QStringList Names() const { return FNames; }
    bool Contains(const QString& name) const { return FEntries.contains(name); }

    // The entry's bytes; nullopt (with Error()) for a missing, truncated or damaged entry.
    std::optional<QByteArray> Entry(const QString& name) const
    {
        const auto it = FEntries.constFind(name);
        if (it == FEntries.cend()) {
            FError = QStringLiteral("no entry ") + name;
            return std::nullopt;
        }
        const TEntry& entry = *it;
        const qsizetype local = entry.LocalOffset;
        if (local + 30 > FBytes.size() || U32(local) != 0x04034b50u) {
            FError = QStringLiteral("bad local header of ") + name;
            return std::nullopt;
        }
        const qsizetype data = local + 30 + U16(local + 26) + U16(local + 28);
        if (data + qsizetype(entry.CompressedSize) > FBytes.size()) {
            FError = QStringLiteral("truncated entry ") + name;
            return std::nullopt;
        }
        const QByteArray packed = FBytes.mid(data, entry.CompressedSize);
        QByteArray result;
        if (entry.Method == 0) {
            result = packed;
        } else if (entry.Method == 8) {
            result.resize(entry.Size);
            z_stream stream{};
            if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) {
                FError = QStringLiteral("inflate init");
                return std::nullopt;
            }
            stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.constData()));
            stream.avail_in = static_cast<uInt>(packed.size());
            stream.next_out = reinterpret_cast<Bytef*>(result.data());
            stream.avail_out = static_cast<uInt>(result.size());
            const int rc = inflate(&stream, Z_FINISH);
            const uLong produced = stream.total_out;
            inflateEnd(&stream);
            if (rc != Z_STREAM_END || produced != entry.Size) {
                FError = QStringLiteral("damaged deflated entry ") + name;
                return std::nullopt;
            }
        } else {
            FError = QStringLiteral("unknown method %1 of ").arg(entry.Method) + name;
            return std::nullopt;
        }
        if (quint32(result.size()) != entry.Size
            || crc32(0L, reinterpret_cast<const Bytef*>(result.constData()),
                     static_cast<uInt>(result.size()))
                   != entry.Crc) {
            FError = QStringLiteral("size or CRC mismatch of ") + name;
            return std::nullopt;
        }
        return result;
    }

private:
    struct TEntry {
        quint32 Method = 0;
        quint32 Crc = 0;
        quint32 CompressedSize = 0;
        quint32 Size = 0;
        quint32 LocalOffset = 0;
    };

    bool Fail(const QString& error)
    {
        FError = error;
        FEntries.clear();
        FNames.clear();
        return false;
    }
    quint32 U16(qsizetype pos) const
    {
        if (pos < 0 || pos + 2 > FBytes.size())
            return 0;
        const auto* b = reinterpret_cast<const unsigned char*>(FBytes.constData()) + pos;
        return quint32(b[0]) | quint32(b[1]) << 8;
    }
    quint32 U32(qsizetype pos) const
    {
        if (pos < 0 || pos + 4 > FBytes.size())
            return 0;
        return U16(pos) | U16(pos + 2) << 16;
    }

    QByteArray FBytes;
    QHash<QString, TEntry> FEntries;
    QStringList FNames;
    mutable QString FError;
};

// ---------------------------------------------------------------------------------------------
// Workbook.

// The style of a cell or a column as the workbook states it. Border texts are the XML's styles
// ("thin", "medium", "thick", "hair"; empty for none); alignment texts likewise ("left",
// "center", "right"; "top", "center", "bottom" — empty when the style does not set one).
struct TXlsxStyle {
    double FontSize = 0;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    QString Horizontal;
    QString Vertical;
    bool Wrap = false;
    QString BorderLeft;
    QString BorderRight;
    QString BorderTop;
    QString BorderBottom;
    QString NumberFormat;   // "General", "@", "0.00", ...

    // The style of all four edges, "<mixed>" when they differ.
    QString Border() const
    {
        return BorderLeft == BorderRight && BorderLeft == BorderTop && BorderLeft == BorderBottom
                   ? BorderLeft
                   : QStringLiteral("<mixed>");
    }
};

struct TXlsxCell {
    QString Type;    // the XML's t attribute: "s" shared string, "n" or "" number, "str", ...
    QString Value;   // the text of a string, the number as written
    int Style = 0;   // index into the cell formats
};

struct TXlsxColumn {
    double Width = -1;   // the XML's width; -1 when not set
    int Style = 0;
};

struct TXlsxSheet {
    QString Name;
    QMap<QString, TXlsxCell> Cells;   // by reference, "A1"
    QMap<int, TXlsxColumn> Columns;   // by 1-based column
    QString Orientation;              // "portrait", "landscape", "" when not set
};

class TXlsxReader {
public:
    // False, with Error(), when the file is not a readable workbook.
    bool Open(const QString& fileName)
    {
        FSheets.clear();
        FStrings.clear();
        FStyles.clear();
        FFormulas.clear();
        FError.clear();
        if (!FZip.Open(fileName))
            return Fail(FZip.Error());
        return Parse();
    }

    QString Error() const { return FError; }
    const TZipReader& Zip() const { return FZip; }
    int SheetCount() const { return FSheets.size(); }
    QStringList SheetNames() const
    {
        QStringList names;
        for (const TXlsxSheet& sheet : FSheets)
            names << sheet.Name;
        return names;
    }
    // Sheet 1..SheetCount.
    const TXlsxSheet& Sheet(int index) const { return FSheets.at(index - 1); }

    // The value of a cell ("" when the cell is absent or blank): the string for a shared string,
    // the number as written otherwise.
    QString Text(int sheet, const QString& ref) const
    {
        const TXlsxCell* cell = Cell(sheet, ref);
        return cell ? cell->Value : QString();
    }
    // True when the cell holds a string (shared or inline), false for a number or no value.
    bool IsString(int sheet, const QString& ref) const
    {
        const TXlsxCell* cell = Cell(sheet, ref);
        return cell
               && (cell->Type == QLatin1String("s") || cell->Type == QLatin1String("inlineStr")
                   || cell->Type == QLatin1String("str"));
    }
    bool IsFormula(int sheet, const QString& ref) const
    {
        return FFormulas.contains(QStringLiteral("%1!%2").arg(sheet).arg(ref));
    }
    const TXlsxCell* Cell(int sheet, const QString& ref) const
    {
        const auto& cells = FSheets.at(sheet - 1).Cells;
        const auto it = cells.constFind(ref);
        return it == cells.cend() ? nullptr : &*it;
    }
    TXlsxStyle CellStyle(int sheet, const QString& ref) const
    {
        const TXlsxCell* cell = Cell(sheet, ref);
        return Style(cell ? cell->Style : 0);
    }
    // The XML width of column 1.., -1 when the column has no entry.
    double ColumnWidth(int sheet, int column) const
    {
        const auto& columns = FSheets.at(sheet - 1).Columns;
        return columns.contains(column) ? columns.value(column).Width : -1;
    }
    TXlsxStyle ColumnStyle(int sheet, int column) const
    {
        return Style(FSheets.at(sheet - 1).Columns.value(column).Style);
    }
    TXlsxStyle Style(int index) const { return index >= 0 && index < FStyles.size() ? FStyles.at(index) : TXlsxStyle{}; }
    const QStringList& SharedStrings() const { return FStrings; }

    // "A1" for row 1, column 1.
    static QString Ref(int row, int column)
    {
        QString letters;
        for (int c = column; c > 0; c = (c - 1) / 26)
            letters.prepend(QChar(u'A' + (c - 1) % 26));
        return letters + QString::number(row);
    }

private:
    bool Fail(const QString& error)
    {
        FError = error;
        return false;
    }

    std::optional<QByteArray> Part(const QString& name)
    {
        auto bytes = FZip.Entry(name);
        if (!bytes)
            FError = FZip.Error();
        return bytes;
    }

    static bool On(const QXmlStreamAttributes& a, const char* name, bool absent)
    {
        if (!a.hasAttribute(QLatin1String(name)))
            return absent;
        const auto v = a.value(QLatin1String(name));
        return v == QLatin1String("1") || v == QLatin1String("true");
    }

    bool Parse()
    {
        // Sheet names and the files they are in.
        const auto workbook = Part(QStringLiteral("xl/workbook.xml"));
        const auto rels = Part(QStringLiteral("xl/_rels/workbook.xml.rels"));
        if (!workbook || !rels)
            return false;
        QHash<QString, QString> targets;
        {
            QXmlStreamReader xml(*rels);
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isStartElement() && xml.name() == QLatin1String("Relationship"))
                    targets.insert(xml.attributes().value(QLatin1String("Id")).toString(),
                                   xml.attributes().value(QLatin1String("Target")).toString());
            }
        }
        QList<QPair<QString, QString>> sheets;
        {
            QXmlStreamReader xml(*workbook);
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isStartElement() && xml.name() == QLatin1String("sheet"))
                    sheets.append({xml.attributes().value(QLatin1String("name")).toString(),
                                   targets.value(xml.attributes().value(QLatin1String("r:id")).toString())});
            }
            if (xml.hasError())
                return Fail(QStringLiteral("workbook.xml: ") + xml.errorString());
        }
        if (FZip.Contains(QStringLiteral("xl/sharedStrings.xml"))) {
            const auto strings = Part(QStringLiteral("xl/sharedStrings.xml"));
            if (!strings || !ParseStrings(*strings))
                return false;
        }
        const auto styles = Part(QStringLiteral("xl/styles.xml"));
        if (!styles || !ParseStyles(*styles))
            return false;
        for (const auto& [name, target] : sheets) {
            const QString path = target.startsWith(u'/') ? target.mid(1) : QStringLiteral("xl/") + target;
            const auto bytes = Part(path);
            if (!bytes)
                return false;
            TXlsxSheet sheet;
            sheet.Name = name;
            if (!ParseSheet(*bytes, sheet, FSheets.size() + 1))
                return false;
            FSheets.append(sheet);
        }
        return true;
    }

    bool ParseStrings(const QByteArray& bytes)
    {
        QXmlStreamReader xml(bytes);
        QString current;
        bool inItem = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == QLatin1String("si")) {
                inItem = true;
                current.clear();
            } else if (xml.isStartElement() && xml.name() == QLatin1String("t") && inItem) {
                current += xml.readElementText();
            } else if (xml.isEndElement() && xml.name() == QLatin1String("si")) {
                inItem = false;
                FStrings << current;
            }
        }
        return !xml.hasError() || Fail(QStringLiteral("sharedStrings.xml: ") + xml.errorString());
    }

    static QString BuiltinFormat(int id)
    {
        switch (id) {
        case 0: return QStringLiteral("General");
        case 1: return QStringLiteral("0");
        case 2: return QStringLiteral("0.00");
        case 3: return QStringLiteral("#,##0");
        case 4: return QStringLiteral("#,##0.00");
        case 9: return QStringLiteral("0%");
        case 10: return QStringLiteral("0.00%");
        case 49: return QStringLiteral("@");
        default: return QStringLiteral("builtin %1").arg(id);
        }
    }

    bool ParseStyles(const QByteArray& bytes)
    {
        QHash<int, QString> formats;
        QList<TXlsxStyle> fonts;      // font part only
        QList<TXlsxStyle> borders;    // border part only
        QXmlStreamReader xml(bytes);
        QString section;              // "fonts", "borders", "cellXfs", ...
        while (!xml.atEnd()) {
            xml.readNext();
            const auto name = xml.name();
            const QXmlStreamAttributes a = xml.attributes();
            if (xml.isStartElement()) {
                if (name == QLatin1String("fonts") || name == QLatin1String("borders")
                    || name == QLatin1String("cellXfs") || name == QLatin1String("cellStyleXfs")
                    || name == QLatin1String("numFmts") || name == QLatin1String("fills")
                    || name == QLatin1String("dxfs") || name == QLatin1String("cellStyles")) {
                    section = name.toString();
                } else if (section == QLatin1String("numFmts") && name == QLatin1String("numFmt")) {
                    formats.insert(a.value(QLatin1String("numFmtId")).toInt(),
                                   a.value(QLatin1String("formatCode")).toString());
                } else if (section == QLatin1String("fonts")) {
                    if (name == QLatin1String("font"))
                        fonts.append(TXlsxStyle{});
                    else if (name == QLatin1String("b"))
                        fonts.last().Bold = On(a, "val", true);
                    else if (name == QLatin1String("i"))
                        fonts.last().Italic = On(a, "val", true);
                    else if (name == QLatin1String("strike"))
                        fonts.last().StrikeOut = On(a, "val", true);
                    else if (name == QLatin1String("u"))
                        fonts.last().Underline = a.value(QLatin1String("val")) != QLatin1String("none");
                    else if (name == QLatin1String("sz"))
                        fonts.last().FontSize = a.value(QLatin1String("val")).toDouble();
                } else if (section == QLatin1String("borders")) {
                    if (name == QLatin1String("border")) {
                        borders.append(TXlsxStyle{});
                    } else if (name == QLatin1String("left") || name == QLatin1String("right")
                               || name == QLatin1String("top") || name == QLatin1String("bottom")) {
                        const QString style = a.value(QLatin1String("style")).toString();
                        TXlsxStyle& b = borders.last();
                        (name == QLatin1String("left")    ? b.BorderLeft
                         : name == QLatin1String("right") ? b.BorderRight
                         : name == QLatin1String("top")   ? b.BorderTop
                                                          : b.BorderBottom) = style;
                    }
                } else if (section == QLatin1String("cellXfs")) {
                    if (name == QLatin1String("xf")) {
                        TXlsxStyle style;
                        const TXlsxStyle font = fonts.value(a.value(QLatin1String("fontId")).toInt());
                        const TXlsxStyle border = borders.value(a.value(QLatin1String("borderId")).toInt());
                        style.FontSize = font.FontSize;
                        style.Bold = font.Bold;
                        style.Italic = font.Italic;
                        style.Underline = font.Underline;
                        style.StrikeOut = font.StrikeOut;
                        style.BorderLeft = border.BorderLeft;
                        style.BorderRight = border.BorderRight;
                        style.BorderTop = border.BorderTop;
                        style.BorderBottom = border.BorderBottom;
                        const int id = a.value(QLatin1String("numFmtId")).toInt();
                        style.NumberFormat = formats.contains(id) ? formats.value(id) : BuiltinFormat(id);
                        FStyles.append(style);
                    } else if (name == QLatin1String("alignment") && !FStyles.isEmpty()) {
                        FStyles.last().Horizontal = a.value(QLatin1String("horizontal")).toString();
                        FStyles.last().Vertical = a.value(QLatin1String("vertical")).toString();
                        FStyles.last().Wrap = On(a, "wrapText", false);
                    }
                }
            } else if (xml.isEndElement() && name.toString() == section) {
                section.clear();
            }
        }
        return !xml.hasError() || Fail(QStringLiteral("styles.xml: ") + xml.errorString());
    }

    bool ParseSheet(const QByteArray& bytes, TXlsxSheet& sheet, int index)
    {
        QXmlStreamReader xml(bytes);
        QString ref;
        TXlsxCell cell;
        bool inCell = false;
        while (!xml.atEnd()) {
            xml.readNext();
            const auto name = xml.name();
            const QXmlStreamAttributes a = xml.attributes();
            if (xml.isStartElement()) {
                if (name == QLatin1String("col")) {
                    TXlsxColumn column;
                    if (a.hasAttribute(QLatin1String("width")))
                        column.Width = a.value(QLatin1String("width")).toDouble();
                    column.Style = a.value(QLatin1String("style")).toInt();
                    const int first = a.value(QLatin1String("min")).toInt();
                    const int last = a.value(QLatin1String("max")).toInt();
                    for (int c = first; c >= 1 && c <= last && c <= 16384; ++c)
                        sheet.Columns.insert(c, column);
                } else if (name == QLatin1String("c")) {
                    inCell = true;
                    ref = a.value(QLatin1String("r")).toString();
                    cell = TXlsxCell{};
                    cell.Type = a.value(QLatin1String("t")).toString();
                    cell.Style = a.value(QLatin1String("s")).toInt();
                } else if (inCell && name == QLatin1String("v")) {
                    cell.Value = xml.readElementText();
                    if (cell.Type == QLatin1String("s"))
                        cell.Value = FStrings.value(cell.Value.toInt());
                } else if (inCell && name == QLatin1String("t")) {
                    cell.Value += xml.readElementText();   // inline string
                } else if (inCell && name == QLatin1String("f")) {
                    FFormulas.insert(QStringLiteral("%1!%2").arg(index).arg(ref));
                } else if (name == QLatin1String("pageSetup")) {
                    sheet.Orientation = a.value(QLatin1String("orientation")).toString();
                }
            } else if (xml.isEndElement() && name == QLatin1String("c")) {
                inCell = false;
                sheet.Cells.insert(ref, cell);
            }
        }
        return !xml.hasError() || Fail(QStringLiteral("sheet %1: ").arg(index) + xml.errorString());
    }

    TZipReader FZip;
    QList<TXlsxSheet> FSheets;
    QStringList FStrings;
    QList<TXlsxStyle> FStyles;
    QSet<QString> FFormulas;
    QString FError;
};
