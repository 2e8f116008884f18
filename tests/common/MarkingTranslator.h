#pragma once

// Stands in for a language module: the texts of the named contexts come back marked
// "[EN] <built-in text>", texts of other contexts stay the built-in ones. Installed for the
// scope of the object, so that every window gets its language-change event both ways. Header
// only, so that any test folder can use it.

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QTranslator>

#include <initializer_list>

class TMarkingModule : public QTranslator {
public:
    explicit TMarkingModule(std::initializer_list<const char*> contexts)
    {
        for (const char* context : contexts)
            FContexts.append(QString::fromLatin1(context));
        QCoreApplication::installTranslator(this);
    }
    ~TMarkingModule() override { QCoreApplication::removeTranslator(this); }
    TMarkingModule(const TMarkingModule&) = delete;
    TMarkingModule& operator=(const TMarkingModule&) = delete;

    QString translate(const char* context, const char* sourceText, const char*, int) const override
    {
        if (!FContexts.contains(QString::fromLatin1(context)))
            return {};
        return Marked(QString::fromUtf8(sourceText));
    }
    bool isEmpty() const override { return false; }

    static QString Marked(const QString& text) { return QStringLiteral("[EN] ") + text; }
    static QStringList Marked(const QStringList& texts)
    {
        QStringList marked;
        for (const QString& text : texts)
            marked.append(Marked(text));
        return marked;
    }

private:
    QStringList FContexts;
};
