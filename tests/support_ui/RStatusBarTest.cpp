// The status bar's panels: as wide as their sample text in the bar's font, never cutting the
// text they show, and the panel that takes the rest never widening the window.

#include "support/ui/RStatusBar.h"

#include "tests/common/TestHelpers.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QMainWindow>

#include <gtest/gtest.h>

#include <string>

namespace {

// The panel shows the whole text: its width holds the text's advance in its own font, the
// frame on either side and the indent a framed label keeps.
void ExpectWhole(const QLabel* label, const QString& text, const std::string& where)
{
    const QFontMetrics metrics(label->font());
    EXPECT_GE(label->contentsRect().width(),
              metrics.horizontalAdvance(text) + metrics.horizontalAdvance(QLatin1Char('x')) / 2)
        << where << ": \"" << text.toStdString() << "\" in " << label->width();
}

class StatusPanels : public ::testing::Test {
protected:
    StatusPanels()
    {
        FBar = new TStatusBar(&FWindow);
        FWindow.setStatusBar(FBar);
        FWindow.setCentralWidget(new QWidget(&FWindow));
    }

    void Show(int width)
    {
        FWindow.resize(width, 200);
        FWindow.show();
        QApplication::processEvents();
    }

    QMainWindow FWindow;
    TStatusBar* FBar = nullptr;
};

TEST_F(StatusPanels, APanelHoldsItsSampleAndNeverCutsItsText)
{
    QString sample = U("Ставок: 9999999");
    const int stakes = FBar->AddPanel(100, [&sample] { return sample; });
    const int plain = FBar->AddPanel(60);
    const int wide = FBar->AddPanel(300, [] { return QStringLiteral("1"); });
    const int message = FBar->AddPanel(-1);
    Show(1400);

    const struct {
        int Panel;
        const char* Text;
    } cases[] = {
        {stakes, "Ставок: 9999999"},
        {stakes, "Ставок: 123456789012"},        // past the sample: wider
        {plain, "Следующий тираж: 1234567"},     // past its width: wider
        {wide, "Рейтинг: 12"},
    };
    for (const auto& c : cases) {
        FBar->SetPanelText(c.Panel, U(c.Text));
        QApplication::processEvents();
        ExpectWhole(FBar->PanelLabel(c.Panel), U(c.Text), c.Text);
    }

    // The sample's width is kept for whatever count comes, so the panels do not jump.
    FBar->SetPanelText(stakes, U("Ставок: 0"));
    QApplication::processEvents();
    const int reserved = FBar->PanelLabel(stakes)->width();
    EXPECT_GT(reserved, 100);
    FBar->SetPanelText(stakes, U("Ставок: 9999999"));
    QApplication::processEvents();
    EXPECT_EQ(FBar->PanelLabel(stakes)->width(), reserved);
    EXPECT_EQ(FBar->PanelWidth(stakes), reserved);
    EXPECT_EQ(FBar->PanelLabel(wide)->width(), 300);
    EXPECT_EQ(FBar->PanelWidth(message), 0);

    // A bigger font and another language measure the sample again: the room is there before
    // the count grows.
    FBar->SetPanelText(stakes, U("Ставок: 0"));
    QFont font = FBar->font();
    font.setPointSize(font.pointSize() * 2);
    FBar->setFont(font);
    QApplication::processEvents();
    ExpectWhole(FBar->PanelLabel(stakes), U("Ставок: 9999999"), "bigger font");
    sample = QStringLiteral("Stakes placed in all: 9999999");
    FBar->SetPanelText(stakes, QStringLiteral("Stakes placed in all: 0"));
    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(FBar->PanelLabel(stakes), &change);
    QApplication::processEvents();
    ExpectWhole(FBar->PanelLabel(stakes), sample, "another language");
}

TEST_F(StatusPanels, ShortOfRoomThePanelsGiveWayToTheirTextsAndTheMessageNeverWidensTheWindow)
{
    const int count = FBar->AddPanel(100, [] { return U("Архив тиражей: 9999999"); });
    const int stakes = FBar->AddPanel(100, [] { return U("Ставок: 9999999"); });
    const int message = FBar->AddPanel(-1);
    FBar->SetPanelText(count, U("Архив тиражей: 3000"));
    FBar->SetPanelText(stakes, U("Ставок: 200003"));
    FBar->SetPanelText(message, U("Построение статистики по дням недели... ").repeated(10));
    Show(1000);
    const int minimum = FWindow.minimumSizeHint().width();
    // The message's length is no part of the window's least width; the counts are.
    EXPECT_LT(minimum, 400);
    Show(minimum);
    ExpectWhole(FBar->PanelLabel(count), U("Архив тиражей: 3000"), "narrow");
    ExpectWhole(FBar->PanelLabel(stakes), U("Ставок: 200003"), "narrow");
}

} // namespace
