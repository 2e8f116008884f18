#pragma once

#include "platform/Exceptions.h"

#include <QString>

// Error of the formula parser; the message is one of the parser's texts.
class ERxParserError : public Exception {
public:
    using Exception::Exception;
};

// Recursive-descent evaluator of the users' shredding formulas: numbers, + - * / ^,
// parentheses, the constants E and PI and the built-in functions. Computes while it parses.
class TRxMathParser {
public:
    // Value of one expression; raises ERxParserError.
    long double Evaluate(const QString& text);

private:
    // The prepared text always ends in a NUL, so Current() never looks past it.
    QChar Current() const;
    QChar CharAt(qsizetype index) const;
    long double Expression();
    long double Term();
    long double Factor();
    bool GetNumber(long double& value);
    bool GetHexNumber(long double& value);
    bool GetConst(long double& value);
    bool GetFunction(long double& value);
    bool IsTerminator(QChar c) const;
    void EnterNesting();

    QString FText;      // prepared text: no blanks, ASCII upper case, NUL at the end
    qsizetype FPos = 0; // index of the current character in FText
    int FDepth = 0;     // open parentheses and function calls around the current factor
};

// Evaluates the text with a fresh parser; errors pass to the caller.
long double GetFormulaValue(const QString& text);
