#include "platform/Exceptions.h"

Exception::Exception(const QString& message)
    : FMessage(message), FUtf8(message.toUtf8())
{
}

QString ExceptionText(const std::exception& error)
{
    if (const auto* own = dynamic_cast<const Exception*>(&error))
        return own->Message();
    return QString::fromUtf8(error.what());
}
