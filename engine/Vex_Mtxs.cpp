#include "engine/Vex_Mtxs.h"

#include "engine/KelmaStatList.h"

#include <algorithm>

namespace {

constexpr int MatrixGroup = 4;

// A matrix class that this game does not offer: a registry row only.
constexpr TStatClass MatrixRow(const char* className, const char* code, TResString caption,
                               const char* helpName, bool isGraph, bool numeric, TParamRangeFn range,
                               std::uint8_t flags = sfPlainValue)
{
    return TStatClass{.ClassName = className, .CodeFormat = code, .CaptionFormat = caption,
        .HelpName = helpName, .Group = MatrixGroup, .Flags = flags, .Available = false,
        .IsGraph = isGraph, .HasNumericValue = numeric, .ParamRange = range, .Factory = nullptr};
}

}  // namespace

const TStatClass TstColumnsClass = MatrixRow("TstColumns", "COLS",
    KELMA_MSG("Столбцы матрицы (не пустые)"), nullptr, false, true, nullptr);
const TStatClass TstRowsClass = MatrixRow("TstRows", "ROWS",
    KELMA_MSG("Строки матрицы (не пустые)"), nullptr, false, true, nullptr);
const TStatClass TstColValuesClass = MatrixRow("TstColValues", "COLV",
    KELMA_MSG("Количество чисел в столбце матрицы"), nullptr, false, false, nullptr);
const TStatClass TstRowValuesClass = MatrixRow("TstRowValues", "ROWV",
    KELMA_MSG("Количество чисел в строке матрицы"), nullptr, false, false, nullptr);
const TStatClass TstColCountClass = MatrixRow("TstColCount", "COLN",
    KELMA_MSG("Количество не пустых столбцов в матрице"), nullptr, true, true, nullptr);
const TStatClass TstRowCountClass = MatrixRow("TstRowCount", "ROWN",
    KELMA_MSG("Количество не пустых строк в матрице"), nullptr, true, true, nullptr);
const TStatClass TstColMaskClass = MatrixRow("TstColMask", "COLM",
    KELMA_MSG("Сочетания столбцов матрицы"), nullptr, false, true, nullptr);
const TStatClass TstRowMaskClass = MatrixRow("TstRowMask", "ROWM",
    KELMA_MSG("Сочетания строк матрицы"), nullptr, false, true, nullptr);
const TStatClass TstColAjacentClass = MatrixRow("TstColAjacent", "COLA",
    KELMA_MSG("Столбцы матрицы со смежными числами"), nullptr, false, true, nullptr);
const TStatClass TstRowAjacentClass = MatrixRow("TstRowAjacent", "ROWA",
    KELMA_MSG("Строки матрицы со смежными числами"), nullptr, false, true, nullptr);
const TStatClass TstColAjacentCntClass = MatrixRow("TstColAjacentCnt", "COLC",
    KELMA_MSG("Количество столбцов матрицы со смежными числами"), nullptr, true, true, nullptr);
const TStatClass TstRowAjacentCntClass = MatrixRow("TstRowAjacentCnt", "ROWC",
    KELMA_MSG("Количество строк матрицы со смежными числами"), nullptr, true, true, nullptr);

// Captions of the pair classes carry their size: a class without a parameter formats its
// caption with 0.
const TStatClass TstCombColMix2Class{.ClassName = "TstCombColMix2", .CodeFormat = "KFM2",
    .CaptionFormat = KELMA_MSG("Сочетания из 2 столбцов по всем числам тиража"), .HelpName = nullptr,
    .Group = MatrixGroup, .Flags = sfShowS, .Available = true, .IsGraph = false,
    .HasNumericValue = false, .ParamRange = nullptr, .Factory = &MakeStat<TstCombColMix2>};
const TStatClass TstCombColMix3Class = MatrixRow("TstCombColMix3", "KFM3",
    KELMA_MSG("Сочетания из 3 столбцов по всем числам тиража"), nullptr, false, false, nullptr, sfShowS);
const TStatClass TstCombColMix4Class = MatrixRow("TstCombColMix4", "KFM4",
    KELMA_MSG("Сочетания из 4 столбцов по всем числам тиража"), nullptr, false, false, nullptr, sfShowS);
const TStatClass TstCombColSeq2Class{.ClassName = "TstCombColSeq2", .CodeFormat = "KFS2",
    .CaptionFormat = KELMA_MSG("Сочетания из 2 столбцов по соседним числам"), .HelpName = nullptr,
    .Group = MatrixGroup, .Flags = sfShowS, .Available = true, .IsGraph = false,
    .HasNumericValue = false, .ParamRange = nullptr, .Factory = &MakeStat<TstCombColSeq2>};
