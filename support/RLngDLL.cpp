#include "support/RLngDLL.h"

#include "support/RSysUtils.h"

#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/ReadFile.h"
#include "platform/ResString.h"
#include "platform/SysErrorText.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

#include <algorithm>
#include <memory>
#include <cerrno>

namespace {

const TResString SModuleNotFound = RESSTR("RLngDLL", "Языковый модуль \"%s\" не найден!");
const TResString SModuleNotLoaded =
    RESSTR("RLngDLL", "Не удалось загрузить языковый модуль \"%s\"!\n\n%s");

struct TLanguageState {
    LCID Default = 0;
    LCID Current = 0;
    QList<LCID> Modules;
    // The installed module. The translator reads its texts from Data, which therefore lives as
    // long as it; the application object owns the translator and may delete it first.
    QPointer<QTranslator> Translator;
    QByteArray Data;
    // Qt's own texts (standard buttons of message boxes, context menus of edits, ...) in the
    // current language, and the language they were installed for (0: none yet).
    QPointer<QTranslator> QtTranslator;
    LCID QtLanguage = 0;
};

TLanguageState& State()
{
    static TLanguageState state;
    return state;
}

// Back to the built-in texts.
void RemoveModule()
{
    TLanguageState& state = State();
    if (state.Translator) {
        QCoreApplication::removeTranslator(state.Translator);
        delete state.Translator.data();
    }
    state.Translator = nullptr;
    state.Data.clear();
}

void RemoveQtTexts()
{
    TLanguageState& state = State();
    if (state.QtTranslator) {
        QCoreApplication::removeTranslator(state.QtTranslator);
        delete state.QtTranslator.data();
    }
    state.QtTranslator = nullptr;
    state.QtLanguage = 0;
}

// Installs Qt's translations of its own texts for the current language, from the folder Qt was
// installed with. Qt's texts are written in English, so a language without a translation file
// (English among them) simply shows them as they are.
void SyncQtTexts()
{
    TLanguageState& state = State();
    if (state.QtLanguage == state.Current && state.QtLanguage != 0)
        return;
    RemoveQtTexts();
    if (!QCoreApplication::instance() || state.Current == 0)
        return;
    state.QtLanguage = state.Current;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(GetLanguageLocale(state.Current), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return;
    translator->setParent(QCoreApplication::instance());
    QCoreApplication::installTranslator(translator.get());
    state.QtTranslator = translator.release();
}

// The translations of every text of the program take a few hundred kilobytes.
constexpr qint64 kMaxModuleBytes = 16 * 1024 * 1024;

[[noreturn]] void RaiseNotLoaded(const QString& fileName, const QString& reason)
{
    throw Exception(Format(LoadResString(SModuleNotLoaded), {fileName, reason}));
}

QString WithoutExtension(const QString& fileName)
{
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot > slash ? fileName.left(dot) : fileName;
}

} // namespace

void InitLanguages(LCID defaultLcid, LCID wanted)
{
    RemoveModule();
    TLanguageState& state = State();
    state.Default = defaultLcid;
    state.Current = defaultLcid;
    state.Modules.clear();
    ScanLanguages();
    // Qt's texts follow the language that is current at the end, also when the switch raised.
    try {
        SetLanguage(wanted, false);
    } catch (...) {
        SyncQtTexts();
        throw;
    }
    SyncQtTexts();
}

void ScanLanguages()
{
    TLanguageState& state = State();
    // The default language's texts are built in: it needs no file.
    if (!state.Modules.contains(state.Default))
        state.Modules.append(state.Default);
    for (const LCID lcid : GetKnownLocales())
        if (!state.Modules.contains(lcid) && QFileInfo::exists(GetLanguageFileName(lcid)))
            state.Modules.append(lcid);
    std::sort(state.Modules.begin(), state.Modules.end());
}

LCID GetDefaultLanguage()
{
    return State().Default;
}

LCID GetCurrentLanguage()
{
    return State().Current;
}

QList<LCID> GetLanguages()
{
    return State().Modules;
}

void FillLanguageNames(QStringList& names)
{
    if (State().Modules.isEmpty())
        InitLanguages(LANG_RUSSIAN_RU, LANG_RUSSIAN_RU);
    names.clear();
    for (const LCID lcid : State().Modules)
        names.append(GetLanguageName(lcid));
}

int FindLanguageIndex(LCID lcid, LCID fallback)
{
    const QList<LCID>& modules = State().Modules;
    qsizetype index = modules.indexOf(lcid);
    if (index < 0)
        index = modules.indexOf(fallback);
    return static_cast<int>(index);
}

LCID LanguageByIndex(int index, LCID defaultLcid)
{
    const QList<LCID>& modules = State().Modules;
    return index >= 0 && index < modules.size() ? modules.at(index) : defaultLcid;
}

QString GetLanguageFileName(LCID lcid)
{
    const QString program = GetMainModuleFileName();
    if (lcid == State().Default)
        return program;
    return Format(QStringLiteral("%s_%s.lng"), {WithoutExtension(program), GetLanguageAbbrev(lcid)});
}

void CheckLanguageFile(LCID lcid)
{
    if (lcid == State().Default)
        return;
    const QString fileName = GetLanguageFileName(lcid);
    if (!QFileInfo::exists(fileName))
        throw Exception(Format(LoadResString(SModuleNotFound), {fileName}));
}

LCID SetLanguage(LCID lcid, bool raiseFlag)
{
    TLanguageState& state = State();
    if (lcid == state.Current)
        return lcid;
    if (LoadLanguageModule(lcid, raiseFlag)) {
        state.Current = lcid;
        SyncQtTexts();
        return lcid;
    }
    // The default language is the last resort: when even it cannot be set there is nothing left
    // to fall back on, and the language stays what it was.
    if (lcid == state.Default)
        return state.Current;
    return SetLanguage(state.Default, raiseFlag);
}

bool LoadLanguageModule(LCID lcid, bool raiseFlag)
{
    TLanguageState& state = State();
    if (lcid == state.Default) {
        RemoveModule();
        return true;
    }

    const QString fileName = GetLanguageFileName(lcid);
    if (!QFileInfo::exists(fileName)) {
        if (raiseFlag)
            throw Exception(Format(LoadResString(SModuleNotFound), {fileName}));
        return false;
    }
    // Read like every other file: a link to a device or a pipe put in the module's place would
    // fill the memory or hold the start for ever.
    QByteArray data;
    try {
        data = ReadRegularFile(fileName, kMaxModuleBytes);
    } catch (const EFileReadError& e) {
        RaiseNotLoaded(fileName, e.Message());
    }
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(reinterpret_cast<const uchar*>(data.constData()),
                          static_cast<int>(data.size())))
        RaiseNotLoaded(fileName, SystemErrorText(ENOEXEC));   // not a translation: damaged or of another kind
    if (!QCoreApplication::instance())
        return false;
    RemoveModule();
    // The translator keeps pointing into the bytes it was loaded from; moving the array keeps
    // the same bytes, which stay until the module is removed.
    state.Data = std::move(data);
    translator->setParent(QCoreApplication::instance());
    QCoreApplication::installTranslator(translator.get());
    state.Translator = translator.release();
    return true;
}

void DoneLanguages()
{
    RemoveModule();
    RemoveQtTexts();
    TLanguageState& state = State();
    state.Default = 0;
    state.Current = 0;
    state.Modules.clear();
}
