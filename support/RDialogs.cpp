#include "support/RDialogs.h"

#include "platform/DelphiText.h"
#include "platform/ResString.h"
#include "support/RStrUtils.h"

#include <cstdio>
#include <utility>

namespace {

const TResString SErrorTitle = RESSTR("RDialogs", "Ошибка");
const TResString SInfoTitle = RESSTR("RDialogs", "Информация");
const TResString SAttentionTitle = RESSTR("RDialogs", "Внимание!");
const TResString SWarningTitle = RESSTR("RDialogs", "Предупреждение");
const TResString SConfirmTitle = RESSTR("RDialogs", "Подтверждение");
const TResString SDeleteOne = RESSTR("RDialogs", "Удалить выделенную запись?");
const TResString SDeleteSeveral =
    RESSTR("RDialogs", "Удалить все выделенные записи (всего будет удалено %d записи(ей))?");

TMessageBoxHandler& Handler()
{
    static TMessageBoxHandler handler;
    return handler;
}

int Show(TBoxIcon icon, int iconFlag, const QString& title, const QString& text,
         TBoxButtons buttons, int defaultButton)
{
    TBoxRequest box;
    box.Icon = icon;
    box.Title = title;
    box.Text = text;
    box.Buttons = buttons;
    box.DefaultButton = defaultButton;
    box.Flags = iconFlag | (buttons == TBoxButtons::YesNo ? MB_YESNO : MB_OK)
                | (defaultButton == IDNO ? MB_DEFBUTTON2 : 0);
    const TMessageBoxHandler& handler = Handler();
    return handler ? handler(box) : ShowUnattendedBox(box);
}

int OkBox(TBoxIcon icon, int iconFlag, const TResString& title, const QString& text)
{
    return Show(icon, iconFlag, LoadResString(title), text, TBoxButtons::Ok, IDOK);
}

} // namespace

TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler handler)
{
    return std::exchange(Handler(), std::move(handler));
}

QString UnattendedBoxEntry(const TBoxRequest& box)
{
    // A box quotes what servers, files and other programs said: on a terminal their control
    // characters must not move over or rewrite the program's own words.
    return QLatin1Char('[') + TerminalText(box.Title) + QLatin1String("] ") + TerminalText(box.Text)
           + QLatin1Char('\n');
}

int UnattendedBoxAnswer(const TBoxRequest& box)
{
    return box.Buttons == TBoxButtons::YesNo ? IDNO : IDOK;
}

int ShowUnattendedBox(const TBoxRequest& box)
{
    const QByteArray entry = UnattendedBoxEntry(box).toUtf8();
    std::fwrite(entry.constData(), 1, static_cast<size_t>(entry.size()), stderr);
    std::fflush(stderr);
    return UnattendedBoxAnswer(box);
}

int ErrorBox(const QString& text)
{
    return OkBox(TBoxIcon::Error, MB_ICONERROR, SErrorTitle, text);
}

int InfoBox(const QString& text)
{
    return OkBox(TBoxIcon::Information, MB_ICONINFORMATION, SInfoTitle, text);
}

int AttentionBox(const QString& text)
{
    return OkBox(TBoxIcon::Exclamation, MB_ICONEXCLAMATION, SAttentionTitle, text);
}

int WarningBox(const QString& text)
{
    return OkBox(TBoxIcon::Exclamation, MB_ICONEXCLAMATION, SWarningTitle, text);
}

int QueryBox(const QString& title, const QString& text)
{
    return Show(TBoxIcon::Question, MB_ICONQUESTION, title, text, TBoxButtons::YesNo, IDYES);
}

int QueryBoxDefNo(const QString& title, const QString& text)
{
    return Show(TBoxIcon::Question, MB_ICONQUESTION, title, text, TBoxButtons::YesNo, IDNO);
}

int ConfirmBox(const QString& text)
{
    return QueryBox(LoadResString(SConfirmTitle), text);
}

int ConfirmBoxDefNo(const QString& text)
{
    return QueryBoxDefNo(LoadResString(SConfirmTitle), text);
}

bool DeleteQuery(int count)
{
    const QString text = count == 1 ? LoadResString(SDeleteOne)
                                    : Format(LoadResString(SDeleteSeveral), {count});
    return QueryBoxDefNo(LoadResString(SWarningTitle), text) == IDYES;
}
