#include "app/ui/shell/UnitAbout.h"

#include "platform/DelphiText.h"
#include "platform/ResString.h"

#include <QEvent>
#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace {

const TResString SAboutCaption = RESSTR("FormAbout", "О программе");
const TResString SClose = RESSTR("FormAbout", "Закрыть");
const TResString SVersion = RESSTR("FormAbout", "Версия программы:");
const TResString SWeb = RESSTR("FormAbout", "Официальный сайт проекта:");
const TResString SBlog = RESSTR("FormAbout", "Наш блог:");
const TResString SSoc = RESSTR("FormAbout", "Наши страницы в соцсетях:");
const TResString SUpdates = RESSTR("FormAbout", "Здесь Вы сможете скачать последние обновления:");
const TResString SMail = RESSTR("FormAbout", "Вопросы и пожелания направлять по адресу:");

constexpr int kDesignedWidth = 420;

// A label that shows an address as a link; its activation is the dialog's to handle.
QLabel* NewLinkLabel(QWidget* parent, const char* name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setOpenExternalLinks(false);
    return label;
}

QString LinkText(const QString& address)
{
    const QString shown = address.toHtmlEscaped();
    return QStringLiteral("<a href=\"%1\">%1</a>").arg(shown);
}

} // namespace

const TFormAbout::TLink TFormAbout::Links[7] = {
    {"lblWeb1", false, TLinkPage::MainSite}, {"lblBlog1", false, TLinkPage::Blog},
    {"lblBlog2", false, TLinkPage::YouTube}, {"lblSoc1", false, TLinkPage::VK},
    {"lblSoc2", false, TLinkPage::OK},       {"lblWeb2", false, TLinkPage::AuthSite},
    {"lblMail", true, TLinkPage::MainSite},
};

TFormAbout::TFormAbout(const QString& title, const QString& version, QWidget* parent)
    : TDialogSTemplate(parent), FTitleText(title), FVersionText(version)
{
    setObjectName(QStringLiteral("FormAbout"));
    OkBtn()->hide();
    CancelBtn()->setDefault(true);
    BuildControls();
    TranslateTexts();
    FitToLayout(kDesignedWidth);
}

void TFormAbout::BuildControls()
{
    QWidget* panel = ClientPanel();
    auto* grid = NewClientGrid("layAbout", 12, 4);

    FTitle = new QLabel(panel);
    FTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = FTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    FTitle->setFont(titleFont);
    FVersion = new QLabel(panel);
    FVersion->setObjectName(QStringLiteral("lblVersion"));
    FVersion->setTextInteractionFlags(Qt::TextSelectableByMouse);

    const auto caption = [panel](const char* name) {
        auto* label = new QLabel(panel);
        label->setObjectName(QLatin1String(name));
        return label;
    };
    FVersionCaption = caption("lblVersionCaption");
    FWebCaption = caption("lblWebCaption");
    FBlogCaption = caption("lblBlogCaption");
    FSocCaption = caption("lblSocCaption");
    FUpdatesCaption = caption("lblUpdatesCaption");
    FMailCaption = caption("lblMailCaption");

    for (const TLink& link : Links) {
        QLabel* label = NewLinkLabel(panel, link.Name);
        const QString name = QLatin1String(link.Name);
        connect(label, &QLabel::linkActivated, this, [this, name] { OpenLink(name); });
    }

    // The title across the top; below it each caption with its addresses beneath, indented.
    int row = 0;
    grid->addWidget(FTitle, row++, 0, 1, 2);
    grid->setRowMinimumHeight(row++, 8);
    grid->addWidget(FVersionCaption, row, 0);
    grid->addWidget(FVersion, row++, 1);
    grid->setRowMinimumHeight(row++, 8);
    const auto group = [&](QLabel* heading, std::initializer_list<const char*> names) {
        grid->addWidget(heading, row++, 0, 1, 2);
        for (const char* name : names)
            grid->addWidget(LinkLabel(name), row++, 0, 1, 2, Qt::AlignLeft);
        grid->setRowMinimumHeight(row++, 6);
    };
    group(FWebCaption, {"lblWeb1"});
    group(FBlogCaption, {"lblBlog1", "lblBlog2"});
    group(FSocCaption, {"lblSoc1", "lblSoc2"});
    group(FUpdatesCaption, {"lblWeb2"});
    group(FMailCaption, {"lblMail"});
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);
    for (const TLink& link : Links)
        LinkLabel(link.Name)->setContentsMargins(16, 0, 0, 0);
}

QLabel* TFormAbout::LinkLabel(const char* name) const
{
    return ClientPanel()->findChild<QLabel*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
}

void TFormAbout::TranslateTexts()
{
    setWindowTitle(LoadResString(SAboutCaption));
    CancelBtn()->setText(LoadResString(SClose));
    CancelBtn()->setToolTip(QString());
    FTitle->setText(Format(QStringLiteral("%s"), {FTitleText}));
    FVersionCaption->setText(LoadResString(SVersion));
    FVersion->setText(AboutVersionText(FVersionText));
    FWebCaption->setText(LoadResString(SWeb));
    FBlogCaption->setText(LoadResString(SBlog));
    FSocCaption->setText(LoadResString(SSoc));
    FUpdatesCaption->setText(LoadResString(SUpdates));
    FMailCaption->setText(LoadResString(SMail));
    // The addresses are texts of the message table as well: another language may have others.
    for (const TLink& link : Links)
        LinkLabel(link.Name)->setText(LinkText(link.Mail ? ContactMail() : LinkAddress(link.Page)));
}

void TFormAbout::OpenLink(const QString& name)
{
    for (const TLink& link : Links) {
        if (name != QLatin1String(link.Name))
            continue;
        if (link.Mail)
            OpenContactMail();
        else
            OpenLinkPage(link.Page);
        return;
    }
}

void TFormAbout::changeEvent(QEvent* event)
{
    const bool languageChange = event->type() == QEvent::LanguageChange;
    TDialogSTemplate::changeEvent(event);
    if (languageChange) {
        TranslateTexts();
        FitToLayout(kDesignedWidth);
    }
}

void ShowAboutBox(QWidget* owner, const QString& title, const QString& version)
{
    TFormAbout form(title, version, owner);
    form.exec();
}
