// The formula parser: users' shredding formulas, read from the settings file and from
// scenario lines. Errors are ERxParserError. Invariants: a compiled formula runs to what the
// evaluator gives for the text with its variables written out, and a prepared shredding
// formula gives what the one-off evaluation gives.

#include "engine/KelmaUtils.h"
#include "engine/Parsing.h"
#include "fuzz/FuzzTargets.h"

#include <cmath>

namespace {

bool SameValue(long double a, long double b)
{
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

} // namespace

void FuzzFormula(const std::uint8_t* data, std::size_t size)
{
    TFuzzInput in(data, size);
    const std::uint8_t mode = in.Byte();
    long double values[TRxFormulaProgram::MaxVariables];
    for (long double& v : values)
        v = in.Byte() % 100;
    // Bytes 1..8 of the text stand for the variables.
    QString text = QString::fromLatin1(in.Rest());
    for (QChar& c : text)
        if (c.unicode() >= 1 && c.unicode() <= TRxFormulaProgram::MaxVariables)
            c = TRxFormulaProgram::VariableChar(c.unicode() - 1);

    if (mode % 2 == 0) {
        QString plain = text;
        for (int k = 0; k < TRxFormulaProgram::MaxVariables; ++k)
            plain.replace(TRxFormulaProgram::VariableChar(k), QString::number(static_cast<int>(values[k])));
        bool evaluated = true;
        long double expected = 0;
        try {
            expected = GetFormulaValue(plain);
        } catch (const ERxParserError&) {
            evaluated = false;
        }
        TRxFormulaProgram program;
        const TRxFormulaProgram::TCompiled compiled = program.Compile(text);
        if (compiled == TRxFormulaProgram::TCompiled::Program) {
            long double value = 0;
            const bool ran = program.Run(values, value);
            FuzzCheck(ran == evaluated, "a compiled formula fails where the evaluator does not, or the reverse");
            if (ran)
                FuzzCheck(SameValue(value, expected), "a compiled formula differs from the evaluator");
        } else if (compiled == TRxFormulaProgram::TCompiled::AlwaysFails) {
            FuzzCheck(!evaluated, "a formula compiled as always failing evaluates");
        }
    } else {
        // Shredding formulas name their variables n1 p1 t1 n2 p2 t2.
        const int digits = 1 + mode / 2 % 4;
        const TCombWord n = MakeComb(static_cast<std::uint8_t>(values[0]) % 10, static_cast<std::uint8_t>(values[1]) % 10);
        const TCombWord p = MakeComb(static_cast<std::uint8_t>(values[2]) % 10, static_cast<std::uint8_t>(values[3]) % 10);
        const TCombWord t = MakeComb(static_cast<std::uint8_t>(values[4]) % 10, static_cast<std::uint8_t>(values[5]) % 10);
        const TShreddingFormula formula(text, digits);
        FuzzCheck(formula.Value(n, p, t) == ShreddingValue(n, p, t, digits, text),
                  "a prepared shredding formula differs from its one-off value");
        FuzzCheck(formula.Value(n, p, t) == ShreddingValue(n, p, t, digits, text),
                  "a prepared shredding formula changes its value on a second call");
    }
}

std::vector<QByteArray> SeedsFormula()
{
    const auto seed = [](char mode, const QByteArray& values, const QByteArray& text) {
        return QByteArray(1, mode) + values.leftJustified(TRxFormulaProgram::MaxVariables, '\0', true) + text;
    };
    return {
        seed(0, "\x03\x04", "\x01+\x02*2"),
        seed(0, "\x07\x00", "(\x01-\x02)/\x02"),
        seed(0, "\x02", "SIN(\x01)^2+COS(\x01)^2"),
        seed(0, "", "-(1.5E3+PI)*E/$1F"),
        seed(0, "\x05", "SQRT(-\x01)"),
        seed(0, "", "((1+2)"),
        // Next to 2^63: the rounded value leaves the 64-bit range, the cut one does not.
        seed(0, "", "INT(9223372036854775807.5)"),
        seed(0, "\x09", "TRUNC(9223372036854775807.5)+NOT(-9223372036854775808)*\x01"),
        seed(2, "\x01\x02\x03\x04\x05\x06", "n1/n2"),
        seed(3, "\x09\x01\x02\x03\x04\x05", "(n1+n2)/(n1-n2)"),
        seed(5, "\x01\x01\x01\x01\x01\x01", "ABS(t1-p2)*n2+LN(p1+1)"),
    };
}
