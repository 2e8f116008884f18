#include "platform/DateTime.h"
#include "platform/DelphiText.h"
#include "support/ui/rExpXls.h"

#include <QCalendarWidget>
#include <QDate>
#include <QDateEdit>
#include <QDateTime>
#include <QLocale>
#include <QToolButton>

#include <gtest/gtest.h>

#include <clocale>
#include <csignal>

namespace {

// The machine's own number conventions, as the environment of the run names them.
QLocale MachineNumbers()
{
    QByteArray name = qgetenv("LC_ALL");
    if (name.isEmpty())
        name = qgetenv("LC_NUMERIC");
    if (name.isEmpty())
        name = qgetenv("LANG");
    return QLocale(QString::fromLatin1(name.isEmpty() ? QByteArray("C") : name));
}

const QDate kMonday(2026, 12, 7);

} // namespace

// Dates and the names of months and days read in Russian whatever the machine's locale: the
// long date of the draw dialog, the calendar, the report line of a workbook, the dates of the
// file dialogs (which ask the system locale itself).
TEST(InterfaceLocale, DatesAndNamesAreRussian)
{
    const QDateTime evening(kMonday, QTime(18, 46, 32));
    struct TCase {
        const char* Name;
        QString Actual;
        const char* Expected;
    } const cases[] = {
        {"long date", QLocale().toString(kMonday, QLocale::LongFormat), "понедельник, 7 декабря 2026 г."},
        {"short date", QLocale().toString(kMonday, QLocale::ShortFormat), "07.12.2026"},
        {"month", QLocale().standaloneMonthName(12), "декабрь"},
        {"day", QLocale().dayName(1, QLocale::ShortFormat), "пн"},
        {"file dialog date", QLocale::system().toString(evening, QLocale::ShortFormat), "07.12.2026 18:46"},
        {"workbook report line", ExpXlsCreatedLine(evening), "Отчет построен: 07.12.2026 18:46:32."},
        {"day name of a format", FormatDateTime(QStringLiteral("dddd"), EncodeDate(2026, 12, 7)), "понедельник"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(c.Actual, QString::fromUtf8(c.Expected)) << c.Name;

    // The draw dialog's date editor shows the locale's long date.
    QDateEdit edit;
    edit.setDisplayFormat(QLocale().dateFormat(QLocale::LongFormat));
    edit.setDate(kMonday);
    EXPECT_EQ(edit.text(), QString::fromUtf8("понедельник, 7 декабря 2026 г."));

    QCalendarWidget calendar;
    calendar.setSelectedDate(kMonday);
    const auto* month = calendar.findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
    ASSERT_NE(month, nullptr);
    EXPECT_EQ(month->text(), QString::fromUtf8("декабрь"));
}

// Numbers keep the machine's conventions: the decimal separator and what the platform's
// Delphi rules write with it do not change with the interface.
TEST(InterfaceLocale, NumbersFollowTheMachine)
{
    const QChar point = MachineNumbers().decimalPoint().at(0);
    EXPECT_EQ(DecimalSeparator(), point);
    EXPECT_EQ(FormatFloat(QStringLiteral("0.00"), 1.5L), QStringLiteral("1") + point + QStringLiteral("50"));
    EXPECT_EQ(Format(QStringLiteral("%.1f"), {2.5}), QStringLiteral("2") + point + QStringLiteral("5"));
    EXPECT_EQ(QLocale().toString(0.5), QStringLiteral("0") + point + QStringLiteral("5"));
}

// The process's environment, which the C library and the programs it starts read, is what it
// was; a data file past the size limit fails its write instead of ending the process.
TEST(InterfaceLocale, TheProcessKeepsItsEnvironment)
{
    EXPECT_FALSE(qEnvironmentVariableIsSet("LC_TIME"));
    EXPECT_FALSE(qEnvironmentVariableIsSet("LC_MESSAGES"));
    EXPECT_FALSE(qEnvironmentVariableIsSet("LANGUAGE"));
    const char* time = std::setlocale(LC_TIME, nullptr);
    ASSERT_NE(time, nullptr);
    EXPECT_STRNE(time, "ru_RU.UTF-8");
    EXPECT_EQ(std::signal(SIGXFSZ, SIG_IGN), SIG_IGN);
}
