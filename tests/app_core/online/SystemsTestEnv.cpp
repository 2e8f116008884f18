#include "tests/app_core/online/SystemsTestEnv.h"

#include "app/core/online/SystemCombs.h"
#include "support/RSwCommon.h"

#include <QDir>
#include <QTimeZone>

QString U8(const char* text)
{
    return QString::fromUtf8(text);
}

TSystemsTest::TSystemsTest()
{
    EXPECT_TRUE(FServer.Start());
    qputenv(MakerServerEnv, FServer.BaseUrl().toLatin1());
    FStatuses.clear();
}

TSystemsTest::~TSystemsTest()
{
    qunsetenv(MakerServerEnv);
}

TUserIdentity TSystemsTest::Ann()
{
    return {U8("Tavrix2_2r10"), U8("2.2.10.0"), U8("0123456789ABCDEF0123456789ABCDEF"), U8("Ann O'Neil"),
            U8("Ann@Example.org")};
}

TSystemServer::TSystem TSystemsTest::System(int id, int nums, int olap, const QStringList& lines,
                                            const QString& mail, const QDateTime& createdUtc)
{
    TSystemServer::TSystem system;
    system.Id = id;
    system.Nums = nums;
    system.Olap = olap;
    system.CSize = static_cast<int>(lines.size());
    system.Title = U8("Система %1").arg(id);
    system.Author = mail.isEmpty() ? U8("Гость") : mail.section(QLatin1Char('@'), 0, 0);
    system.Mail = mail;
    system.Descr = U8("Описание %1").arg(id);
    system.CList = lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    system.Created = createdUtc;
    return system;
}

QDateTime TSystemsTest::Utc(int y, int mo, int d, int h, int mi, int s)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

QStringList TSystemsTest::CachedFiles() const
{
    return QDir(SystemCacheFolder(FDir.path())).entryList(QDir::Files, QDir::Name);
}

QString TSystemsTest::CacheFile(const char* name) const
{
    return QDir(SystemCacheFolder(FDir.path())).filePath(QString::fromLatin1(name));
}

QList<TStandInRequest> TSystemsTest::RequestsTo(const QByteArray& path) const
{
    QList<TStandInRequest> found;
    for (const TStandInRequest& request : FServer.Requests())
        if (request.Path == path)
            found.append(request);
    return found;
}

QStringList TSystemsTest::BoxTexts() const
{
    QStringList texts;
    for (const TBoxRequest& box : FBoxes.Boxes())
        texts.append(box.Text);
    return texts;
}
