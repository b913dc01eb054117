// The actual-values profile transfer: 65 registers one request per answer, 40001 R02,
// 40002 R04, then the 63 cells from the smallest nominal up; a write ends with "B" to
// 40074, which makes the instrument store what it was sent.

#include "instrument/Frame.h"
#include "instrument/Mydialogs.h"
#include "instrument/ProfileProcessor.h"
#include "instrument/Registers.h"
#include "platform/NumberText.h"
#include "ui/link/LinkInternal.h"
#include "ui/main.h"
#include "verification/FProfileEdit.h"

#include "ui_TForm1.h"

namespace
{

constexpr int Decades = 7;
constexpr int StepsPerDecade = 9;
constexpr std::uint16_t ProfileEnd = regNumber(Reg::ProfCellLast) + 1; // past the last register

// Variant index (BoxDevice) and the first register whose cell goes with one decimal: the
// cells of 100 kΩ and above of the two largest variants. 0: none, every cell has four
// decimals (RD5540-3 included, whose top decade reaches 900 kΩ).
std::uint16_t firstOneDecimalRegister(int variantIndex)
{
    switch (variantIndex) {
    case 3:
        return 40048;
    case 4:
        return 40039;
    default:
        return 0;
    }
}

bool hasProfileShape(const std::vector<std::vector<double>>& table)
{
    if (table.size() != std::size_t(Decades))
        return false;
    for (const std::vector<double>& row : table)
        if (row.size() != std::size_t(StepsPerDecade))
            return false;
    return true;
}

// The cursor goes with the registers: 40003 is the last step row of the lowest decade.
// The cursor points into table: set up by the start of the transfer, it always does.
bool cursorIn(const TForm1& w, const std::vector<std::vector<double>>& table)
{
    return hasProfileShape(table) && w.profRow >= 0 && w.profRow < Decades && w.profCol >= 0 &&
           w.profCol < StepsPerDecade;
}

void startCursor(TForm1& w)
{
    w.profRow = Decades - 1;
    w.profCol = StepsPerDecade - 1;
    w.profReg = regNumber(Reg::R02);
}

void advanceCursor(TForm1& w)
{
    if (w.profCol == 0)
        --w.profRow;
    w.profCol = w.profCol == 0 ? StepsPerDecade - 1 : w.profCol - 1;
}

QByteArray profileText(const QString& pattern, double value)
{
    return numtext::formatFloat(pattern, value).toLatin1();
}

void readStep(TForm1& w, std::uint16_t reg, const QString& text)
{
    double value = 0.0;
    if (!numtext::tryStrToFloat(text, value)) {
        // Ends the read; what was read so far never reaches the model.
        linkdetail::invalidAnswer(w, reg, text);
        return;
    }
    if (w.profReg == regNumber(Reg::R02)) {
        w.profStage.R02 = value;
    } else if (w.profReg == regNumber(Reg::R04)) {
        w.profStage.R04 = value;
    } else if (cursorIn(w, w.profStage.cells)) {
        w.profStage.cells[std::size_t(w.profRow)][std::size_t(w.profCol)] = value;
        advanceCursor(w);
    } else {
        linkdetail::endChainCleanly(w);
        return;
    }
    ++w.profReg;
    if (w.profReg < ProfileEnd) {
        w.SendFrame(frame::FuncRead, std::uint16_t(w.profReg));
        return;
    }

    // All 65 came: only now does the model take the instrument's profile.
    ProfileProcessor& model = *w.processor;
    model.R02 = w.profStage.R02;
    model.R04 = w.profStage.R04;
    model.profile = w.profStage.cells;
    w.profTransfer = false;
    w.SetProfileControlsEnabled(true);
    w.LogAt(1, QString());
    w.LogAt(0, w.tr2("Чтение профиля завершено.", "Reading complete."));
    w.LogAt(1, QString());
    model.profLoaded = true;
    w.RunWaitingProtocol();
}

void writeStep(TForm1& w)
{
    ++w.profReg;
    if (w.profReg == ProfileEnd) {
        w.SendFrame(frame::FuncWrite, regNumber(Reg::Command), QByteArrayLiteral("B"));
        return;
    }
    const ProfileProcessor& model = *w.processor;
    const QString fine = QStringLiteral("0.0000");
    QByteArray text;
    if (w.profReg == regNumber(Reg::R04)) {
        text = profileText(fine, model.R04);
    } else if (!cursorIn(w, model.profile)) {
        linkdetail::endChainCleanly(w);
        return;
    } else {
        const std::uint16_t oneDecimal = firstOneDecimalRegister(w.variantIndex());
        const bool coarse = oneDecimal != 0 && w.profReg >= oneDecimal;
        text = profileText(coarse ? QStringLiteral("0.0") : fine,
                           model.profile[std::size_t(w.profRow)][std::size_t(w.profCol)]);
        advanceCursor(w);
    }
    w.SendFrame(frame::FuncWrite, std::uint16_t(w.profReg), text);
}

} // namespace

