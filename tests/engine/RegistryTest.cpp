#include "engine/KelmaStatList.h"

#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <gtest/gtest.h>

#include <QSet>

#include <array>
#include <optional>

namespace {

// Parameter ranges as the engine configuration gives them.
enum class TRange { None, Fixed, Channels, Segments, Matrix };

struct TParams {
    TRange Kind = TRange::Fixed;
    int Lo = 0;
    int Hi = 0;
    TParams(int lo, int hi) : Kind(TRange::Fixed), Lo(lo), Hi(hi) {}
    TParams(TRange kind) : Kind(kind) {}
};

const TParams kNone{TRange::None};
const TParams kChannels{TRange::Channels};
const TParams kSegments{TRange::Segments};
const TParams kMatrix{TRange::Matrix};

// The registry as users' scenarios, favourites and prefetch files know it: class, code
// format, group, flags, offered, parameters. Codes must never change.
struct TExpectedClass {
    const char* ClassName;
    const char* Code;
    int Group;
    int Flags;
    bool Offered;
    TParams Params;
};

const TExpectedClass Expected[] = {
    {"TstValues", "NUMS", 0, 2, true, kNone},
    {"TstDigits", "DIGS", 0, 2, true, kNone},
    {"TstEvenCount", "EVEN", 0, 2, true, kNone},
    {"TstEvenValues", "EVNV", 0, 3, true, kNone},
    {"TstSmallCount", "SMAL", 0, 2, true, kNone},
    {"TstSmallValues", "SMLV", 0, 3, true, kNone},
    {"TstPrimeCount", "PRIM", 0, 2, true, kNone},
    {"TstPrimeValues", "PRMV", 0, 3, true, kNone},
    {"TstSumValues", "SUMS", 1, 2, true, kNone},
    {"TstSumRanges", "SUM%d", 1, 2, true, {1, 3}},
    {"TstSumChange", "SUMC", 1, 4, true, kNone},
    {"TstSumChangeSome", "SUMV", 1, 4, true, kNone},
    {"TstSumTrend", "SUMT", 1, 4, true, kNone},
    {"TstSumEvenValues", "SUME", 1, 2, true, kNone},
    {"TstSumPrimeValues", "SUMP", 1, 2, true, kNone},
    {"TstSum2To3", "S2T3", 1, 2, true, kNone},
    {"TstDiffTotal", "DIFA", 2, 3, true, kNone},
    {"TstDiffMax", "DIFM", 2, 3, true, kNone},
    {"TstMinMaxDiffs", "DIFD", 2, 2, true, kNone},
    {"TstDiffSame", "DIFO", 2, 3, true, kNone},
    {"TstDiffSameCnt", "DIFK", 2, 3, true, kNone},
    {"TstChannels", "CHAN", 3, 2, true, kNone},
    {"TstChanValues", "CHNV", 3, 2, true, kNone},
    {"TstChanCount", "CHNC", 3, 2, true, kNone},
    {"TstColumns", "COLS", 4, 2, false, kNone},
    {"TstRows", "ROWS", 4, 2, false, kNone},
    {"TstColValues", "COLV", 4, 2, false, kNone},
    {"TstRowValues", "ROWV", 4, 2, false, kNone},
    {"TstColCount", "COLN", 4, 2, false, kNone},
    {"TstRowCount", "ROWN", 4, 2, false, kNone},
    {"TstColMask", "COLM", 4, 2, false, kNone},
    {"TstRowMask", "ROWM", 4, 2, false, kNone},
    {"TstColAjacent", "COLA", 4, 2, false, kNone},
    {"TstRowAjacent", "ROWA", 4, 2, false, kNone},
    {"TstColAjacentCnt", "COLC", 4, 2, false, kNone},
    {"TstRowAjacentCnt", "ROWC", 4, 2, false, kNone},
    {"TstSegments", "SGMS", 5, 2, true, kNone},
    {"TstSegmValues", "SGMV", 5, 2, true, kNone},
    {"TstSegmCount", "SGMC", 5, 2, true, kNone},
    {"TstSequenceLen", "SEQL", 6, 3, true, kNone},
    {"TstSequenceCnt", "SEQS", 6, 3, true, kNone},
    {"TstSequenceLenMax", "LENS", 6, 3, true, kNone},
    {"TstRepValues2", "RPV2", 7, 4, true, kNone},
    {"TstRepValues3", "RPV3", 7, 4, true, kNone},
    {"TstRepValues2B3", "PRL2", 7, 4, true, kNone},
    {"TstRepValues2over1", "PRV2O1", 7, 4, true, kNone},
    {"TstRepValues2over2", "PRV2O2", 7, 4, true, kNone},
    {"TstRepValues2over3", "PRV2O3", 7, 4, true, kNone},
    {"TstRepValues2P1", "PRV+1", 7, 4, true, kNone},
    {"TstRepValues2N1", "PRV-1", 7, 4, true, kNone},
    {"TstRepValues2P2", "PRV+2", 7, 4, true, kNone},
    {"TstRepValues2N2", "PRV-2", 7, 4, true, kNone},
    {"TstRepCount2", "RPC2", 7, 4, true, kNone},
    {"TstRepCount3", "RPC3", 7, 4, true, kNone},
    {"TstRepCount2B3", "PRB2", 7, 4, true, kNone},
    {"TstRepCount2over1", "RPO1", 7, 4, true, kNone},
    {"TstRepCount2over2", "PRC2O2", 7, 4, true, kNone},
    {"TstRepCount2over3", "PRC2O3", 7, 4, true, kNone},
    {"TstRepCount2P1", "PRC+1", 7, 4, true, kNone},
    {"TstRepCount2N1", "PRC-1", 7, 4, true, kNone},
    {"TstRepCount2P2", "PRC+2", 7, 4, true, kNone},
    {"TstRepCount2N2", "PRC-2", 7, 4, true, kNone},
    {"TstCombValMix2", "KNM2", 0, 1, true, kNone},
    {"TstCombValMix3", "KNM3", 0, 1, false, kNone},
    {"TstCombValMix4", "KNM4", 0, 1, false, kNone},
    {"TstCombValSeq2", "KNS2", 0, 1, true, kNone},
    {"TstCombValSeq3", "KNS3", 0, 1, false, kNone},
    {"TstCombValSeq4", "KNS4", 0, 1, false, kNone},
    {"TstCombValPos2", "KNP2%d", 0, 1, true, {1, 1}},
    {"TstCombValPos3", "KNP3%d", 0, 1, false, {1, 0}},
    {"TstCombValPos4", "KNP4%d", 0, 1, false, {1, -1}},
    {"TstCombValSort2", "KNO2", 0, 0, true, kNone},
    {"TstCombValSort3", "KNO3", 0, 0, false, kNone},
    {"TstCombValSort4", "KNO4", 0, 0, false, kNone},
    {"TstCombDiffSeq2", "KDS2", 2, 1, false, kNone},
    {"TstCombDiffSeq3", "KDS3", 2, 1, false, kNone},
    {"TstCombDiffSeq4", "KDS4", 2, 1, false, kNone},
    {"TstCombChnMix2", "KCM2", 3, 1, true, kNone},
    {"TstCombChnMix3", "KCM3", 3, 1, false, kNone},
    {"TstCombChnMix4", "KCM4", 3, 1, false, kNone},
    {"TstCombChnSeq2", "KCS2", 3, 1, true, kNone},
    {"TstCombChnSeq3", "KCS3", 3, 1, false, kNone},
    {"TstCombChnSeq4", "KCS4", 3, 1, false, kNone},
    {"TstCombColMix2", "KFM2", 4, 1, true, kNone},
    {"TstCombColMix3", "KFM3", 4, 1, false, kNone},
    {"TstCombColMix4", "KFM4", 4, 1, false, kNone},
    {"TstCombColSeq2", "KFS2", 4, 1, true, kNone},
    {"TstCombColSeq3", "KFS3", 4, 1, false, kNone},
    {"TstCombColSeq4", "KFS4", 4, 1, false, kNone},
    {"TstCombRowMix2", "KRM2", 4, 1, true, kNone},
    {"TstCombRowMix3", "KRM3", 4, 1, false, kNone},
    {"TstCombRowMix4", "KRM4", 4, 1, false, kNone},
    {"TstCombRowSeq2", "KRS2", 4, 1, true, kNone},
    {"TstCombRowSeq3", "KRS3", 4, 1, false, kNone},
    {"TstCombRowSeq4", "KRS4", 4, 1, false, kNone},
    {"TstCombSegmMix2", "KGM2", 5, 1, true, kNone},
    {"TstCombSegmMix3", "KGM3", 5, 1, false, kNone},
    {"TstCombSegmMix4", "KGM4", 5, 1, false, kNone},
    {"TstCombSegmSeq2", "KGS2", 5, 1, true, kNone},
    {"TstCombSegmSeq3", "KGS3", 5, 1, false, kNone},
    {"TstCombSegmSeq4", "KGS4", 5, 1, false, kNone},
    {"TstPosVal", "POS%d", 0, 3, true, {1, 2}},
    {"TstPosExt", "POE%d", 0, 0, true, {1, 0}},
    {"TstChnValCnt", "CHN%d", 3, 2, true, kChannels},
    {"TstColValCnt", "COL%d", 4, 2, false, kMatrix},
    {"TstRowValCnt", "ROW%d", 4, 2, false, kMatrix},
    {"TstSgmValCnt", "SGM%d", 5, 2, true, kSegments},
    {"TstNumGroups", "GRPV", 8, 4, true, kNone},
    {"TstNumPauses", "GRPP", 8, 4, true, kNone},
    {"TstChnGroups", "GRCV", 8, 4, true, kNone},
    {"TstChnPauses", "GRCP", 8, 4, true, kNone},
    {"TstSgmGroups", "GRSV", 8, 4, true, kNone},
    {"TstSgmPauses", "GRSP", 8, 4, true, kNone},
    {"TstNumPeriods", "PRDV", 9, 8, true, kNone},
    {"TstChnPeriods", "PRDC", 9, 8, true, kNone},
    {"TstSgmPeriods", "PRDG", 9, 8, true, kNone},
    {"TstChain2DrawsAll", "SDV2", 10, 4, true, kNone},
    {"TstChain2DrawsPos", "SDP2", 10, 5, true, kNone},
    {"TstChain2Pos", "SDN%d", 10, 5, true, {1, 2}},
    {"TstChain3DrawsPos", "SDP3", 10, 5, true, kNone},
    {"TstChain3Pos", "SDM%d", 10, 5, true, {1, 2}},
    {"TstChain2ChannelsAll", "SCV2", 10, 4, true, kNone},
    {"TstChain2ChannelsPos", "SCP2", 10, 5, true, kNone},
    {"TstChain2Channel", "SCN%d", 10, 5, true, {1, 2}},
    {"TstChain3ChannelsPos", "SCP3", 10, 5, true, kNone},
    {"TstChain3Channel", "SCM%d", 10, 5, true, {1, 2}},
    {"TstChain2CnlCnt", "SC2C%d", 10, 4, true, kChannels},
    {"TstChain3CnlCnt", "SC3C%d", 10, 4, true, kChannels},
    {"TstChainChannels2InsideAll", "SDA2", 10, 4, true, kNone},
    {"TstChainChannels2InsideSuc", "SDG2", 10, 4, true, kNone},
    {"TstChainChannels2InsideBad", "SDZ2", 10, 4, true, kNone},
    {"TstChainChannels2InsideCnt", "SDC2", 10, 4, true, kNone},
    {"TstChain2SegmentsAll", "SSV2", 10, 4, true, kNone},
    {"TstChain2SegmentsPos", "SSP2", 10, 5, true, kNone},
    {"TstChain2Segment", "SSN%d", 10, 5, true, {1, 2}},
    {"TstChain3SegmentsPos", "SSP3", 10, 5, true, kNone},
    {"TstChain3Segment", "SSM%d", 10, 5, true, {1, 2}},
    {"TstChain2SgmCnt", "SS2C%d", 10, 4, true, kSegments},
    {"TstChain3SgmCnt", "SS3C%d", 10, 4, true, kSegments},
    {"TstOgnev1", "HCO1", 11, 3, true, kNone},
    {"TstOgnev2", "HCO2", 11, 3, true, kNone},
    {"TstOgnev3", "HCO3", 11, 5, true, kNone},
    {"TstShreddingStat", "SHR%d", 12, 3, true, {1, 3}},
};

// The codes of the methods a configuration gives, in registry order.
QStringList ExpectedCodes(const TConfigData& config)
{
    int segLo = 9;
    int segHi = 0;
    for (const auto& row : config.MatrixSegments)
        for (const std::uint8_t s : row) {
            segLo = std::min<int>(segLo, s);
            segHi = std::max<int>(segHi, s);
        }
    QStringList codes;
    for (const TExpectedClass& e : Expected) {
        if (!e.Offered)
            continue;
        const QString code = QString::fromLatin1(e.Code);
        int lo = e.Params.Lo;
        int hi = e.Params.Hi;
        switch (e.Params.Kind) {
        case TRange::None:
            codes.append(code);
            continue;
        case TRange::Channels:
            lo = 1;
            hi = DigitGroupIndex(9, config.ChannelSize);
            break;
        case TRange::Segments:
            lo = segLo;
            hi = segHi;
            break;
        case TRange::Matrix:
            ADD_FAILURE() << "an offered class with matrix parameters";
            continue;
        case TRange::Fixed:
            break;
        }
        for (int p = lo; p <= hi; ++p)
            codes.append(QString(code).replace(QLatin1String("%d"), QString::number(p)));
    }
    return codes;
}

QStringList MethodCodes(const TStatList& list)
{
    QStringList codes;
    for (int i = 0; i < list.Count(); ++i)
        codes.append(list.Items(i).Code());
    return codes;
}

}  // namespace

