#include "app/ui/online/UnitSystem.h"

#include "app/core/online/SwTexts.h"
#include "app/core/online/SystemCombs.h"
#include "app/ui/shell/FilePrompt.h"
#include "engine/KelmaMsg.h"
#include "platform/Cp1251.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/ReadFile.h"
#include "platform/ResString.h"
#include "platform/SaveFile.h"
#include "platform/WordUtils.h"
#include "support/RDateUtils.h"
#include "support/RDialogs.h"
#include "support/RMsgRu.h"
#include "support/RStrUtils.h"
#include "support/RSwCommon.h"
#include "support/RSysUtils.h"
#include "support/RVclUtils.h"
#include "support/ui/RClipBrd.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QToolButton>

namespace {

const TResString STitle = RESSTR("FormSystem", "Наименование:");
const TResString SUrl = RESSTR("FormSystem", "Ссылка:");
const TResString SUrlHint = RESSTR("FormSystem", "Открыть ссылку в браузере");
const TResString SCombs = RESSTR("FormSystem", "Список комбинаций:");
const TResString SCreated = RESSTR("FormSystem", "Создана:");
const TResString SCSize = RESSTR("FormSystem", "Комбинаций:");
const TResString SDownloads = RESSTR("FormSystem", "Загрузок:");
const TResString SLastDownload = RESSTR("FormSystem", "Последняя:");
const TResString SNums = RESSTR("FormSystem", "Числа:");
const TResString SCLen = RESSTR("FormSystem", "Длина:");
const TResString SOlap = RESSTR("FormSystem", "Блок:");
const TResString SCopy = RESSTR("FormSystem", "Копировать в буфер обмена");
const TResString SPaste = RESSTR("FormSystem", "Вставить из буфера обмена");
const TResString SNotWebAddress =
    RESSTR("FormSystem", "Открыть можно только ссылку, начинающуюся с \"http://\" или \"https://\"!");

constexpr int kDesignedWidth = 560;

// The labels in grid order, with the resource of each.
enum TLabel { lbTitle, lbDescr, lbAuthor, lbUrl, lbCombs, lbCreated, lbCSize, lbDownloads, lbLastDownload,
              lbNums, lbCLen, lbOlap, LabelCount };
const TResString* const kLabelTexts[LabelCount] = {&STitle,     &rsDescrLabel, &rsAuthorLabel,  &SUrl,
                                                    &SCombs,     &SCreated,     &SCSize,         &SDownloads,
                                                    &SLastDownload, &SNums,     &SCLen,          &SOlap};

int FieldNumber(const QLineEdit* edit)
{
    int value = 0;
    return TryStrToInt(edit->text().trimmed(), value) ? value : 0;
}

void SetReadOnlyLook(QWidget* edit)
{
    // Read-only fields take the colour of the dialog behind them.
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, edit->parentWidget()->palette().color(QPalette::Window));
    edit->setPalette(palette);
}

// Only digits, Enter and Escape are typed into the number fields; editing keys without a
// character pass, anything else beeps.
class TDigitKeys : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (text.isEmpty() || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter
            || key->key() == Qt::Key_Escape || key->key() == Qt::Key_Backspace)
            return false;
        for (const QChar c : text)
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
                QApplication::beep();
                return true;
            }
        return false;
    }
};

} // namespace

