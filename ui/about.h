#pragma once
// The About box: the logo, the program's title, the developer and contact lines and two
// links (web site, e-mail). Built anew for each opening from the main window and freed when
// it closes; it holds no state of its own.

#include <QDialog>

namespace Ui
{
class TForm5;
}

class TForm5 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm5(QWidget* owner);
    ~TForm5() override;

    Ui::TForm5* ui; // the components of the layout, by name

    // The link targets, as handed to the desktop: the web site by its host name alone.
    static constexpr const char* WebSite = "www.example.org";
    static constexpr const char* MailTo = "mailto:info@example.org";

    // The layout reads in Russian; this gives the English texts and the two moves that go
    // with them (the title centred, the web caption 15 pixels further right).
    void applyEnglish();

    void LinkLabel1Click(); // opens the web site
    void LinkLabel2Click(); // opens a new mail
    void Button1Click();    // closes the dialog
};
