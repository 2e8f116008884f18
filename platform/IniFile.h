#pragma once

#include "platform/Exceptions.h"

#include <QString>
#include <QStringList>

#include <vector>

// The largest settings file read: the program's settings, form-state and favourites files, an
// update's configuration and export settings hold some hundreds of short lines, and the largest
// of them, the form state, stays well under 100 KiB. A file beyond this is not the program's,
// or it is damaged. The same figure bounds an update's configuration fetched from the server,
// so whatever a fetch kept is read.
inline constexpr qint64 MaxIniFileBytes = 4 * 1024 * 1024;

// A settings file that is there but could not be read. The message names the file; Reason() is
// the reason alone, for a caller that tells it in its own sentence.
class EIniFileReadError : public Exception {
public:
    EIniFileReadError(const QString& message, const QString& reason) : Exception(message), FReason(reason) {}
    const QString& Reason() const noexcept { return FReason; }

private:
    QString FReason;
};

// A settings file held in memory: sections and keys found without regard to case, their
// order kept, values kept raw (no quoting, no escaping, no splitting at commas), the text
// in the Windows Cyrillic code page. Comment and other lines are kept as they stand.
// UpdateFile rewrites the whole file at once through TSaveFile.
class TMemIniFile {
public:
    // Reads the file when it exists, as every file is read (ReadRegularFile, at most
    // MaxIniFileBytes); a missing file or an empty name gives an empty set of sections. Whatever
    // else stands at the name (a folder, a pipe, a device, a file too large or without read
    // rights) raises EIniFileReadError, rather than being waited on or overwritten later.
    explicit TMemIniFile(const QString& fileName);
    // The file as a save rewrites it: a save keeps every section and key it does not write
    // itself, so a file that exists but cannot be read cannot be rewritten without losing them.
    // That save fails here, told as the write that failed ("Не удалось записать файл..."), not
    // as a read.
    static TMemIniFile ForRewrite(const QString& fileName);

    const QString& FileName() const { return FFileName; }

    QString ReadString(const QString& section, const QString& ident, const QString& def) const;
    // Decimal or '$' hexadecimal; the default when the value is missing or not an integer.
    int ReadInteger(const QString& section, const QString& ident, int def) const;
    // The integer value is not 0; the default when missing or not an integer.
    bool ReadBool(const QString& section, const QString& ident, bool def) const;
    // ',' or '.' as decimal separator; the default when missing or not a number.
    double ReadFloat(const QString& section, const QString& ident, double def) const;

    void WriteString(const QString& section, const QString& ident, const QString& value);
    void WriteInteger(const QString& section, const QString& ident, int value);
    void WriteBool(const QString& section, const QString& ident, bool value);   // "1" / "0"
    void WriteFloat(const QString& section, const QString& ident, double value); // FloatToStr

    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& ident) const;
    QStringList ReadSection(const QString& section) const;        // the keys, in order
    QStringList ReadSections() const;                              // section names, in order
    QStringList ReadSectionValues(const QString& section) const;  // "key=value" lines
    void EraseSection(const QString& section);
    void DeleteKey(const QString& section, const QString& ident);
    void Clear();

    // Writes the whole file atomically, lines ending in CR LF. Raises Exception on failure;
    // the old file is then left as it was.
    void UpdateFile() const;

    // The file's text as it would be written (for tests and for export of a section set).
    QByteArray ToBytes() const;
    // Replaces everything by the parsed text (cp1251 bytes).
    void LoadFromBytes(const QByteArray& bytes);

private:
    struct TLine {
        QString Key;      // empty for a line that is not "key=value"
        QString Value;
        QString Raw;      // the whole line for comments and other lines
        bool IsValue = false;
    };
    struct TSection {
        QString Name;
        QString Raw;      // the header line as read; empty for a section added here
        std::vector<TLine> Lines;
    };

    TSection* FindSection(const QString& section);
    const TSection* FindSection(const QString& section) const;
    const TLine* FindLine(const QString& section, const QString& ident) const;
    TSection& AddSection(const QString& section);

    QString FFileName;
    std::vector<TLine> FHeader;       // lines before the first section
    std::vector<TSection> FSections;
};