TEST(RegistryTest, ClassesCodesGroupsAndFlags)
{
    const auto registry = StatRegistry();
    ASSERT_EQ(registry.size(), std::size(Expected));
    int offered = 0;
    for (std::size_t i = 0; i < registry.size(); ++i) {
        const TStatClass& cls = *registry[i];
        const TExpectedClass& e = Expected[i];
        SCOPED_TRACE(e.ClassName);
        EXPECT_STREQ(cls.ClassName, e.ClassName);
        EXPECT_STREQ(cls.CodeFormat, e.Code);
        EXPECT_EQ(cls.Group, e.Group);
        EXPECT_EQ(cls.Flags, e.Flags);
        EXPECT_EQ(cls.Available, e.Offered);
        EXPECT_EQ(cls.ParamRange != nullptr, e.Params.Kind != TRange::None);
        if (cls.Available) {
            ++offered;
            EXPECT_NE(cls.Factory, nullptr);
            EXPECT_FALSE(StatClassCaption(cls, 1).isEmpty());
        }
    }
    EXPECT_EQ(offered, 102);
}

TEST(RegistryTest, MethodListOfTheDefaultConfiguration)
{
    TStatFixture fx;
    fx.List.RebuildMethods();
    const QStringList codes = MethodCodes(fx.List);
    EXPECT_EQ(codes.size(), 124);
    EXPECT_EQ(codes.join(','), ExpectedCodes(fx.List.Config()).join(','));
    EXPECT_EQ(QSet<QString>(codes.begin(), codes.end()).size(), codes.size());
    EXPECT_EQ(codes.first(), "NUMS");
    EXPECT_EQ(codes.last(), "SHR3");
    EXPECT_EQ(fx.List.IndexOfCode(QStringLiteral("POE1")), -1);
    EXPECT_EQ(fx.List.IndexOfCode(QStringLiteral("KNP21")), codes.indexOf("KNP21"));

    EXPECT_EQ(fx.List.MethodCaption(fx.List.IndexOfCode(QStringLiteral("SUMS")), true),
              "{ sum } Сумма тиража: все значения [ NG ]");
    EXPECT_EQ(fx.List.Items(fx.List.IndexOfCode(QStringLiteral("SHR1"))).FullCaption(),
              "Метод шинковки 1: n1/n2");
}

