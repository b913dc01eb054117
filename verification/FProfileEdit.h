#pragma once
// The profile window: creates, edits and saves the actual-values profile with a tolerance
// check of every value against the accuracy class, and in verification mode records the
// values measured on the instrument step by step.

#include <QColor>
#include <QDialog>
#include <QString>
#include <vector>

class ProfileProcessor;
class QLabel;
class QLineEdit;
class QTimer;
class QToolButton;
class TsEdit;

namespace Ui
{
class TForm3;
}

class TForm3 : public QDialog
{
    Q_OBJECT
public:
    // owner: the object whose end also ends this window (the main window or the
    // application); the window itself is a top-level window with its own task-bar entry.
    TForm3(QObject* owner, ProfileProcessor* processor, bool compareMode, bool verificationMode);
    ~TForm3() override;

    Ui::TForm3* ui; // the components of the layout, by name

    ProfileProcessor* processor; // shared model, read and written in place
    bool compareMode;            // closing compares with the held profile (edit, verification)
    bool verificationMode;
    int selCol = 0, selRow = 0; // cell chosen by its button in verification mode
    int blinkCount = 0;         // colour toggles of the running blink alert
    QLineEdit* blinkTarget = nullptr;
    QColor normalColor;                   // the cells' normal tone
    double classC = 0, classD = 0;        // terms of the permissible deviation, %
    double Rk = 0;                        // top of the range in Ω: the sum of all 63 nominals
    double priemRatio = 1.0;              // acceptance ratio 0.8..1
    std::vector<TsEdit*> valEdits;        // cell d * 9 + j: decade d (0 highest), step row j
    std::vector<QLabel*> otklonLabels;    // deviation text of each cell
    std::vector<QToolButton*> senderBtns; // verification mode: one button per cell
    QTimer* TimerAlert;                   // 100 ms blink of an edit that failed a check

    void FormCreate();
    // The cells', R02's and R04's font: the window's where their longest texts fit, else a
    // condensed face small enough for them (fonts that fall back to a wider face).
    void FitCellFont();
    QString widestText(QLineEdit* edit); // the widest text the edit's pattern admits
    // Recomputes every deviation text and colour; run when the window is shown, and each
    // change runs it for what it changed (a cell left, the acceptance ratio typed).
    void FormPaint();
    void ComputeClassTerms();

    // ---- cell entry ----
    void switchRegexp(QLineEdit* sender);
    void EnterVal(QLineEdit* sender, QChar& key);
    void DelKeys(QLineEdit* sender, int& key, Qt::KeyboardModifiers shift);
    void OnExitFunc(QLineEdit* sender);
    void AddZero(QLineEdit* sender);

    // ---- deviation and tolerance ----
    void CalcOtklon(QLineEdit* sender);
    void priemCoefKeyPress(QChar& key);
    void priemCoefKeyUp();

    // ---- saving and closing ----
    void SaveButtonClick();
    bool FormCloseQuery(); // true: the window may close
    void TimerAlertTimer();
    void StartBlink(QLineEdit* control);

    // ---- verification stepping and protocols ----
    void SenderBtn(QToolButton* sender); // sets the instrument to the cell's nominal, opens the cell
    void btn2xClick();                   // switches the instrument to uncompensated 2-wire output
    void btn4xClick();                   // switches the instrument to uncompensated 4-wire output
    void Protocol_btnClick();            // fills the primary or periodic verification protocol
    void PeriodicProtocol();             // the periodic protocol, once the profile read has ended
    // A chain of the main window's holds the line (a set, a transfer, an output-mode switch).
    // The stepping buttons and the protocol button are locked meanwhile (ApplyLineLock): a
    // second chain started in the middle of one would mix its requests and answers with the
    // first one's. A status poll is no such chain: what is pressed during it follows its answer.
    static bool linkBusy();
    void ApplyLineLock(bool busy); // the cell buttons, btn2x, btn4x and Protocol_btn

    bool isVerificationLayout() const;                             // Protocol_btn is shown
    double nominalOf(const QLineEdit* edit, bool* isNumber) const; // caption of the bound label

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override; // the deviations of the texts filled in before
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TsEdit* asCell(QObject* o) const; // a value cell, R02, R04 or priemCoef; else nullptr
    void installEntryFilter(TsEdit* e);
};
