#include "support/ui/FormProgress.h"

#include "platform/Exceptions.h"

#include <QLabel>
#include <QProgressBar>

#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// The state of the one progress window, to compare in one line.
struct TShown {
    bool Exists = false;
    QString Text;
    int Value = 0;
    int Maximum = 0;
    bool operator==(const TShown&) const = default;
};

TShown Shown()
{
    const TFormProgress* form = ProgressForm();
    if (!form)
        return {};
    return {true, form->Text()->text(), form->Gauge()->value(), form->Maximum()};
}

void PrintTo(const TShown& s, std::ostream* os)
{
    *os << (s.Exists ? "window \"" + s.Text.toStdString() + "\" " + std::to_string(s.Value) + "/"
                           + std::to_string(s.Maximum)
                     : std::string("no window"));
}

class ProgressScopeTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        // A failed expectation must not leave a window for the next test.
        HideProgress();
    }
};

} // namespace

TEST_F(ProgressScopeTest, OwnWindowIsShownSteppedAndHiddenOnEveryWayOut)
{
    enum class TExit { End, Exception, EarlyHide };
    struct TCase {
        const char* Name;
        TExit Exit;
    } const cases[] = {
        {"the scope's end", TExit::End},
        {"an exception", TExit::Exception},
        {"an early hide", TExit::EarlyHide},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        try {
            TProgressScope progress("Сбор статистики", 3);
            EXPECT_TRUE(progress.Owns());
            EXPECT_EQ(Shown(), (TShown{true, "Сбор статистики", 0, 3}));
            progress.Step();
            progress.Step(2);
            EXPECT_EQ(Shown(), (TShown{true, "Сбор статистики", 3, 3}));
            if (c.Exit == TExit::Exception)
                throw std::runtime_error("сбой");
            if (c.Exit == TExit::EarlyHide) {
                progress.Hide();
                EXPECT_FALSE(progress.Owns());
                EXPECT_EQ(Shown(), TShown{});
                // A window shown after the early hide is another's: neither steps nor the
                // scope's end reach it.
                ShowProgress("Другая", 4, false);
                progress.Step();
                progress.Hide();
            }
        } catch (const std::runtime_error&) {
        }
        if (c.Exit == TExit::EarlyHide) {
            EXPECT_EQ(Shown(), (TShown{true, "Другая", 0, 4}));
            HideProgress();
        }
        EXPECT_EQ(Shown(), TShown{});
    }
}

TEST_F(ProgressScopeTest, WindowOfAnEnclosingOperationIsLeftAsItIs)
{
    ShowProgress("Экспорт", 10, false);
    StepProgress(2);
    {
        // No "window exists already" error: the inner operation runs under the outer window.
        TProgressScope inner("Вложенная операция", 5);
        EXPECT_FALSE(inner.Owns());
        inner.Step(3);
        inner.Hide();
        EXPECT_EQ(Shown(), (TShown{true, "Экспорт", 2, 10}));
    }
    EXPECT_EQ(Shown(), (TShown{true, "Экспорт", 2, 10}));
    HideProgress();
    EXPECT_EQ(Shown(), TShown{});
}

TEST_F(ProgressScopeTest, FunctionsOpenOneScopeAtATime)
{
    struct TCall {
        char Op;   // 's' show, 't' step, 'h' hide, 'o' another operation's window
        const char* Text;
        int Maximum;
        TShown After;
    };
    struct TCase {
        const char* Name;
        std::vector<TCall> Calls;
    } const cases[] = {
        {"steps and hides without a show do nothing",
         {{'t', "", 0, {}}, {'h', "", 0, {}}}},
        {"a show, two steps and a hide",
         {{'s', "Поиск", 5, {true, "Поиск", 0, 5}},
          {'t', "", 0, {true, "Поиск", 1, 5}},
          {'t', "", 0, {true, "Поиск", 2, 5}},
          {'h', "", 0, {}},
          {'t', "", 0, {}}}},
        // A second show without a hide ends the first scope before the second begins, so the
        // first window does not pass for another operation's and stay up for ever.
        {"a second show replaces the first window",
         {{'s', "Поиск", 5, {true, "Поиск", 0, 5}},
          {'t', "", 0, {true, "Поиск", 1, 5}},
          {'s', "Установка", 14, {true, "Установка", 0, 14}},
          {'h', "", 0, {}}}},
        {"another operation's window is neither stepped nor hidden",
         {{'o', "Другая", 3, {true, "Другая", 0, 3}},
          {'s', "Поиск", 5, {true, "Другая", 0, 3}},
          {'t', "", 0, {true, "Другая", 0, 3}},
          {'h', "", 0, {true, "Другая", 0, 3}}}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TProgressFunctions progress = ScopedProgressFunctions();
        for (std::size_t i = 0; i < c.Calls.size(); ++i) {
            SCOPED_TRACE(i);
            const TCall& call = c.Calls[i];
            switch (call.Op) {
            case 's':
                progress.Show(call.Text, call.Maximum);
                break;
            case 't':
                progress.Step();
                break;
            case 'h':
                progress.Hide();
                break;
            case 'o':
                ShowProgress(call.Text, call.Maximum, false);
                break;
            }
            EXPECT_EQ(Shown(), call.After);
        }
        HideProgress();
    }
}

TEST_F(ProgressScopeTest, FunctionsOutlivedByTheirWindowHideItWhenTheLastCopyGoes)
{
    {
        const TProgressFunctions progress = ScopedProgressFunctions();
        const TProgressFunctions copy = progress;
        copy.Show("Предвыборка", 2);
        EXPECT_TRUE(Shown().Exists);
    }
    // Nobody can hide the window any more: the functions' scope goes with the last copy.
    EXPECT_EQ(Shown(), TShown{});
}
