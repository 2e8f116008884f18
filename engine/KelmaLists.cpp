#include "engine/KelmaUtils.h"

#include "engine/Parsing.h"
#include "platform/DelphiText.h"
#include "platform/WordUtils.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>

// ---------------------------------------------------------------------------------------
// Integer lists

bool StrToIntList(const QString& text, TIntArray& list)
{
    const QString delimiters = QStringLiteral(",;");
    const int words = WordCount(text, delimiters);
    if (words < 1)
        return false;

    TIntArray values;
    values.reserve(std::size_t(words));
    for (int i = 1; i <= words; ++i) {
        int value = 0;
        if (!TryStrToInt(ExtractWord(i, text, delimiters).trimmed(), value)) {
            list.clear();
            return false;
        }
        values.push_back(value);
    }
    list = std::move(values);
    return true;
}

void StrToIntRange(const QString& text, TIntArray& list, bool* tooLong)
{
    list.clear();
    if (tooLong)
        *tooLong = false;

    // lo-hi;step: the first '-' that is not the sign of lo ends lo, ';' or ',' ends hi.
    const qsizetype dash = text.indexOf(QLatin1Char('-'), 1);
    if (dash < 0)
        return;
    const QString rest = text.mid(dash + 1);
    qsizetype sep = -1;
    for (qsizetype i = 0; i < rest.size(); ++i) {
        if (rest.at(i) == QLatin1Char(';') || rest.at(i) == QLatin1Char(',')) {
            sep = i;
            break;
        }
    }
    if (sep < 0)
        return;

    int lo = 0;
    int hi = 0;
    int step = 0;
    if (!TryStrToInt(text.left(dash).trimmed(), lo) || !TryStrToInt(rest.left(sep).trimmed(), hi)
        || !TryStrToInt(rest.mid(sep + 1).trimmed(), step))
        return;
    if (step == 0)
        return;

    // 64 bits: hi - lo of two 32-bit values may not fit in 32. A text such as
    // "0-2000000000;1" must not become two thousand million values.
    const std::int64_t count = (std::int64_t(hi) - lo) / step + 1;
    if (tooLong)
        *tooLong = count > IntRangeMaxValues;
    if (count < 1 || count > IntRangeMaxValues)
        return;

    list.reserve(std::size_t(count));
    for (std::int64_t i = 0; i < count; ++i)
        list.push_back(static_cast<std::int32_t>(lo + i * step));
}

void ParseIntValues(const QString& text, TIntArray& list, bool* tooLong)
{
    if (tooLong)
        *tooLong = false;
    if (text.isEmpty()) {
        list.clear();
        return;
    }
    if (!StrToIntList(text, list))
        StrToIntRange(text, list, tooLong);
}

QString IntListToStr(const TIntArray& list, const QString& separator)
{
    QString result;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (i > 0)
            result += separator;
        result += QString::number(list[i]);
    }
    return result;
}

// ---------------------------------------------------------------------------------------
// Date integers yyyymmdd

int DateToInt(TDateTime date)
{
    int year = 0;
    int month = 0;
    int day = 0;
    DecodeDate(date, year, month, day);
    return year * 10000 + month * 100 + day;
}

TDateTime IntToDate(int n)
{
    return EncodeDate(n / 10000, (n % 10000) / 100, n % 100);
}

int IncDateInt(int n, int days)
{
    if (days == 0)
        return n;
    return DateToInt(IntToDate(n) + days);
}

// ---------------------------------------------------------------------------------------
// Matrix segments and value cells

QString SegmentsToStr(const TMatrixSegments& segments)
{
    QString result;
    for (const auto& row : segments)
        for (const std::uint8_t entry : row)
            result += QString::number(entry);
    return result;
}

TMatrixSegments StrToSegments(const QString& text)
{
    TMatrixSegments segments{};
    for (int i = 0; i < DrawDigits * DigitValues; ++i) {
        std::uint8_t entry = 1;
        if (i < text.size()) {
            const QChar c = text.at(i);
            if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
                entry = static_cast<std::uint8_t>(c.unicode() - '0');
        }
        segments[i / DigitValues][i % DigitValues] = entry;
    }
    return segments;
}

void GetValueCell(int lo, int /*hi*/, int rowNo, int value, int& row, int& col)
{
    // The value matrix of this game is a single row: the value's column is its offset.
    row = rowNo - 1;
    col = value - lo;
}

int ValueRowNo(int value)
{
    int row = 0;
    int col = 0;
    GetValueCell(DigitMin, DigitMax, 0, value, row, col);
    return row + 1;
}

int ValueColNo(int value)
{
    int row = 0;
    int col = 0;
    GetValueCell(DigitMin, DigitMax, 0, value, row, col);
    return col + 1;
}

int ValueAtCell(int lo, int column)
{
    return lo + column;
}

// ---------------------------------------------------------------------------------------
// Ognev characteristic number and shredding value

void OgnevValues(std::span<const std::uint8_t> digits, int count, int mode, TIntArray& list)
{
    list.clear();
    if (count > static_cast<int>(digits.size()))
        count = static_cast<int>(digits.size());
    if (count < 2)
        return;

    // More than two values: the differences of neighbours, until two are left.
    std::vector<int> values(digits.begin(), digits.begin() + count);
    while (values.size() > 2) {
        for (std::size_t i = 0; i + 1 < values.size(); ++i)
            values[i] = std::abs(values[i + 1] - values[i]);
        values.pop_back();
    }

    const int d1 = values[0];
    const int d2 = values[1];
    int value = std::abs(d2 - d1);
    if (mode == 1) {
        if (value < 2)
            value = d1 + d2;
        list.push_back(value);
    } else if (mode == 2) {
        if (value == 0)
            value = d1 + d2;
        if (value == 1) {
            list.push_back(1);
            list.push_back(d1 + d2);
        } else {
            list.push_back(value);
        }
    } else {
        list.push_back(value);
    }
}

