// The value-list editor: its layout and texts, the key filter of its two value edits, adding,
// replacing, removing and reordering entries, and handing the list back to the main window
// with or without writing it as a value-list file. Also the main window's two buttons that
// open it.
#include "ui/ProfileEdit.h"

#include "instrument/Mydialogs.h"
#include "instrument/ProfileProcessor.h"
#include "instrument/TextFileSave.h"
#include "platform/CodePage.h"
#include "platform/NumberText.h"
#include "ui/EditKeys.h"
#include "ui/EntryLimits.h"
#include "ui/WindowPlace.h"
#include "ui/main.h"
#include "ui_TForm1.h"
#include "ui_TForm2.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace
{

constexpr int ClientWidth = 359;
constexpr int ClientHeight = 381;
constexpr int FontPixels = 13;         // Tahoma
constexpr QPoint EditorOffset(50, 50); // from the main window's top-left corner
constexpr int VkBack = 8;

// Selection of an edit as the key filter sees it: its start (the caret when nothing is
// selected) and its length.
struct Selection {
    int start;
    int length;
};

Selection selectionOf(const QLineEdit* edit)
{
    if (edit->hasSelectedText())
        return {edit->selectionStart(), int(edit->selectedText().size())};
    return {edit->cursorPosition(), 0};
}

bool inRussian()
{
    return !Form1 || Form1->isRussian();
}

void refuseValue()
{
    ShowMessageBox(QStringLiteral("Внимание"),
                   QStringLiteral("Значение за пределами диапазона прибора или не кратно дискретности!"),
                   DialogType::Warning, mbOK);
}

} // namespace

TForm2::TForm2(QWidget* owner, ProfileProcessor* processor_, char listKind_, int listRtdType_, int listRt0_)
    : QDialog(owner), ui(new Ui::TForm2), processor(processor_), listKind(listKind_),
      listRtdType(listRtdType_), listRt0(listRt0_)
{
    ui->setupUi(this);
    // Fixed size, a title bar with the close box only.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(ClientWidth, ClientHeight);
    QFont f = font();
    f.setPixelSize(FontPixels);
    setFont(f);

    SaveDialog.kind = FileDialogKind::Save;
    SaveDialog.defaultExt = QStringLiteral("txt");
    SaveDialog.filter = QStringLiteral("Текстовый файл|*.txt");
    SaveDialog.fileName = QStringLiteral("New profile.txt");
    SaveDialog.overwritePrompt = true;

    // Text reaches the value edits only through the key filter.
    for (QLineEdit* e : {ui->Edit, ui->EditReplace}) {
        editkeys::closeSideEntrances(e);
        e->installEventFilter(this);
    }

    connect(ui->ButtonAdd, &QPushButton::clicked, this, &TForm2::ButtonAddClick);
    connect(ui->ButtonUp, &QPushButton::clicked, this, &TForm2::ButtonUpClick);
    connect(ui->ButtonDown, &QPushButton::clicked, this, &TForm2::ButtonDownClick);
    connect(ui->ButtonReplace, &QPushButton::clicked, this, &TForm2::ButtonReplaceClick);
    connect(ui->ButtonDelete, &QPushButton::clicked, this, &TForm2::ButtonDeleteClick);
    connect(ui->okButton, &QPushButton::clicked, this, &TForm2::okButtonClick);
    connect(ui->ButtonSave, &QPushButton::clicked, this, &TForm2::ButtonSaveClick);

    // RD5540-5 values in ohms are multiples of 10 Ω: the edits hold the final zero from the start.
    if (finalZeroKept()) {
        ui->Edit->setText(QStringLiteral("0"));
        ui->EditReplace->setText(QStringLiteral("0"));
    }
    FormCreate();
}

TForm2::~TForm2()
{
    delete ui;
}

