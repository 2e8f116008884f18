#include "platform/Exceptions.h"

#include "platform/ResString.h"

#include <new>

namespace {

const TResString SOutOfMemory = RESSTR("Exceptions", "Недостаточно памяти для выполнения операции.");

} // namespace

Exception::Exception(const QString& message)
    : FMessage(message), FUtf8(message.toUtf8())
{
}

QString ExceptionText(const std::exception& error)
{
    if (const auto* own = dynamic_cast<const Exception*>(&error))
        return own->Message();
    // The library's words for it are English and tell the user nothing he can act on.
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return LoadResString(SOutOfMemory);
    return QString::fromUtf8(error.what());
}
