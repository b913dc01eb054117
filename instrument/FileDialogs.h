#pragma once
// The program's open and save file dialogs. Tests answer them through FileDialogSeam
// instead of a person, and read what each dialog offered.

#include <QString>
#include <functional>
#include <vector>

enum class FileDialogKind { Open, Save };

// What a file dialog offers, in the form the windows describe it.
struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::Open;
    QString defaultExt; // "txt": appended to a chosen name that has no extension
    QString fileName;   // proposed name
    QString filter;     // "Текстовый файл|*.txt": description and pattern pairs, '|'-separated
    bool overwritePrompt = false; // a save asks before replacing an existing file
};

// The main window's open dialog, for profiles and value lists alike: text files, "txt"
// added to a name without an extension.
inline FileDialogRequest textFileOpenRequest()
{
    FileDialogRequest request;
    request.kind = FileDialogKind::Open;
    request.defaultExt = QStringLiteral("txt");
    request.filter = QStringLiteral("Текстовый файл|*.txt");
    return request;
}

// Shows a modal file dialog; returns the chosen path, or an empty text when cancelled.
QString ExecuteFileDialog(const FileDialogRequest& request);

// What the operator chose: the path (empty when cancelled) and the filter left selected,
// counted from 1 in the order of the request's filter.
struct FileDialogChoice {
    QString path;
    int filterIndex = 1;
};

// As ExecuteFileDialog, for the callers that also need the chosen filter.
FileDialogChoice ExecuteFileDialogChoice(const FileDialogRequest& request);

// While a FileDialogSeam exists, file dialogs are not shown: each one is recorded and
// answered by the seam (default: cancelled). Seams nest like DialogSeam.
class FileDialogSeam
{
public:
    using Answerer = std::function<QString(const FileDialogRequest&)>;

    FileDialogSeam();
    ~FileDialogSeam();
    FileDialogSeam(const FileDialogSeam&) = delete;
    FileDialogSeam& operator=(const FileDialogSeam&) = delete;

    void setAnswerer(Answerer answerer);
    void answerWith(const QString& path); // every later dialog gets this path; empty cancels
    void setFilterIndex(int index) { m_filterIndex = index; } // the filter later dialogs report, from 1

    const std::vector<FileDialogRequest>& shown() const { return m_shown; }
    void clear() { m_shown.clear(); }

    static FileDialogSeam* active();
    QString answer(const FileDialogRequest& request);
    FileDialogChoice answerChoice(const FileDialogRequest& request);

private:
    FileDialogSeam* m_previous = nullptr;
    Answerer m_answerer;
    std::vector<FileDialogRequest> m_shown;
    int m_filterIndex = 1;
};
