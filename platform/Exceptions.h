#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// Base of the program's own exceptions. The message is the text shown to the user.
class Exception : public std::exception {
public:
    explicit Exception(const QString& message);
    const QString& Message() const noexcept { return FMessage; }
    const char* what() const noexcept override { return FUtf8.constData(); }

private:
    QString FMessage;
    QByteArray FUtf8;
};

// A text that is not a number or date, an impossible date, or a Format argument of the wrong kind.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A floating-point value that has no integer or money counterpart (NaN, infinity, out of range)
// where one was required: Round, Trunc, TCurrency::FromDouble.
class EInvalidOp : public Exception {
public:
    using Exception::Exception;
};

// A money sum, difference or product beyond the range of TCurrency.
class EOverflow : public Exception {
public:
    using Exception::Exception;
};

// The text of any exception, as shown to the user: the message of the program's own, a Russian
// sentence for memory that ran out, the (UTF-8) what() of every other.
QString ExceptionText(const std::exception& error);
