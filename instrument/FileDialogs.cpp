#include "instrument/FileDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QList>
#include <QStringList>

namespace
{

FileDialogSeam* g_activeSeam = nullptr;

// One filter of a request: its description as the window writes it, and Qt's form of it.
struct Filter {
    QString description; // "Текстовый файл"
    QString qt;          // "Текстовый файл (*.txt)"
};

// "Текстовый файл|*.txt|Все|*.*" -> "Текстовый файл (*.txt)", "Все (*.*)". Qt reads the
// patterns from the last parentheses, so a description that names its pattern itself
// ("Протокол(*.docx)") still gets the pattern once more; the dialog shows descriptions only.
QList<Filter> qtFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QList<Filter> out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        out.append({parts[i], parts[i] + QStringLiteral(" (") +
                                  QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')) +
                                  QLatin1Char(')')});
    return out;
}

// The chosen filter counted from 1. Depending on the Qt version the dialog names it in full
// or by the description it shows; 1 when it names none of them.
int filterNumber(const QList<Filter>& filters, const QString& selected)
{
    for (int i = 0; i < filters.size(); ++i)
        if (selected == filters[i].qt)
            return i + 1;
    for (int i = 0; i < filters.size(); ++i)
        if (selected == filters[i].description.simplified())
            return i + 1;
    return 1;
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
    // Qt's own dialog, not the desktop's: it speaks the program's language and wears its skin.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // Each filter reads as its description, without the patterns added behind it.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(request.kind == FileDialogKind::Save ? QFileDialog::AcceptSave
                                                              : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.kind == FileDialogKind::Save ? QFileDialog::AnyFile
                                                            : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(request.defaultExt);
    const QList<Filter> filters = qtFilters(request.filter);
    QStringList names;
    for (const Filter& f : filters)
        names << f.qt;
    dialog.setNameFilters(names);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return {dialog.selectedFiles().front(), filterNumber(filters, dialog.selectedNameFilter())};
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