const TStatClass TstCombColSeq3Class = MatrixRow("TstCombColSeq3", "KFS3",
    KELMA_MSG("Сочетания из 3 столбцов по соседним числам"), nullptr, false, false, nullptr, sfShowS);
const TStatClass TstCombColSeq4Class = MatrixRow("TstCombColSeq4", "KFS4",
    KELMA_MSG("Сочетания из 4 столбцов по соседним числам"), nullptr, false, false, nullptr, sfShowS);
const TStatClass TstCombRowMix2Class{.ClassName = "TstCombRowMix2", .CodeFormat = "KRM2",
    .CaptionFormat = KELMA_MSG("Сочетания из 2 строк по всем числам тиража"), .HelpName = nullptr,
    .Group = MatrixGroup, .Flags = sfShowS, .Available = true, .IsGraph = false,
    .HasNumericValue = false, .ParamRange = nullptr, .Factory = &MakeStat<TstCombRowMix2>};
const TStatClass TstCombRowMix3Class = MatrixRow("TstCombRowMix3", "KRM3",
    KELMA_MSG("Сочетания из 3 строк по всем числам тиража"), nullptr, false, false, nullptr, sfShowS);
const TStatClass TstCombRowMix4Class = MatrixRow("TstCombRowMix4", "KRM4",
    KELMA_MSG("Сочетания из 4 строк по всем числам тиража"), nullptr, false, false, nullptr, sfShowS);
const TStatClass TstCombRowSeq2Class{.ClassName = "TstCombRowSeq2", .CodeFormat = "KRS2",
    .CaptionFormat = KELMA_MSG("Сочетания из 2 строк по соседним числам"), .HelpName = nullptr,
    .Group = MatrixGroup, .Flags = sfShowS, .Available = true, .IsGraph = false,
    .HasNumericValue = false, .ParamRange = nullptr, .Factory = &MakeStat<TstCombRowSeq2>};
const TStatClass TstCombRowSeq3Class = MatrixRow("TstCombRowSeq3", "KRS3",
    KELMA_MSG("Сочетания из 3 строк по соседним числам"), nullptr, false, false, nullptr, sfShowS);
const TStatClass TstCombRowSeq4Class = MatrixRow("TstCombRowSeq4", "KRS4",
    KELMA_MSG("Сочетания из 4 строк по соседним числам"), nullptr, false, false, nullptr, sfShowS);

const TStatClass TstColValCntClass = MatrixRow("TstColValCnt", "COL%d",
    KELMA_MSG("Количество чисел в %0:d столбце матрицы"), "COLx", true, true, &MatrixColParamRange);
const TStatClass TstRowValCntClass = MatrixRow("TstRowValCnt", "ROW%d",
    KELMA_MSG("Количество чисел в %0:d строке матрицы"), "ROWx", true, true, &MatrixRowParamRange);

void MatrixColParamRange(const TStatList& list, int& lo, int& hi)
{
    lo = 1;
    hi = std::max(list.Config().MatrixCols, 0);
}

void MatrixRowParamRange(const TStatList&, int& lo, int& hi)
{
    lo = 1;
    hi = DigitValues;
}

// ---------------------------------------------------------------------------------------

// More columns than digit values leave the extra columns empty; fewer than one is one.
TCustomMatrixStat::TCustomMatrixStat(const TStatClass& cls, const TStatList& list, int param)
    : TCustomNumbersStat(cls, list, param),
      FMatrixCols(std::clamp(list.Config().MatrixCols, 1, DigitValues)),
      FMatrixValues(DigitValues)
{
}

TMatrixPairStat::TMatrixPairStat(const TStatClass& cls, const TStatList& list, int param, bool byRows)
    : TCombKeysStat(cls, list, param), FByRows(byRows)
{
}

int TMatrixPairStat::CellOf(int digit) const
{
    return FByRows ? RowOf(digit) : ColumnOf(digit);
}

QString TMatrixPairStat::ValueText(const TStatValueRec& value) const
{
    return PairValueText(value);
}

void TMatrixPairStat::KeysOf(TCombWord comb, TStatKeys& keys) const
{
    keys.push_back(WordKey(CellOf(CombDigit1(comb)), CellOf(CombDigit2(comb))));
}

TstCombColMix2::TstCombColMix2(const TStatList& list, int param)
    : TMatrixPairStat(TstCombColMix2Class, list, param, false)
{
}

TstCombColSeq2::TstCombColSeq2(const TStatList& list, int param)
    : TMatrixPairStat(TstCombColSeq2Class, list, param, false)
{
}

TstCombRowMix2::TstCombRowMix2(const TStatList& list, int param)
    : TMatrixPairStat(TstCombRowMix2Class, list, param, true)
{
}

TstCombRowSeq2::TstCombRowSeq2(const TStatList& list, int param)
    : TMatrixPairStat(TstCombRowSeq2Class, list, param, true)
{
}
