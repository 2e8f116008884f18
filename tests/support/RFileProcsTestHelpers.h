#pragma once

// What the file operation tests share: files written with their folders, file times and chosen
// failures.

#include "support/RFileProcs.h"
#include "tests/common/TestHelpers.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <utility>

namespace rfo_test {

// Writes the bytes as the whole file, making its folder first.
inline void WriteFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    WriteFileBytes(path, data);
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

} // namespace rfo_test
