// The five skins: each sheet parses and styles every kind of control, is chosen through the
// skin menu with a click, keeps text readable (WCAG contrast of at least 4.5 : 1) in the
// windows and in the file dialogs and message boxes as they are drawn, and the menu items,
// their captions and the stored choice behave as the skin menu promises.

#include "WindowFixture.h"

#include "DialogSupport.h"
#include "TestSupport.h"
#include "instrument/FileDialogs.h"
#include "platform/UpDown.h"
#include "ui/LinkLabel.h"
#include "ui/Skins.h"
#include "verification/TsEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>
#include <map>
#include <vector>

namespace
{

// ---------------------------------------------------------------- reading a sheet

// Declarations by selector: "A, B { x: 1; }" gives A and B the declaration x; later rules
// for the same selector add to and override the earlier ones, as in the sheet.
using Declarations = std::map<QString, QString>;
using Rules = std::map<QString, Declarations>;

Rules parseRules(QString sheet)
{
    sheet.remove(
        QRegularExpression(QStringLiteral("/\\*.*?\\*/"), QRegularExpression::DotMatchesEverythingOption));
    Rules rules;
    static const QRegularExpression rule(QStringLiteral("([^{}]+)\\{([^{}]*)\\}"));
    for (auto it = rule.globalMatch(sheet); it.hasNext();) {
        const auto m = it.next();
        for (const QString& decl : m.captured(2).split(u';', Qt::SkipEmptyParts)) {
            const qsizetype colon = decl.indexOf(u':');
            if (colon < 0)
                continue;
            const QString key = decl.left(colon).trimmed();
            const QString value = decl.mid(colon + 1).trimmed();
            for (const QString& sel : m.captured(1).split(u',', Qt::SkipEmptyParts))
                rules[sel.simplified()][key] = value;
        }
    }
    return rules;
}

// The #rrggbb colour of a declaration; invalid when the selector or property is missing or
// the value is not a plain colour.
QColor colourOf(const Rules& rules, const QString& selector, const QString& property)
{
    const auto r = rules.find(selector);
    if (r == rules.end())
        return {};
    const auto d = r->second.find(property);
    if (d == r->second.end())
        return {};
    static const QRegularExpression hex(QStringLiteral("^#[0-9a-fA-F]{6}$"));
    return hex.match(d->second).hasMatch() ? QColor(d->second) : QColor();
}

double luminance(const QColor& c)
{
    const auto channel = [](double v) {
        v /= 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

double contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QString sheetOf(int skin)
{
    return SkinManager::styleSheet(skin);
}

// Collects what Qt's style sheet parser complains about while it lives.
class ParserWarnings
{
public:
    ParserWarnings()
    {
        s_messages.clear();
        m_previous = qInstallMessageHandler(&ParserWarnings::handler);
    }
    ~ParserWarnings() { qInstallMessageHandler(m_previous); }
    const QStringList& messages() const { return s_messages; }

private:
    static void handler(QtMsgType, const QMessageLogContext&, const QString& text)
    {
        if (text.contains(QStringLiteral("Could not parse"), Qt::CaseInsensitive) ||
            text.contains(QStringLiteral("stylesheet"), Qt::CaseInsensitive) ||
            text.contains(QStringLiteral("Unknown property"), Qt::CaseInsensitive))
            s_messages << text;
    }
    static inline QStringList s_messages;
    QtMessageHandler m_previous = nullptr;
};

// A window with one control of every kind the skins cover.
struct Gallery {
    QDialog window;
    QMenuBar* bar = new QMenuBar(&window);
    QMenu* menu = bar->addMenu(QStringLiteral("Меню"));
    std::vector<QWidget*> controls;

    Gallery()
    {
        auto* layout = new QVBoxLayout(&window);
        layout->setMenuBar(bar);
        QAction* radio = menu->addAction(QStringLiteral("Пункт"));
        radio->setCheckable(true);
        radio->setChecked(true);
        menu->addSeparator();
        menu->addAction(QStringLiteral("Выключен"))->setEnabled(false);
        auto* group = new QGroupBox(QStringLiteral("Группа"));
        auto* inner = new QVBoxLayout(group);
        auto* combo = new QComboBox;
        combo->addItems({QStringLiteral("Одиночные"), QStringLiteral("Диапазон")});
        auto* list = new QListWidget;
        list->addItems({QStringLiteral("1,000"), QStringLiteral("2,000")});
        auto* log = new QPlainTextEdit(QStringLiteral("Значение установлено!"));
        auto* line = new QFrame;
        line->setFrameShape(QFrame::HLine);
        auto* check = new QCheckBox(QStringLiteral("Rвос"));
        check->setChecked(true);
        auto* option = new QRadioButton(QStringLiteral("Ручной"));
        option->setChecked(true);
        auto* speed = new QToolButton;
        speed->setText(QStringLiteral("2x"));
        auto* link = new LinkLabel;
        link->setText(QStringLiteral("www.example.org"));
        auto* disabled = new QPushButton(QStringLiteral("Выкл."));
        disabled->setEnabled(false);
        auto* files = new QTreeWidget; // the views of the file dialogs
        files->setHeaderLabels({QStringLiteral("Имя"), QStringLiteral("Размер")});
        files->addTopLevelItem(
            new QTreeWidgetItem(QStringList{QStringLiteral("a.txt"), QStringLiteral("1")}));
        controls = {new QLabel(QStringLiteral("Шаг, Ом:")),
                    new QLineEdit(QStringLiteral("1234,5")),
                    new TsEdit,
                    log,
                    list,
                    new QPushButton(QStringLiteral("Ввод")),
                    disabled,
                    check,
                    option,
                    combo,
                    new UpDown,
                    speed,
                    line,
                    link,
                    files,
                    new QScrollBar(Qt::Horizontal)};
        for (QWidget* c : controls)
            inner->addWidget(c);
        layout->addWidget(group);
        controls.push_back(group);
    }

    // Paints everything once, menus included, so that every rule is read and drawn.
    void render()
    {
        window.show();
        (void)window.grab();
        menu->popup(window.mapToGlobal(QPoint(0, 0)));
        (void)menu->grab();
        menu->hide();
        for (QWidget* c : controls)
            (void)c->grab();
    }
};

class SkinTest : public WindowFixture, public ::testing::WithParamInterface<int>
{
protected:
    QMenu* skinMenu() { return ui()->skinMenu; }
    QAction* item(int i) { return skinMenu()->actions().value(i); }

    // The operator's way: a click on "Обложка" in the menu bar, then on the item.
    void clickSkinItem(int i)
    {
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        QMenuBar* bar = ui()->MainMenu;
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(skinMenu()->menuAction()).center());
        ASSERT_TRUE(testsupport::waitUntil([&] { return skinMenu()->isVisible(); }));
        QAction* a = item(i);
        ASSERT_NE(a, nullptr);
        QTest::mouseClick(skinMenu(), Qt::LeftButton, {}, skinMenu()->actionGeometry(a).center());
        ASSERT_TRUE(testsupport::waitUntil([&] { return !skinMenu()->isVisible(); }));
    }
};

QColor pixelOf(QWidget* widget, QPoint at)
{
    return widget->grab().toImage().pixelColor(at);
}

} // namespace

// ---------------------------------------------------------------- each skin

TEST_P(SkinTest, SheetParsesAndStylesEveryKindOfControl)
{
    const QString sheet = sheetOf(GetParam());
    ASSERT_FALSE(sheet.isEmpty());
    ParserWarnings warnings;
    {
        Gallery gallery; // the sheet on one window's controls
        gallery.window.setStyleSheet(sheet);
        gallery.render();
    }
    {
        Gallery gallery; // and on the whole application, as the skin menu sets it
        qApp->setStyleSheet(sheet);
        gallery.render();
    }
    EXPECT_TRUE(warnings.messages().isEmpty()) << warnings.messages().join(u'\n').toStdString();

    // Every picture a rule names is in the resources.
    static const QRegularExpression url(QStringLiteral("url\\(([^)]+)\\)"));
    for (auto it = url.globalMatch(sheet); it.hasNext();) {
        const QString path = it.next().captured(1);
        EXPECT_FALSE(QPixmap(path).isNull()) << path.toStdString();
    }
}

TEST_P(SkinTest, EveryKindOfControlAndTheMenusHaveRulesInPlainColours)
{
    const Rules rules = parseRules(sheetOf(GetParam()));
    // Qt drops a colour it cannot read without a word: each one must be #rrggbb (or none).
    static const QRegularExpression plain(
        QStringLiteral("^(#[0-9a-fA-F]{6}|none|transparent|url\\([^)]+\\))$"));
    static const QRegularExpression border(
        QStringLiteral("^(none|\\d+px solid (#[0-9a-fA-F]{6}|transparent))$"));
    for (const auto& [selector, declarations] : rules)
        for (const auto& [property, value] : declarations) {
            if (property.contains(QStringLiteral("color")) ||
                property.startsWith(QStringLiteral("background")))
                EXPECT_TRUE(plain.match(value).hasMatch())
                    << selector.toStdString() << " " << property.toStdString() << ": " << value.toStdString();
            else if (property.startsWith(QStringLiteral("border")) &&
                     !property.endsWith(QStringLiteral("radius")))
                EXPECT_TRUE(border.match(value).hasMatch())
                    << selector.toStdString() << " " << property.toStdString() << ": " << value.toStdString();
        }
    for (const char* selector : {"QMainWindow",
                                 "QDialog",
                                 "QLabel:disabled",
                                 "QLineEdit",
                                 "QPlainTextEdit",
                                 "QListWidget",
                                 "QPushButton",
                                 "QCheckBox::indicator",
                                 "QRadioButton::indicator",
                                 "QGroupBox",
                                 "QGroupBox::title",
                                 "QComboBox",
                                 "QComboBox::down-arrow",
                                 "QComboBox QAbstractItemView",
                                 "QAbstractItemView",
                                 "QHeaderView::section",
                                 "UpDown QToolButton",
                                 "QToolButton",
                                 "QFrame[frameShape=\"4\"]",
                                 "QScrollBar:vertical",
                                 "QMenuBar",
                                 "QMenuBar::item",
                                 "QMenuBar::item:disabled",
                                 "QMenu",
                                 "QMenu::item",
                                 "QMenu::item:selected",
                                 "QMenu::item:disabled",
                                 "QMenu::indicator",
                                 "QToolTip",
                                 "LinkLabel"})
        EXPECT_TRUE(rules.count(QString::fromLatin1(selector))) << selector;
}

TEST_P(SkinTest, TextIsReadableOnItsBackground)
{
    const Rules rules = parseRules(sheetOf(GetParam()));
    struct Pair {
        const char* what;
        const char* textSelector;
        const char* textProperty;
        const char* backSelector;
        const char* backProperty;
    };
    const Pair pairs[] = {
        {"captions in the main window", "QWidget", "color", "QMainWindow", "background-color"},
        {"captions in dialogs", "QWidget", "color", "QDialog", "background-color"},
        {"group box titles", "QGroupBox::title", "color", "QMainWindow", "background-color"},
        {"links of the About box", "LinkLabel", "color", "QDialog", "background-color"},
        {"edits", "QLineEdit", "color", "QLineEdit", "background-color"},
        {"selected text", "QLineEdit", "selection-color", "QLineEdit", "selection-background-color"},
        {"list boxes", "QListWidget", "color", "QListWidget", "background-color"},
        {"selected list items", "QListWidget::item:selected", "color", "QListWidget::item:selected",
         "background-color"},
        {"combo box lists", "QComboBox QAbstractItemView", "color", "QComboBox QAbstractItemView",
         "background-color"},
        {"the event log", "QPlainTextEdit", "color", "QPlainTextEdit", "background-color"},
        {"file lists and the side bar", "QAbstractItemView", "color", "QAbstractItemView",
         "background-color"},
        {"selected files", "QAbstractItemView", "selection-color", "QAbstractItemView",
         "selection-background-color"},
        {"column headers", "QHeaderView::section", "color", "QHeaderView::section", "background-color"},
        {"buttons", "QPushButton", "color", "QPushButton", "background-color"},
        {"hovered buttons", "QPushButton", "color", "QPushButton:hover", "background-color"},
        {"pressed buttons", "QPushButton:pressed", "color", "QPushButton:pressed", "background-color"},
        {"speed buttons", "QToolButton", "color", "QToolButton", "background-color"},
        {"hints", "QToolTip", "color", "QToolTip", "background-color"},
        {"the menu bar", "QMenuBar::item", "color", "QMenuBar::item", "background-color"},
        {"the open menu bar item", "QMenuBar::item:selected", "color", "QMenuBar::item:selected",
         "background-color"},
        {"menu items", "QMenu::item", "color", "QMenu::item", "background-color"},
        {"the selected menu item", "QMenu::item:selected", "color", "QMenu::item:selected",
         "background-color"},
    };
    for (const Pair& p : pairs) {
        const QColor text =
            colourOf(rules, QString::fromLatin1(p.textSelector), QString::fromLatin1(p.textProperty));
        const QColor back =
            colourOf(rules, QString::fromLatin1(p.backSelector), QString::fromLatin1(p.backProperty));
        ASSERT_TRUE(text.isValid() && back.isValid()) << p.what;
        EXPECT_GE(contrast(text, back), 4.5)
            << p.what << ": " << text.name().toStdString() << " on " << back.name().toStdString();
    }
    // Disabled menu items stay apart from enabled ones.
    EXPECT_NE(colourOf(rules, QStringLiteral("QMenu::item:disabled"), QStringLiteral("color")),
              colourOf(rules, QStringLiteral("QMenu::item"), QStringLiteral("color")));
}

TEST_P(SkinTest, ChosenWithAClickAppliesAtOnce)
{
    const int skin = GetParam();
    QSignalSpy applied(w.sSkinManager1, &SkinManager::skinApplied);
    clickSkinItem(skin);

    const QString name = QString::fromLatin1(InternalSkins[std::size_t(skin)].name);
    EXPECT_EQ(w.sSkinManager1->SkinName(), name);
    EXPECT_EQ(qApp->styleSheet(), sheetOf(skin));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(item(i)->isChecked(), i == skin) << i;
    // The default skin's item was already checked: its click changes nothing.
    const bool wasChecked = skin == SkinManager::DefaultSkin;
    EXPECT_EQ(applied.count(), wasChecked ? 0 : 1);
    EXPECT_EQ(w.skinNumber, wasChecked ? -1 : skin);

    // The window shows the skin now: the event log's background is the sheet's, and the
    // client area keeps its size whatever the menu bar's height.
    const Rules rules = parseRules(sheetOf(skin));
    QPlainTextEdit* log = ui()->Info;
    EXPECT_EQ(pixelOf(log, QPoint(log->width() / 2, log->height() - 4)),
              colourOf(rules, QStringLiteral("QPlainTextEdit"), QStringLiteral("background-color")));
    EXPECT_EQ(w.centralWidget()->size(), QSize(738, 736));
}

TEST_P(SkinTest, MenuBarShowsEnabledAndCaptionChanges)
{
    clickSkinItem(GetParam());
    QMenuBar* bar = ui()->MainMenu;
    QAction* profile = ui()->Mfprof->menuAction(); // "Rд", disabled until a variant is connected
    const auto itemImage = [&](QAction* a) { return bar->grab(bar->actionGeometry(a)).toImage(); };

    const QImage disabled = itemImage(profile);
    ui()->Mfprof->setEnabled(true);
    profile->setEnabled(true);
    ASSERT_TRUE(testsupport::waitUntil([&] { return itemImage(profile) != disabled; }));

    const QImage before = itemImage(ui()->J1);
    ui()->J1->setText(QStringLiteral("About"));
    ASSERT_TRUE(testsupport::waitUntil([&] { return itemImage(ui()->J1) != before; }));
}

TEST_P(SkinTest, ToneOfAProfileEditShowsOverTheSkin)
{
    const int skin = GetParam();
    clickSkinItem(skin);
    const QColor skinBack =
        colourOf(parseRules(sheetOf(skin)), QStringLiteral("QLineEdit"), QStringLiteral("background-color"));
    QDialog window;
    auto* edit = new TsEdit(&window);
    edit->setGeometry(10, 10, 80, 24);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QPoint inside(edit->width() - 6, edit->height() / 2); // right of the (empty) text

    const QColor normal = edit->colorTone();
    EXPECT_EQ(normal, skinBack);
    edit->setColorTone(QColor(255, 0, 0));
    EXPECT_EQ(edit->colorTone(), QColor(255, 0, 0));
    EXPECT_EQ(pixelOf(edit, inside), QColor(255, 0, 0));
    edit->setColorTone(normal);
    EXPECT_EQ(pixelOf(edit, inside), skinBack);

    // Another skin while the edit is in its normal tone: it follows the new skin.
    const int other = (skin + 1) % 5;
    w.SkinMenuClick(item(other));
    const QColor otherBack =
        colourOf(parseRules(sheetOf(other)), QStringLiteral("QLineEdit"), QStringLiteral("background-color"));
    EXPECT_EQ(pixelOf(edit, inside), otherBack);
    EXPECT_EQ(edit->colorTone(), otherBack);
}

INSTANTIATE_TEST_SUITE_P(Skins, SkinTest, ::testing::Range(0, 5), [](const auto& info) {
    return QString::fromLatin1(InternalSkins[std::size_t(info.param)].resource)
        .section(u'/', -1)
        .section(u'.', 0, 0)
        .toStdString();
});

// ---------------------------------------------------------------- the dialogs as drawn

namespace
{

constexpr double MinContrast = 4.5; // WCAG AA for text of normal size

// Collects the pieces of text of shown dialogs whose contrast is too low. The colour that covers
// most of a piece is its background; the one that stands out most from it is the text.
class Readability
{
public:
    void check(const QString& what, QWidget* part, const QRect& rect)
    {
        QWidget* window = part->window();
        const QImage image = window->grab(QRect(part->mapTo(window, rect.topLeft()), rect.size())).toImage();
        std::map<QRgb, int> count;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ++count[image.pixel(x, y)];
        QRgb back = 0;
        int most = 0;
        for (const auto& [colour, n] : count)
            if (n > most) {
                most = n;
                back = colour;
            }
        QRgb text = back;
        double ratio = 1;
        for (const auto& [colour, n] : count)
            if (const double c = contrast(QColor(colour), QColor(back)); c > ratio) {
                ratio = c;
                text = colour;
            }
        if (ratio < MinContrast)
            m_faults << QStringLiteral("%1: %2 on %3, %4 : 1")
                            .arg(what, QColor(text).name(), QColor(back).name())
                            .arg(ratio, 0, 'f', 2);
    }

