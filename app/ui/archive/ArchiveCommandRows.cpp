// The archive workflow's commands of the main window: the draws, their download and files, and
// the proxy settings the download uses.

#include "app/ui/shell/CommandRow.h"

#include "app/ui/archive/DrawsPage.h"
#include "app/ui/archive/UnitInfo.h"
#include "app/ui/archive/UnitProxy.h"
#include "support/RVclUtils.h"
#include "support/ui/QorListView.h"

#include "ui_FormMain.h"

void TTemplateMain::AddArchiveRows(std::vector<TCommandRow>& rows)
{
    rows.insert(rows.end(), {
        {.Id = TCommand::EditProxy,
         .Name = "EditProxy",
         .Caption = RESSTR("TemplateMain", "Параметры proxy-сервера"),
         .Menus = {{TCommandMenu::File, 1}},
         .Execute =
             [](TTemplateMain& w) {
                 TProxyChoice choice;
                 if (EditProxyData(&w, w.FState.FProxy, choice))
                     w.FProxy.ApplyDialog(static_cast<TProxySettings::TMode>(choice.Mode), choice.Server,
                                          choice.Port, choice.UserName, choice.Password);
             }},
        {.Id = TCommand::DrawsInfo,
         .Name = "DrawsInfo",
         .Caption = RESSTR("TemplateMain", "Сведения о тираже"),
         .Hint = RESSTR("TemplateMain", "Просмотр подробных сведений о тираже"),
         .Menus = {{TCommandMenu::Draws, 0}},
         .Execute = [](TTemplateMain& w) { ShowDrawInfo(w.FState, w.FDrawsPage->SelectedIndex(), &w); },
         .Update = [](TTemplateMain& w) { return w.FDrawsPage->HasSelection(); }},
        {.Id = TCommand::DrawsDownload,
         .Name = "DrawsDownload",
         .Caption = RESSTR("TemplateMain", "Загрузка"),
         .Hint = RESSTR("TemplateMain", "Загрузка архива тиражей с сайта лотереи"),
         .Shortcut = Qt::Key_F3,
         .Menus = {{TCommandMenu::Draws, 0}},
         .Execute = [](TTemplateMain& w) { w.FDownload.Execute(); },
         .Button = [](TTemplateMain& w) { return w.FUi->btnDrawsDownload; }},
        {.Id = TCommand::AutoDownload0,
         .Name = "AutoDownload0",
         .Caption = RESSTR("TemplateMain", "По запросу (по умолчанию)"),
         .Hint = RESSTR("TemplateMain", "Спросить пользователя"),
         .Menus = {{TCommandMenu::AutoDownload, 0}},
         .Execute = [](TTemplateMain& w) { w.SetOption(TMainOptions::DownloadDrawsOnStart, 0); },
         .State = [](TTemplateMain& w) { return w.FState.Options.Value(TMainOptions::DownloadDrawsOnStart) == 0; }},
        {.Id = TCommand::AutoDownload1,
         .Name = "AutoDownload1",
         .Caption = RESSTR("TemplateMain", "Автоматически"),
         .Hint = RESSTR("TemplateMain", "Автоматическая загрузка тиражей при запуске программы"),
         .Menus = {{TCommandMenu::AutoDownload, 0}},
         .Execute = [](TTemplateMain& w) { w.SetOption(TMainOptions::DownloadDrawsOnStart, 1); },
         .State = [](TTemplateMain& w) { return w.FState.Options.Value(TMainOptions::DownloadDrawsOnStart) == 1; }},
        {.Id = TCommand::AutoDownload2,
         .Name = "AutoDownload2",
         .Caption = RESSTR("TemplateMain", "Отключено"),
         .Hint = RESSTR("TemplateMain", "Без автоматической загрузки при запуске программы"),
         .Menus = {{TCommandMenu::AutoDownload, 0}},
         .Execute = [](TTemplateMain& w) { w.SetOption(TMainOptions::DownloadDrawsOnStart, 2); },
         .State = [](TTemplateMain& w) { return w.FState.Options.Value(TMainOptions::DownloadDrawsOnStart) == 2; }},
        {.Id = TCommand::DrawsImport,
         .Name = "DrawsImport",
         .Caption = RESSTR("TemplateMain", "Импорт из CSV-файла"),
         .Hint = RESSTR("TemplateMain", "Импорт списка тиражей из CSV-файла"),
         .Menus = {{TCommandMenu::Draws, 2}},
         .Execute = [](TTemplateMain& w) { w.FDrawsCsv.Import(); }},
        {.Id = TCommand::DrawsExport,
         .Name = "DrawsExport",
         .Caption = RESSTR("TemplateMain", "Экспорт в CSV-файл"),
         .Hint = RESSTR("TemplateMain", "Экспорт списка тиражей в CSV-файл"),
         .Menus = {{TCommandMenu::Draws, 2}},
         .Execute = [](TTemplateMain& w) { w.FDrawsCsv.Export(); },
         .Update = [](TTemplateMain& w) { return w.FDrawsCsv.CanExport(); }},
        {.Id = TCommand::DrawsXlsExport,
         .Name = "DrawsXlsExport",
         .Caption = RESSTR("TemplateMain", "Экспорт в Microsoft Excel"),
         .Hint = RESSTR("TemplateMain", "Экспорт списка тиражей в Microsoft Excel"),
         .Menus = {{TCommandMenu::Draws, 2}},
         .Execute = [](TTemplateMain& w) { w.ExportTable(w.FUi->lvDraws, w.FUi->tsDraws); },
         .Update = [](TTemplateMain& w) { return !w.FState.FDraws.empty(); }},
        {.Id = TCommand::DrawsAdd,
         .Name = "DrawsAdd",
         .Caption = RESSTR("TemplateMain", "Добавить"),
         .Hint = RESSTR("TemplateMain", "Добавить данные тиража вручную"),
         .Menus = {{TCommandMenu::Draws, 3}},
         .Execute = [](TTemplateMain& w) { w.FDrawsPage->DrawsAdd(); }},
        {.Id = TCommand::DrawsEdit,
         .Name = "DrawsEdit",
         .Caption = RESSTR("TemplateMain", "Изменить"),
         .Hint = RESSTR("TemplateMain", "Изменить данные тиража вручную"),
         .Menus = {{TCommandMenu::Draws, 3}},
         .Execute = [](TTemplateMain& w) { w.FDrawsPage->DrawsEdit(); },
         .Update = [](TTemplateMain& w) { return w.FDrawsPage->HasSelection(); }},
        {.Id = TCommand::DrawsDel,
         .Name = "DrawsDel",
         .Caption = RESSTR("TemplateMain", "Удалить"),
         .Hint = RESSTR("TemplateMain", "Удалить выделенные тиражи из списка"),
         .Menus = {{TCommandMenu::Draws, 3}},
         .Execute = [](TTemplateMain& w) { w.FDrawsPage->DrawsDel(); },
         .Update = [](TTemplateMain& w) { return w.FDrawsPage->HasSelection(); },
         .ShortcutScope = [](TTemplateMain& w) -> QWidget* { return w.FUi->lvDraws; }},
        // Digits of a draw keep their positions in this game: the option is shown, never offered.
        {.Id = TCommand::DrawsSorted,
         .Name = "DrawsSorted",
         .Caption = RESSTR("TemplateMain", "Упорядочить MIN->MAX"),
         .Hint = RESSTR("TemplateMain", "Упорядочить числа внутри тиража от меньшего к большему"),
         .Menus = {{TCommandMenu::Draws, 4}},
         .Execute = [](TTemplateMain& w) { w.FDrawsPage->DrawsSorted(); },
         .Update = [](TTemplateMain&) { return false; },
         .State = [](TTemplateMain& w) { return w.FState.Options.Flag(TMainOptions::SortedDraws); }},
        {.Id = TCommand::ViewColorDraws,
         .Name = "ViewColorDraws",
         .Caption = RESSTR("TemplateMain", "Выделять каналы в списке тиражей"),
         .Menus = {{TCommandMenu::View, 1}},
         .Execute = [](TTemplateMain& w) { w.ToggleOption(TMainOptions::ColorDraws, w.FUi->lvDraws->viewport()); },
         .State = [](TTemplateMain& w) { return w.FState.Options.Flag(TMainOptions::ColorDraws); }},
    });
}

void TTemplateMain::SetOption(TMainOptions::TOption option, int value)
{
    TBusyScope busy;
    FState.WriteOption(option, value);
}
