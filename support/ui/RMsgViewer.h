#pragma once

#include <QMainWindow>
#include <QString>

#include <cstdint>

class QMenu;
class QTextEdit;
class TActionRegistry;
class TStatusBar;

// Font styles of a viewer line (bits, as the result records give them).
constexpr int kFontStyleBold = 1;
constexpr int kFontStyleItalic = 2;
constexpr int kFontStyleUnderline = 4;
constexpr int kFontStyleStrikeOut = 8;

// The message viewer: one stay-on-top window listing the warnings and errors of long
// operations, each line in the colour of its kind of result, with the number of messages in
// the status line. It frees itself when closed.
class TFormMsgViewer : public QMainWindow {
    Q_OBJECT

public:
    explicit TFormMsgViewer(QWidget* parent = nullptr);

    // Appends the text as a new line (after an empty line when there are lines already) in
    // the colour 0xRRGGBB and font style; a text of blanks only adds nothing. The status line
    // shows the count either way.
    void AddMessage(const QString& text, std::uint32_t color, int fontStyle);
    int Count() const { return FCount; }

    QTextEdit* MsgList() const { return FMsgList; }
    TStatusBar* StatusBar() const { return FStatusBar; }
    TActionRegistry* Actions() const { return FActions; }

private:
    QTextEdit* FMsgList = nullptr;
    TStatusBar* FStatusBar = nullptr;
    TActionRegistry* FActions = nullptr;
    QMenu* FPopupMenu = nullptr;
    int FCount = 0;
};

// Appends a line to the message viewer, creating the viewer when there is none; a caption that
// is not empty becomes the window's title. Shows the viewer and brings it to the front.
void AddViewerMessage(const QString& caption, const QString& text, std::uint32_t color, int fontStyle);
// The viewer, or none.
TFormMsgViewer* MsgViewer();
// Routes the viewer messages of the operation results (RMsgTypes) to AddViewerMessage.
void InstallMessageViewer();
