#pragma once
// Documents read by LibreOffice Writer: one headless soffice run converts them to plain text,
// with a user profile of its own in a work folder and a time limit, so that tests neither
// touch a real profile nor hang on a stuck office.

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace testsupport
{

// The text of each document, in order (empty for one that was not converted). *failure
// (never null) is empty when soffice ran to its end; otherwise it says why, with its output.
inline QStringList libreOfficeTexts(const QStringList& documents, const QString& workDir, QString* failure)
{
    failure->clear();
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) {
        *failure = QStringLiteral("soffice is missing: scripts/setup.sh installs libreoffice-writer-nogui");
        return QStringList(documents.size(), QString());
    }
    const QString out = workDir + QStringLiteral("/out");
    QProcess process;
    process.setProgram(soffice);
    process.setArguments(QStringList{QStringLiteral("-env:UserInstallation=") +
                                         QUrl::fromLocalFile(workDir + QStringLiteral("/profile")).toString(),
                                     QStringLiteral("--headless"), QStringLiteral("--norestore"),
                                     QStringLiteral("--convert-to"), QStringLiteral("txt:Text"),
                                     QStringLiteral("--outdir"), out} +
                         documents);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start();
    if (!process.waitForStarted(10000)) {
        *failure = QStringLiteral("soffice did not start");
    } else if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        *failure = QStringLiteral("soffice took longer than 120 s");
    }
    const QString log = QString::fromLocal8Bit(process.readAll());
    if (failure->isEmpty() && process.exitStatus() != QProcess::NormalExit)
        *failure = QStringLiteral("soffice crashed:\n") + log;
    QStringList texts;
    for (const QString& document : documents) {
        QFile f(out + QLatin1Char('/') + QFileInfo(document).completeBaseName() + QStringLiteral(".txt"));
        texts << (f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString());
        if (texts.back().isEmpty() && failure->isEmpty())
            *failure = QStringLiteral("soffice converted nothing of ") + document + QLatin1Char('\n') + log;
    }
    return texts;
}

} // namespace testsupport
