// The message tables hold the texts the program fetches, each once: a name that no code of the
// program fetches any more, or a text that two names of one context hold, fails here. The
// tables and the code are read as text from the source tree.

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace {

// A source text with its comments and the contents of its string and character literals
// blanked (offsets kept), and the literals themselves.
struct TLexed {
    QString Code;
    struct TLiteral {
        qsizetype At = 0;
        QString Text;   // as written between the quotes, escapes kept
    };
    std::vector<TLiteral> Literals;
};

TLexed Lex(const QString& source)
{
    TLexed lexed;
    lexed.Code = source;
    QString& code = lexed.Code;
    qsizetype i = 0;
    const qsizetype n = code.size();
    const auto blank = [&code](qsizetype at) {
        if (code[at] != QLatin1Char('\n'))
            code[at] = QLatin1Char(' ');
    };
    while (i < n) {
        const QChar c = code[i];
        if (c == QLatin1Char('/') && i + 1 < n && code[i + 1] == QLatin1Char('/')) {
            while (i < n && code[i] != QLatin1Char('\n'))
                blank(i++);
        } else if (c == QLatin1Char('/') && i + 1 < n && code[i + 1] == QLatin1Char('*')) {
            const qsizetype end = code.indexOf(QLatin1String("*/"), i + 2);
            const qsizetype stop = end < 0 ? n : end + 2;
            while (i < stop)
                blank(i++);
        } else if (c == QLatin1Char('\'') && i > 0 && code[i - 1].isDigit()) {
            ++i;   // a digit separator: 10'000
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const qsizetype start = ++i;
            while (i < n && code[i] != c && code[i] != QLatin1Char('\n')) {
                if (code[i] == QLatin1Char('\\') && i + 1 < n)
                    ++i;
                ++i;
            }
            if (c == QLatin1Char('"'))
                lexed.Literals.push_back({start - 1, source.mid(start, i - start)});
            for (qsizetype k = start; k < i && k < n; ++k)
                blank(k);
            ++i;
        } else {
            ++i;
        }
    }
    return lexed;
}

QSet<QString> Identifiers(const QString& code)
{
    static const QRegularExpression word(QStringLiteral("[A-Za-z_][A-Za-z0-9_]*"));
    QSet<QString> names;
    for (auto it = word.globalMatch(code); it.hasNext();)
        names.insert(it.next().captured());
    return names;
}

// One name of a table: what its definition names, and the text it defines (none for an alias
// or an indexed table).
struct TTableName {
    QString Name;
    QSet<QString> Uses;
    QString Context;
    QString Text;
};

std::vector<TTableName> ScanTable(const QString& source)
{
    static const QRegularExpression definition(
        QStringLiteral(R"(\binline\s+constexpr\s+(?:TResString|std::array<\s*TResString\s*,\s*\d+\s*>)\s+(\w+))"));
    const TLexed lexed = Lex(source);
    std::vector<std::pair<QString, qsizetype>> starts;   // name, end of the name
    std::vector<qsizetype> begins;
    for (auto it = definition.globalMatch(lexed.Code); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        starts.emplace_back(m.captured(1), m.capturedEnd(1));
        begins.push_back(m.capturedStart());
    }
    std::vector<TTableName> names;
    for (std::size_t k = 0; k < starts.size(); ++k) {
        const qsizetype from = starts[k].second;
        const qsizetype to = k + 1 < starts.size() ? begins[k + 1] : lexed.Code.size();
        const QString body = lexed.Code.mid(from, to - from);
        TTableName name;
        name.Name = starts[k].first;
        name.Uses = Identifiers(body);
        QStringList literals;
        for (const TLexed::TLiteral& literal : lexed.Literals)
            if (literal.At >= from && literal.At < to)
                literals.append(literal.Text);
        if (name.Uses.contains(QStringLiteral("KELMA_MSG"))) {
            name.Context = QStringLiteral("KelmaMsg");
            name.Text = literals.join(QString());
        } else if (name.Uses.contains(QStringLiteral("RESSTR")) && !literals.isEmpty()) {
            name.Context = literals.takeFirst();
            name.Text = literals.join(QString());
        }
        names.push_back(name);
    }
    return names;
}

// The names of the tables that no code fetches: neither a source file nor the definition of a
// name that is fetched names them.
QStringList UnusedNames(const std::vector<TTableName>& tables, const QSet<QString>& sourceIdentifiers)
{
    QSet<QString> used;
    for (const TTableName& name : tables)
        if (sourceIdentifiers.contains(name.Name))
            used.insert(name.Name);
    for (bool grew = true; grew;) {
        grew = false;
        for (const TTableName& name : tables) {
            if (!used.contains(name.Name))
                continue;
            for (const TTableName& other : tables) {
                if (!used.contains(other.Name) && name.Uses.contains(other.Name)) {
                    used.insert(other.Name);
                    grew = true;
                }
            }
        }
    }
    QStringList unused;
    for (const TTableName& name : tables)
        if (!used.contains(name.Name))
            unused.append(name.Name);
    return unused;
}

// "context: text" held by more than one name, with the names.
QStringList TextsHeldTwice(const std::vector<TTableName>& tables)
{
    QMap<QString, QStringList> holders;
    for (const TTableName& name : tables)
        if (!name.Context.isEmpty())
            holders[name.Context + QStringLiteral(": ") + name.Text].append(name.Name);
    QStringList twice;
    for (auto it = holders.cbegin(); it != holders.cend(); ++it)
        if (it.value().size() > 1)
            twice.append(it.key() + QStringLiteral(" <- ") + it.value().join(QStringLiteral(", ")));
    return twice;
}

QString ReadSource(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QString SourceDir()
{
    return QStringLiteral(TAVRIX_SOURCE_DIR);
}

// The message tables of the program: the engine's table with its sections, and the texts the
// support units share.
QStringList TableFiles()
{
    QStringList files;
    const QDir engine(SourceDir() + QStringLiteral("/engine"));
    for (const QString& name : engine.entryList({QStringLiteral("KelmaMsg*.h")}, QDir::Files, QDir::Name))
        files.append(engine.filePath(name));
    files.append(SourceDir() + QStringLiteral("/support/RMsgRu.h"));
    return files;
}

} // namespace

TEST(KelmaMsgUsage, ScannerFindsNamesTextsAndUses)
{
    const QString table = QStringLiteral(
        "// rsInComment = KELMA_MSG(\"not a definition\")\n"
        "inline constexpr TResString rsA = KELMA_MSG(\"A; \\\"quoted\\\" // not a comment\");\n"
        "inline constexpr TResString rsB = KELMA_MSG(\n    \"first \"\n    \"second\");\n"
        "// the next one names rsA only in this comment\n"
        "inline constexpr TResString rsC = rsB;\n"
        "inline constexpr TResString SD = RESSTR(\"RMsgRu\", \"http://x/\");\n"
        "inline constexpr std::array<TResString, 2> rsList{\n    rsA, rsB,\n};\n");
    const std::vector<TTableName> names = ScanTable(table);
    ASSERT_EQ(names.size(), 5u);
    struct TExpect {
        const char* Name;
        const char* Context;
        const char* Text;
    };
    const TExpect expected[] = {
        {"rsA", "KelmaMsg", "A; \\\"quoted\\\" // not a comment"},
        {"rsB", "KelmaMsg", "first second"},
        {"rsC", "", ""},
        {"SD", "RMsgRu", "http://x/"},
        {"rsList", "", ""},
    };
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(expected[i].Name);
        EXPECT_EQ(names[i].Name, QString::fromUtf8(expected[i].Name));
        EXPECT_EQ(names[i].Context, QString::fromUtf8(expected[i].Context));
        EXPECT_EQ(names[i].Text, QString::fromUtf8(expected[i].Text));
    }
    EXPECT_TRUE(names[2].Uses.contains(QStringLiteral("rsB")));
    EXPECT_FALSE(names[2].Uses.contains(QStringLiteral("rsA")));
    EXPECT_TRUE(names[4].Uses.contains(QStringLiteral("rsA")));
}