void TForm2::FormCreate()
{
    const bool russian = inRussian();
    auto text = [russian](const char* ru, const char* en) { return QString::fromUtf8(russian ? ru : en); };
    setWindowTitle(text("Изменение профиля", "Edit profile"));
    ui->ButtonAdd->setText(text("Добавить значение", "Add value"));
    ui->ButtonUp->setText(text("Переместить выше", "Move up"));
    ui->ButtonDown->setText(text("Переместить ниже", "Move down"));
    ui->ButtonReplace->setText(text("Заменить", "Insert"));
    ui->ButtonDelete->setText(text("Удалить", "Remove"));
    ui->okButton->setText(text("ОК", "OK"));
    ui->ButtonSave->setText(text("Сохранить в файл", "Save"));
}

QStringList TForm2::entries() const
{
    QStringList out;
    for (int i = 0; i < ui->ListBox->count(); ++i)
        out << ui->ListBox->item(i)->text();
    return out;
}

// ---------------------------------------------------------------- the list

bool TForm2::takeValue(QLineEdit* edit, QString* value)
{
    // A text the pattern admits but that reads as no number (a lone "-" of a °C pattern,
    // a "," of an Ω one) is no value to run: refused like one outside the range.
    double number = 0;
    if (!matchesPattern(edit->text(), processor->rangeRegex) ||
        !numtext::tryStrToFloat(edit->text(), number)) {
        refuseValue();
        return false;
    }
    if (Form1)
        Form1->AddZero(edit);
    const QString text = edit->text();
    if (listKind == 'c' || !Form1) {
        *value = text;
        return true;
    }
    // Ohm lists hold ohms whatever unit the window shows: the Ω format of the variant, taken
    // with the unit switched to Ω and back, so the window's unit and limits stay as they were.
    numtext::tryStrToFloat(text, number);
    switch (Form1->unitIndex()) {
    case 0:
        *value = text;
        return true;
    case 1:
        *value = numtext::formatFloat(ohmCheckLimits(*Form1).ohmFormat, number * 1e3);
        return true;
    case 2:
        *value = numtext::formatFloat(ohmCheckLimits(*Form1).ohmFormat, number * 1e6);
        return true;
    default:
        return false;
    }
}

void TForm2::ButtonAddClick()
{
    if (ui->Edit->text().isEmpty())
        return;
    QString value;
    if (!takeValue(ui->Edit, &value))
        return;
    ui->ListBox->addItem(value);
    ui->Edit->clear();
}

void TForm2::ButtonReplaceClick()
{
    const int row = ui->ListBox->currentRow();
    if (row < 0 || ui->EditReplace->text().isEmpty())
        return;
    QString value;
    if (!takeValue(ui->EditReplace, &value))
        return;
    ui->ListBox->item(row)->setText(value);
    ui->ListBox->setCurrentRow(row);
}

void TForm2::ButtonDeleteClick()
{
    const int row = ui->ListBox->currentRow();
    if (row < 0)
        return;
    if (Form1)
        Form1->AddZero(ui->EditReplace);
    delete ui->ListBox->takeItem(row);
    ui->ListBox->setCurrentRow(row < ui->ListBox->count() ? row : -1);
}

void TForm2::ButtonUpClick()
{
    const int row = ui->ListBox->currentRow();
    if (row < 1)
        return;
    ui->ListBox->insertItem(row - 1, ui->ListBox->takeItem(row));
    ui->ListBox->setCurrentRow(row - 1);
}

void TForm2::ButtonDownClick()
{
    const int row = ui->ListBox->currentRow();
    if (row < 0 || row >= ui->ListBox->count() - 1)
        return;
    ui->ListBox->insertItem(row + 1, ui->ListBox->takeItem(row));
    ui->ListBox->setCurrentRow(row + 1);
}

