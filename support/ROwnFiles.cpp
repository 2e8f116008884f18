#include "support/ROwnFiles.h"

#include "platform/DelphiText.h"
#include "platform/ResString.h"
#include "support/RDialogs.h"
#include "support/RFileProcs.h"
#include "support/RSysUtils.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace {

constexpr TResString SProgramKeptFile =
    RESSTR("ROwnFiles", "Файл \"%s\" программа хранит для себя (архив тиражей, ставки, настройки и другие её "
                        "данные), записывать в него нельзя.\n\nВыберите другое имя файла.");

// The stems the program's files are named with: the program's name, and the running program
// file's name without extension (the settings file's name without ".ini").
QStringList FileStems()
{
    QStringList stems{QString::fromLatin1(TAVRIX_PROGRAM_NAME).toLower()};
    QString own = QFileInfo(GetAppIniFileName()).fileName().toLower();
    own.chop(4);
    if (!own.isEmpty() && !stems.contains(own))
        stems.append(own);
    return stems;
}

bool IsOwnFolder(const QString& name)
{
    for (const char* folder : {"prefetchs", "systems", "selfupdate"})
        if (name.compare(QLatin1String(folder), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// A mask ending in ".*" also stands for the name without it, so each takes in the file's
// temporary, journal and backup copies too.
QString PlayerMasks(const QStringList& stems)
{
    QStringList masks{QStringLiteral("ScriptLog_*.txt.*"), QStringLiteral("SelfUpdates.inf.*"),
                      QStringLiteral("UpdDescr_*.txt.*")};
    for (const QString& stem : stems) {
        for (const char* extension : {"ldr", "lsk", "lrt", "ini", "frm", "ltb", "lss", "flt"})
            masks.append(stem + QLatin1Char('.') + QLatin1String(extension) + QLatin1String(".*"));
        masks.append(stem + QLatin1String("-*.log.*"));   // the stakes logs
    }
    return masks.join(QLatin1Char(';'));
}

const QString& PlayerNamedMasks()
{
    static const QString masks = QStringLiteral("*.lsc.*;*.lcv.*;*.csv.*;*.flt.*;*.exp.*;*.dfc.*");
    return masks;
}

bool IsUpdateFile(const QString& name, const QStringList& stems)
{
    if (name.compare(QFileInfo(GetAppFileName()).fileName(), Qt::CaseInsensitive) == 0
        || stems.contains(name.toLower()))
        return true;
    QStringList masks{QStringLiteral("Kelmar_*.chm.*")};
    for (const QString& stem : stems)
        masks.append(stem + QLatin1String("_*.lng.*"));   // the language modules
    return MatchesMasks(name, masks.join(QLatin1Char(';')));
}

// The name an installation's temporary or backup copy stands for: "a.lng.tmp" and "a.~lng"
// for "a.lng", "a.~" for "a"; empty for any other name.
QString InstallCopyOrigin(const QString& name)
{
    if (name.endsWith(QLatin1String(".tmp"), Qt::CaseInsensitive))
        return name.chopped(4);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || name.mid(dot + 1, 1) != QLatin1String("~"))
        return QString();
    qsizetype end = dot + 1;
    while (end < name.size() && name[end] == QLatin1Char('~'))
        ++end;
    return end == name.size() ? name.left(dot) : name.left(dot + 1) + name.mid(end);
}

bool IsKeptName(const QString& relativePath)
{
    const TOwnFileKind kind = OwnFileKind(relativePath);
    if (kind == TOwnFileKind::Player || kind == TOwnFileKind::Update)
        return true;
    const QString origin = InstallCopyOrigin(relativePath);
    return !origin.isEmpty() && IsKeptName(origin);
}

// The path with its folder's links and "." and ".." resolved (only the latter for a folder that
// does not exist); the name itself as it is.
QString WithCanonicalFolder(const QString& path)
{
    const QFileInfo info(path);
    const QString folder = QDir(info.absolutePath()).canonicalPath();
    return (folder.isEmpty() ? QDir::cleanPath(info.absolutePath()) : folder) + QLatin1Char('/') + info.fileName();
}

} // namespace

TOwnFileKind OwnFileKind(const QString& relativePath)
{
    const QString path = QDir::cleanPath(relativePath);
    const qsizetype slash = path.indexOf(QLatin1Char('/'));
    if (slash >= 0)
        return IsOwnFolder(path.left(slash)) ? TOwnFileKind::Player : TOwnFileKind::None;
    const QStringList stems = FileStems();
    if (IsOwnFolder(path) || MatchesMasks(path, PlayerMasks(stems)))
        return TOwnFileKind::Player;
    if (MatchesMasks(path, PlayerNamedMasks()))
        return TOwnFileKind::PlayerNamed;
    return IsUpdateFile(path, stems) ? TOwnFileKind::Update : TOwnFileKind::None;
}

bool IsPlayerFile(const QString& relativePath)
{
    const TOwnFileKind kind = OwnFileKind(relativePath);
    return kind == TOwnFileKind::Player || kind == TOwnFileKind::PlayerNamed;
}

bool IsProgramKeptPath(const QString& path)
{
    const QString programFolder = QDir(GetAppDir()).canonicalPath();
    if (programFolder.isEmpty() || path.isEmpty())
        return false;
    QStringList candidates{WithCanonicalFolder(path)};
    const QFileInfo info(path);
    if (info.isSymLink())
        candidates.append(WithCanonicalFolder(info.exists() ? info.canonicalFilePath() : info.symLinkTarget()));
    const QDir folder(programFolder);
    for (const QString& candidate : std::as_const(candidates)) {
        const QString relative = folder.relativeFilePath(candidate);
        if (relative != QLatin1String("..") && !relative.startsWith(QLatin1String("../")) && IsKeptName(relative))
            return true;
    }
    return false;
}

bool AskWritableFileName(const std::function<bool(QString& fileName)>& ask, QString& fileName)
{
    QString start = fileName;
    QString refused;
    for (;;) {
        QString answer = start;
        if (!ask(answer))
            return false;
        if (!IsProgramKeptPath(answer)) {
            fileName = answer;
            return true;
        }
        ErrorBox(Format(LoadResString(SProgramKeptFile), {answer}));
        if (answer == refused)
            return false;
        refused = answer;
        start = answer;
    }
}