TEST(KelmaMsgUsage, UnusedNamesAndTextsHeldTwiceAreFound)
{
    const std::vector<TTableName> table = ScanTable(QStringLiteral(
        "inline constexpr TResString rsA = KELMA_MSG(\"A\");\n"
        "inline constexpr TResString rsB = KELMA_MSG(\"B\");\n"
        "inline constexpr TResString rsC = KELMA_MSG(\"C\");\n"
        "inline constexpr TResString rsAlias = rsC;\n"
        "inline constexpr std::array<TResString, 1> rsList{rsB};\n"
        "inline constexpr TResString SX = RESSTR(\"Other\", \"A\");\n"));
    struct TCase {
        const char* Source;
        const char* Unused;
    };
    const TCase cases[] = {
        // Nothing fetched: every name is unused.
        {"", "rsA rsB rsC rsAlias rsList SX"},
        // A name in a comment or a text is not a use.
        {"// LoadResString(rsA)\nQString s = \"rsB\";", "rsA rsB rsC rsAlias rsList SX"},
        // A fetched table uses its entries, a fetched alias the name it stands for.
        {"LoadResString(rsList[0]); LoadResString(rsAlias);", "rsA SX"},
        // The entries of a table no code fetches are unused with it.
        {"LoadResString(rsA); LoadResString(rsC); LoadResString(SX);", "rsB rsAlias rsList"},
        // Digit separators and character literals do not hide the code after them.
        {"int k = 10'000; LoadResString(rsA); QChar c = u'\\''; LoadResString(SX);", "rsB rsC rsAlias rsList"},
        {"rsA rsB rsC rsAlias rsList SX", ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Source);
        const QString unused = UnusedNames(table, Identifiers(Lex(QString::fromUtf8(c.Source)).Code)).join(QLatin1Char(' '));
        EXPECT_EQ(unused, QString::fromUtf8(c.Unused));
    }
    // "A" of another context is another text; a second "C" of the same context is not.
    EXPECT_TRUE(TextsHeldTwice(table).isEmpty());
    std::vector<TTableName> twice = table;
    twice.push_back(ScanTable(QStringLiteral("inline constexpr TResString rsC2 = KELMA_MSG(\"C\");")).front());
    EXPECT_EQ(TextsHeldTwice(twice), QStringList{QStringLiteral("KelmaMsg: C <- rsC, rsC2")});
}