void TForm2::handOver()
{
    if (!Form1)
        return;
    Form1->listInCelsius = 0;
    if (listKind == 'c') {
        Form1->listInCelsius = 1;
        Form1->listRtdType = listRtdType;
        Form1->listRt0 = listRt0;
    }
    QListWidget* list = Form1->curHistoryList ? Form1->curHistoryList : Form1->ui->InfoValsProf;
    list->clear();
    list->addItems(entries());
    if (list == Form1->ui->InfoValsProf)
        Form1->listEncoding = fileEncoding;
}

void TForm2::okButtonClick()
{
    handOver();
    accept();
}

void TForm2::ButtonSaveClick()
{
    const QString path = ExecuteFileDialog(SaveDialog);
    if (path.isEmpty())
        return;
    // The header goes only into the file, never into the list box, so a failed write cannot
    // leave it among the entries; a refused path or a failed write hands nothing over and
    // keeps the editor open with its list.
    QStringList lines = entries();
    lines.prepend(
        textsave::valueListHeader(processor->getDeviceName(), listKind == 'c', listRtdType, listRt0));
    if (!textsave::saveTextBytes(path, valuelist::encodeLines(lines, fileEncoding), true))
        return;
    processor->setProfPath(cp1251::fromUnicode(path));
    handOver();
    ShowMessageBox(QStringLiteral("Информация"), QStringLiteral("Профиль сохранён."), DialogType::Information,
                   mbOK);
    accept();
}

// ---------------------------------------------------------------- typing

void TForm2::EnterVal(QLineEdit* sender, QChar& key)
{
    if (key == QLatin1Char('.'))
        key = QLatin1Char(',');
    if (key == QChar(13)) {
        key = QChar();
        if (sender == ui->Edit)
            ButtonAddClick();
        else
            ButtonReplaceClick();
        return;
    }

    QByteArray shown;
    char c = 0;
    if (!editkeys::cp1251Typing(sender->text(), key, &shown, &c)) {
        key = QChar();
        return;
    }
    const bool digit = c >= '0' && c <= '9';
    const int id = processor->deviceID;
    const bool five = finalZeroKept();
    Selection sel = selectionOf(sender);
    const bool caretAtEnd = sel.start == int(shown.size());
    int pos = sel.start + 1; // the caret after an insertion

    QByteArray t = shown;
    if (id > 3) {
        if (t.isEmpty() && c == '0')
            return; // a lone zero goes in as typed
        // RD5540-5 in ohms: the final zero is kept, digits go in front of it.
        if (five && t.isEmpty() && digit)
            t = "0";
        else if (five && !t.isEmpty() && !t.endsWith('0')) {
            t += '0';
            if (caretAtEnd)
                ++pos;
        }
    }
    key = QChar();

    // Zero shortcut, where the pattern admits "0," (not RD5540-4 and -5 in ohms, whose values
    // are whole).
    if ((t.isEmpty() || t == "-") && (c == ',' || c == '0') &&
        matchesPattern(t + "0,", processor->rangeRegex)) {
        sender->setText(cp1251::toUnicode(t + "0,"));
        sender->setCursorPosition(int(sender->text().size()));
        return;
    }

    QByteArray candidate;
    if (caretAtEnd && !five) {
        candidate = t + c;
    } else {
        if (caretAtEnd && !shown.isEmpty() && five) {
            --pos;
            sel.start = pos - 1; // before the final zero
        }
        candidate = t.left(sel.start) + c + t.mid(sel.start + sel.length);
    }
    if (matchesPattern(candidate, processor->rangeRegex)) {
        sender->setText(cp1251::toUnicode(candidate));
        sender->setCursorPosition(pos);
        return;
    }
    // A digit that does not fit the whole-number part starts the decimals.
    if (digit && !t.contains(',') && caretAtEnd) {
        const QByteArray withComma = shown + ',' + c;
        if (matchesPattern(withComma, processor->rangeRegex)) {
            sender->setText(cp1251::toUnicode(withComma));
            sender->setCursorPosition(int(sender->text().size()));
        }
    }
}

