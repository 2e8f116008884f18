#pragma once

#include <QByteArray>
#include <QString>

// Replaces a data file as a whole or not at all. The new content goes into a temporary file
// beside the target (the target's name followed by TempSuffix), which is flushed to disk and
// then renamed over the target. Until Commit has succeeded the target keeps its old bytes;
// whatever fails, the temporary file is removed and Exception is raised with a text that
// names the target and gives the system's reason.
//
// An existing target keeps its permission bits; a new one gets the usual 0666 less the umask.
// When the target is a symbolic link, the file it points to is replaced and the link stays;
// a link to a device or a pipe is replaced itself.
class TSaveFile {
public:
    // Creates the temporary file (a stale one left by an interrupted save is replaced).
    explicit TSaveFile(const QString& fileName);
    // Without a successful Commit the temporary file is removed and the target left alone.
    ~TSaveFile();
    TSaveFile(const TSaveFile&) = delete;
    TSaveFile& operator=(const TSaveFile&) = delete;

    const QString& FileName() const { return FFileName; }

    // Appends bytes (buffered). After a failure the save is abandoned: the temporary file
    // is gone and every further call raises.
    void Write(const char* data, qint64 size);
    void Write(const QByteArray& data) { Write(data.constData(), data.size()); }

    // Flushes the bytes to disk and renames the temporary file over the target.
    void Commit();

    // The temporary file used for a target.
    static QString TempFileName(const QString& fileName);
    static constexpr const char* TempSuffix = ".~sav";

private:
    void FlushBuffer();
    [[noreturn]] void Fail(int error);
    void Discard() noexcept;

    QString FFileName;     // as given: the name the messages show
    QByteArray FTarget;    // the file that is replaced (a link resolved), encoded
    QByteArray FTemp;      // encoded
    int FHandle = -1;
    bool FTempCreated = false;
    QByteArray FBuffer;
    bool FDone = false;    // committed or abandoned
};

// Appends bytes to a file, which is created when missing: a log's line. Only a regular file (a
// link to one counts) is written, opened without waiting, so that a pipe at the name never holds
// the program and a device never swallows the line as if it were kept. Raises Exception with
// the reason alone.
void AppendToFile(const QString& fileName, const QByteArray& bytes);

// Writes the whole file through TSaveFile.
void SaveFileAtomic(const QString& fileName, const QByteArray& data);