TFormSystem::TFormSystem(QWidget* parent) : TDialogSTemplate(parent)
{
    setObjectName(QStringLiteral("FormSystem"));
    QWidget* panel = ClientPanel();
    QGridLayout* grid = NewClientGrid("laySystem", 8, 4);

    auto lineEdit = [panel](const char* name, bool readOnly) {
        auto* edit = new QLineEdit(panel);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setReadOnly(readOnly);
        return edit;
    };
    edTitle = lineEdit("edTitle", false);
    edAuthor = lineEdit("edAuthor", false);
    edURL = lineEdit("edURL", false);
    edCreated = lineEdit("edCreated", true);
    edCSize = lineEdit("edCSize", true);
    edDownloads = lineEdit("edDownloads", true);
    edLastDownload = lineEdit("edLastDownload", true);
    edNums = lineEdit("edNums", false);
    edCLen = lineEdit("edCLen", true);
    edOlap = lineEdit("edOlap", false);
    edCLen->setText(QString::number(SystemCombLength));
    auto* digits = new TDigitKeys(this);
    for (QLineEdit* edit : {edNums, edCLen, edOlap})
        edit->installEventFilter(digits);
    for (QLineEdit* edit : {edCreated, edCSize, edDownloads, edLastDownload, edCLen})
        SetReadOnlyLook(edit);

    btnURL = new QToolButton(panel);
    btnURL->setObjectName(QStringLiteral("btnURL"));
    btnURL->setText(QStringLiteral("..."));
    btnURL->setEnabled(false);

    edDescr = new QPlainTextEdit(panel);
    edDescr->setObjectName(QStringLiteral("edDescr"));
    edDescr->setTabChangesFocus(true);
    edDescr->setFixedHeight(64);
    edCombs = new QPlainTextEdit(panel);
    edCombs->setObjectName(QStringLiteral("edCombs"));
    edCombs->setLineWrapMode(QPlainTextEdit::NoWrap);
    edCombs->setTabChangesFocus(true);
    edCombs->setMinimumHeight(200);
    edCombs->setContextMenuPolicy(Qt::CustomContextMenu);
    edCombs->installEventFilter(this);

    QWidget* buddies[LabelCount] = {edTitle, edDescr,   edAuthor,       edURL,  edCombs, edCreated,
                                    edCSize, edDownloads, edLastDownload, edNums, edCLen,  edOlap};
    static const char* const kLabelNames[LabelCount] = {
        "lblTitle",     "lblDescr", "lblAuthor",       "lblURL",  "lblCombs", "lblCreated",
        "lblCSize", "lblDownloads", "lblLastDownload", "lblNums", "lblCLen",  "lblOlap"};
    for (int i = 0; i < LabelCount; ++i)
        FLabels.append(NewBuddyLabel(kLabelNames[i], buddies[i]));

    // Left: name, author, address, description and the list; right: the figures.
    grid->addWidget(FLabels[lbTitle], 0, 0);
    grid->addWidget(edTitle, 0, 1, 1, 4);
    grid->addWidget(FLabels[lbAuthor], 1, 0);
    grid->addWidget(edAuthor, 1, 1);
    grid->addWidget(FLabels[lbUrl], 1, 2);
    auto* urlRow = new QHBoxLayout();
    urlRow->setSpacing(2);
    urlRow->addWidget(edURL, 1);
    urlRow->addWidget(btnURL);
    grid->addLayout(urlRow, 1, 3, 1, 2);
    grid->addWidget(FLabels[lbDescr], 2, 0, Qt::AlignTop);
    grid->addWidget(edDescr, 2, 1, 1, 4);
    grid->addWidget(FLabels[lbCombs], 3, 0, 1, 2);
    grid->addWidget(edCombs, 4, 0, 8, 2);
    const int figures[] = {lbNums, lbCLen, lbOlap, lbCSize, lbCreated, lbDownloads, lbLastDownload};
    int row = 4;
    for (const int label : figures) {
        grid->addWidget(FLabels[label], row, 2);
        grid->addWidget(buddies[label], row, 3, 1, 2);
        ++row;
    }
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 2);

    setTabOrder(edTitle, edAuthor);
    setTabOrder(edAuthor, edURL);
    setTabOrder(edURL, btnURL);
    setTabOrder(btnURL, edDescr);
    setTabOrder(edDescr, edCombs);
    setTabOrder(edCombs, edNums);
    setTabOrder(edNums, edOlap);

    auto addAction = [this](const char* name) {
        auto* action = new QAction(this);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    actCombsCopy = addAction("actCombsCopy");
    actCombsPaste = addAction("actCombsPaste");
    actCombsSelectAll = addAction("actCombsSelectAll");
    actCombsLoad = addAction("actCombsLoad");
    actCombsSave = addAction("actCombsSave");
    connect(actCombsCopy, &QAction::triggered, this, [this] { CopyCombs(); });
    connect(actCombsPaste, &QAction::triggered, this, [this] { PasteCombs(); });
    connect(actCombsSelectAll, &QAction::triggered, edCombs, &QPlainTextEdit::selectAll);
    connect(actCombsLoad, &QAction::triggered, this, [this] { LoadCombs(); });
    connect(actCombsSave, &QAction::triggered, this, [this] { SaveCombs(); });
    connect(edCombs, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) { ShowCombsMenu(pos); });
    connect(edURL, &QLineEdit::textChanged, this, [this](const QString& text) { btnURL->setEnabled(!text.isEmpty()); });
    connect(btnURL, &QToolButton::clicked, this, [this] { OpenUrlClick(); });

    TranslateTexts();
    FitToLayout(kDesignedWidth);
}

