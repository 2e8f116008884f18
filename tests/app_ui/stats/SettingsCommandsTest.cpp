// The two settings commands of the file menu as the window carries them out: what they make anew
// and what they repaint once the dialog is confirmed.

#include "app/ui/shell/FormMain.h"
#include "app/ui/shell/ProgramEnv.h"
#include "app/ui/stats/UnitConfig.h"
#include "app/ui/archive/UnitInfo.h"
#include "app/ui/stats/UnitShredding.h"
#include "support/RDialogsScripted.h"
#include "support/ui/QorListView.h"
#include "support/ui/RActions.h"
#include "tests/app_ui/shell/MainWindowTestEnv.h"
#include "tests/common/EventCounter.h"
#include "tests/common/TestHelpers.h"
#include "tests/fixtures/ArchiveFixtures.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

QStringList Items(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    return items;
}

int IndexContaining(const QComboBox* box, const QString& text)
{
    for (int i = 0; i < box->count(); ++i)
        if (box->itemText(i).contains(text))
            return i;
    return -1;
}

class SettingsCommandsTest : public MainWindowTest {
protected:
    SettingsCommandsTest() { FFolder.WriteArchive(SixDrawArchive()); }

    std::unique_ptr<TFormMain> Open()
    {
        auto form = MainWindowTest::Open();
        form->Actions()->UpdateAll();
        return form;
    }
};

TEST_F(SettingsCommandsTest, NewShreddingFormulaNamesItsMethodAtOnceEverywhere)
{
    auto form = Open();
    auto* methods = form->findChild<QComboBox*>(QStringLiteral("cbDrawsStatType"));
    auto* graphs = form->findChild<QComboBox*>(QStringLiteral("cbDrawsGraphType"));
    ASSERT_NE(methods, nullptr);
    ASSERT_NE(graphs, nullptr);
    // The first formula's method, chosen in the statistics table.
    const int chosen = IndexContaining(methods, QStringLiteral("n1/n2"));
    ASSERT_GE(chosen, 0) << Items(methods).join('|').toStdString();
    methods->setCurrentIndex(chosen);
    const int graphChosen = graphs->currentIndex();
    const int count = methods->count();

    WhenModal([](TDialogSTemplate& dialog) {
        auto& shredding = static_cast<TFormShredding&>(dialog);
        shredding.edFormula[0]->setText(QStringLiteral("n1*n2+p1"));
        EXPECT_TRUE(PressOk(shredding));
    });
    ASSERT_TRUE(form->Actions()->Execute(QStringLiteral("EditShredding")));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());

    // The lists are filled anew with the same choice, which now names the new formula.
    EXPECT_EQ(methods->count(), count);
    EXPECT_EQ(methods->currentIndex(), chosen);
    EXPECT_TRUE(methods->currentText().contains(QStringLiteral("n1*n2+p1"))) << methods->currentText().toStdString();
    EXPECT_EQ(IndexContaining(methods, QStringLiteral("n1/n2")), -1);
    EXPECT_EQ(graphs->currentIndex(), graphChosen);
    EXPECT_GE(IndexContaining(graphs, QStringLiteral("n1*n2+p1")), 0);
    EXPECT_EQ(IndexContaining(graphs, QStringLiteral("n1/n2")), -1);

    // The draw's details name it too.
    QStringList captions;
    const TModalFormHandler previous = SetModalFormHandler([&](QDialog& dialog) {
        if (auto* info = qobject_cast<TFormInfo*>(&dialog))
            for (int row = 0; row < info->Props()->Items()->Count(); ++row)
                captions.append(info->Props()->Items()->CellText(row, 0));
        return int(QDialog::Rejected);
    });
    auto* draws = form->findChild<TRListView*>(QStringLiteral("lvDraws"));
    draws->setCurrentIndex(draws->model()->index(0, 0));
    form->Actions()->UpdateAll();
    ASSERT_TRUE(form->Actions()->Execute(QStringLiteral("DrawsInfo")));
    SetModalFormHandler(previous);
    EXPECT_TRUE(captions.filter(QStringLiteral("n1*n2+p1")).size() == 1) << captions.join('|').toStdString();
    EXPECT_TRUE(captions.filter(QStringLiteral("n1/n2")).isEmpty());
}

TEST_F(SettingsCommandsTest, SettingsConfirmedRepaintTheDrawAndCombinationLists)
{
    auto form = Open();
    auto* draws = form->findChild<TRListView*>(QStringLiteral("lvDraws"));
    auto* combs = form->findChild<TRListView*>(QStringLiteral("lvCombs"));
    TEventCounter drawsPaints(QEvent::Paint);
    TEventCounter combsPaints(QEvent::Paint);
    draws->viewport()->installEventFilter(&drawsPaints);
    combs->viewport()->installEventFilter(&combsPaints);
    // Both lists are in sight, side by side with the statistics.
    auto* lists = form->findChild<QTabWidget*>(QStringLiteral("pcLists"));
    struct TCase {
        const char* Page;
        TRListView* List;
        TEventCounter* Paints;
    };
    const TCase cases[] = {{"tsDraws", draws, &drawsPaints}, {"tsCombs", combs, &combsPaints}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Page);
        lists->setCurrentWidget(form->findChild<QWidget*>(QLatin1String(c.Page)));
        QApplication::processEvents();
        c.Paints->Count = 0;
        // Another channel size colours the digits otherwise: the list must be painted anew.
        WhenModal([](TDialogSTemplate& dialog) {
            auto& config = static_cast<TFormConfig&>(dialog);
            config.edChannelSize->setValue(config.edChannelSize->value() == 3 ? 4 : 3);
            EXPECT_TRUE(PressOk(config));
        });
        ASSERT_TRUE(form->Actions()->Execute(QStringLiteral("EditConfig")));
        EXPECT_TRUE(WaitUntil([&] { return c.Paints->Count > 0; }, 2000));
    }
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

} // namespace
