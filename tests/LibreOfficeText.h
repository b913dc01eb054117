#pragma once
// LibreOffice Writer as an independent reader of the documents the program writes: one
// headless soffice run converts them to plain text. soffice must be installed
// (scripts/setup.sh installs it); a missing soffice fails the test instead of skipping it.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>
#include <gtest/gtest.h>

namespace libreoffice
{

// Converts every document to text in workDir/out, with a user profile of its own in
// workDir/profile and a limit of 120 s; texts receives the converted texts in the order of
// documents.
inline ::testing::AssertionResult toText(const QStringList& documents, const QString& workDir,
                                         QStringList& texts)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        return ::testing::AssertionFailure()
               << "soffice is missing: scripts/setup.sh installs libreoffice-writer-nogui";
    const QString out = QDir(workDir).filePath(QStringLiteral("out"));
    QProcess process;
    process.setProgram(soffice);
    process.setArguments(
        QStringList{QStringLiteral("-env:UserInstallation=") +
                        QUrl::fromLocalFile(QDir(workDir).filePath(QStringLiteral("profile"))).toString(),
                    QStringLiteral("--headless"), QStringLiteral("--norestore"),
                    QStringLiteral("--convert-to"), QStringLiteral("txt:Text"), QStringLiteral("--outdir"),
                    out} +
        documents);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start();
    if (!process.waitForStarted(10000))
        return ::testing::AssertionFailure() << "soffice did not start";
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return ::testing::AssertionFailure() << "soffice took longer than 120 s";
    }
    const QString log = QString::fromLocal8Bit(process.readAll());
    if (process.exitStatus() != QProcess::NormalExit)
        return ::testing::AssertionFailure() << "soffice crashed: " << log.toStdString();
    texts.clear();
    for (const QString& doc : documents) {
        QFile f(QDir(out).filePath(QFileInfo(doc).completeBaseName() + QStringLiteral(".txt")));
        if (!f.open(QIODevice::ReadOnly))
            return ::testing::AssertionFailure()
                   << "no text of " << doc.toStdString() << ": " << log.toStdString();
        texts << QString::fromUtf8(f.readAll());
    }
    return ::testing::AssertionSuccess();
}

} // namespace libreoffice