void TForm1::ButtonFProfileGetClick()
{
    if (!connected || WaitForLine([this] { ButtonFProfileGetClick(); }))
        return;
    SetProfileControlsEnabled(false);
    logIndex = 0;
    LogAt(0, tr2("Чтение профиля Rд из прибора.", "Rm profile reading in process."));
    LogAt(1, QString());
    LogAt(0, tr2("Пожалуйста, не отключайте прибор до окончания считывания.",
                 "Don't disconnect the USB cable."));
    profStage = ProfileStage{};
    profStage.cells.assign(Decades, std::vector<double>(StepsPerDecade, 0.0));
    profTransfer = true;
    startCursor(*this);
    line->begin(LineOwner::Chain::Transfer);
    SendFrame(frame::FuncRead, regNumber(Reg::R02));
}

void TForm1::ButtonFProfileSendClick()
{
    if (!connected || WaitForLine([this] { ButtonFProfileSendClick(); }))
        return;
    // A table of another shape is no profile of this instrument.
    if (!processor->profLoaded || !hasProfileShape(processor->profile)) {
        ShowMessageBox(tr2("Внимание", "Attention"), tr2("Нет открытого профиля Rд", "Open Rm profile first"),
                       DialogType::Warning, mbOK);
        return;
    }
    SetProfileControlsEnabled(false);
    logIndex = 0;
    LogAt(0, tr2("Запись профиля Rд в прибор.", "Rm profile writing in process."));
    LogAt(1, QString());
    LogAt(0, tr2("Пожалуйста, не отключайте прибор до окончания записи.", "Don't disconnect the USB cable."));
    profTransfer = true;
    startCursor(*this);
    line->begin(LineOwner::Chain::Transfer);
    SendFrame(frame::FuncWrite, regNumber(Reg::R02), profileText(QStringLiteral("0.0000"), processor->R02));
}

void TForm1::HandleProfileAnswer(std::uint8_t function, std::uint16_t reg, const QString& text)
{
    // Profile registers are asked for only by a transfer.
    if (!profTransfer)
        return;
    // Only the answer to the request on the line moves the cursor. Another register (or
    // direction) is a failed answer of that request: stored by the cursor it would put a
    // value in the wrong cell, or skip one.
    if (reg != profReg || function != txFrame[1]) {
        ++errorCount;
        ResendOrFail();
        return;
    }
    if (function == frame::FuncRead)
        readStep(*this, reg, text);
    else
        writeStep(*this);
}

void TForm1::onProfileStored()
{
    if (!profTransfer || profReg != ProfileEnd)
        return;
    profTransfer = false;
    SetProfileControlsEnabled(true);
    LogAt(0, tr2("Запись профиля завершена", "Writing completed"));
    LogAt(1, QString());
    logIndex = 0;
}

void TForm1::RunWaitingProtocol()
{
    // The periodic protocol of the verification window that asked for this read; the window
    // may have been closed while the read ran.
    if (protocolDone || !verificationOpen || profileForm == nullptr)
        return;
    profileForm->PeriodicProtocol();
}