TEST(RegistryTest, MethodListFollowsChannelsAndSegments)
{
    TStatFixture fx;
    fx.List.Config().ChannelSize = 3;
    fx.List.RebuildMethods();
    EXPECT_EQ(fx.List.Count(), 121);
    EXPECT_EQ(MethodCodes(fx.List).join(','), ExpectedCodes(fx.List.Config()).join(','));
    EXPECT_NE(fx.List.IndexOfCode(QStringLiteral("CHN4")), -1);
    EXPECT_EQ(fx.List.IndexOfCode(QStringLiteral("CHN5")), -1);

    fx.List.Config() = DefaultStatConfig();
    fx.List.Config().MatrixSegments = StrToSegments(QStringLiteral("11112222"));
    fx.List.RebuildMethods();
    EXPECT_EQ(fx.List.Count(), 127);
    EXPECT_EQ(MethodCodes(fx.List).join(','), ExpectedCodes(fx.List.Config()).join(','));
}

// Every method over a generated archive: it can be made, its kind agrees with its
// descriptor, and a statistics table, the value texts, a search and a graph run clean.
TEST(RegistryTest, EveryMethodRunsItsPasses)
{
    TStatFixture fx(MakeArchive(60, 11));
    fx.List.RebuildMethods();
    const int last = fx.LastIndex();
    for (int i = 0; i < fx.List.Count(); ++i) {
        const TStatMethod& method = fx.List.Items(i);
        SCOPED_TRACE(method.Code().toStdString());
        const std::unique_ptr<TCustomStat> stat = fx.List.CreateStat(i);
        ASSERT_NE(stat, nullptr);
        EXPECT_EQ(&stat->Class(), &method.StatClass());
        EXPECT_EQ(stat->Param(), method.Param());
        auto* graph = dynamic_cast<TCustomGraphStat*>(stat.get());
        EXPECT_EQ(graph != nullptr, method.StatClass().IsGraph);

        const TStatDrawArray table = RunStatTable(*stat, last - 29, last);
        std::int64_t hits = 0;
        for (const TStatValueRec& v : table) {
            hits += v.Hits;
            EXPECT_FALSE(stat->ValueText(v).isEmpty());
        }
        // A plain value exists for every draw; the classes that compare draws may find
        // nothing to record in a short window.
        if (method.StatClass().Flags & sfPlainValue) {
            EXPECT_GE(hits, 30);
        }
        // The newest value found by the table is found again from the range's start.
        const auto newest = std::find_if(table.begin(), table.end(),
                                         [](const TStatValueRec& v) { return v.Age == 1; });
        if (newest != table.end())
            (void)stat->FindDraw(*newest, last - 29, last, false);
        if (graph)
            for (int d = last - 5; d <= last; ++d)
                (void)graph->DrawValue(d, last, false);
        (void)CombTable(*stat, AllCombinations());
        (void)FilterCombs(*stat, table, last);
    }
}

