#include "instrument/FileDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QStringList>

namespace
{

FileDialogSeam* g_activeSeam = nullptr;

// "Текстовый файл|*.txt|Все|*.*" -> "Текстовый файл (*.txt);;Все (*.*)"
QString qtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        out << parts[i] + QStringLiteral(" (") +
                   QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')) + QLatin1Char(')');
    return out.join(QStringLiteral(";;"));
}

} // namespace

QString ExecuteFileDialog(const FileDialogRequest& request)
{
    return ExecuteFileDialogChoice(request).path;
}

FileDialogChoice ExecuteFileDialogChoice(const FileDialogRequest& request)
{
    if (FileDialogSeam* seam = FileDialogSeam::active())
        return seam->answerChoice(request);

    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(request.kind == FileDialogKind::Save ? QFileDialog::AcceptSave
                                                              : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.kind == FileDialogKind::Save ? QFileDialog::AnyFile
                                                            : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(request.defaultExt);
    const QString filters = qtFilter(request.filter);
    dialog.setNameFilter(filters);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const qsizetype picked = filters.split(QStringLiteral(";;")).indexOf(dialog.selectedNameFilter());
    return {dialog.selectedFiles().front(), picked < 0 ? 1 : static_cast<int>(picked) + 1};
}

FileDialogSeam::FileDialogSeam() : m_previous(g_activeSeam)
{
    g_activeSeam = this;
}

FileDialogSeam::~FileDialogSeam()
{
    g_activeSeam = m_previous;
}

void FileDialogSeam::setAnswerer(Answerer answerer)
{
    m_answerer = std::move(answerer);
}

void FileDialogSeam::answerWith(const QString& path)
{
    m_answerer = [path](const FileDialogRequest&) { return path; };
}

FileDialogSeam* FileDialogSeam::active()
{
    return g_activeSeam;
}

QString FileDialogSeam::answer(const FileDialogRequest& request)
{
    m_shown.push_back(request);
    return m_answerer ? m_answerer(request) : QString();
}

FileDialogChoice FileDialogSeam::answerChoice(const FileDialogRequest& request)
{
    return {answer(request), m_filterIndex};
}
