// The main window's commands on the actual-values profile: open a profile file, close it,
// and open the profile window to create a profile, edit the held one or verify the instrument.
#include "instrument/Mydialogs.h"
#include "instrument/ProfileFileWriter.h"
#include "instrument/ProfileProcessor.h"
#include "platform/NumberText.h"
#include "ui/WindowPlace.h"
#include "ui/main.h"
#include "ui_TForm1.h"
#include "ui_TForm3.h"
#include "verification/FProfileEdit.h"
#include "verification/TsEdit.h"

#include <QApplication>

namespace
{

constexpr QPoint ProfileWindowOffset(50, 50); // from the main window's top-left corner

// Not connected, or a profile window of ours still shown: the command does nothing.
bool refused(const TForm1& w)
{
    return !w.connected || (w.profileForm != nullptr && w.profileForm->isVisible());
}

void place(const TForm1& w, TForm3* form)
{
    placeOnScreen(*form, w.pos() + ProfileWindowOffset);
}

// Shows a modal profile window, then frees it.
void runModal(TForm1& w, TForm3* form)
{
    place(w, form);
    form->exec();
    delete form;
    w.profileForm = nullptr;
}

} // namespace

void TForm1::ButtonFProfileOpenClick()
{
    if (refused(*this))
        return;
    QString path;
    QByteArray path8;
    if (!profilefile::chooseOpenPath(isRussian(), &path, &path8))
        return;
    const int result = processor->openFprof(path8);
    struct Message {
        DialogType type;
        const char *textRu, *textEn;
    };
    static const Message messages[] = {
        {DialogType::Information, "Профиль успешно открыт", "Profile opened successfully"},
        {DialogType::Error, "Файл не содержит профиль", "Profile not found"},
        {DialogType::Error, "Профиль не соответствует активному прибору", "Profile doesn'tmatch the device"},
        {DialogType::Error, "Файл содержит некорректные данные", "Data is not correct"},
        {DialogType::Error, "Файл содержит нечисловые данные", "Non-numeric data"},
    };
    if (result < 0 || result >= int(std::size(messages)))
        return;
    const Message& m = messages[result];
    const QString caption =
        m.type == DialogType::Information ? tr2("Информация", "Information") : tr2("Ошибка", "Error");
    ShowMessageBox(caption, tr2(m.textRu, m.textEn), m.type, mbOK);
}

void TForm1::ButtonFprofileCloseClick()
{
    processor->closeProf();
}

void TForm1::ButtonFProfileCreateClick()
{
    if (refused(*this))
        return;
    profileForm = new TForm3(this, processor, false, false);
    place(*this, profileForm);
    profileForm->show();
}

void TForm1::ButtonFProfileEditClick()
{
    if (refused(*this))
        return;
    if (!processor->profLoaded) {
        ShowMessageBox(tr2("Внимание", "Attention"),
                       tr2("Нет открытого профиля номиналов", "Open values profile first"),
                       DialogType::Warning, mbOK);
        return;
    }
    auto* form = new TForm3(qApp, processor, true, false);
    profileForm = form;
    form->ui->R02->setText(numtext::floatToStr(processor->R02));
    form->ui->R04->setText(numtext::floatToStr(processor->R04));
    const int m = processor->decSteps;
    for (std::size_t k = 0; k < form->valEdits.size(); ++k) {
        const std::size_t d = k / std::size_t(m), j = k % std::size_t(m);
        if (d < processor->profile.size() && j < processor->profile[d].size())
            form->valEdits[k]->setText(numtext::floatToStr(processor->profile[d][j]));
    }
    runModal(*this, form);
}

void TForm1::CalibrationClick()
{
    if (refused(*this))
        return;
    auto* form = new TForm3(qApp, processor, true, true);
    profileForm = form;
    form->ui->priemCoef->hide();
    runModal(*this, form);
}