namespace {

// How the values a class records for the draw after the reference draw relate to its Test.
enum class TSuccessorCheck { Exact, MergedOnly, Skip };

struct TSuccessorRule {
    const char* CodePrefix;
    TSuccessorCheck Check;
    const char* Reason;
};

// Classes not listed are checked exactly. Where Test reads less of the key than AddDraw
// writes, only "recorded implies accepted" can hold; where the values are not values of
// the next draw at all, there is nothing to compare.
const TSuccessorRule SuccessorRules[] = {
    {"RPV", TSuccessorCheck::MergedOnly, "Test looks for the digit at any position"},
    {"PRL2", TSuccessorCheck::MergedOnly, "Test looks for the digit at any position"},
    {"PRV", TSuccessorCheck::MergedOnly, "Test looks for the digit at any position"},
    {"SDP", TSuccessorCheck::MergedOnly, "Test compares the to-value only, at any position"},
    {"SDN", TSuccessorCheck::MergedOnly, "Test compares the to-value only, at any position"},
    {"SDM", TSuccessorCheck::MergedOnly, "Test compares the to-value only, at any position"},
    {"SCP", TSuccessorCheck::MergedOnly, "Test compares the to-value only, at any position"},
    {"SCN", TSuccessorCheck::MergedOnly, "Test compares the to-value only, at any position"},
    {"SCM", TSuccessorCheck::MergedOnly, "Test compares the to-value only, at any position"},
    {"SSP", TSuccessorCheck::MergedOnly, "Test compares the to-value only, at any position"},
    {"SSN", TSuccessorCheck::MergedOnly, "Test compares the to-value only, at any position"},
    {"SSM", TSuccessorCheck::MergedOnly, "Test compares the to-value only, at any position"},
    {"GR", TSuccessorCheck::Skip,
     "a run is recorded when it ends or at the reference draw, never for the draw after it"},
    {"SDG2", TSuccessorCheck::MergedOnly, "Test reads a row (d, 0) as any digit of d's channel"},
    {"SDA2", TSuccessorCheck::Skip, "the row (d, 0) means both 'no transition' and 'to 0'"},
    {"SDZ2", TSuccessorCheck::Skip, "the row (d, 0) means both 'no transition' and 'to 0'"},
    {"SDC2", TSuccessorCheck::Skip, "a count of 0 is recorded but never accepted"},
    {"HCO3", TSuccessorCheck::Skip, "its values are proposals made at the reference draw only"},
};

const TSuccessorRule* SuccessorRule(const QString& code)
{
    for (const TSuccessorRule& rule : SuccessorRules)
        if (code.startsWith(QLatin1String(rule.CodePrefix)))
            return &rule;
    return nullptr;
}

}  // namespace

