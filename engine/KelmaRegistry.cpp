#include "engine/KelmaStatList.h"

#include "engine/Vex_Chain.h"
#include "engine/Vex_Chns.h"
#include "engine/Vex_Cmbv.h"
#include "engine/Vex_Diff.h"
#include "engine/Vex_HCO.h"
#include "engine/Vex_Mtxs.h"
#include "engine/Vex_Nums.h"
#include "engine/Vex_Per.h"
#include "engine/Vex_Reps.h"
#include "engine/Vex_Segm.h"
#include "engine/Vex_Seqn.h"
#include "engine/Vex_Ser.h"
#include "engine/Vex_Shrd.h"
#include "engine/Vex_Sums.h"

#include <array>

// The fixed order of the statistic classes. The method lists show the methods in this order
// and the registry index of a class never changes; files store codes, never positions.
namespace {

constexpr auto Registry = std::to_array<const TStatClass*>({
    // 0: numbers
    &TstValuesClass,
    &TstDigitsClass,
    &TstEvenCountClass,
    &TstEvenValuesClass,
    &TstSmallCountClass,
    &TstSmallValuesClass,
    &TstPrimeCountClass,
    &TstPrimeValuesClass,
    // 8: sums
    &TstSumValuesClass,
    &TstSumRangesClass,
    &TstSumChangeClass,
    &TstSumChangeSomeClass,
    &TstSumTrendClass,
    &TstSumEvenValuesClass,
    &TstSumPrimeValuesClass,
    &TstSum2To3Class,
    // 16: differences
    &TstDiffTotalClass,
    &TstDiffMaxClass,
    &TstMinMaxDiffsClass,
    &TstDiffSameClass,
    &TstDiffSameCntClass,
    // 21: channels
    &TstChannelsClass,
    &TstChanValuesClass,
    &TstChanCountClass,
    // 24: matrix
    &TstColumnsClass,
    &TstRowsClass,
    &TstColValuesClass,
    &TstRowValuesClass,
    &TstColCountClass,
    &TstRowCountClass,
    &TstColMaskClass,
    &TstRowMaskClass,
    &TstColAjacentClass,
    &TstRowAjacentClass,
    &TstColAjacentCntClass,
    &TstRowAjacentCntClass,
    // 36: segments
    &TstSegmentsClass,
    &TstSegmValuesClass,
    &TstSegmCountClass,
    // 39: sequences
    &TstSequenceLenClass,
    &TstSequenceCntClass,
    &TstSequenceLenMaxClass,
    // 42: repeats
    &TstRepValues2Class,
    &TstRepValues3Class,
    &TstRepValues2B3Class,
    &TstRepValues2over1Class,
    &TstRepValues2over2Class,
    &TstRepValues2over3Class,
    &TstRepValues2P1Class,
    &TstRepValues2N1Class,
    &TstRepValues2P2Class,
    &TstRepValues2N2Class,
    &TstRepCount2Class,
    &TstRepCount3Class,
    &TstRepCount2B3Class,
    &TstRepCount2over1Class,
    &TstRepCount2over2Class,
    &TstRepCount2over3Class,
    &TstRepCount2P1Class,
    &TstRepCount2N1Class,
    &TstRepCount2P2Class,
    &TstRepCount2N2Class,
    // 62: sub-combinations of values, differences, channels, matrix and segments
    &TstCombValMix2Class,
    &TstCombValMix3Class,
    &TstCombValMix4Class,
    &TstCombValSeq2Class,
    &TstCombValSeq3Class,
    &TstCombValSeq4Class,
    &TstCombValPos2Class,
    &TstCombValPos3Class,
    &TstCombValPos4Class,
    &TstCombValSort2Class,
    &TstCombValSort3Class,
    &TstCombValSort4Class,
    &TstCombDiffSeq2Class,
    &TstCombDiffSeq3Class,
    &TstCombDiffSeq4Class,
    &TstCombChnMix2Class,
    &TstCombChnMix3Class,
    &TstCombChnMix4Class,
    &TstCombChnSeq2Class,
    &TstCombChnSeq3Class,
    &TstCombChnSeq4Class,
    &TstCombColMix2Class,
    &TstCombColMix3Class,
    &TstCombColMix4Class,
    &TstCombColSeq2Class,
    &TstCombColSeq3Class,
    &TstCombColSeq4Class,
    &TstCombRowMix2Class,
    &TstCombRowMix3Class,
    &TstCombRowMix4Class,
    &TstCombRowSeq2Class,
    &TstCombRowSeq3Class,
    &TstCombRowSeq4Class,
    &TstCombSegmMix2Class,
    &TstCombSegmMix3Class,
    &TstCombSegmMix4Class,
    &TstCombSegmSeq2Class,
    &TstCombSegmSeq3Class,
    &TstCombSegmSeq4Class,
    // 101: positions and counts per channel, column, row and segment
    &TstPosValClass,
    &TstPosExtClass,
    &TstChnValCntClass,
    &TstColValCntClass,
    &TstRowValCntClass,
    &TstSgmValCntClass,
    // 107: series of groups and pauses
    &TstNumGroupsClass,
    &TstNumPausesClass,
    &TstChnGroupsClass,
    &TstChnPausesClass,
    &TstSgmGroupsClass,
    &TstSgmPausesClass,
    // 113: periods
    &TstNumPeriodsClass,
    &TstChnPeriodsClass,
    &TstSgmPeriodsClass,
    // 116: chains between draws
    &TstChain2DrawsAllClass,
    &TstChain2DrawsPosClass,
    &TstChain2PosClass,
    &TstChain3DrawsPosClass,
    &TstChain3PosClass,
    &TstChain2ChannelsAllClass,
    &TstChain2ChannelsPosClass,
    &TstChain2ChannelClass,
    &TstChain3ChannelsPosClass,
    &TstChain3ChannelClass,
    &TstChain2CnlCntClass,
    &TstChain3CnlCntClass,
    &TstChainChannels2InsideAllClass,
    &TstChainChannels2InsideSucClass,
    &TstChainChannels2InsideBadClass,
    &TstChainChannels2InsideCntClass,
    &TstChain2SegmentsAllClass,
    &TstChain2SegmentsPosClass,
    &TstChain2SegmentClass,
    &TstChain3SegmentsPosClass,
    &TstChain3SegmentClass,
    &TstChain2SgmCntClass,
    &TstChain3SgmCntClass,
    // 139: characteristic numbers
    &TstOgnev1Class,
    &TstOgnev2Class,
    &TstOgnev3Class,
    // 142: shredding
    &TstShreddingStatClass,
});
static_assert(Registry.size() == 143, "every statistic class has its place in the registry");

}  // namespace

std::span<const TStatClass* const> StatRegistry()
{
    return Registry;
}
