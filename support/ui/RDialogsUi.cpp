#include "support/ui/RDialogsUi.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::Icon QtIcon(TBoxIcon icon)
{
    switch (icon) {
    case TBoxIcon::Error:
        return QMessageBox::Critical;
    case TBoxIcon::Exclamation:
        return QMessageBox::Warning;
    case TBoxIcon::Question:
        return QMessageBox::Question;
    case TBoxIcon::Information:
        break;
    }
    return QMessageBox::Information;
}

QWidget* BoxParent()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

} // namespace

std::unique_ptr<QMessageBox> CreateQtMessageBox(const TBoxRequest& box, QWidget* parent)
{
    auto result = std::make_unique<QMessageBox>(parent);
    result->setIcon(QtIcon(box.Icon));
    result->setWindowTitle(box.Title);
    // The text is shown as given: a user's text must never be taken for markup.
    result->setTextFormat(Qt::PlainText);
    result->setText(box.Text);
    result->setWindowModality(Qt::ApplicationModal);
    if (box.Buttons == TBoxButtons::YesNo) {
        result->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        result->setDefaultButton(box.DefaultButton == IDNO ? QMessageBox::No : QMessageBox::Yes);
        // Escape answers No: the question cannot be left unanswered.
        result->setEscapeButton(QMessageBox::No);
    } else {
        result->setStandardButtons(QMessageBox::Ok);
        result->setDefaultButton(QMessageBox::Ok);
        result->setEscapeButton(QMessageBox::Ok);
    }
    return result;
}

int QtMessageBoxResult(const QMessageBox& box)
{
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return IDCANCEL;
    }
}

int ShowQtMessageBox(const TBoxRequest& box)
{
    const std::unique_ptr<QMessageBox> dialog = CreateQtMessageBox(box, BoxParent());
    dialog->exec();
    return QtMessageBoxResult(*dialog);
}

void InstallQtMessageBoxes()
{
    SetMessageBoxHandler(ShowQtMessageBox);
}

int ExecModalWindow(QDialog& form, bool nobodyThere)
{
    if (!nobodyThere)
        return form.exec();
    form.show();
    QCoreApplication::processEvents();
    form.close();
    return QDialog::Rejected;
}
