#include "app/ui/shell/EnterKey.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QToolButton>

#include <utility>

namespace {

class TEnterFilter : public QObject {
public:
    TEnterFilter(QObject* parent, std::function<void()> onEnter) : QObject(parent), FOnEnter(std::move(onEnter)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            auto* editor = qobject_cast<QAbstractSpinBox*>(watched);
            if (editor && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
                // The typed text becomes the value first; a text the validator refuses is none.
                editor->interpretText();
                if (editor->hasAcceptableInput())
                    FOnEnter();
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> FOnEnter;
};

// Qt presses a focused button with Space only, and with Enter only a dialog's auto-default push
// button: a page's button, a tool button, or a Cancel that must not become the default while
// focused would pass Enter on, and in a dialog that presses OK instead of the button in view.
class TButtonEnterFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (!button || !(qobject_cast<QPushButton*>(button) || qobject_cast<QToolButton*>(button))
            || !button->hasFocus() || !button->isEnabled())
            return false;
        // A held key presses once; its repeats must not reach the dialog's default button either.
        if (!key->isAutoRepeat())
            button->click();
        return true;
    }
};

} // namespace

void InstallEnterHandler(QAbstractSpinBox* editor, std::function<void()> onEnter)
{
    editor->installEventFilter(new TEnterFilter(editor, std::move(onEnter)));
}

void InstallButtonEnterKeys(QObject* owner)
{
    // The filter goes with its owner, and Qt forgets a filter that is gone.
    QCoreApplication::instance()->installEventFilter(new TButtonEnterFilter(owner));
}
