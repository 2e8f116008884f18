#include "support/ui/FormUpdateInformer.h"

#include "support/RDialogsScripted.h"
#include "support/RSelfUpdate2.h"
#include "support/RSysUtils.h"
#include "support/ui/FormProgress.h"
#include "tests/common/Screenshot.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

void Put(const QString& path, const QByteArray& bytes)
{
    ASSERT_TRUE(QDir().mkpath(path.left(path.lastIndexOf('/'))));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QString LabelText(const QWidget& form, const char* name)
{
    const auto* label = form.findChild<QLabel*>(name);
    return label ? label->text() : QStringLiteral("<missing>");
}

// Restores the hooks the test replaced.
class THooksGuard {
public:
    THooksGuard() : FSaved(SelfUpdateHooks()) {}
    ~THooksGuard() { SetSelfUpdateHooks(FSaved); }

private:
    TSelfUpdateHooks FSaved;
};

} // namespace

TEST(FormUpdateInformer, ShowsTheVersionsAndTheDescriptionReadOnly)
{
    TfrmUpdateInformer form;
    form.SetVersions("2.2.10.11", "Весенний выпуск: быстрее загрузка тиражей",
                     {"Исправлено:", "- загрузка архива через прокси;", "- печать ставок."});
    EXPECT_EQ(form.windowTitle(), "Найдена новая версия программы");
    EXPECT_EQ(LabelText(form, "lblVersionCur"), "Текущая версия программы:");
    EXPECT_EQ(LabelText(form, "lblVersionNew"), "Новая версия программы:");
    EXPECT_EQ(LabelText(form, "lblVersionDsc"), "Описание версии:");
    EXPECT_EQ(form.OkBtn()->text(), "Установить");
    EXPECT_EQ(form.OkBtn()->toolTip(), "Установить это обновление");
    EXPECT_EQ(form.CancelBtn()->toolTip(), "Отказаться от обновления");
    EXPECT_EQ(form.EdVersionCur()->text(), "2.2.10.11");
    EXPECT_EQ(form.EdVersionNew()->text(), "Весенний выпуск: быстрее загрузка тиражей");
    EXPECT_EQ(form.EdVersionDsc()->toPlainText(), "Исправлено:\n- загрузка архива через прокси;\n- печать ставок.");
    EXPECT_TRUE(form.EdVersionCur()->isReadOnly());
    EXPECT_TRUE(form.EdVersionNew()->isReadOnly());
    EXPECT_TRUE(form.EdVersionDsc()->isReadOnly());
    EXPECT_EQ(form.EdVersionDsc()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    // A language change keeps the dialog's own button text.
    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(&form, &change);
    EXPECT_EQ(form.OkBtn()->text(), "Установить");

    EXPECT_FALSE(SaveScreenshot(&form, "update_informer", form.size()).isEmpty());
}

TEST(FormUpdateInformer, TheCheckShowsItAfterTheSearchAndCancelInstallsNothing)
{
    THooksGuard guard;
    QTemporaryDir root;
    const QString prog = root.filePath("prog/");
    Put(prog + "Tavrix2_2r10", "old program");
    Put(root.filePath("cfg/UpdDescr/UpdDescr_2.2.10.12.txt"), "Новые отчёты");
    Put(root.filePath("cfg/Kelma_AU.cfg"), "[Tavrix2_2r10]\r\nVerId=2.2.10.12\r\nDescription=Summer\r\n"
                                           "DownloadUrl=/nowhere/p.upd\r\nOriginalFileName=setup.sh\r\n");
    OverrideAppFileName(prog + "Tavrix2_2r10");
    TSelfUpdateHooks hooks = SelfUpdateHooks();
    hooks.RunningVersion = [] { return QStringLiteral("2.2.10.11"); };
    SetSelfUpdateHooks(hooks);
    InstallSelfUpdateWindows();

    bool seen = false;
    bool progressDuringInformer = true;
    QString current, next, description;
    // The search processes events too, so the informer is looked for until it is up.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* form = qobject_cast<TfrmUpdateInformer*>(QApplication::activeModalWidget());
        if (!form)
            return;
        poll.stop();
        seen = true;
        progressDuringInformer = ProgressForm() != nullptr;
        current = form->EdVersionCur()->text();
        next = form->EdVersionNew()->text();
        description = form->EdVersionDsc()->toPlainText();
        form->CancelBtn()->click();
    });
    poll.start(10);
    TScriptedBoxes boxes;
    const int result = CheckForUpdates(root.filePath("cfg/Kelma_AU.cfg"), false, 0);
    OverrideAppFileName(QString());

    EXPECT_EQ(result, kSuNothingInstalled);
    ASSERT_TRUE(seen);
    EXPECT_FALSE(progressDuringInformer);
    EXPECT_EQ(current, "2.2.10.11");
    EXPECT_EQ(next, "Summer");
    EXPECT_EQ(description, "Новые отчёты");
    EXPECT_TRUE(boxes.Boxes().isEmpty());
    EXPECT_EQ(ProgressForm(), nullptr);
    EXPECT_FALSE(QDir(prog + "SelfUpdate").exists());
}

TEST(FormUpdateInformer, ProgressOfAnotherOperationIsLeftAlone)
{
    THooksGuard guard;
    InstallSelfUpdateWindows();
    ShowProgress("Другая операция", 3, false);
    TFormProgress* other = ProgressForm();
    SelfUpdateHooks().Progress.Show("Поиск", 5);
    SelfUpdateHooks().Progress.Step();
    SelfUpdateHooks().Progress.Hide();
    EXPECT_EQ(ProgressForm(), other);
    EXPECT_EQ(other->Gauge()->value(), 0);
    HideProgress();

    SelfUpdateHooks().Progress.Show("Поиск", 5);
    ASSERT_NE(ProgressForm(), nullptr);
    SelfUpdateHooks().Progress.Step();
    EXPECT_EQ(ProgressForm()->Gauge()->value(), 1);
    SelfUpdateHooks().Progress.Hide();
    EXPECT_EQ(ProgressForm(), nullptr);
}
