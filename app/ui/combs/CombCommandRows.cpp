// The combination list's commands of the main window, and its generation.

#include "app/ui/shell/CommandRow.h"

#include "app/ui/archive/UnitInfo.h"
#include "app/ui/combs/CombsPage.h"
#include "app/ui/combs/UnitGenCombs.h"
#include "support/ui/QorListView.h"

#include "ui_FormMain.h"

void TTemplateMain::AddCombRows(std::vector<TCommandRow>& rows)
{
    rows.insert(rows.end(), {
        {.Id = TCommand::CombsInfo,
         .Name = "CombsInfo",
         .Caption = RESSTR("TemplateMain", "Сведения о комбинации"),
         .Menus = {{TCommandMenu::Combs, 0}, {TCommandMenu::PopupCombs, 0}},
         .Execute =
             [](TTemplateMain& w) {
                 const QList<int> rows = w.FCombsPage->SelectedRows();
                 if (!rows.isEmpty())
                     ShowCombInfo(w.FState, w.FCombs.Comb(rows.first()), &w);
             },
         .Update = [](TTemplateMain& w) { return w.FCombsPage->HasSelection(); }},
        {.Id = TCommand::CombsCheckNums,
         .Name = "CombsCheckNums",
         .Caption = RESSTR("TemplateMain", "Количество уникальных номеров"),
         .Menus = {{TCommandMenu::Combs, 0}, {TCommandMenu::PopupCombs, 1}},
         .Execute = [](TTemplateMain& w) { w.FCombsPage->CheckNums(); }},
        {.Id = TCommand::CombsFindInDraws,
         .Name = "CombsFindInDraws",
         .Caption = RESSTR("TemplateMain", "Проверить по архиву тиражей"),
         .Shortcut = Qt::CTRL | Qt::Key_F,
         .Menus = {{TCommandMenu::Combs, 0}, {TCommandMenu::PopupCombs, 1}},
         .Execute = [](TTemplateMain& w) { w.FCombsPage->FindInDraws(); },
         .Update = [](TTemplateMain& w) { return w.FCombsPage->HasSelection(); }},
        {.Id = TCommand::CombsGen,
         .Name = "CombsGen",
         .Caption = RESSTR("TemplateMain", "Генерировать"),
         .Shortcut = Qt::Key_F2,
         .Menus = {{TCommandMenu::Combs, 1}},
         .Execute = [](TTemplateMain& w) { w.GenerateCombs(); }},
        {.Id = TCommand::CombsDelExists,
         .Name = "CombsDelExists",
         .Caption = RESSTR("TemplateMain", "Исключить тиражи"),
         .Shortcut = Qt::CTRL | Qt::Key_E,
         .Menus = {{TCommandMenu::Combs, 1}},
         .Execute = [](TTemplateMain& w) { w.FCombsPage->DelExists(); },
         .Update =
             [](TTemplateMain& w) {
                 return w.FCombs.Count() > 0 && !w.FState.FDraws.empty() && w.FUi->edCombsExclude->value() > 0;
             },
         .Button = [](TTemplateMain& w) { return w.FUi->btnCombsDelExists; }},
        {.Id = TCommand::CombsDelSelected,
         .Name = "CombsDelSelected",
         .Caption = RESSTR("TemplateMain", "Удалить выделенные"),
         .Shortcut = Qt::CTRL | Qt::Key_Delete,
         .Menus = {{TCommandMenu::Combs, 1}, {TCommandMenu::PopupCombs, 2}},
         .Execute = [](TTemplateMain& w) { w.FCombsPage->DelSelected(); },
         .Update = [](TTemplateMain& w) { return w.FCombs.Count() > 0 && w.FCombsPage->HasSelection(); },
         .ShortcutScope = [](TTemplateMain& w) -> QWidget* { return w.FUi->lvCombs; }},
        {.Id = TCommand::CombsCopy,
         .Name = "CombsCopy",
         .Caption = RESSTR("TemplateMain", "Копировать в буфер"),
         .Shortcut = Qt::CTRL | Qt::Key_C,
         .Menus = {{TCommandMenu::Combs, 2}, {TCommandMenu::PopupCombs, 3}},
         .Execute = [](TTemplateMain& w) { w.FCombsPage->Copy(); },
         .Update = [](TTemplateMain& w) { return w.FCombs.Count() > 0; }},
        {.Id = TCommand::CombsPaste,
         .Name = "CombsPaste",
         .Caption = RESSTR("TemplateMain", "Вставить из буфера"),
         .Shortcut = Qt::CTRL | Qt::Key_V,
         .Menus = {{TCommandMenu::Combs, 2}, {TCommandMenu::PopupCombs, 3}},
         .Execute = [](TTemplateMain& w) { w.FCombsPage->Paste(); },
         .Update = [](TTemplateMain& w) { return w.FCombsPage->ClipboardHasText(); }},
        {.Id = TCommand::CombsSelectAll,
         .Name = "CombsSelectAll",
         .Caption = RESSTR("TemplateMain", "Выделить все"),
         .Shortcut = Qt::CTRL | Qt::Key_A,
         .Menus = {{TCommandMenu::Combs, 2}, {TCommandMenu::PopupCombs, 3}},
         .Execute = [](TTemplateMain& w) { w.FCombsPage->SelectAll(); },
         .Update = [](TTemplateMain& w) { return w.FCombs.Count() > 0; }},
        {.Id = TCommand::CombsOpen,
         .Name = "CombsOpen",
         .Caption = RESSTR("TemplateMain", "Открыть"),
         .Shortcut = Qt::CTRL | Qt::Key_O,
         .Menus = {{TCommandMenu::Combs, 3}},
         .Execute = [](TTemplateMain& w) { w.FCombsPage->Open(); }},
        {.Id = TCommand::CombsSave,
         .Name = "CombsSave",
         .Caption = RESSTR("TemplateMain", "Сохранить"),
         .Shortcut = Qt::CTRL | Qt::Key_S,
         .Menus = {{TCommandMenu::Combs, 3}},
         .Execute = [](TTemplateMain& w) { w.FCombsPage->Save(); },
         .Update = [](TTemplateMain& w) { return w.FCombs.Count() > 0; }},
        {.Id = TCommand::CombsUndo,
         .Name = "CombsUndo",
         .Caption = RESSTR("TemplateMain", "Отменить"),
         .Shortcut = Qt::CTRL | Qt::Key_Z,
         .Menus = {{TCommandMenu::Combs, 4}, {TCommandMenu::PopupCombs, 4}},
         .Execute = [](TTemplateMain& w) { w.FCombsPage->Undo(); },
         .Update = [](TTemplateMain& w) { return w.FCombs.UndoCount() > 0; }},
        {.Id = TCommand::CombsXlsExport,
         .Name = "CombsXlsExport",
         .Caption = RESSTR("TemplateMain", "Экспорт в Microsoft Excel"),
         .Hint = RESSTR("TemplateMain", "Экспорт списка комбинаций в Microsoft Excel"),
         .Menus = {{TCommandMenu::Combs, 5}},
         .Execute = [](TTemplateMain& w) { w.ExportTable(w.FUi->lvCombs, w.FUi->tsCombs); },
         .Update = [](TTemplateMain& w) { return w.FCombs.Count() > 0; }},
        {.Id = TCommand::ViewColorCombs,
         .Name = "ViewColorCombs",
         .Caption = RESSTR("TemplateMain", "Выделять каналы в списке комбинаций"),
         .Menus = {{TCommandMenu::View, 1}},
         .Execute = [](TTemplateMain& w) { w.ToggleOption(TMainOptions::ColorCombs, w.FUi->lvCombs->viewport()); },
         .State = [](TTemplateMain& w) { return w.FState.Options.Flag(TMainOptions::ColorCombs); }},
    });
}

void TTemplateMain::GenerateCombs()
{
    TCombsGenerateSettings settings = FCombsGen.DefaultSettings();
    bool saveAsDefault = false;
    if (EditGenCombsParams(this, settings, saveAsDefault))
        FCombsGen.Generate(settings, saveAsDefault);
}