    // The widget without its frame.
    void check(const QString& what, QWidget* widget, int inset = 4)
    {
        check(what, widget, widget->rect().adjusted(inset, inset, -inset, -inset));
    }

    // Every non-empty cell the view shows; icons are drawn at 16 pixels and left out, so that
    // only the text is measured.
    void checkItems(const QString& what, QAbstractItemView* view)
    {
        constexpr int IconSize = 16, IconMargins = 8;
        view->setIconSize(QSize(IconSize, IconSize));
        QCoreApplication::processEvents();
        const QAbstractItemModel* model = view->model();
        const QModelIndex root = view->rootIndex();
        for (int row = 0; row < model->rowCount(root); ++row)
            for (int column = 0; column < model->columnCount(root); ++column) {
                const QModelIndex index = model->index(row, column, root);
                const QString text = index.data().toString();
                QRect rect = view->visualRect(index).intersected(view->viewport()->rect());
                if (!index.data(Qt::DecorationRole).isNull())
                    rect.setLeft(rect.left() + IconSize + IconMargins);
                if (!text.isEmpty() && rect.width() > 8)
                    check(what + QStringLiteral(" \"") + text + QLatin1Char('"'), view->viewport(), rect);
            }
    }

    void checkHeader(const QString& what, QHeaderView* header)
    {
        for (int i = 0; i < header->count(); ++i)
            if (!header->isSectionHidden(i))
                check(QStringLiteral("%1 %2").arg(what).arg(i), header,
                      QRect(header->sectionViewportPosition(i), 0, header->sectionSize(i), header->height())
                          .adjusted(2, 2, -2, -2));
    }

