#include "support/RStrUtils.h"

#include "platform/WordUtils.h"

#include <gtest/gtest.h>

TEST(RStrUtils, AddDelimStrJoinsOnlyNonEmptyParts)
{
    EXPECT_EQ(AddDelimStr("a", "", ";"), "a");
    EXPECT_EQ(AddDelimStr("", "b", ";"), "b");
    EXPECT_EQ(AddDelimStr("", "", ";"), "");
    EXPECT_EQ(AddDelimStr("a", "b", "; "), "a; b");
    EXPECT_EQ(AddDelimStr("*.lcv", "*.txt", ";"), "*.lcv;*.txt");
}

TEST(RStrUtils, StrToCStrEscapesControlsQuotesAndBackslash)
{
    EXPECT_EQ(StrToCStr("\r\n"), "\\r\\n");
    EXPECT_EQ(StrToCStr("\t"), "\\t");
    EXPECT_EQ(StrToCStr("Ж"), "Ж");
    EXPECT_EQ(StrToCStr(QString("a") + QChar(0) + QChar(1) + QChar(6) + "b"), "a\\0\\1\\6b");
    EXPECT_EQ(StrToCStr("\a\b\v\f\x1b"), "\\a\\b\\v\\f\\e");
    EXPECT_EQ(StrToCStr("\"q\" 'a' ?"), "\\\"q\\\" \\'a\\' \\?");
    EXPECT_EQ(StrToCStr("C:\\dir"), "C:\\\\dir");
    // Other control characters and everything above the backslash pass unchanged.
    const QString untouched = QString(QChar(14)) + QChar(26) + QChar(28) + QChar(31) + "]^_`{|}~ АЯ";
    EXPECT_EQ(StrToCStr(untouched), untouched);
    EXPECT_EQ(StrToCStr(""), "");
}

TEST(RStrUtils, JoinTextLinesEndsEveryLineWithCrLfAndSplitReadsItBack)
{
    struct TCase {
        QStringList Lines;
        QString Text;
    };
    const TCase cases[] = {
        {{}, ""},
        {{""}, "\r\n"},
        {{"", ""}, "\r\n\r\n"},
        {{"a", "", "b"}, "a\r\n\r\nb\r\n"},
        {{"  blanks kept  "}, "  blanks kept  \r\n"},
        {{"FULL:0#RAND| | | | | | | |Ж"}, "FULL:0#RAND| | | | | | | |Ж\r\n"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text.toStdString());
        EXPECT_EQ(JoinTextLines(c.Lines), c.Text);
        EXPECT_EQ(SplitTextLines(c.Text), c.Lines);
    }
    // The other breaks a text may come with read as the same lines; joined again they are CR LF.
    EXPECT_EQ(JoinTextLines(SplitTextLines("a\nb\rc\r\n\nlast")), "a\r\nb\r\nc\r\n\r\nlast\r\n");
}

TEST(RStrUtils, WebAddressIsHttpOrHttpsFollowedByAHost)
{
    struct TCase {
        const char* Url;
        bool Open;
    };
    const TCase cases[] = {
        {"http://example.org", true},          {"HTTPS://example.org/a?b=1", true},
        {"https://", false},                   {"http:///etc/passwd", false},
        {"file:///etc/passwd", false},         {"javascript:alert(1)", false},
        {"example.org", false},                {"", false},
        {"ftp://example.org", false},          {"http://exa mple.org", false},
        {"http://example.org\n--flag", false}, {" http://example.org", false},
        {"/usr/bin/xterm", false},             {"mailto:a@b.c", false},
        // Addresses of the update configuration and its files.
        {"http://127.0.0.1:8080/files/autoupdates/Kelma_AU.cfg", true},
        {"https://host/files/autoupdates/UpdDescr/", true},
        {"http:/host/a", false},               {"http:host", false},
        {"https:://host", false},              {"https://host/a b.zip", false},
        {"http://host/\x7f", false},           {"http://host/a\tb", false},
        {"https://host/\xc2\xa0", false},      {"http://\xd1\x81\xd0\xb0\xd0\xb9\xd1\x82.\xd1\x80\xd1\x84", true},
        {"/home/user/update/Kelma_AU.cfg", false},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(IsWebAddress(QString::fromUtf8(c.Url)), c.Open) << c.Url;
}

// U+1F600 is two UTF-16 units: a cut between them would leave a lone high surrogate. Marks
// past two a character (U+0301; U+1D167 beyond the first plane) are left out.
TEST(RStrUtils, QuotedExcerptNeverCutsASurrogatePairNorStacksMarks)
{
    const QString face = QString::fromUtf8("ab\xf0\x9f\x98\x80" "cd");
    EXPECT_EQ(QuotedExcerpt(face, 6), face);
    EXPECT_EQ(QuotedExcerpt(face, 3), QStringLiteral("ab") + QChar(0x2026));
    const QString acute(QChar(0x301)), tremolo = QString::fromUcs4(U"\U0001D167");
    EXPECT_EQ(QuotedExcerpt("a" + acute.repeated(39) + "b" + tremolo.repeated(3)), "a" + acute + acute + "b" + tremolo + tremolo);
    EXPECT_EQ(QuotedExcerpt(acute.repeated(5) + "bc", 3), acute + acute + "b" + QChar(0x2026));
}

// Characters that reorder a text or show nothing: a box drops them, a terminal gets escapes.
TEST(RStrUtils, HiddenFormatCharactersAreDroppedWhenShownAndEscapedOnATerminal)
{
    const QString hidden = QString::fromUtf16(u"\u061C\u200B\u200C\u200F\u202A\u202E\u2060\u2064\u2066\u2069\uFEFF");
    const QString neighbours = QString::fromUtf16(u"\u061B\u200A\u2010\u2029\u202F\u2065\u206A\uFEFE");
    EXPECT_EQ(ShownText("a" + hidden + neighbours), "a" + neighbours);
    EXPECT_EQ(TerminalText(hidden.left(2) + hidden.right(1) + neighbours), "\\u061c\\u200b\\ufeff" + neighbours);
}