TEST(KelmaMsgUsage, EveryTextOfTheTablesIsFetchedAndDefinedOnce)
{
    std::vector<TTableName> tables;
    QSet<QString> tablePaths;
    for (const QString& path : TableFiles()) {
        const QString source = ReadSource(path);
        ASSERT_FALSE(source.isEmpty()) << path.toStdString();
        const std::vector<TTableName> names = ScanTable(source);
        tables.insert(tables.end(), names.begin(), names.end());
        tablePaths.insert(QFileInfo(path).canonicalFilePath());
    }
    // The scan reads the tables as they are written: a few hundred names, among them the ones
    // fetched by index.
    ASSERT_GT(tables.size(), 400u);
    QSet<QString> defined;
    for (const TTableName& name : tables)
        defined.insert(name.Name);
    for (const char* known : {"rsBadCombination", "rsGroupNames", "rsLevelModeCaptions", "SFileNotFound"})
        EXPECT_TRUE(defined.contains(QString::fromLatin1(known))) << known;

    // The program's own code: the layers, without the tests and benchmarks.
    QSet<QString> identifiers;
    int files = 0;
    for (const char* folder : {"app", "engine", "support", "platform"}) {
        QDirIterator it(SourceDir() + QLatin1Char('/') + QLatin1String(folder),
                        {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (tablePaths.contains(QFileInfo(path).canonicalFilePath()))
                continue;
            identifiers.unite(Identifiers(Lex(ReadSource(path)).Code));
            ++files;
        }
    }
    ASSERT_GT(files, 100);

    const QStringList unused = UnusedNames(tables, identifiers);
    EXPECT_TRUE(unused.isEmpty()) << "names no code fetches: " << unused.join(QStringLiteral(", ")).toStdString();
    const QStringList twice = TextsHeldTwice(tables);
    EXPECT_TRUE(twice.isEmpty()) << "texts defined under two names: " << twice.join(QStringLiteral("; ")).toStdString();
}