    // The text and the buttons of a message box.
    void checkBox(const QString& what, QMessageBox* box)
    {
        check(what + QStringLiteral(" text"), box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")), 0);
        for (QAbstractButton* b : box->buttons())
            check(what + QStringLiteral(" button ") + b->text(), b);
    }

    const QStringList& faults() const { return m_faults; }

private:
    QStringList m_faults;
};

template <typename W> W* child(QWidget* parent, const char* name)
{
    return parent->findChild<W*>(QLatin1String(name));
}

class SkinDialogTest : public ::testing::TestWithParam<int>
{
protected:
    // Text is drawn without smoothing while the test runs, so that every pixel of a glyph has
    // the text's own colour and what is measured is the pair of colours, not the thin strokes.
    void SetUp() override
    {
        QFont font = m_font;
        font.setStyleStrategy(QFont::NoAntialias);
        QApplication::setFont(font);
        m_skins.setSkinName(QString::fromLatin1(InternalSkins[std::size_t(GetParam())].name));
    }
    void TearDown() override { QApplication::setFont(m_font); }

    const QFont m_font = QApplication::font();
    SkinManager m_skins;
    Readability m_readability;
};

} // namespace

TEST_P(SkinDialogTest, FileDialogAndItsQuestionAreReadable)
{
    QTemporaryDir folder;
    for (const char* name : {"a.txt", "b.txt"})
        testsupport::writeFileBytes(folder.filePath(QString::fromLatin1(name)), "x");
    QDir(folder.path()).mkdir(QStringLiteral("папка"));
    Readability& r = m_readability;
    bool questionShown = false;
    const testsupport::WhenShown<QFileDialog> player([&](QFileDialog* dialog) {
        EXPECT_TRUE(testsupport::showFolder(dialog, folder.path(), 3));
        QTest::mouseClick(child<QToolButton>(dialog, "detailModeButton"), Qt::LeftButton);
        auto* name = child<QLineEdit>(dialog, "fileNameEdit");
        name->clear();
        QTest::keyClicks(name, QStringLiteral("b.txt"));
        for (const char* label : {"lookInLabel", "fileNameLabel", "fileTypeLabel"})
            r.check(QString::fromLatin1(label), child<QLabel>(dialog, label), 0);
        r.check(QStringLiteral("file name"), name);
        for (const char* box : {"lookInCombo", "fileTypeCombo"}) {
            QWidget* combo = child<QComboBox>(dialog, box);
            r.check(QString::fromLatin1(box), combo, combo->rect().adjusted(4, 4, -22, -4));
        }
        for (QAbstractButton* b : dialog->findChild<QDialogButtonBox*>()->buttons())
            r.check(QStringLiteral("button ") + b->text(), b);

        auto* files = child<QTreeView>(dialog, "treeView");
        r.checkItems(QStringLiteral("file list"), files);
        r.checkHeader(QStringLiteral("column header"), files->header());
        r.checkItems(QStringLiteral("side bar"), child<QAbstractItemView>(dialog, "sidebar"));
        // The operator picks a file: it is selected in the focused list.
        const QModelIndex a = files->model()->index(1, 0, files->rootIndex());
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, files->visualRect(a).center());
        EXPECT_TRUE(files->selectionModel()->isSelected(a));
        r.checkItems(QStringLiteral("file list with a.txt selected"), files);

        QTest::mouseClick(child<QToolButton>(dialog, "listModeButton"), Qt::LeftButton);
        r.checkItems(QStringLiteral("file icons list"), child<QAbstractItemView>(dialog, "listView"));

        auto* types = child<QComboBox>(dialog, "fileTypeCombo");
        types->showPopup();
        EXPECT_TRUE(testsupport::waitUntil([&] { return types->view()->isVisible(); }));
        r.checkItems(QStringLiteral("filter list"), types->view());
        types->hidePopup();

        const testsupport::WhenShown<QMessageBox> question([&](QMessageBox* box) {
            questionShown = true;
            r.checkBox(QStringLiteral("overwrite question"), box);
            box->button(QMessageBox::No)->click();
        });
        EXPECT_EQ(name->text(), QStringLiteral("a.txt"));
        QTest::mouseClick(testsupport::acceptButton(dialog), Qt::LeftButton);
        dialog->reject();
    });
    FileDialogRequest request;
    request.kind = FileDialogKind::Save;
    request.defaultExt = QStringLiteral("txt");
    request.filter = QStringLiteral("Профиль номиналов (*.txt)|*.txt|Протокол(*.docx)|*.docx");
    request.overwritePrompt = true;
    EXPECT_TRUE(ExecuteFileDialog(request).isEmpty());
    EXPECT_TRUE(player.played());
    EXPECT_TRUE(questionShown);
    EXPECT_TRUE(r.faults().isEmpty()) << r.faults().join(u'\n').toStdString();
}

TEST_P(SkinDialogTest, MessageBoxesAreReadable)
{
    Readability& r = m_readability;
    {
        const testsupport::WhenShown<QMessageBox> player([&](QMessageBox* box) {
            r.checkBox(QStringLiteral("message box"), box);
            box->reject();
        });
        ShowMessageBox(QStringLiteral("Внимание"), QStringLiteral("Прибор не выбран!"), DialogType::Warning,
                       mbOK | mbCancel);
        EXPECT_TRUE(player.played());
    }
    {
        const testsupport::WhenShown<QDialog> player([&](QDialog* dialog) {
            for (QLabel* label : dialog->findChildren<QLabel*>())
                if (!label->text().isEmpty())
                    r.check(QStringLiteral("confirmation text"), label, 0);
            for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
                r.check(QStringLiteral("confirmation ") + b->text(), b,
                        qobject_cast<QCheckBox*>(b) ? b->rect() : b->rect().adjusted(4, 4, -4, -4));
            dialog->reject();
        });
        bool checked = false;
        ShowConfirmDialog(QStringLiteral("Перезаписать?"), QStringLiteral("Внимание"),
                          QStringLiteral("Больше не спрашивать"), &checked, DialogType::Confirmation,
                          mbOK | mbCancel);
        EXPECT_TRUE(player.played());
    }
    EXPECT_TRUE(r.faults().isEmpty()) << r.faults().join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Skins, SkinDialogTest, ::testing::Range(0, 5), [](const auto& info) {
    return QString::fromLatin1(InternalSkins[std::size_t(info.param)].resource)
        .section(u'/', -1)
        .section(u'.', 0, 0)
        .toStdString();
});

// ---------------------------------------------------------------- the menu as built

struct StoredChoice {
    const char* label;
    int skinNumber;
    int activeSkin;  // index of the skin drawn
    int checkedItem; // -1: none
};

void PrintTo(const StoredChoice& c, std::ostream* os)
{
    *os << c.label;
}

class SkinMenuBuildTest : public WindowFixture, public ::testing::WithParamInterface<StoredChoice>
{
};

TEST_P(SkinMenuBuildTest, ItemsNamesAndTheCheckedOne)
{
    const StoredChoice c = GetParam();
    w.skinNumber = c.skinNumber;
    w.BuildSkinMenu(); // as the creation handler does after reading settings.ini

    const QList<QAction*> items = ui()->skinMenu->actions();
    ASSERT_EQ(items.size(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(items[i]->text(), QStringLiteral("Обложка %1").arg(i + 1));
        EXPECT_EQ(items[i]->objectName(), QStringLiteral("s%1").arg(i));
        EXPECT_TRUE(items[i]->isCheckable());
        EXPECT_EQ(items[i]->isChecked(), i == c.checkedItem) << i;
    }
    EXPECT_EQ(w.sSkinManager1->SkinName(),
              QString::fromLatin1(InternalSkins[std::size_t(c.activeSkin)].name));
    EXPECT_EQ(qApp->styleSheet(), SkinManager::styleSheet(c.activeSkin));
}

INSTANTIATE_TEST_SUITE_P(Choices, SkinMenuBuildTest,
                         ::testing::Values(StoredChoice{"none", -1, 1, 1}, StoredChoice{"nautilus", 3, 3, 3},
                                           StoredChoice{"first", 0, 0, 0}, StoredChoice{"last", 4, 4, 4},
                                           StoredChoice{"outOfRange", 7, 1, -1},
                                           StoredChoice{"negative", -2, 1, -1}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(WindowFixture, SkinItemsFollowTheLanguage)
{
    w.SetLanguage(QStringLiteral("English"));
    const auto captions = [&] {
        QStringList texts;
        for (QAction* a : ui()->skinMenu->actions())
            texts << a->text();
        return texts;
    };
    EXPECT_EQ(captions(), (QStringList{"Theme 1", "Theme 2", "Theme 3", "Theme 4", "Theme 5"}));
    w.SetLanguage(QStringLiteral("Russian"));
    EXPECT_EQ(captions().front(), QStringLiteral("Обложка 1"));
    EXPECT_EQ(captions().back(), QStringLiteral("Обложка 5"));

    // Built in English, the items read "Theme" from the start.
    useEnglish();
    w.BuildSkinMenu();
    EXPECT_EQ(captions(), (QStringList{"Theme 1", "Theme 2", "Theme 3", "Theme 4", "Theme 5"}));
}

TEST_F(WindowFixture, UnknownOrCheckedSkinItemsChangeNothing)
{
    QSignalSpy applied(w.sSkinManager1, &SkinManager::skinApplied);
    QAction stray;
    stray.setObjectName(QStringLiteral("sX"));
    w.SkinMenuClick(&stray);
    stray.setObjectName(QStringLiteral("s9"));
    w.SkinMenuClick(&stray);
    w.SkinMenuClick(ui()->skinMenu->actions().at(1)); // checked already
    w.SkinMenuClick(nullptr);
    EXPECT_EQ(applied.count(), 0);
    EXPECT_FALSE(stray.isChecked());
    EXPECT_TRUE(ui()->skinMenu->actions().at(1)->isChecked());
    EXPECT_EQ(w.skinNumber, -1);
}
