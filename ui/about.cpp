#include "ui/about.h"

#include "platform/ShellOpen.h"
#include "ui/WindowPlace.h"
#include "ui/main.h"
#include "ui_TForm5.h"

namespace
{
constexpr int OpenOffset = 50;      // the box opens this far below and right of the main window
constexpr int WebCaptionShift = 15; // the shorter English web caption sits nearer its link
} // namespace

TForm5::TForm5(QWidget* owner) : QDialog(owner), ui(new Ui::TForm5)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(size());
    connect(ui->LinkLabel1, &LinkLabel::clicked, this, &TForm5::LinkLabel1Click);
    connect(ui->LinkLabel2, &LinkLabel::clicked, this, &TForm5::LinkLabel2Click);
    connect(ui->Button1, &QPushButton::clicked, this, &TForm5::Button1Click);
}

TForm5::~TForm5()
{
    delete ui;
}

void TForm5::applyEnglish()
{
    setWindowTitle(QStringLiteral("About"));
    ui->Label1->setText(QStringLiteral("Upravlenie meroy soprotivleniya RD5540 (KALIST)"));
    ui->Label1->adjustSize(); // the title takes its text's width before it is centred
    ui->Label1->move((width() - ui->Label1->width()) / 2, ui->Label1->y());
    ui->Label2->setText(QStringLiteral("Manufacturer Ltd \"ОРБИТЕЛ\""));
    ui->Label3->setText(QStringLiteral("Phone/fax: (000) 000-00-00"));
    ui->Label4->move(ui->Label4->x() + WebCaptionShift, ui->Label4->y());
    ui->Label4->setText(QStringLiteral("Web:"));
}

void TForm5::LinkLabel1Click()
{
    ShellOpen(QString::fromLatin1(WebSite));
}

void TForm5::LinkLabel2Click()
{
    ShellOpen(QString::fromLatin1(MailTo));
}

void TForm5::Button1Click()
{
    accept();
}

void TForm1::J1Click()
{
    TForm5 about(this);
    placeOnScreen(about, QPoint(x() + OpenOffset, y() + OpenOffset));
    if (!isRussian())
        about.applyEnglish();
    about.exec();
}
