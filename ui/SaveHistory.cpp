// Saving what the operator produced: the entered values as a value-list file or the whole
// history as a table in a new Word document, and the event log as a text file.
#include "instrument/FileDialogs.h"
#include "instrument/Mydialogs.h"
#include "instrument/ProfileProcessor.h"
#include "instrument/TextFileSave.h"
#include "platform/MemoLines.h"
#include "platform/WordDocument.h"
#include "ui/main.h"
#include "ui_TForm1.h"

#include <QListWidget>
#include <array>

namespace
{

constexpr int TableColumns = 12; // the set value, then the eleven history columns
const QString kNone = QStringLiteral("--");

// Every cell text is followed by as many blanks as it has characters.
QString padded(const QString& text)
{
    return text + QString(text.size(), QLatin1Char(' '));
}

// ΔR and δR: a leading '+' is dropped.
QString withoutPlus(const QString& value)
{
    return value.startsWith(QLatin1Char('+')) ? value.mid(1) : value;
}

// δT: a leading '+' is dropped together with the " %" the display appends.
QString percentWithoutPlus(const QString& value)
{
    if (!value.startsWith(QLatin1Char('+')))
        return value;
    QString figure = value.mid(1);
    figure.chop(2);
    return figure;
}

// The entries of a list box; none before the window has chosen its history list.
QStringList entries(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; list && i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

// Shows the save dialog; the chosen path and filter, or an empty path when cancelled.
FileDialogChoice askSavePath(const QString& filter, const QString& fileName)
{
    FileDialogRequest request;
    request.kind = FileDialogKind::Save;
    request.defaultExt = QStringLiteral("txt");
    request.fileName = fileName;
    request.filter = filter;
    request.overwritePrompt = true;
    return ExecuteFileDialogChoice(request);
}

} // namespace

bool TForm1::WriteTextFile(const QString& path, const QStringList& lines)
{
    return textsave::saveTextFile(path, lines, isRussian());
}

QString TForm1::ValueListHeader() const
{
    return textsave::valueListHeader(processor->getDeviceName(), !ui->Ohm->isChecked(), rtdType,
                                     processor->Rt0);
}

void TForm1::StandartInpButtonSaveAsProfileClick()
{
    const FileDialogChoice choice = askSavePath(tr2("Профиль номиналов (*.txt)|*.txt|Протокол(*.docx)|*.docx",
                                                    "Values profile(*.txt)|*.txt|Protocol(*.docx)|*.docx"),
                                                tr2("История ввода", "Entered values"));
    const QString& path = choice.path;
    if (path.isEmpty())
        return;

    // The name chooses the branch ("…txt" is a value list); the filter only the header.
    if (path.size() >= 3 && path.at(path.size() - 3) == QLatin1Char('t')) {
        // The header goes only into the file, never into the list box, so a failed write
        // cannot leave it among the entries.
        QStringList lines = entries(curHistoryList);
        if (choice.filterIndex == 1)
            lines.prepend(ValueListHeader());
        if (WriteTextFile(path, lines))
            ShowMessageBox(tr2("Информация", "Information"), tr2("Сохранено", "Saved"),
                           DialogType::Information, mbOK);
        return;
    }
    SaveHistoryDocument(path);
}

void TForm1::SaveHistoryDocument(const QString& path)
{
    QListWidget* list = ui->InfoValsC->isVisibleTo(this)     ? ui->InfoValsC
                        : ui->InfoValsOhm->isVisibleTo(this) ? ui->InfoValsOhm
                                                             : ui->InfoValsProf;
    if (list->count() == 0) {
        ShowMessageBox(tr2("Информация", "Information"), tr2("Список пуст", "List is empty"),
                       DialogType::Information, mbOK);
        return;
    }

    const std::array<QString, TableColumns> headings = {
        ui->Label9->text(),
        ui->checkI->text(),
        ui->checkU->text(),
        ui->CheckTrueVal->text(),
        ui->OtklonOm->text() + ui->Label14->text(),
        ui->OtklonPercent->text(),
        ui->checkTrueC->text(),
        ui->OtklonC->text(),
        ui->OtklonPercentC->text(),
        ui->CheckBox1->text(),
        ui->Stability->text(),
        ui->AbsStability->text(),
    };
    const int rows = history.historyRows;
    // Each row shows the entry it was set from; a row recorded without one (a value changed
    // on the instrument itself) shows "--".
    auto cellText = [&](int column, int row) -> QString {
        if (column == 0) {
            const QString& entry = history.entries.at(row);
            return entry.isEmpty() ? kNone : entry;
        }
        const QString& value = history.columns[column - 1].at(row);
        switch (column - 1) {
        case HistDeltaR:
        case HistDeltaRPercent:
            return withoutPlus(value);
        case HistDeltaTPercent:
            return percentWithoutPlus(value);
        default:
            return value;
        }
    };

    try {
        WordDocument document = WordDocument::create();
        const int table = document.addTableAfterCentredParagraph(QString(), rows + 1, TableColumns);
        for (int c = 0; c < TableColumns; ++c) {
            document.setCellText(table, 1, c + 1, padded(headings[c]));
            for (int r = 0; r < rows; ++r)
                document.setCellText(table, r + 2, c + 1, padded(cellText(c, r)));
        }
        document.saveAndShow(path);
    } catch (const DocumentsUnavailable&) {
        // Nothing has been written: there is no program to show a document with.
        ShowMessageBox(tr2("Информация", "Information"),
                       tr2("Не удалось сохранить документ.", "Document is not saved"),
                       DialogType::Information, mbOK);
    } catch (const DocumentNotShown& e) {
        ShowMessageBox(tr2("Информация", "Information"), e.text(isRussian()), DialogType::Information, mbOK);
    } catch (const DocumentError& e) {
        ShowMessageBox(tr2("Ошибка", "Error"), e.text(isRussian()), DialogType::Error, mbOK);
    }
}

void TForm1::ButtonSaveInfoClick()
{
    const QString path = askSavePath(tr2("Журнал событий(*.txt)|*.txt", "Event log(*.txt)|*.txt"),
                                     tr2("Новый журнал.txt", "New event log.txt"))
                             .path;
    if (path.isEmpty())
        return;
    // Newest event group first, as the log shows it.
    if (WriteTextFile(path, InfoLines->lines()))
        ShowMessageBox(tr2("Информация", "Information"), tr2("Сохранено.", "Saved."), DialogType::Information,
                       mbOK);
}