void TForm2::DelKeys(QLineEdit* sender, int& key, Qt::KeyboardModifiers /*shift*/)
{
    if (key != VkBack)
        return; // Delete and the rest are the edit's own
    key = 0;
    Selection sel = selectionOf(sender);
    if (sel.length == 0) {
        if (sel.start == 0)
            return; // nothing before the caret: nothing is removed
        --sel.start;
        sel.length = 1;
    }
    const QString text = sender->text();
    sender->setText(text.left(sel.start) + text.mid(sel.start + sel.length));
    sender->setCursorPosition(sel.start);
}

void TForm2::EditReplaceClick(QLineEdit* sender)
{
    if (!finalZeroKept())
        return;
    const QString text = sender->text();
    if (!text.isEmpty() && !sender->hasSelectedText() && sender->cursorPosition() == int(text.size()))
        sender->setCursorPosition(int(text.size()) - 1);
}

// ---------------------------------------------------------------- events

bool TForm2::finalZeroKept() const
{
    // In kΩ and MΩ the step of RD5540-5 is 0,01 kΩ and 0,00001 MΩ: no digit is fixed there.
    return processor->deviceID == 5 && listKind == 'o' && (!Form1 || Form1->unitIndex() == 0);
}

QLineEdit* TForm2::valueEdit(QObject* o) const
{
    return (o == ui->Edit || o == ui->EditReplace) ? static_cast<QLineEdit*>(o) : nullptr;
}

void TForm2::keyPressEvent(QKeyEvent* event)
{
    // Escape would throw the list away: the window closes only by its buttons and close box.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TForm2::eventFilter(QObject* watched, QEvent* event)
{
    QLineEdit* edit = valueEdit(watched);
    if (!edit)
        return QDialog::eventFilter(watched, event);
    if (editkeys::isSideEntrance(event))
        return true;
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            break;
        if (editkeys::editsByItself(key))
            return true;
        if (key->key() == Qt::Key_Backspace) {
            int vk = VkBack;
            DelKeys(edit, vk, key->modifiers());
            return true; // the Backspace character itself is dropped by the key filter
        }
        QChar ch = editkeys::typedChar(key);
        // Keys that type nothing, and shortcuts (select all, copy), are the edit's own.
        if (ch.isNull() || (ch.unicode() < 0x20 && ch != QChar(13)))
            break;
        EnterVal(edit, ch);
        return ch.isNull(); // what passes goes in at the caret as typed
    }
    case QEvent::InputMethod: {
        // Composed text goes through the key filter one character at a time.
        for (QChar c : static_cast<QInputMethodEvent*>(event)->commitString()) {
            EnterVal(edit, c);
            if (!c.isNull())
                edit->insert(QString(c));
        }
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            // The edit places the caret first; the click handler then sees where it went.
            static_cast<QObject*>(edit)->event(event);
            EditReplaceClick(edit);
            return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------- the main window's buttons

namespace
{

void openEditor(TForm1& w, bool withList)
{
    const bool celsius = w.celsiusMode();
    TForm2 editor(&w, w.processor, celsius ? 'c' : 'o', celsius ? w.rtdType : -1,
                  celsius ? w.processor->Rt0 : 0);
    if (withList)
        for (int i = 0; i < w.ui->InfoValsProf->count(); ++i)
            editor.ui->ListBox->addItem(w.ui->InfoValsProf->item(i)->text());
    // Only the loader and the editor fill the list box, and each sets listEncoding; one emptied
    // since (another variant, quantity or a refused file) holds nothing of that file to copy.
    if (editor.ui->ListBox->count() > 0)
        editor.fileEncoding = w.listEncoding;
    placeOnScreen(editor, w.pos() + EditorOffset);
    editor.exec();
}

} // namespace

void TForm1::ProfileInpButtonCreateClick()
{
    openEditor(*this, false);
}

void TForm1::ProfileInpButtonChangeClick()
{
    openEditor(*this, true);
}
