#pragma once
// The value-list editor: a small modal window in which the operator builds or changes the
// list that the main window runs in list input, then hands it back (OK) or writes it as a
// value-list file and hands it back in the same step. Every value is checked against the
// main window's current range pattern; kΩ and MΩ values are stored in ohms.

#include "instrument/FileDialogs.h"
#include "instrument/ValueListFile.h"

#include <QDialog>

class ProfileProcessor;
class QLineEdit;

namespace Ui
{
class TForm2;
}

class TForm2 : public QDialog
{
    Q_OBJECT
public:
    // listKind 'o' (Ohm list: listRtdType -1, listRt0 0) or 'c' (°C list of thermometer type
    // listRtdType 0..3 and R0 listRt0 in Ω). The processor is the main window's; not owned.
    TForm2(QWidget* owner, ProfileProcessor* processor, char listKind, int listRtdType, int listRt0);
    ~TForm2() override;

    Ui::TForm2* ui;
    ProfileProcessor* processor;
    char listKind;
    int listRtdType;
    int listRt0;
    FileDialogRequest SaveDialog; // "Текстовый файл|*.txt", "New profile.txt"
    // What the save writes: the encoding of the file the list was copied from, code page 1251
    // for a new list.
    valuelist::Encoding fileEncoding = valuelist::Encoding::Cp1251;

    void FormCreate(); // captions in the main window's language
    void ButtonAddClick();
    void ButtonReplaceClick();
    void ButtonDeleteClick();
    void ButtonUpClick();
    void ButtonDownClick();
    void okButtonClick();
    void ButtonSaveClick();
    void EnterVal(QLineEdit* sender, QChar& key); // key filter of Edit and EditReplace
    void DelKeys(QLineEdit* sender, int& key, Qt::KeyboardModifiers shift); // Backspace
    void EditReplaceClick(QLineEdit* sender);                               // click into an edit

    QStringList entries() const; // the list as it stands

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The checked and reformatted value of an edit as it goes into the list (in Ω for an Ohm
    // list); false, after the refusal message, when it is out of range or no number.
    bool takeValue(QLineEdit* edit, QString* value);
    void handOver(); // the list, its kind and thermometer to the main window
    QLineEdit* valueEdit(QObject* o) const;
    bool finalZeroKept() const; // RD5540-5 in ohms: every value ends in the digit 0
};
