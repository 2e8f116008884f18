// Every fuzz target's seeds and kept regression inputs run through the target's entry, so a
// fault found by fuzzing stays mended in the ordinary test run (no fuzzer needed).

#include "fuzz/FuzzTargets.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <gtest/gtest.h>

#include <exception>
#include <ostream>

// Test names and failures name the target.
void PrintTo(const TFuzzTarget& target, std::ostream* os)
{
    *os << target.Name;
}

namespace {

QString RegressionFolder(const char* target)
{
    return QStringLiteral(TAVRIX_FUZZ_DIR "/regressions/") + QLatin1String(target);
}

// The failure text of one input, empty when it passed.
std::string Replay(const TFuzzTarget& target, const QByteArray& input)
{
    try {
        target.Entry(reinterpret_cast<const std::uint8_t*>(input.constData()), static_cast<std::size_t>(input.size()));
        return {};
    } catch (const EFuzzInvariant& e) {
        return std::string("invariant: ") + e.what();
    } catch (const std::exception& e) {
        return std::string("exception escaped: ") + e.what();
    }
}

class FuzzReplay : public testing::TestWithParam<TFuzzTarget> {};

std::string TargetName(const testing::TestParamInfo<TFuzzTarget>& info)
{
    return info.param.Name;
}

} // namespace

TEST_P(FuzzReplay, SeedsPass)
{
    const TFuzzTarget& target = GetParam();
    const std::vector<QByteArray> seeds = target.Seeds();
    EXPECT_GE(seeds.size(), 3u) << "a target needs a few seeds to start from";
    for (size_t i = 0; i < seeds.size(); ++i)
        EXPECT_EQ(Replay(target, seeds[i]), "") << "seed " << i;
}

TEST_P(FuzzReplay, RegressionInputsPass)
{
    const TFuzzTarget& target = GetParam();
    QDirIterator it(RegressionFolder(target.Name), QDir::Files);
    while (it.hasNext()) {
        QFile file(it.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        EXPECT_EQ(Replay(target, file.readAll()), "") << file.fileName().toStdString();
    }
}

// Inputs cut at every length: the entries must take truncated input of any size.
TEST_P(FuzzReplay, TruncatedSeedsPass)
{
    const TFuzzTarget& target = GetParam();
    for (const QByteArray& seed : target.Seeds())
        for (qsizetype n = 0; n < seed.size(); n += 1 + seed.size() / 16)
            EXPECT_EQ(Replay(target, seed.left(n)), "") << seed.left(n).toHex().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, testing::ValuesIn(FuzzTargets().begin(), FuzzTargets().end()),
                         TargetName);

TEST(FuzzTargets, NamesAreUniqueAndFound)
{
    for (const TFuzzTarget& target : FuzzTargets()) {
        EXPECT_EQ(FindFuzzTarget(QLatin1String(target.Name)), &target) << target.Name;
        EXPECT_TRUE(QFile::exists(QStringLiteral(TAVRIX_FUZZ_DIR "/targets/") + QLatin1String(target.Name)
                                  + QStringLiteral(".cpp")))
            << target.Name;
    }
    EXPECT_EQ(FindFuzzTarget(QStringLiteral("NoSuchTarget")), nullptr);
}

// The kept reproducers of the faults that fuzzing found are there to replay.
TEST(FuzzTargets, RegressionInputsAreKept)
{
    for (const char* folder : {"ProxyList", "ResultsPage", "Config", "IniFile"})
        EXPECT_FALSE(QDir(RegressionFolder(folder)).isEmpty()) << folder;
}
