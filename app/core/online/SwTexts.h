#pragma once

// How the online workflow shows what the maker's server sends and what fails: its times in one
// shape, box texts with the program's line breaks, and one way of telling a failed operation.

#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/ResString.h"
#include "support/RDialogs.h"

#include <QDateTime>
#include <QString>

#include <exception>
#include <utility>

// "2024-01-31 18:05:00" in local time; the empty text for no time.
QString SwTimeText(const QDateTime& time);
// The time such a text names; invalid for a text of another shape.
QDateTime SwTimeFromText(const QString& text);

// A text as an error box shows it: the "\r" line breaks of the program's and the server's
// texts become "\n".
QString SwBoxText(QString text);

// Runs one operation. Whatever fails in it (a request, an error row, a bad value, a file) is
// shown in the operation's error box, with the program's line breaks (SwBoxText): the message
// takes `args` and then the error text, all of them as arguments, never as a format. The
// operation then gives `failed`.
template <typename TResult, typename TOperation, typename... TArgs>
TResult SwGuarded(const TResString& message, TResult failed, TOperation&& operation, const TArgs&... args)
{
    try {
        return std::forward<TOperation>(operation)();
    } catch (const std::exception& e) {
        ErrorBox(SwBoxText(Format(LoadResString(message), {TVarRec(args)..., TVarRec(ExceptionText(e))})));
        return failed;
    }
}