// What a combination merges into a combination table is what the filter tests it for.
TEST(RegistryTest, CombinationTableAgreesWithTheFilter)
{
    TStatFixture fx(MakeArchive(40, 5));
    fx.List.RebuildMethods();
    const int last = fx.LastIndex();
    for (int i = 0; i < fx.List.Count(); ++i) {
        const QString code = fx.List.Items(i).Code();
        const std::unique_ptr<TCustomStat> stat = fx.List.CreateStat(i);
        for (const bool sorted : {false, true}) {
            const QString problems = CombTestMismatches(*stat, last, sorted);
            EXPECT_TRUE(problems.isEmpty())
                << code.toStdString() << (sorted ? " sorted" : "") << ":\n" << problems.toStdString();
        }
    }
}

// Classes that compare draws: what AddDraw records for the draw after the reference draw
// is what the filter accepts for that draw. Two archives, and a reference draw inside the
// archive (as with a draws offset) as well as the newest one.
TEST(RegistryTest, ValuesOfTheNextDrawAgreeWithTheFilter)
{
    int checked = 0;
    for (const std::uint64_t seed : {3u, 8u}) {
        TStatFixture fx(MakeArchive(45, seed));
        fx.List.RebuildMethods();
        for (int i = 0; i < fx.List.Count(); ++i) {
            const TStatClass& cls = fx.List.Items(i).StatClass();
            if (!(cls.Flags & (sfTwoDraws | sfShowP)))
                continue;
            const QString code = fx.List.Items(i).Code();
            const TSuccessorRule* rule = SuccessorRule(code);
            if (rule && rule->Check == TSuccessorCheck::Skip)
                continue;
            const bool mergedOnly = rule && rule->Check == TSuccessorCheck::MergedOnly;
            const std::unique_ptr<TCustomStat> stat = fx.List.CreateStat(i);
            for (const int last : {44, 37}) {
                for (const bool sorted : {false, true}) {
                    const QString problems =
                        SuccessorTestMismatches(*stat, fx, last - 30, last, sorted, mergedOnly);
                    EXPECT_TRUE(problems.isEmpty())
                        << code.toStdString() << " seed " << seed << " last " << last
                        << (sorted ? " sorted" : "") << ":\n" << problems.toStdString();
                }
            }
            ++checked;
        }
    }
    EXPECT_GT(checked, 2 * 40);
}
