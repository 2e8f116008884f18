#include "support/RMsgRu.h"

namespace {

const TResString SAlignLeft = RESSTR("RMsgRu", "по левому краю");
const TResString SAlignRight = RESSTR("RMsgRu", "по правому краю");
const TResString SAlignCenter = RESSTR("RMsgRu", "по центру");

} // namespace

QString AlignmentName(int alignment)
{
    switch (alignment) {
    case 0: return LoadResString(SAlignLeft);
    case 1: return LoadResString(SAlignRight);
    case 2: return LoadResString(SAlignCenter);
    default: return QString();
    }
}