namespace {

// trunc(frac(|x|) * 10^digits); 0 where that is no integer.
int ShreddingResult(long double x, int digits)
{
    const long double m = std::pow(10.0L, static_cast<long double>(digits < 0 ? 0 : digits));
    if (!std::isfinite(x))
        return 0;
    const long double scaled = Frac(std::fabs(x)) * m;
    // The parser's errors, a division by zero and an overflow all end in the neutral 0.
    if (!std::isfinite(scaled) || scaled >= static_cast<long double>(std::numeric_limits<int>::max()) + 1)
        return 0;
    return static_cast<int>(Trunc(scaled));
}

// Replaces n1, p1, t1, then n2, p2, t2 (letter case ignored) by the given texts.
QString SubstituteShreddingVariables(const QString& formula, const std::array<QString, 6>& texts)
{
    QString s = formula;
    const char letters[] = {'n', 'p', 't'};
    for (int i = 1; i <= DrawDigits; ++i)
        for (int c = 0; c < 3; ++c)
            s.replace(QLatin1Char(letters[c]) + QString::number(i),
                      texts[static_cast<std::size_t>((i - 1) * 3 + c)], Qt::CaseInsensitive);
    return s;
}

}  // namespace

int ShreddingValue(TCombWord n, TCombWord p, TCombWord t, int digits, const QString& formula)
{
    try {
        const std::array<TCombWord, 3> combs = {n, p, t};
        std::array<QString, 6> texts;
        for (int i = 1; i <= DrawDigits; ++i)
            for (std::size_t c = 0; c < combs.size(); ++c)
                texts[static_cast<std::size_t>(i - 1) * 3 + c] =
                    NumToStr(i == 1 ? CombDigit1(combs[c]) : CombDigit2(combs[c]));
        return ShreddingResult(GetFormulaValue(SubstituteShreddingVariables(formula, texts)), digits);
    } catch (...) {
        return 0;
    }
}

TShreddingFormula::TShreddingFormula(const QString& formula, int digits)
    : FFormula(formula), FDigits(digits), FCompiled(TRxFormulaProgram::TCompiled::NotStandalone)
{
    // The variables become characters that no formula holds; a formula that holds one of
    // them is left to the text evaluation.
    // Every character the program reads as a variable counts, also those of variables this
    // formula does not use: the program would read them as variables of value 0.
    for (const QChar c : formula)
        for (int k = 0; k < TRxFormulaProgram::MaxVariables; ++k)
            if (c == TRxFormulaProgram::VariableChar(k))
                return;
    std::array<QString, VariableCount> marks;
    for (int k = 0; k < VariableCount; ++k)
        marks[static_cast<std::size_t>(k)] = QString(TRxFormulaProgram::VariableChar(k));
    FCompiled = FProgram.Compile(SubstituteShreddingVariables(formula, marks));
    if (FCompiled != TRxFormulaProgram::TCompiled::Program)
        return;

    int used = 0;
    for (int k = 0; k < VariableCount; ++k) {
        if (!(FProgram.VariablesUsed() & (1u << k)))
            continue;
        if (used == static_cast<int>(FCacheVariables.size()))
            return;   // too many for a small table
        FCacheVariables[static_cast<std::size_t>(used++)] = k;
    }
    FCacheVariableCount = used;
    int size = 1;
    for (int i = 0; i < used; ++i)
        size *= DigitValues;
    FCache.assign(static_cast<std::size_t>(size), kUnknown);
}

int TShreddingFormula::Compute(const TDigits& digits) const
{
    long double variables[TRxFormulaProgram::MaxVariables] = {};
    for (int k = 0; k < VariableCount; ++k)
        variables[k] = digits[static_cast<std::size_t>(k)];
    long double x = 0;
    if (!FProgram.Run(variables, x))
        return 0;
    try {
        return ShreddingResult(x, FDigits);
    } catch (...) {
        return 0;
    }
}

int TShreddingFormula::Value(TCombWord n, TCombWord p, TCombWord t) const
{
    switch (FCompiled) {
    case TRxFormulaProgram::TCompiled::AlwaysFails:
        return 0;
    case TRxFormulaProgram::TCompiled::NotStandalone:
        return ShreddingValue(n, p, t, FDigits, FFormula);
    case TRxFormulaProgram::TCompiled::Program:
        break;
    }
    const TDigits digits{CombDigit1(n), CombDigit1(p), CombDigit1(t),
                         CombDigit2(n), CombDigit2(p), CombDigit2(t)};
    if (FCacheVariableCount < 0)
        return Compute(digits);
    std::size_t index = 0;
    for (int i = 0; i < FCacheVariableCount; ++i) {
        const std::uint8_t d = digits[static_cast<std::size_t>(FCacheVariables[static_cast<std::size_t>(i)])];
        if (d > DigitMax)
            return Compute(digits);
        index = index * DigitValues + d;
    }
    int& cached = FCache[index];
    if (cached == kUnknown)
        cached = Compute(digits);
    return cached;
}
