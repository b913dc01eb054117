// Renders the profile window in edit mode, with one value outside its tolerance, to a PNG
// for the documentation: screenshot_profile_window <file.png> [verification [protocol.docx]]
// With a .docx path, the window's values also fill a copy of the protocol template there, as
// the primary protocol does, for a picture of a filled protocol.
#include "instrument/ProfileProcessor.h"
#include "platform/NumberText.h"
#include "platform/WordDocument.h"
#include "ui/Application.h"
#include "ui/main.h"
#include "ui_TForm1.h"
#include "ui_TForm3.h"
#include "verification/FProfileEdit.h"
#include "verification/ProtocolCells.h"
#include "verification/TsEdit.h"

#include <QCoreApplication>
#include <QFile>
#include <QPixmap>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <file.png>\n", argv[0]);
        return 2;
    }
    VardekoApplication app(argc, argv);
    TForm1 main;
    main.FormCreate();
    main.RequestTimer->stop();
    ProfileProcessor& p = *main.processor;
    p.precClass = QStringLiteral("0,01");
    main.ui->deviceFullName->setText(QStringLiteral("RD5540-1"));

    // Actual values a little off their nominals; the 1000 Ω step well outside its tolerance.
    p.resizeProfile();
    for (int d = 0; d < 7; ++d)
        for (int j = 0; j < 9; ++j) {
            const double nominal = (9 - j) * std::pow(10.0, p.maxDec - d);
            const double off = ((d * 9 + j) % 5 - 2) * 0.00002;
            p.profile[d][j] = std::round(nominal * (1 + off) * 10000) / 10000;
        }
    p.profile[0][8] = 1000.2;
    p.R02 = 0.0123;
    p.R04 = 0.0107;

    const bool verification = argc > 2 && QByteArray(argv[2]) == "verification";
    TForm3 form(nullptr, &p, true, verification);
    form.ui->R02->setText(numtext::floatToStr(p.R02));
    form.ui->R04->setText(numtext::floatToStr(p.R04));
    // What the verifier reads off the meter includes the 4-wire zero resistance.
    const double zero = verification ? p.R04 : 0.0;
    for (std::size_t k = 0; k < form.valEdits.size(); ++k)
        form.valEdits[k]->setText(numtext::floatToStr(p.profile[k / 9][k % 9] + zero));
    if (verification)
        form.ui->priemCoef->hide(); // as the verification command opens it
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return 1;
    QTest::qWait(200);
    if (!form.grab().save(QString::fromLocal8Bit(argv[1])))
        return 1;
    if (argc < 4)
        return 0;

    const QString target = QString::fromLocal8Bit(argv[3]);
    QFile::remove(target);
    if (!QFile::copy(QCoreApplication::applicationDirPath() +
                         QStringLiteral("/Дополнительные файлы/Поверка.docx"),
                     target))
        return 1;
    protocol::Inputs in;
    for (std::size_t k = 0; k < form.valEdits.size(); ++k) {
        in.cellTexts << form.valEdits[k]->text();
        in.nominalTexts << form.valEdits[k]->boundLabel()->text();
    }
    in.r02Text = form.ui->R02->text();
    in.r04Text = form.ui->R04->text();
    in.classText = p.precClass;
    in.modelText = main.ui->deviceFullName->text();
    in.maxDec = p.maxDec;
    WordDocument doc = WordDocument::open(target);
    protocol::writeProtocolCells(
        in, [&](const protocol::Cell& c) { doc.setCellText(c.table, c.row, c.column, c.text); });
    doc.save();
    return 0;
}
