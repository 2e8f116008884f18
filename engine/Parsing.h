#pragma once

#include "platform/Exceptions.h"

#include <QString>

#include <cstdint>
#include <vector>

// Error of the formula parser; the message is one of the parser's texts.
class ERxParserError : public Exception {
public:
    using Exception::Exception;
};

// The reading of a formula text that the evaluator and the compiler share: preparation
// (blanks and control characters out, ASCII upper case, "0" before a leading sign, NUL at
// the end), numbers, constants and function names.
class TRxFormulaText {
protected:
    // Raises "Не хватает скобочки" when the parentheses do not balance.
    void Prepare(const QString& text);
    // The prepared text always ends in a NUL, so Current() never looks past it.
    QChar Current() const;
    QChar CharAt(qsizetype index) const;
    bool IsTerminator(QChar c) const;
    void EnterNesting();
    // Raises "Не хватает скобочки" unless ")" closes what EnterNesting opened; steps over it.
    void LeaveNesting();
    // Raises "Синтаксическая ошибка" unless the current character may end an expression: the
    // end, ")", "," or a comparison sign (what follows those is not read).
    void EndExpression() const;
    bool GetNumber(long double& value);
    bool GetHexNumber(long double& value);
    bool GetConst(long double& value);
    // Index of the built-in function whose name starts at the current position followed by
    // "(", -1 for none; the position is not moved.
    int FunctionAt() const;
    static qsizetype FunctionNameLength(int function);
    // The function's value; raises ERxParserError.
    static long double ApplyFunction(int function, long double x);

    QString FText;      // prepared text: no blanks, ASCII upper case, NUL at the end
    qsizetype FPos = 0; // index of the current character in FText
    int FDepth = 0;     // open parentheses and function calls around the current factor
};

// Recursive-descent evaluator of the users' shredding formulas: numbers, + - * / ^,
// parentheses, the constants E and PI and the built-in functions. Computes while it parses.
class TRxMathParser : private TRxFormulaText {
public:
    // Value of one expression; raises ERxParserError.
    long double Evaluate(const QString& text);

private:
    long double Expression();
    long double Term();
    long double Factor();
    bool GetFunction(long double& value);
};

// Evaluates the text with a fresh parser; errors pass to the caller.
long double GetFormulaValue(const QString& text);

// A formula parsed once and run for many values of its variables. Each variable stands in
// the text as the character VariableChar(k); a run gives what Evaluate gives for the text
// with every variable replaced by the decimal digits of a whole number 0 or more.
//
// That holds only where such digits are read as one number of their own: a variable must
// follow the start of the text, "(", an operator, or a sign that follows one of these (a
// sign after "E" could belong to an exponent), and an operator, ")" or the end must follow
// it. Compile tells whether the text qualifies.
class TRxFormulaProgram : private TRxFormulaText {
public:
    static constexpr int MaxVariables = 8;
    static QChar VariableChar(int k) { return QChar(char16_t(0xE000 + k)); }

    enum class TCompiled {
        Program,     // runs give Evaluate's values
        AlwaysFails, // Evaluate raises an error for every value of the variables
        NotStandalone, // a variable is not read as a number of its own: evaluate the text
    };
    TCompiled Compile(const QString& text);

    // Bit k set: VariableChar(k) occurs in the compiled text.
    unsigned VariablesUsed() const { return FUsed; }
    // Runs the compiled formula; false where Evaluate raises an error.
    bool Run(const long double* variables, long double& value) const;

private:
    enum class TOp : std::uint8_t { Number, Variable, NegVariable, Add, Sub, Mul, Div, Pow, Function };
    struct TStep {
        TOp Op;
        int Arg;            // variable or function index
        long double Value;  // number
    };
    void Expression();
    void Term();
    void Factor();
    int VariableAt(qsizetype index) const;   // -1 when the character is no variable
    bool Standalone() const;
    void Emit(TOp op, int arg = 0, long double value = 0);

    std::vector<TStep> FSteps;
    int FStackSize = 0;   // values on the stack at that point of the program
    int FMaxStack = 0;
    unsigned FUsed = 0;
};
