#pragma once
// The program's message boxes: a caption of the caller's choice, Russian button texts,
// and a confirmation with a "don't ask again" check box. Tests answer them through
// DialogSeam instead of a person.

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

enum class DialogType { Warning, Error, Information, Confirmation };

// Button set, as flags.
enum DialogButton : unsigned { mbOK = 1u, mbCancel = 2u };
using DialogButtons = unsigned;

// Modal results: the code of the button that closed the dialog.
constexpr int mrOk = 1;
constexpr int mrCancel = 2;

// The language of the standard captions that an empty caption shows ("Ошибка" or "Error",
// ...): the main window sets its own; English until it does.
void setStandardCaptionsRussian(bool russian);

// Shows a modal message box; returns mrOk or mrCancel. An empty caption shows the type's
// standard caption. With the caption "Внимание" the Cancel button reads "Отмена".
int ShowMessageBox(const QString& caption, const QString& text, DialogType type, DialogButtons buttons);

// Confirmation: OK reads "Продолжить", Cancel "Отмена"; a check box with checkText below
// the buttons. Stores the check box's state in *checked (if given); returns the result.
// Note the argument order: text before caption.
int ShowConfirmDialog(const QString& text, const QString& caption, const QString& checkText, bool* checked,
                      DialogType type, DialogButtons buttons);

// What a dialog showed, as the seam records it.
struct ShownDialog {
    QString caption; // the caption actually shown (standard one for an empty caption)
    QString text;
    DialogType type = DialogType::Information;
    QStringList buttons;  // button texts as shown, left to right
    bool confirm = false; // shown by ShowConfirmDialog
    QString checkText;    // confirmation only
};

// While a DialogSeam exists, dialogs are not shown: each one is recorded and answered
// by the seam's answerer (default: OK with the check box left clear). Seams nest: the
// newest one answers, and the one before it takes over again when it is destroyed.
class DialogSeam
{
public:
    // Returns the modal result; may set *check for a confirmation.
    using Answerer = std::function<int(const ShownDialog&, bool* check)>;

    DialogSeam();
    ~DialogSeam();
    DialogSeam(const DialogSeam&) = delete;
    DialogSeam& operator=(const DialogSeam&) = delete;

    void setAnswerer(Answerer answerer);
    void answerWith(int result, bool check = false); // every later dialog gets this

    const std::vector<ShownDialog>& shown() const { return m_shown; }
    void clear() { m_shown.clear(); }

    // Used by the dialog functions.
    static DialogSeam* active();
    int answer(const ShownDialog& d, bool* check);

private:
    DialogSeam* m_previous = nullptr; // the seam this one hides
    Answerer m_answerer;
    std::vector<ShownDialog> m_shown;
};