void TFormSystem::TranslateTexts()
{
    setWindowTitle(LoadResString(rsSystemCaption));
    for (int i = 0; i < LabelCount; ++i)
        FLabels[i]->setText(LoadResString(*kLabelTexts[i]));
    SetHint(btnURL, LoadResString(SUrlHint));
    actCombsCopy->setText(LoadResString(SCopy));
    actCombsPaste->setText(LoadResString(SPaste));
    actCombsSelectAll->setText(LoadResString(SSelectAllCaption));
    actCombsLoad->setText(LoadResString(SLoadFromFileCaption));
    actCombsSave->setText(LoadResString(SSaveToFileCaption));
    if (!FEditable)
        CancelBtn()->setText(LoadResString(SCloseWindowCaption));
}

void TFormSystem::LoadSystem(const tSystemData& data, bool editable)
{
    FId = data.Id;
    FClMail = data.ClMail;
    // Another user's texts are shown without direction controls; the user's own, which go back
    // to the server, as they are.
    const auto shown = [editable](const QString& text) { return editable ? text : ShownText(text); };
    edTitle->setText(shown(data.Title));
    edNums->setText(QString::number(data.Nums));
    edCLen->setText(QString::number(SystemCombLength));
    edOlap->setText(QString::number(data.Olap));
    edCSize->setText(QString::number(data.CSize));
    edDescr->setPlainText(shown(data.Descr));
    edAuthor->setText(shown(data.Author));
    edURL->setText(shown(data.Url));
    edCreated->setText(SwTimeText(data.Created));
    edLastDownload->setText(SwTimeText(data.LastDownload));
    edDownloads->setText(QString::number(data.Downloads));
    edCombs->setPlainText(data.CList);
    btnURL->setEnabled(!edURL->text().isEmpty());

    FEditable = editable;
    if (!editable) {
        for (QLineEdit* edit : {edTitle, edNums, edOlap, edAuthor, edURL}) {
            edit->setReadOnly(true);
            SetReadOnlyLook(edit);
        }
        for (QPlainTextEdit* edit : {edDescr, edCombs}) {
            edit->setReadOnly(true);
            SetReadOnlyLook(edit);
        }
        OkBtn()->hide();
        OkBtn()->setDefault(false);
        CancelBtn()->setDefault(true);
        CancelBtn()->setText(LoadResString(SCloseWindowCaption));
        CancelBtn()->setFocus();
    }
    UpdateCombsMenu();
}

void TFormSystem::NormalizeCombs()
{
    TBusyScope busy;
    const TSystemList list = NormalizeSystemList(edCombs->toPlainText());
    edCombs->setPlainText(list.Lines.join(QLatin1Char('\n')));
    edNums->setText(QString::number(list.Nums));
    edCSize->setText(QString::number(list.CSize));
}

void TFormSystem::StoreSystem(tSystemData& data) const
{
    data.Id = FId;
    data.ClMail = FClMail;
    data.Nums = FieldNumber(edNums);
    data.Olap = FieldNumber(edOlap);
    data.CSize = FieldNumber(edCSize);
    data.Title = edTitle->text();
    data.Author = edAuthor->text();
    data.Descr = edDescr->toPlainText();
    data.Url = edURL->text();
    data.CList = JoinTextLines(SplitTextLines(edCombs->toPlainText()));
    const QString created = edCreated->text().trimmed();
    data.Created = created.isEmpty() ? ClockCurrentDateTime() : SwTimeFromText(created);
    if (!data.Created.isValid())
        data.Created = ClockCurrentDateTime();
    data.Downloads = FieldNumber(edDownloads);
    data.LastDownload = SwTimeFromText(edLastDownload->text().trimmed());
}

bool TFormSystem::Refuse(const QString& message, QWidget* field)
{
    ErrorBox(message);
    field->setFocus();
    return false;
}

