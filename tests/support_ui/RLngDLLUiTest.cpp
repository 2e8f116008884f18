// Qt's own texts of the message boxes in the interface language.

#include "support/RLngDLL.h"
#include "support/RSysUtils.h"
#include "support/ui/RDialogsUi.h"
#include "tests/common/LanguageModules.h"
#include "tests/common/TestHelpers.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QMessageBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class QtTextsOfBoxes : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        // An English module; its one text does not matter here, only that it is a valid module.
        const QByteArray module = CompileLanguageModule("en_US", {{"RDialogs", "Ошибка", "Error"}});
        ASSERT_FALSE(module.isEmpty());
        WriteFileBytes(FDir.filePath("Prog_ENU.lng"), module);
        OverrideAppFileName(FDir.filePath("Prog"));
    }
    void TearDown() override
    {
        DoneLanguages();
        OverrideAppFileName(QString());
    }

    static std::unique_ptr<QMessageBox> Question()
    {
        return CreateQtMessageBox({TBoxIcon::Question, "Подтверждение", "Удалить?", TBoxButtons::YesNo, IDNO, 292},
                                  nullptr);
    }
    static QString Text(const QMessageBox& box, QMessageBox::StandardButton button)
    {
        return box.button(button)->text();
    }

    QTemporaryDir FDir;
};

} // namespace

TEST_F(QtTextsOfBoxes, ButtonsSpeakTheInterfaceLanguageAlsoInAnOpenBox)
{
    InitLanguages(1049, 1049);
    const auto question = Question();
    EXPECT_EQ(Text(*question, QMessageBox::Yes), "&Да");
    EXPECT_EQ(Text(*question, QMessageBox::No), "&Нет");
    // Windows hear of the change through a posted event, as in the running program.
    ASSERT_EQ(SetLanguage(1033, true), 1033u);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    EXPECT_EQ(Text(*question, QMessageBox::Yes), "&Yes");
    EXPECT_EQ(Text(*Question(), QMessageBox::No), "&No");
    ASSERT_EQ(SetLanguage(1049, true), 1049u);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    EXPECT_EQ(Text(*question, QMessageBox::No), "&Нет");
}
