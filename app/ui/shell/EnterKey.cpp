#include "app/ui/shell/EnterKey.h"

#include <QAbstractSpinBox>
#include <QEvent>
#include <QKeyEvent>

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

} // namespace

void InstallEnterHandler(QAbstractSpinBox* editor, std::function<void()> onEnter)
{
    editor->installEventFilter(new TEnterFilter(editor, std::move(onEnter)));
}
