#include "app/core/stakes/StakesLog.h"

#include "engine/KelmaMsg.h"
#include "engine/PrjConst.h"
#include "platform/Cp1251.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/SaveFile.h"
#include "platform/SysErrorText.h"
#include "support/RDateUtils.h"

#include <QFile>
#include <QFileInfo>

namespace {

QString DigitsText(const TDigitsRec& digits)
{
    QStringList parts;
    for (int i = 0; i < digits.UsedCount(); ++i)
        parts << QString::number(digits.Digits[static_cast<size_t>(i)]);
    return parts.join(QLatin1Char(';'));
}

}  // namespace

QString TStakesLog::FileName(int matched) const
{
    return FFolder + QLatin1String(ProgramFileName) + QLatin1Char('-') + QString::number(matched)
           + QLatin1String(".log");
}

QString TStakesLog::FileMask()
{
    return QLatin1String(ProgramFileName) + QLatin1String("-*.log");
}

QString TStakesLog::LineText(const TStakeRec& rec, TDateTime now)
{
    const QString result = QString::number(CombDigit1(rec.DrawResult)) + QLatin1Char(';')
                           + QString::number(CombDigit2(rec.DrawResult));
    return FormatDateTime(QStringLiteral("yyyy.mm.dd hh:nn:ss"), now) + QLatin1String(": ")
           + Format(LoadResString(rsStakesLogLine),
                    {QString::number(rec.DrawNumber), rec.Comment.Get(), DigitsText(rec.Digits),
                     rec.SelectionSize, result, rec.Matches.Count, rec.Balance});
}

QStringList TStakesLog::Write(const TStakeRec& rec) const
{
    QStringList errors;
    if (!Enabled || rec.Checked == 0 || rec.Matches.Count < 0 || rec.Matches.Count > 2)
        return errors;
    const QString name = FileName(rec.Matches.Count);
    if (QFileInfo(name).size() > MaxFileSize) {
        QFile old(name);
        if (!old.remove())
            errors << Format(LoadResString(rsFileDeleteError), {name, FileErrorText(old)});
    }
    const QByteArray line = EncodeCp1251(LineText(rec, ClockNow())) + "\r\n";
    try {
        AppendToFile(name, line);
    } catch (const Exception& e) {
        errors << Format(LoadResString(rsFileWriteError), {name, e.Message()});
    }
    return errors;
}
