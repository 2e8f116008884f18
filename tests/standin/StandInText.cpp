#include "tests/standin/StandInText.h"

QString StandInCUnescape(const QString& text)
{
    QString result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\\') || i + 1 >= text.size()) {
            result += c;
            continue;
        }
        const char16_t next = text.at(++i).unicode();
        switch (next) {
        case 'a': result += QChar(7); break;
        case 'b': result += QChar(8); break;
        case 't': result += QChar(9); break;
        case 'n': result += QChar(10); break;
        case 'v': result += QChar(11); break;
        case 'f': result += QChar(12); break;
        case 'r': result += QChar(13); break;
        case 'e': result += QChar(27); break;
        default:
            if (next >= '0' && next <= '6')
                result += QChar(static_cast<char16_t>(next - '0'));
            else
                result += QChar(next);
            break;
        }
    }
    return result;
}
