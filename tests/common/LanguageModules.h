#pragma once

// Language modules made by a test: a Qt translation source compiled by lrelease into the bytes
// of a ".lng" module. Header only, so that any test folder can use it.

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

// One translated text: its context (the unit that owns it), the built-in text, the translation.
struct TModuleText {
    const char* Context;
    const char* Source;
    const char* Translation;
};

// The compiled module; empty (with a test failure) when lrelease is missing or refuses it.
inline QByteArray CompileLanguageModule(const char* language, std::initializer_list<TModuleText> texts)
{
    QString ts = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n"
                                "<TS version=\"2.1\" language=\"%1\">\n")
                     .arg(QLatin1String(language));
    for (const TModuleText& text : texts)
        ts += QStringLiteral("<context><name>%1</name><message><source>%2</source>"
                             "<translation>%3</translation></message></context>\n")
                  .arg(QString::fromUtf8(text.Context).toHtmlEscaped(),
                       QString::fromUtf8(text.Source).toHtmlEscaped(),
                       QString::fromUtf8(text.Translation).toHtmlEscaped());
    ts += QStringLiteral("</TS>\n");

    QTemporaryDir dir;
    QFile source(dir.filePath(QStringLiteral("module.ts")));
    if (!dir.isValid() || !source.open(QIODevice::WriteOnly)) {
        ADD_FAILURE() << "cannot write the translation source";
        return {};
    }
    source.write(ts.toUtf8());
    source.close();

    QString tool = QLibraryInfo::path(QLibraryInfo::BinariesPath) + QStringLiteral("/lrelease");
    if (!QFileInfo(tool).isExecutable())
        tool = QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) + QStringLiteral("/lrelease");
    if (!QFileInfo(tool).isExecutable())
        tool = QStringLiteral("/usr/lib/qt6/bin/lrelease");
    QProcess lrelease;
    lrelease.start(tool, {QStringLiteral("-silent"), source.fileName(), QStringLiteral("-qm"),
                          dir.filePath(QStringLiteral("module.qm"))});
    if (!lrelease.waitForFinished(60000) || lrelease.exitCode() != 0) {
        ADD_FAILURE() << "lrelease failed: " << lrelease.readAllStandardError().constData();
        return {};
    }
    QFile compiled(dir.filePath(QStringLiteral("module.qm")));
    if (!compiled.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "lrelease wrote no module";
        return {};
    }
    return compiled.readAll();
}
