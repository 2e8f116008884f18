#include "support/ui/RMsgViewer.h"

#include "platform/DelphiText.h"
#include "platform/ResString.h"
#include "support/RMsgTypes.h"
#include "support/ui/RActions.h"
#include "support/ui/RStatusBar.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>

namespace {

const TResString SCaption = RESSTR("RMsgViewer", "Сообщения");
const TResString SCount = RESSTR("RMsgViewer", "Всего сообщений: %d");
const TResString SClose = RESSTR("RMsgViewer", "Закрыть");
const TResString SCloseHint = RESSTR("RMsgViewer", "Закрыть окно");
const TResString SCopy = RESSTR("RMsgViewer", "Копировать");
const TResString SCopyHint = RESSTR("RMsgViewer", "Копировать выделенный фрагмент в бувер обмена");
const TResString SSelectAll = RESSTR("RMsgViewer", "Выделить все");
const TResString SSelectAllHint = RESSTR("RMsgViewer", "Выделить весь текст");

QPointer<TFormMsgViewer>& ViewerRef()
{
    static QPointer<TFormMsgViewer> viewer;
    return viewer;
}

QAction* Configure(QAction* action, const TResString& hint, const QKeySequence& shortcut)
{
    action->setToolTip(LoadResString(hint));
    action->setStatusTip(action->toolTip());
    action->setShortcut(shortcut);
    return action;
}

} // namespace

TFormMsgViewer::TFormMsgViewer(QWidget* parent) : QMainWindow(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("FormMsgViewer"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(LoadResString(SCaption));
    setFont(QApplication::font("QMenu"));

    FMsgList = new QTextEdit(this);
    FMsgList->setObjectName(QStringLiteral("MsgList"));
    FMsgList->setReadOnly(true);
    FMsgList->setAcceptRichText(false);
    // A message is read whole without scrolling sideways: long lines (paths, system texts) wrap
    // at the window's width, at a blank where there is one.
    FMsgList->setLineWrapMode(QTextEdit::WidgetWidth);
    FMsgList->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    FMsgList->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    FMsgList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    FMsgList->setFrameShape(QFrame::Panel);
    FMsgList->setFrameShadow(QFrame::Plain);
    setCentralWidget(FMsgList);

    FStatusBar = new TStatusBar(this);
    FStatusBar->SetSimplePanel(true);
    setStatusBar(FStatusBar);

    FActions = new TActionRegistry(this);
    QTextEdit* list = FMsgList;
    QAction* closeMsgs = Configure(FActions->Add(QStringLiteral("CloseMsgs"), LoadResString(SClose),
                                                 [this] { close(); }),
                                   SCloseHint, QKeySequence(Qt::CTRL | Qt::Key_F4));
    QAction* editCopy = Configure(FActions->Add(QStringLiteral("EditCopy"), LoadResString(SCopy),
                                                [list] { list->copy(); },
                                                [list] { return list->textCursor().hasSelection(); },
                                                TActionRegistry::TBusyRule::Always),
                                  SCopyHint, QKeySequence(Qt::CTRL | Qt::Key_Insert));
    QAction* editSelectAll = Configure(FActions->Add(QStringLiteral("EditSelectAll"), LoadResString(SSelectAll),
                                                     [list] { list->selectAll(); },
                                                     [list] { return !list->document()->isEmpty(); },
                                                     TActionRegistry::TBusyRule::Always),
                                       SSelectAllHint, QKeySequence(Qt::CTRL | Qt::Key_A));
    for (QAction* action : {closeMsgs, editCopy, editSelectAll})
        addAction(action);

    QMenuBar* mainMenu = menuBar();
    mainMenu->setObjectName(QStringLiteral("MainMenu"));
    // The menu items are the actions themselves.
    mainMenu->addAction(editSelectAll);
    mainMenu->addAction(editCopy);
    mainMenu->addAction(closeMsgs);

    FPopupMenu = new QMenu(this);
    FPopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    FPopupMenu->addAction(editCopy);
    FPopupMenu->addAction(editSelectAll);
    FMsgList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FMsgList, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        FActions->UpdateAll();
        FPopupMenu->popup(FMsgList->viewport()->mapToGlobal(pos));
    });
    connect(FMsgList, &QTextEdit::selectionChanged, FActions, &TActionRegistry::UpdateAll);
    resize(560, 320);
}

void TFormMsgViewer::AddMessage(const QString& text, std::uint32_t color, int fontStyle)
{
    if (!text.trimmed().isEmpty()) {
        QTextCursor cursor(FMsgList->document());
        cursor.movePosition(QTextCursor::End);
        QTextCharFormat format;
        format.setForeground(QColor::fromRgb(static_cast<QRgb>(color & 0xFFFFFFu)));
        format.setFontWeight((fontStyle & kFontStyleBold) ? QFont::Bold : QFont::Normal);
        format.setFontItalic((fontStyle & kFontStyleItalic) != 0);
        format.setFontUnderline((fontStyle & kFontStyleUnderline) != 0);
        format.setFontStrikeOut((fontStyle & kFontStyleStrikeOut) != 0);
        // Messages are kept apart by one empty line.
        if (FCount > 0) {
            cursor.insertBlock();
            cursor.insertBlock();
        }
        cursor.insertText(text, format);
        FMsgList->setTextCursor(cursor);
        FMsgList->ensureCursorVisible();
        ++FCount;
    }
    FStatusBar->SetSimpleText(Format(LoadResString(SCount), {FCount}));
    FActions->UpdateAll();
}

void AddViewerMessage(const QString& caption, const QString& text, std::uint32_t color, int fontStyle)
{
    QPointer<TFormMsgViewer>& viewer = ViewerRef();
    if (!viewer)
        viewer = new TFormMsgViewer();
    if (!caption.isEmpty())
        viewer->setWindowTitle(caption);
    viewer->AddMessage(text, color, fontStyle);
    viewer->show();
    viewer->raise();
}

TFormMsgViewer* MsgViewer()
{
    return ViewerRef().data();
}

void InstallMessageViewer()
{
    SetViewerMessageSink(AddViewerMessage);
}
