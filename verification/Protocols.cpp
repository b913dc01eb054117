// The verification protocols: the template "Поверка.docx" beside the program filled with the
// zero resistances and, per step, the measured value less R04, its deviation and the
// permissible deviation, then written under the name the operator chooses and shown. The
// primary protocol compares with the nominals, the periodic one with the actual values of the
// held profile, which it first reads from the instrument when none is held.
#include "verification/Protocols.h"
#include "instrument/FileDialogs.h"
#include "instrument/Mydialogs.h"
#include "instrument/ProfileProcessor.h"
#include "platform/WordDocument.h"
#include "ui/Application.h"
#include "ui/main.h"
#include "ui_TForm1.h"
#include "ui_TForm3.h"
#include "verification/FProfileEdit.h"
#include "verification/ProfileWindowText.h"
#include "verification/ProtocolCells.h"
#include "verification/TsEdit.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <exception>

namespace
{

using profilewindow::lang;

bool g_overridden = false;
QString g_overridePath;

QString protocolPath()
{
    FileDialogRequest request;
    request.kind = FileDialogKind::Save;
    // A name typed without extension still makes a Word document.
    request.defaultExt = QStringLiteral("docx");
    request.fileName = lang("Новый протокол.docx", "New protocol.docx");
    request.filter = lang("Протокол|*.docx", "Protocol|*.docx");
    request.overwritePrompt = true;
    return ExecuteFileDialog(request);
}

protocol::Inputs protocolInputs(const TForm3& form, bool periodic)
{
    protocol::Inputs in;
    for (const TsEdit* cell : form.valEdits) {
        in.cellTexts << cell->text();
        in.nominalTexts << const_cast<TsEdit*>(cell)->boundLabel()->text();
    }
    in.r02Text = form.ui->R02->text();
    in.r04Text = form.ui->R04->text();
    if (Form1 != nullptr) {
        in.classText = Form1->ui->LabelPrecision->text();
        in.modelText = Form1->ui->deviceFullName->text();
        in.russian = Form1->isRussian();
    }
    in.maxDec = form.processor->maxDec;
    if (periodic)
        in.stored = &form.processor->profile;
    return in;
}

// Fills the protocol into a file the operator chooses. True when the document was written.
// A failure is shown as every failure of a handler is, and leaves the chosen name as it was:
// no file, or the operator's earlier file unchanged.
bool fillProtocol(const TForm3& form, bool periodic)
{
    const QString target = protocolPath();
    if (target.isEmpty())
        return false;
    const bool russian = Form1 == nullptr || Form1->isRussian();
    if (!documentsAvailable()) {
        ShowMessageBox(lang("Информация", "Information"),
                       lang("Не удалось сохранить документ.",
                            periodic ? "Documet is not saved" : "Document is not saved") +
                           QLatin1Char('\n') + DocumentsUnavailable().text(russian),
                       DialogType::Information, mbOK);
        return false;
    }
    bool written = false;
    try {
        // An existing file the operator confirmed is filled as it is. Otherwise the template
        // itself is read (its faults then name it), and the filled document is written under
        // the new name in one step: a failure leaves no file there, and the new file has the
        // operator's usual mode, not the template's (which may be read-only).
        const bool existing = QFile::exists(target);
        const QString templ = protocolTemplatePath();
        if (!existing && !QFile::exists(templ))
            throw DocumentError(
                lang("Нет шаблона протокола %1.", "The protocol template %1 is missing.").arg(templ));
        WordDocument doc = WordDocument::open(existing ? target : templ);
        protocol::writeProtocolCells(protocolInputs(form, periodic), [&doc](const protocol::Cell& c) {
            doc.setCellText(c.table, c.row, c.column, c.text);
        });
        doc.save(target);
        written = true;
        showDocument(doc.path());
    } catch (const DocumentNotShown& e) {
        ShowMessageBox(lang("Информация", "Information"), e.text(russian), DialogType::Information, mbOK);
    } catch (const DocumentError& e) {
        VardekoApplication::showException(e.text(russian));
    } catch (const std::exception& e) {
        VardekoApplication::showException(QString::fromUtf8(e.what()));
    }
    return written;
}

} // namespace

QString protocolTemplatePath()
{
    if (g_overridden)
        return g_overridePath;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Дополнительные файлы/Поверка.docx");
}

ProtocolTemplateOverride::ProtocolTemplateOverride(const QString& path)
    : m_previous(g_overridePath), m_hadPrevious(g_overridden)
{
    g_overridden = true;
    g_overridePath = path;
}

ProtocolTemplateOverride::~ProtocolTemplateOverride()
{
    g_overridden = m_hadPrevious;
    g_overridePath = m_previous;
}

void TForm3::Protocol_btnClick()
{
    if (ui->FirstCal->isChecked()) {
        fillProtocol(*this, false);
        return;
    }
    if (Form1 == nullptr)
        return;
    if (processor->profLoaded) {
        PeriodicProtocol();
        return;
    }
    if (!Form1->connected || linkBusy())
        return;
    // The end of this read makes the protocol; after a status poll on the line, if one is.
    const bool taken = Form1->line->run([] {
        Form1->protocolDone = false;
        Form1->ButtonFProfileGetClick();
    });
    if (!taken)
        return;
    ShowMessageBox(
        lang("Информация", "Information"),
        lang("Пожалуйста, не отключайте прибор до окончания считывания.", "Don't disconnect the USB cable."),
        DialogType::Information, mbOK);
}

void TForm3::PeriodicProtocol()
{
    if (fillProtocol(*this, true) && Form1 != nullptr)
        Form1->protocolDone = true;
}