void TFormSystem::accept()
{
    if (!FEditable)
        return;
    // What is published always matches its list: nums and csize come from the list itself.
    // Without a list the typed nums stays, so that the missing list is what the user is told.
    const QString typedNums = edNums->text();
    NormalizeCombs();
    if (edCombs->toPlainText().trimmed().isEmpty())
        edNums->setText(typedNums);
    const int nums = FieldNumber(edNums);
    const int olap = FieldNumber(edOlap);
    if (edTitle->text().trimmed().isEmpty())
        Refuse(LoadResString(rsSystemTitleRequired), edTitle);
    else if (nums < SystemMinNums || nums > SystemMaxNums)
        Refuse(LoadResString(rsBadNumsCount), edNums);
    else if (olap < 0 || olap > 1)
        Refuse(LoadResString(rsBadBlockSize), edOlap);
    else if (edAuthor->text().trimmed().isEmpty())
        Refuse(LoadResString(rsAuthorRequired), edAuthor);
    else if (edDescr->toPlainText().trimmed().isEmpty())
        Refuse(LoadResString(rsSystemDescrRequired), edDescr);
    else if (edCombs->toPlainText().trimmed().isEmpty())
        Refuse(LoadResString(rsSystemContentRequired), edCombs);
    else
        TDialogSTemplate::accept();
}

void TFormSystem::OpenUrlClick()
{
    const QString url = edURL->text().trimmed();
    if (!IsWebAddress(url)) {
        ErrorBox(LoadResString(SNotWebAddress));
        return;
    }
    OpenUrl(url);
}

void TFormSystem::UpdateCombsMenu()
{
    const bool hasText = !edCombs->toPlainText().isEmpty();
    actCombsCopy->setEnabled(edCombs->textCursor().hasSelection());
    actCombsPaste->setEnabled(FEditable && !GetClipboardWideText().isEmpty());
    actCombsSelectAll->setEnabled(hasText);
    actCombsLoad->setEnabled(FEditable);
    actCombsSave->setEnabled(hasText);
}

void TFormSystem::ShowCombsMenu(const QPoint& pos)
{
    UpdateCombsMenu();
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("pmCombs"));
    menu.addActions({actCombsCopy, actCombsPaste, actCombsSelectAll});
    menu.addSeparator();
    menu.addActions({actCombsLoad, actCombsSave});
    menu.exec(edCombs->viewport()->mapToGlobal(pos));
}

void TFormSystem::CopyCombs()
{
    SetClipboardWideText(edCombs->toPlainText());
}

void TFormSystem::PasteCombs()
{
    if (FEditable)
        edCombs->setPlainText(GetClipboardWideText());
}

void TFormSystem::LoadCombs()
{
    TFilePrompt prompt;
    QString fileName;
    if (!FEditable || !PromptForFileName(this, prompt, fileName))
        return;
    QByteArray bytes;
    try {
        bytes = ReadRegularFile(fileName, MaxSystemFileBytes);
    } catch (const EFileReadError& e) {
        ErrorBox(Format(LoadResString(rsFileReadError), {fileName, e.Message()}));
        return;
    }
    edCombs->setPlainText(SplitTextLines(DecodeCp1251(bytes)).join(QLatin1Char('\n')));
}

void TFormSystem::SaveCombs()
{
    TFilePrompt prompt;
    prompt.Save = true;
    QString fileName;
    if (!PromptForFileName(this, prompt, fileName))
        return;
    try {
        SaveFileAtomic(fileName, EncodeCp1251(JoinTextLines(SplitTextLines(edCombs->toPlainText()))));
    } catch (const Exception& e) {
        ErrorBox(e.Message());
    }
}

bool TFormSystem::eventFilter(QObject* watched, QEvent* event)
{
    // Leaving the list for another control tidies it; its own menu or another window does not.
    if (watched == edCombs && event->type() == QEvent::FocusOut && FEditable) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            NormalizeCombs();
    }
    return TDialogSTemplate::eventFilter(watched, event);
}

void TFormSystem::changeEvent(QEvent* event)
{
    TDialogSTemplate::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        TranslateTexts();
}

bool EditSystemProperties(QWidget* owner, tSystemData& data, bool editable)
{
    TFormSystem form(owner);
    form.LoadSystem(data, editable);
    if (form.exec() != QDialog::Accepted || !editable)
        return false;
    form.StoreSystem(data);
    return true;
}
