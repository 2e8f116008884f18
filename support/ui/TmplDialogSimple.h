#pragma once

#include <QDialog>
#include <QString>

class QFrame;
class QGridLayout;
class QLabel;
class QPushButton;

// Base of the program's dialogs: a panel for the dialog's own controls above a line and a
// button panel with OK (the default button, accepts) and Cancel (Escape, rejects) at its
// right edge. A derived dialog puts its controls (or a layout) on ClientPanel().
class TDialogSTemplate : public QDialog {
    Q_OBJECT

public:
    explicit TDialogSTemplate(QWidget* parent = nullptr);

    QWidget* ClientPanel() const { return FClientPanel; }
    QFrame* BvlButtons() const { return FBvlButtons; }
    QWidget* ButtonsPanel() const { return FButtonsPanel; }
    QWidget* ButtonsMovedPanel() const { return FButtonsMovedPanel; }
    QPushButton* OkBtn() const { return FOkBtn; }
    QPushButton* CancelBtn() const { return FCancelBtn; }

protected:
    void changeEvent(QEvent* event) override;
    // Before the dialog shows: tables let Tab go on to the next control, the button panel
    // comes last in the Tab order, and a dialog that did not choose its focus starts on its
    // first control.
    void showEvent(QShowEvent* event) override;

    // A grid over the client panel with the dialogs' margins and the given spacing.
    QGridLayout* NewClientGrid(const char* name, int horizontalSpacing, int verticalSpacing);
    // A control's hint: its tool tip and the text the status line shows for it.
    static void SetHint(QWidget* widget, const QString& hint);
    // A label on the client panel for a control, which becomes its buddy.
    QLabel* NewBuddyLabel(const char* name, QWidget* buddy);
    // Lays the dialog out anew and fixes its size: as wide as its rows want but at least the
    // given width, as high as they need.
    void FitToLayout(int minimumWidth);

private:
    void TranslateTexts();

    QWidget* FClientPanel = nullptr;
    QFrame* FBvlButtons = nullptr;
    QWidget* FButtonsPanel = nullptr;
    QWidget* FButtonsMovedPanel = nullptr;
    QPushButton* FOkBtn = nullptr;
    QPushButton* FCancelBtn = nullptr;
};
