// Verification stepping: a cell's button sets the instrument to the cell's nominal and opens
// that cell alone for the measured value; btn2x and btn4x switch the instrument to
// uncompensated 2-wire or 4-wire output, after which the main window sets it to zero.
#include "instrument/Frame.h"
#include "instrument/ProfileProcessor.h"
#include "instrument/Registers.h"
#include "ui/main.h"
#include "ui_TForm1.h"
#include "ui_TForm3.h"
#include "verification/FProfileEdit.h"
#include "verification/TsEdit.h"

#include <QApplication>
#include <QLabel>
#include <QToolButton>
#include <functional>

namespace
{

// The nominals are resistances: in the main window's °C mode they would be taken as
// temperatures, so the main window goes back to ohms before anything is set.
void ensureOhmMode()
{
    if (Form1 != nullptr && Form1->celsiusMode())
        Form1->OhmClick(Form1->ui->Ohm);
}

// A request of the stepping: after a status poll on the line, refused (with a beep) while
// another chain holds it.
void takeLine(std::function<void()> request)
{
    if (!Form1->line->run(std::move(request)))
        QApplication::beep();
}

void writeOutputMode(const char* letter)
{
    if (Form1 == nullptr || TForm3::linkBusy())
        return;
    ensureOhmMode(); // the zero that follows the acknowledgement is 0 Ω, not 0 °C
    const QByteArray text(letter);
    takeLine([text] {
        Form1->line->begin(LineOwner::Chain::Option);
        Form1->SendFrame(frame::FuncWrite, regNumber(Reg::OutputMode), text);
    });
}

} // namespace

bool TForm3::linkBusy()
{
    return Form1 != nullptr && Form1->line->busy();
}

void TForm3::ApplyLineLock(bool busy)
{
    for (QToolButton* b : senderBtns)
        b->setEnabled(!busy);
    ui->btn2x->setEnabled(!busy);
    ui->btn4x->setEnabled(!busy);
    ui->Protocol_btn->setEnabled(!busy);
}

void TForm3::SenderBtn(QToolButton* sender)
{
    if (linkBusy())
        return;
    const int cells = int(valEdits.size());
    const int m = processor->decSteps > 0 ? processor->decSteps : 9;
    const int current = m * selCol + selRow;
    if (current >= 0 && current < cells)
        valEdits[std::size_t(current)]->setEnabled(false);

    const int i = sender->property("cellIndex").toInt();
    if (i < 0 || i >= cells)
        return;
    selCol = i / m;
    selRow = i % m;
    TsEdit* cell = valEdits[std::size_t(i)];
    cell->setEnabled(true);

    if (Form1 != nullptr) {
        ensureOhmMode();
        // The cell moves on at once, so that what is typed next lands in it; the instrument
        // follows once a poll on the line has been answered.
        const QString nominal = cell->boundLabel()->text();
        takeLine([nominal] { Form1->SetValueOnDevice(nominal); });
    }
    cell->setFocus(Qt::OtherFocusReason);
}

void TForm3::btn2xClick()
{
    writeOutputMode("A");
}

void TForm3::btn4xClick()
{
    writeOutputMode("B");
}
