#include "engine/KelmaUtils.h"
#include "engine/Parsing.h"

#include <gtest/gtest.h>

#include <QString>

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

QString Var(int k)
{
    return QString(TRxFormulaProgram::VariableChar(k));
}

// The text with the variables' marks in place of "#0", "#1", ...
QString WithVars(const char* text)
{
    QString s = QString::fromUtf8(text);
    for (int k = 0; k < TRxFormulaProgram::MaxVariables; ++k)
        s.replace(QStringLiteral("#%1").arg(k), Var(k));
    return s;
}

// Evaluate's value of the text with each variable replaced by the digits of its value.
bool Evaluated(const QString& text, const std::vector<int>& values, long double& value)
{
    QString s = text;
    for (int k = 0; k < static_cast<int>(values.size()); ++k)
        s.replace(Var(k), QString::number(values[static_cast<std::size_t>(k)]));
    try {
        value = GetFormulaValue(s);
        return true;
    } catch (const ERxParserError&) {
        return false;
    }
}

}  // namespace

// The evaluator and the compiler read one grammar: an expression ends at the end, ")", "," or a
// comparison sign only, and every "(" or function call needs its ")". A text they both take
// compiles; one the evaluator refuses for every value fails to compile, with the same error.
TEST(FormulaProgram, TellsWhichTextsCompile)
{
    using C = TRxFormulaProgram::TCompiled;
    const struct {
        const char* Text;
        C Expected;
        // The evaluator's, for "#0" replaced by 4: "" a value; nullptr: not checked.
        const char* Error = nullptr;
    } cases[] = {
        {"#0/#1", C::Program},
        {"(#0+#1)/(#0-#1)", C::Program},
        {"-#0^2", C::Program},
        {"2*-#0", C::Program},
        {"SQRT(#0)*#1", C::Program},
        {"#0 / #1", C::Program},        // blanks go before parsing
        {"2#0", C::NotStandalone},      // "23": the digits join a number
        {"#0#1", C::NotStandalone},
        {"#05", C::NotStandalone},
        {"#0.5", C::NotStandalone},
        {"#0E2", C::NotStandalone},
        {"1E-#0", C::NotStandalone},    // the sign may belong to an exponent
        {"#0,#1", C::NotStandalone},    // a decimal comma in the Russian locale
        {"$1#0", C::NotStandalone},
        {"(#0)#1", C::NotStandalone},
        {"#0<2", C::NotStandalone},
        {"#0/", C::AlwaysFails},
        {"(#0", C::AlwaysFails},
        {"", C::AlwaysFails},
        {"FOO(#0)", C::AlwaysFails},
        {"2*-(#0)", C::AlwaysFails},
        {"(#0)=", C::Program, ""},
        {"(#0)>1", C::Program, ""},
        {"(#0),", C::Program, ""},
        {"SQRT((#0))", C::Program, ""},
        {"(#0)!", C::AlwaysFails, "Синтаксическая ошибка"},
        {"((#0)<1)", C::AlwaysFails, "Не хватает скобочки"},
        {"SQRT((#0)=)", C::AlwaysFails, "Не хватает скобочки"},
        // The brackets balance, and what follows a ")" that ends the whole expression is not read.
        {"(#0))+(1", C::Program, ""},
        {"SQRT(#0", C::AlwaysFails, "Не хватает скобочки"},
        {"ABS(#0)(1)", C::AlwaysFails, "Синтаксическая ошибка"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        TRxFormulaProgram program;
        EXPECT_EQ(program.Compile(WithVars(c.Text)), c.Expected);
        if (!c.Error)
            continue;
        QString evaluated = QString::fromUtf8(c.Text);
        evaluated.replace(QStringLiteral("#0"), QStringLiteral("4"));
        QString error;
        try {
            GetFormulaValue(evaluated);
        } catch (const ERxParserError& e) {
            error = e.Message();
        }
        EXPECT_EQ(error, QString::fromUtf8(c.Error));
    }
    TRxFormulaProgram program;
    ASSERT_EQ(program.Compile(WithVars("#3*2+#0")), C::Program);
    EXPECT_EQ(program.VariablesUsed(), 0b1001u);
}

// A compiled formula runs to Evaluate's value, bit for bit, and fails where Evaluate raises,
// over texts that exercise every operation, function and error.
TEST(FormulaProgram, RunsGiveEvaluatesValues)
{
    const char* texts[] = {
        "#0/#1", "(#0+#1)/(#0-#1)", "#0^#1", "#0^-#1", "-#0^2", "--#0", "2*-#0+#1", "#0*#1*#2-#1/7",
        "SQRT(#0)", "LN(#0)", "LOG(#1+1)", "EXP(#0)/1000", "SIN(#0)+COS(#1)", "TAN(#0*PI/2)",
        "ARCTAN(#0/3)", "ARCSIN(#0/9)", "ARCCOS((#1-5)/5)", "ABS(#0-#1)", "SQR(#0)", "INT(#0/2)",
        "ROUND(#0/4)", "FRAC(#0/7)", "TRUNC(-#1/3)", "SIGN(#0-#1)", "NOT(#0)", "E^#1", "PI*#0",
        "$10+#0", "1.5*#0", "#0^#1^#2", "(#0)<2", "#0/(#1-#1)", "0^-#0", "(#0-5)^0.5",
        "((((#0))))*(#1)", "#0/#1/#2", "1E300*1E300*#0",
    };
    const std::vector<std::vector<int>> inputs = {
        {0, 0, 0}, {3, 4, 5}, {9, 9, 9}, {1, 0, 2}, {5, 5, 1}, {8, 2, 0}, {7, 3, 6}, {12, 255, 3},
    };
    for (const char* text : texts) {
        const QString formula = WithVars(text);
        TRxFormulaProgram program;
        ASSERT_EQ(program.Compile(formula), TRxFormulaProgram::TCompiled::Program) << text;
        for (const std::vector<int>& in : inputs) {
            long double expected = 0;
            const bool ok = Evaluated(formula, in, expected);
            const long double variables[TRxFormulaProgram::MaxVariables] = {
                static_cast<long double>(in[0]), static_cast<long double>(in[1]),
                static_cast<long double>(in[2])};
            long double value = 0;
            ASSERT_EQ(program.Run(variables, value), ok) << text << " " << in[0] << "," << in[1];
            if (ok && !(std::isnan(value) && std::isnan(expected))) {
                EXPECT_EQ(value, expected) << text << " " << in[0] << "," << in[1];
            }
        }
    }
}

// The prepared formula gives ShreddingValue's result for every combination: formulas that
// compile, formulas evaluated as text because their variables join other characters, digits
// kept 0 to 5, previous draws of all kinds, and digits a damaged archive may hold.
TEST(ShreddingFormula, EqualsShreddingValue)
{
    const char* formulas[] = {
        "n1/n2", "n2/n1", "(n1+n2)/(n1-n2)", "N1/N2", "-n1/n2", "(n1+p2)/t1", "(p1*10+t2)/(n2+1)",
        "sqrt(n1)/(n2+3)", "ln(n1)*n2", "n1 / n2 + p1 - t1", "--n1/7", "(n1+p1+t1)/(n2+p2+t2)",
        "frac(n1/3)*t2", "n1^n2^p1", "1/(n1-n2)", "ARCSIN(n1/9)", "NOT(n1)", "PI*n1", "E^n2",
        "((((n1))))/7", "sin(n1)*cos(p2)+t1", "T1/P2", "n1/n2 + 1E-n1", "2n1/7", "n12/13",
        "n1.5/n2", "nn1/7", "pn1/n2", "n1,n2/3", "n1<2", "(n1)<n2", "n1/", "", "n1E2/n2",
        "$1E-n1/n2",
    };
    const TCombWord special[] = {MakeComb(0, 0), MakeComb(12, 3), MakeComb(3, 200), MakeComb(9, 9)};
    std::vector<std::array<TCombWord, 3>> triples;
    for (int n = 0; n < 100; ++n)
        triples.push_back({MakeComb(std::uint8_t(n % 10), std::uint8_t(n / 10)), MakeComb(4, 7), MakeComb(0, 2)});
    std::uint64_t x = 12345;
    auto next = [&] {
        x = x * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint8_t>((x >> 33) % 10);
    };
    for (int i = 0; i < 150; ++i)
        triples.push_back({MakeComb(next(), next()), MakeComb(next(), next()), MakeComb(next(), next())});
    for (const TCombWord a : special)
        for (const TCombWord b : special)
            triples.push_back({a, b, MakeComb(5, 1)});

    for (const char* formula : formulas) {
        for (const int digits : {0, 2, 5}) {
            const QString text = QString::fromUtf8(formula);
            const TShreddingFormula prepared(text, digits);
            for (const auto& t : triples)
                ASSERT_EQ(prepared.Value(t[0], t[1], t[2]), ShreddingValue(t[0], t[1], t[2], digits, text))
                    << formula << " digits " << digits << " n " << t[0] << " p " << t[1] << " t " << t[2];
        }
    }
    // The values of the default formula, worked out by hand: 1/3 -> 33, 3/4 -> 75, 5/0 -> 0.
    const TShreddingFormula shredding(QStringLiteral("n1/n2"), 2);
    EXPECT_EQ(shredding.Value(MakeComb(1, 3), 0, 0), 33);
    EXPECT_EQ(shredding.Value(MakeComb(3, 4), 0, 0), 75);
    EXPECT_EQ(shredding.Value(MakeComb(5, 0), 0, 0), 0);
    // A formula holding one of the characters that stand for variables is read as text.
    const QString marked = QStringLiteral("n1/n2+") + Var(0);
    EXPECT_EQ(TShreddingFormula(marked, 2).Value(MakeComb(3, 4), 0, 0),
              ShreddingValue(MakeComb(3, 4), 0, 0, 2, marked));
    // So is one holding the mark of a variable that shredding formulas have no name for: the
    // text is no formula (0), where a compiled program would read the mark as a zero.
    for (const int k : {6, 7}) {
        const QString text = Var(k) + QStringLiteral("-(E)*E/$1F");
        EXPECT_EQ(TShreddingFormula(text, 1).Value(MakeComb(3, 4), 0, 0), 0) << k;
        EXPECT_EQ(ShreddingValue(MakeComb(3, 4), 0, 0, 1, text), 0) << k;
    }
}
