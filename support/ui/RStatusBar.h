#pragma once

#include <QStatusBar>

#include <functional>
#include <vector>

class QLabel;

// The window status line: a row of panels, or, in simple mode, one text over the whole width.
// Tag() names the panel that ShowInStatusBar writes into. The bar names itself "StatusBar",
// which is how the status line finds it in the main window.
//
// A panel of a width keeps to that width, or to the room of its sample text (the longest text
// it is meant to hold, in the bar's font and the current language) when that is wider; a text
// longer still widens it rather than being cut. Short of room the panels give way down to their
// own texts. A panel of a negative width takes the space that is left and never widens the
// window for a long text; a text too long for it (a command's hint, a progress message) is
// shown whole over the panels to its left for as long as it stands, as far as the bar reaches.
class TStatusBar : public QStatusBar {
    Q_OBJECT

public:
    using TSampleText = std::function<QString()>;

    explicit TStatusBar(QWidget* parent = nullptr);

    // Appends a panel and returns its index.
    int AddPanel(int width, TSampleText sample = {});
    int PanelCount() const { return static_cast<int>(FPanels.size()); }
    // Texts of panels that do not exist read as empty and are not written.
    QString PanelText(int index) const;
    void SetPanelText(int index, const QString& text);
    // The width the panel asks for: its own, its sample's or its text's, whichever is widest;
    // 0 for a panel that takes the space left or does not exist.
    int PanelWidth(int index) const;
    QLabel* PanelLabel(int index) const;

    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool simple);
    QString SimpleText() const;
    void SetSimpleText(const QString& text);

    int Tag() const { return FTag; }
    void SetTag(int tag) { FTag = tag; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PlaceOverflow();

    std::vector<QLabel*> FPanels;
    QLabel* FSimpleLabel = nullptr;
    QLabel* FOverflow = nullptr;
    bool FSimplePanel = false;
    int FTag = 0;
};
