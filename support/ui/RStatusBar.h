#pragma once

#include <QStatusBar>

#include <vector>

class QLabel;

// The window status line: a row of panels of fixed width, or, in simple mode, one text over the
// whole width. Tag() names the panel that ShowInStatusBar writes into. The bar names itself
// "StatusBar", which is how the status line finds it in the main window.
class TStatusBar : public QStatusBar {
    Q_OBJECT

public:
    explicit TStatusBar(QWidget* parent = nullptr);

    // Appends a panel and returns its index. A negative width lets the panel take the space
    // that is left.
    int AddPanel(int width);
    int PanelCount() const { return static_cast<int>(FPanels.size()); }
    // Texts of panels that do not exist read as empty and are not written.
    QString PanelText(int index) const;
    void SetPanelText(int index, const QString& text);
    int PanelWidth(int index) const;

    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool simple);
    QString SimpleText() const;
    void SetSimpleText(const QString& text);

    int Tag() const { return FTag; }
    void SetTag(int tag) { FTag = tag; }

private:
    struct TPanel {
        QLabel* Label = nullptr;
        int Width = 0;
    };
    std::vector<TPanel> FPanels;
    QLabel* FSimpleLabel = nullptr;
    bool FSimplePanel = false;
    int FTag = 0;
};
