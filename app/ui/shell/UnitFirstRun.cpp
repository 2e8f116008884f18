#include "app/ui/shell/UnitFirstRun.h"

#include "app/core/shell/MainState.h"
#include "platform/Exceptions.h"
#include "platform/ResString.h"
#include "support/RDialogs.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLayout>
#include <QPushButton>

#include <iterator>

namespace {

const TResString SCaption = RESSTR("FormFirstRun", "Справочная информация");
const TResString SClose = RESSTR("FormFirstRun", "Закрыть");
const TResString SInfo = RESSTR(
    "FormFirstRun",
    "Если Вы запускаете программу в первый раз, рекомендуем Вам ознакомится со справочной инфомацией:");
const TResString SBlogs = RESSTR("FormFirstRun", "Полезные ресурсы, включая видеоруководства и новости проекта:");
const TResString SOpenHelp = RESSTR("FormFirstRun", "Открыть файл встроенной справочной системы");
const TResString SOnlineManuals = RESSTR("FormFirstRun", "Статьи на сайте автора - для начинающих и не только");
const TResString SBlog = RESSTR("FormFirstRun", "Блог");
const TResString SYoutube = RESSTR("FormFirstRun", "Канал на YouTube");
const TResString SVK = RESSTR("FormFirstRun", "Группа в соцсети \"В Контакте\"");
const TResString SOK = RESSTR("FormFirstRun", "Группа в соцсети \"Однокласники\"");
const TResString STelegram = RESSTR("FormFirstRun", "Канал в Telegram - новости проекта");
const TResString SDisable = RESSTR("FormFirstRun", "Больше не показывать данный диалог");

constexpr int kDesignedWidth = 460;

} // namespace

const TFormFirstRun::TPageButton TFormFirstRun::PageButtons[6] = {
    {"btnOnlineManuals", TLinkPage::AuthText}, {"btnBlog", TLinkPage::Blog},
    {"btnYoutube", TLinkPage::YouTube},        {"btnVK", TLinkPage::VK},
    {"btnOK", TLinkPage::OK},                  {"btnTelegram", TLinkPage::Telegram},
};

TFormFirstRun::TFormFirstRun(const QString& helpFile, QWidget* parent) : TDialogSTemplate(parent)
{
    setObjectName(QStringLiteral("FormFirstRun"));
    if (HelpFileExists(helpFile))
        FHelpFile = helpFile;
    OkBtn()->hide();
    CancelBtn()->setDefault(true);
    BuildControls();
    TranslateTexts();
    FitToContents();
}

void TFormFirstRun::BuildControls()
{
    QWidget* panel = ClientPanel();
    auto* grid = NewClientGrid("layFirstRun", 12, 6);

    FInfo = new QLabel(panel);
    FInfo->setObjectName(QStringLiteral("lblInfo"));
    FInfo->setWordWrap(true);
    FBlogs = new QLabel(panel);
    FBlogs->setObjectName(QStringLiteral("lblBlogs"));
    FBlogs->setWordWrap(true);
    FOpenHelp = new QPushButton(panel);
    FOpenHelp->setObjectName(QStringLiteral("btnOpenHelpFile"));
    FOpenHelp->setAutoDefault(false);
    FOpenHelp->setEnabled(!FHelpFile.isEmpty());
    connect(FOpenHelp, &QPushButton::clicked, this, [this] {
        try {
            OpenHelpFile(FHelpFile);
        } catch (const std::exception& e) {
            ErrorBox(ExceptionText(e));
        }
    });
    FDisable = new QCheckBox(panel);
    FDisable->setObjectName(QStringLiteral("cbDisable"));

    int row = 0;
    grid->addWidget(FInfo, row++, 0);
    grid->addWidget(FOpenHelp, row++, 0);
    grid->setRowMinimumHeight(row++, 6);
    grid->addWidget(FBlogs, row++, 0);
    for (const TPageButton& page : PageButtons) {
        auto* button = new QPushButton(panel);
        button->setObjectName(QLatin1String(page.Name));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [link = page.Page] { OpenLinkPage(link); });
        grid->addWidget(button, row++, 0);
    }
    grid->setRowMinimumHeight(row++, 6);
    grid->addWidget(FDisable, row++, 0);
    grid->setRowStretch(row, 1);
}

QPushButton* TFormFirstRun::Button(const char* name) const
{
    return ClientPanel()->findChild<QPushButton*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
}

void TFormFirstRun::TranslateTexts()
{
    setWindowTitle(LoadResString(SCaption));
    CancelBtn()->setText(LoadResString(SClose));
    CancelBtn()->setToolTip(QString());
    FInfo->setText(LoadResString(SInfo));
    FBlogs->setText(LoadResString(SBlogs));
    FOpenHelp->setText(LoadResString(SOpenHelp));
    const TResString* texts[] = {&SOnlineManuals, &SBlog, &SYoutube, &SVK, &SOK, &STelegram};
    for (size_t i = 0; i < std::size(PageButtons); ++i)
        Button(PageButtons[i].Name)->setText(LoadResString(*texts[i]));
    FDisable->setText(LoadResString(SDisable));
}

void TFormFirstRun::FitToContents()
{
    // A wrapped label asks for the height of its text at some width of its own choosing; the
    // dialog's width is known, so each gets the height its text needs there (the dialog only
    // grows wider than that, which leaves the text room to spare).
    const QMargins margins = ClientPanel()->layout()->contentsMargins();
    const int textWidth = kDesignedWidth - margins.left() - margins.right();
    for (QLabel* label : {FInfo, FBlogs})
        label->setMinimumHeight(label->heightForWidth(textWidth));
    FitToLayout(kDesignedWidth);
}

void TFormFirstRun::changeEvent(QEvent* event)
{
    const bool languageChange = event->type() == QEvent::LanguageChange;
    TDialogSTemplate::changeEvent(event);
    if (languageChange) {
        TranslateTexts();
        FitToContents();
    }
}

bool ShowFirstRunDialog(QWidget* owner, TMainState& state, const QString& helpFile)
{
    if (!FirstRunDue(state))
        return false;
    TFormFirstRun form(helpFile, owner);
    form.exec();
    if (form.DisableBox()->isChecked())
        DisableFirstRun(state);
    return true;
}
