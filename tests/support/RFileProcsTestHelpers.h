#pragma once

// What the file operation tests share: files written and read back, chosen failures and the
// steps an operation reports.

#include "support/RFileProcs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

namespace rfo_test {

inline void WriteFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(data);
}

inline QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline QByteArray Bytes(int size, int seed)
{
    QByteArray data(size, '\0');
    for (int i = 0; i < size; ++i)
        data[i] = static_cast<char>((i * 31 + seed) & 0xFF);
    return data;
}

inline void SetWriteTime(const QString& path, TDateTime localTime, int extraMs = 0)
{
    ASSERT_EQ(RfoSetFileWriteTime(path, RfoDateTimeToFileTime(localTime) + extraMs * 10'000LL), 0);
}

// Makes chosen file calls fail while it lives.
class TInjected {
public:
    explicit TInjected(TRfoFailHook hook) : FPrevious(SetRfoFailHook(std::move(hook))) {}
    ~TInjected() { SetRfoFailHook(FPrevious); }

private:
    TRfoFailHook FPrevious;
};

inline QStringList StepNames(const TROperation& op)
{
    QStringList names;
    for (const TRTransaction& t : op.Transactions)
        names.append(t.Name);
    return names;
}

inline int CountKind(const TROperation& op, TRMsgKind kind)
{
    int n = 0;
    for (const TRTransaction& t : op.Transactions)
        n += t.Kind == kind;
    return n;
}

// The options the self-update copies its unpacked files with.
inline constexpr std::uint32_t kSelfUpdateCopy = 116691;
// The options the log commands delete their logs with.
inline constexpr std::uint32_t kDeleteLogs = 14340;

} // namespace rfo_test
