#include "engine/Parsing.h"

#include "engine/ParsingRules.h"

#include <cmath>
#include <vector>

using namespace ParsingRules;

// ---------------------------------------------------------------------------------------
// TRxFormulaProgram
//
// The grammar of TRxMathParser, emitting the operations in the order the evaluator performs
// them instead of performing them. Errors that depend on values (a zero divisor, a logarithm
// of a negative number, an overflow) are left to the run; errors of the text itself are
// raised here, and the evaluator meets them too whatever the values, unless a value error
// stops it first.

int TRxFormulaProgram::VariableAt(qsizetype index) const
{
    const char16_t c = CharAt(index).unicode();
    return c >= 0xE000 && c < 0xE000 + MaxVariables ? c - 0xE000 : -1;
}

bool TRxFormulaProgram::Standalone() const
{
    auto isOperator = [](QChar c) {
        return c == QLatin1Char('(') || c == QLatin1Char('+') || c == QLatin1Char('-')
               || c == QLatin1Char('*') || c == QLatin1Char('/') || c == QLatin1Char('^');
    };
    for (qsizetype i = 0; i < FText.size(); ++i) {
        if (VariableAt(i) < 0)
            continue;
        if (!IsTerminator(CharAt(i + 1)))
            return false;
        if (i == 0)
            continue;
        const QChar before = CharAt(i - 1);
        if (!isOperator(before))
            return false;
        // A sign after "E" may end an exponent ("1E-" and digits) instead of starting the
        // variable's number or subtracting it.
        if ((before == QLatin1Char('+') || before == QLatin1Char('-')) && i >= 2
            && CharAt(i - 2) == QLatin1Char('E'))
            return false;
    }
    return true;
}

void TRxFormulaProgram::Emit(TOp op, int arg, long double value)
{
    FSteps.push_back({op, arg, value});
    switch (op) {
    case TOp::Number:
    case TOp::Variable:
    case TOp::NegVariable:
        ++FStackSize;
        break;
    case TOp::Add:
    case TOp::Sub:
    case TOp::Mul:
    case TOp::Div:
    case TOp::Pow:
        --FStackSize;
        break;
    case TOp::Function:
        break;
    }
    FMaxStack = std::max(FMaxStack, FStackSize);
}

TRxFormulaProgram::TCompiled TRxFormulaProgram::Compile(const QString& text)
{
    FSteps.clear();
    FStackSize = 0;
    FMaxStack = 0;
    FUsed = 0;
    try {
        Prepare(text);
        for (qsizetype i = 0; i < FText.size(); ++i)
            if (const int k = VariableAt(i); k >= 0)
                FUsed |= 1u << k;
        if (!Standalone())
            return TCompiled::NotStandalone;
        Expression();
    } catch (const ERxParserError&) {
        FSteps.clear();
        return TCompiled::AlwaysFails;
    }
    return TCompiled::Program;
}

void TRxFormulaProgram::Expression()
{
    Term();
    for (;;) {
        const QChar c = Current();
        if (c == QLatin1Char('+')) {
            ++FPos;
            Term();
            Emit(TOp::Add);
        } else if (c == QLatin1Char('-')) {
            ++FPos;
            Term();
            Emit(TOp::Sub);
        } else {
            break;
        }
    }
    EndExpression();
}

void TRxFormulaProgram::Term()
{
    Factor();
    for (;;) {
        const QChar c = Current();
        if (c == QLatin1Char('*')) {
            ++FPos;
            Factor();
            Emit(TOp::Mul);
        } else if (c == QLatin1Char('/')) {
            ++FPos;
            Factor();
            Emit(TOp::Div);
        } else if (c == QLatin1Char('^')) {
            ++FPos;
            Factor();
            Emit(TOp::Pow);
        } else {
            return;
        }
    }
}

void TRxFormulaProgram::Factor()
{
    if (Current() == QLatin1Char('(')) {
        EnterNesting();
        ++FPos;
        Expression();
        LeaveNesting();
        return;
    }
    // A variable's digits, with a sign before them, are the number the evaluator reads here.
    if (const int k = VariableAt(FPos); k >= 0) {
        ++FPos;
        Emit(TOp::Variable, k);
        return;
    }
    if (Current() == QLatin1Char('+') || Current() == QLatin1Char('-')) {
        if (const int k = VariableAt(FPos + 1); k >= 0) {
            Emit(Current() == QLatin1Char('-') ? TOp::NegVariable : TOp::Variable, k);
            FPos += 2;
            return;
        }
    }
    long double value = 0;
    if (GetNumber(value) || GetConst(value)) {
        Emit(TOp::Number, 0, value);
        return;
    }
    const int function = FunctionAt();
    if (function < 0)
        RaiseParserError(rsParserSyntaxError);
    EnterNesting();
    FPos += FunctionNameLength(function) + 1;
    Expression();
    LeaveNesting();
    Emit(TOp::Function, function);
}

bool TRxFormulaProgram::Run(const long double* variables, long double& value) const
{
    if (FSteps.empty())
        return false;
    // Formulas are a line or two: their stack fits here except for hostile nesting.
    constexpr int kLocalStack = 32;
    long double local[kLocalStack];
    std::vector<long double> heap;
    long double* stack = local;
    if (FMaxStack > kLocalStack) {
        heap.resize(static_cast<std::size_t>(FMaxStack));
        stack = heap.data();
    }
    int top = 0;   // values on the stack
    try {
        for (const TStep& step : FSteps) {
            switch (step.Op) {
            case TOp::Number:
                stack[top++] = step.Value;
                break;
            case TOp::Variable:
                stack[top++] = variables[step.Arg];
                break;
            case TOp::NegVariable:
                stack[top++] = -variables[step.Arg];
                break;
            case TOp::Add:
                --top;
                stack[top - 1] = Checked(stack[top - 1] + stack[top]);
                break;
            case TOp::Sub:
                --top;
                stack[top - 1] = Checked(stack[top - 1] - stack[top]);
                break;
            case TOp::Mul:
                --top;
                stack[top - 1] = Checked(stack[top - 1] * stack[top]);
                break;
            case TOp::Div: {
                --top;
                const long double divisor = stack[top];
                if (divisor == 0)
                    return false;
                const long double quotient = stack[top - 1] / divisor;
                if (!std::isfinite(quotient))
                    return false;
                stack[top - 1] = quotient;
                break;
            }
            case TOp::Pow:
                --top;
                stack[top - 1] = Power(stack[top - 1], stack[top]);
                break;
            case TOp::Function:
                stack[top - 1] = ApplyFunction(step.Arg, stack[top - 1]);
                break;
            }
        }
    } catch (...) {
        return false;
    }
    value = stack[0];
    return true;
}
