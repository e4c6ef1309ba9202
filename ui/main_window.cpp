#include "ui/main_window.h"

#include "device/rwkb.h"
#include "device/transfer.h"
#include "keydata/captions.h"
#include "keydata/default_labels.h"
#include "keydata/keypos.h"
#include "ui/colours.h"
#include "ui/focus_return.h"
#include "ui/grid_geometry.h"
#include "ui/help_window.h"
#include "ui/key_recording.h"
#include "ui/key_test_mode.h"
#include "ui/row_box.h"
#include "ui/screen_text.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>

#include <filesystem>
#include <system_error>

namespace ptu {

namespace {

constexpr int kInfoAttempts = 5;
constexpr int kSettlePasses = 10;
constexpr int kStatusPanelWidth = 150;
constexpr char kQuitCaption[] = "Tessaral POS Keyboard";

void setBoxColour(QWidget* w, Colour c)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Base, toQColor(c, QApplication::palette()));
    w->setPalette(p);
}

}  // namespace

// What the last Read, Write, Load or Save left: quitting says what changed since.
struct TForm1::Saved {
    PageTexts hbuf;
    PageTexts kcap;
    Registers rg;
    std::array<uint8_t, 7> magcfg;
};

TForm1::TForm1(State& st, Platform& pf, Setup setup, QWidget* parent)
    : QMainWindow(parent), st_(st), pf_(pf), setup_(std::move(setup))
{
    setObjectName("Form1");
    st_.log.printf(" in TForm1 at %ld \n", pf_.now());
    const LanguageIds& id = setup_.lang;
    st_.loc.tset = chooseTableSet(st_.log, id.lcid, id.lgid, id.ulgid);
    if (st_.log.log_fp) std::fflush(st_.log.log_fp);

    QFont f = font();
    f.setPixelSize(11);
    setFont(f);

    Client = new QWidget(this);
    Client->setObjectName("Client");
    Client->setAutoFillBackground(true);
    QPalette teal = Client->palette();
    teal.setColor(QPalette::Window, toQColor(clTeal));
    Client->setPalette(teal);
    setCentralWidget(Client);

    Edit1 = new QLineEdit(Client);
    Edit1->setObjectName("Edit1");
    Edit1->setFrame(false);
    Edit1->setReadOnly(true);
    Edit1->setGeometry(20, 20, 1, 1);

    // The panels, then the messages in a place of their own: the status
    // bar would draw its messages over the panels. The row is one
    // permanent item, so the bar neither hides the panels nor draws a
    // message anywhere else.
    auto* row = new QWidget(this);
    auto* rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    for (size_t i = 0; i < StatusPanel.size(); ++i) {
        StatusPanel[i] = new QLabel(row);
        // 150 pixels, wider for a longer text rather than cut.
        StatusPanel[i]->setMinimumWidth(kStatusPanelWidth);
        rowLayout->addWidget(StatusPanel[i]);
    }
    auto* message = new QLabel(row);
    message->setObjectName("StatusMessage");
    message->setMinimumWidth(0);
    message->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    rowLayout->addWidget(message, 1);
    statusBar()->addPermanentWidget(row, 1);
    connect(statusBar(), &QStatusBar::messageChanged, message, [message](const QString& text) {
        message->setText(text);
        message->setToolTip(text);
    });
    statusBar()->setSizeGripEnabled(false);
    DataSource = new QLabel(this);
    DataSource->setObjectName("DataSource");
    statusBar()->addPermanentWidget(DataSource);
    MemoryMeter = new QLabel(this);
    MemoryMeter->setObjectName("MemoryMeter");
    statusBar()->addPermanentWidget(MemoryMeter);

    buildMenu();
    buildPopupMenu();
    switchOffPopupItems();
    Client->setAcceptDrops(true);
    qApp->installEventFilter(this);
    focusReturn_ = new FocusReturn(this);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
        if (s == Qt::ApplicationActive && created_) FormActivate();
    });
}

TForm1::~TForm1()
{
    qApp->removeEventFilter(this);
    FormDestroy();
    st_.log.close();
}

KeyPanel* TForm1::currentPanel() const
{
    const int pi = st_.kd.pi;
    const int c = st_.kd.kxi[size_t(pi)], r = st_.kd.kyi[size_t(pi)];
    if (c < 0 || c >= kCols || r < 0 || r >= kRows) return nullptr;
    return panelAt(c, r);
}

std::string TForm1::findData(const std::string& name) const { return findDataFile(setup_.dataFolders, name); }

std::string TForm1::detect()
{
    pf_.holdMouse(true);
    pf_.progressText("Detecting Keyboard ...", kKeepColour);
    pf_.progressRepaint();
    pf_.pump();
    rwkb(st_, pf_, MODE_8042, st_.buf.obuf);
    rwkb(st_, pf_, MODE_8042, st_.buf.obuf);
    // Each attempt waits half a second and more: the box says what for,
    // and is painted between them.
    const std::string device = st_.fl.usb_f ? std::string() : pf_.deviceName();
    bool answered = false;
    for (int i = 0; i < kInfoAttempts && !answered; ++i) {
        if (!device.empty())
            pf_.progressText("Detecting Keyboard ...\nwaiting for the keyboard driver at " + device + " (attempt " +
                                 std::to_string(i + 1) + " of " + std::to_string(kInfoAttempts) + ")",
                             kKeepColour);
        pf_.progressRepaint();
        pf_.pump();
        answered = rwkb(st_, pf_, MODE_INFO, st_.buf.obuf) == RWKB_OK;
    }
    pf_.progressText("Detecting Finished!", kKeepColour);
    pf_.progressRepaint();
    // Clicks made while the keyboard was detected are dropped.
    for (int i = 0; i < kSettlePasses; ++i) {
        pf_.pump();
        pf_.sleep(100);
    }
    pf_.holdMouse(false);
    if (st_.fl.usb_f || (answered && st_.rg.r2a != 0)) return {};
    if (!answered) {
        const std::string why = pf_.deviceProblem();
        return why.empty() ? "No keyboard answered the identification in " + std::to_string(kInfoAttempts) + " attempts."
                           : "No keyboard answered: " + why + ".";
    }
    return "The keyboard answered without naming its model.";
}

bool TForm1::FormCreate()
{
    Log& log = st_.log;
    log.printf("\n In FormCreate at %ld \n", pf_.now());
    const std::string unnamed = detect();
    if (setup_.choosers.explain) setup_.choosers.explain(unnamed);

    const std::optional<std::string> caption = modelDecision(st_, pf_, setup_.dataFolders, setup_.choosers);
    if (!caption) {
        QCoreApplication::quit();
        return false;
    }

    placeWindow();

    update_globals(st_);
    st_.kd.kxi.fill(st_.mv.kxs);
    st_.kd.kyi.fill(st_.mv.kys);
    buildGrid();
    buildRowBoxes();

    log.printf(" kpe->Height=%d \n", kpe[0]->height());
    log.printf(" kpe->Font->Size=%d \n", kpe[0]->font().pointSize());
    log.printf(" ked->Height=%d \n", ked[0]->height());
    log.printf(" ked->Font->Size=%d \n", ked[0]->font().pointSize());

    switchOffMenuItems();
    finishCaption(*caption);

    std::error_code ec;
    curdir = std::filesystem::current_path(ec).string();
    log.printf(" curdir=%s \n", curdir.c_str());

    pf_.progressHide();
    pf_.progressRepaint();
    created_ = true;
    synckeys();
    updateMeter();
    markSaved();
    return true;
}

void TForm1::buildGrid()
{
    const ModelValues& mv = st_.mv;
    const GridGeometry g(Client->width(), Client->height(), mv);
    const FirstPageFaces faces = defaultLabels(st_);
    QFont f = font();
    f.setPointSize(g.panelFontSize());
    for (int y = 0; y < kRows; ++y) {
        for (int x = 0; x < kCols; ++x) {
            auto* p = new KeyPanel(Client, this, x, y);
            aKey[size_t(y * kCols + x)] = p;
            p->setFont(f);
            p->setCaption(shown(st_, keyCell(st_.kd.kcap, 0, x, y)));
            if (faces.yellow[size_t(y)][size_t(x)]) {
                p->setCaptionFont(true, false, clYellow);
                p->setHint(shown(st_, faces.hint[size_t(y)][size_t(x)]));
            }
            const Box b = g.panel(x, y);
            p->setGeometry(b.left, b.top, b.width, b.height);
            p->Tag = x * mv.kyn + y;
            p->setVisible(keyUse(st_, 0, x, y) == KEY_USABLE);
        }
    }
}

void TForm1::buildRowBoxes()
{
    const ModelValues& mv = st_.mv;
    const GridGeometry g(Client->width(), Client->height(), mv);
    for (int i = 0; i < kRows; ++i) {
        const bool shown = keyUse(st_, 0, mv.kxs, i) == KEY_USABLE;

        auto* name = new RowBox(Client, i, false);
        name->setObjectName(QString("kpe%1").arg(i));
        Box b = g.kpe(i);
        name->setGeometry(b.left, b.top, b.width, b.height);
        QFont nf = font();
        nf.setPointSize(GridGeometry::kpeFontSize(b.height));
        name->setFont(nf);
        setBoxColour(name, clBtnFace);
        name->setMaxLength(9);
        name->setAlignment(Qt::AlignCenter);
        name->setFrame(mv.kyn <= 6);
        name->setText(ptu::shown(st_, positionName(mv, 0, mv.kxs, i)));
        name->setVisible(shown);
        connect(name, &QLineEdit::textEdited, this, [this, name] { refuseForeign(name); });
        kpe[size_t(i)] = name;

        auto* text = new RowBox(Client, i, true);
        text->setObjectName(QString("ked%1").arg(i));
        b = g.ked(i);
        text->setGeometry(b.left, b.top, b.width, b.height);
        QFont tf = font();
        tf.setPointSize(GridGeometry::kedFontSize(b.height));
        text->setFont(tf);
        setBoxColour(text, clWindow);
        text->setMaxLength(kKeyTextBoxMax);
        text->setVisible(shown);
        text->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(text, &QLineEdit::customContextMenuRequested, this,
                [this, text](const QPoint& pos) { showPopup(text->mapToGlobal(pos)); });
        connect(text, &QLineEdit::textChanged, this, [this, text] { kedChange(text); });
        connect(text, &QLineEdit::textEdited, this, [this, text] { refuseForeign(text); });
        ked[size_t(i)] = text;
    }
}

void TForm1::finishCaption(const std::string& caption)
{
    Log& log = st_.log;
    std::string cap = caption;
    if (st_.fl.usb_f) {
        const FirstLine l = readFirstLine(findData("uptu.ini"), 255);
        if (l.opened && l.hasLine) cap = l.text;
        const QFileInfo exe(QString::fromStdString(setup_.exePath));
        const std::string stamp =
            exe.exists() ? exe.lastModified().toString("yyyy-MM-dd hh:mm").toStdString() : std::string("?");
        log.printf(" vnum=%lx, ptu.exe=%s \n", pf_.versionNumber(), stamp.c_str());
    }
    log.printf(" caption0=%s \n", cap.c_str());
    char hex[8];
    std::snprintf(hex, sizeof hex, "%x", unsigned(st_.rg.r2e));
    cap += std::string(".") + hex;
    setWindowTitle(QString::fromLocal8Bit(cap.c_str()));
    log.printf(" caption1=%s \n", cap.c_str());
}

void TForm1::setStatus(int panel, const std::string& text)
{
    if (panel >= 0 && panel < int(StatusPanel.size()))
        StatusPanel[size_t(panel)]->setText(QString::fromLocal8Bit(text.c_str()));
}

void TForm1::markSaved()
{
    if (!saved_) saved_ = std::make_unique<Saved>();
    saved_->hbuf = st_.kd.hbuf;
    saved_->kcap = st_.kd.kcap;
    saved_->rg = st_.rg;
    saved_->magcfg = st_.kd.magcfg;
    showDataSource();
}

bool TForm1::differsFromDataFile() const { return !dataFile_.empty() && (fromKeyboard_ || !unsavedChanges().empty()); }

void TForm1::showDataSource()
{
    if (!DataSource) return;
    const bool changed = !unsavedChanges().empty();
    const QString file = QString::fromLocal8Bit(dataFile_.c_str());
    QString where = fromKeyboard_ ? "from the keyboard" : dataFile_.empty() ? "no data file" : QFileInfo(file).fileName();
    QString tip = fromKeyboard_ ? "The key data was read from or written to the keyboard"
                  : dataFile_.empty() ? "The key data is in no data file yet"
                                      : "The key data came from " + file;
    if (fromKeyboard_ && !dataFile_.empty()) tip += " after " + file + " was last saved or opened";
    tip += changed ? ", and has changed since the last Save, Open, Read or Write."
                   : "; it has not changed since the last Save, Open, Read or Write.";
    const QString text = changed ? where + " (changed)" : where;
    if (text != DataSource->text() && st_.log.isOpen()) {
        st_.log.printf(" data source: %s \n", text.toLocal8Bit().constData());
        std::fflush(st_.log.log_fp);
    }
    DataSource->setText(text);
    DataSource->setToolTip(tip);
    DataSource->setStyleSheet(changed ? "font-weight: bold;" : "");
}

std::string TForm1::unsavedChanges() const
{
    if (!saved_) return {};
    int keys = 0;
    for (size_t p = 0; p < size_t(kPages); ++p)
        for (size_t r = 0; r < size_t(kRows); ++r)
            for (size_t c = 0; c < size_t(kCols); ++c)
                keys += keyCell(st_.kd.hbuf, p, c, r) != keyCell(saved_->hbuf, p, c, r) || keyCell(st_.kd.kcap, p, c, r) != keyCell(saved_->kcap, p, c, r);
    const Registers& a = st_.rg;
    const Registers& b = saved_->rg;
    const bool settings = a.r27 != b.r27 || a.r28 != b.r28 || a.r29 != b.r29 || a.ldt != b.ldt ||
                          st_.kd.magcfg != saved_->magcfg;
    const std::string since = " changed since the last Save or Write.";
    const std::string counted = std::to_string(keys) + (keys == 1 ? " key" : " keys");
    if (keys && settings) return counted + " and the keyboard settings" + since;
    if (keys) return counted + since;
    if (settings) return "The keyboard settings" + since;
    return {};
}

bool TForm1::askQuit()
{
    const std::string changes = unsavedChanges();
    const std::string text = changes.empty() ? "Quit the program?" : "Quit the program?\n\n" + changes;
    return pf_.messageBox(text, kQuitCaption, MB_OKCANCEL) == IDOK;
}

void TForm1::Exit1Click()
{
    if (!askQuit()) return;
    quitting_ = true;
    close();
}

void TForm1::reportFault(const std::string& what)
{
    pf_.messageBox(what, kAppTitle, MB_OK | MB_ICONSTOP);
}

void TForm1::Help1Click()
{
    const std::string path = findData("ptu-help.html");
    if (!std::filesystem::is_regular_file(path)) {
        pf_.messageBox("The help page ptu-help.html was not found beside the program.", kAppTitle,
                       MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    HelpWindow::showContents(this, QString::fromStdString(path), [this](QWidget* over) { About1Click(over); });
}

void TForm1::About1Click(QWidget* over)
{
    if (aboutCommand) aboutCommand(over ? over : this);
    Edit1->setFocus();
}

void TForm1::FormActivate()
{
    st_.log.printf(" In FormActivate, r2a=%x, tm=%ld \n", st_.rg.r2a, pf_.now());
    Edit1->setFocus();
}

void TForm1::FormShow()
{
    st_.log.printf(" In FormShow at %ld \n", pf_.now());
    pf_.progressHide();
    Edit1->setFocus();
    focusReturn_->owe(this);
}

void TForm1::FormMouseDown(Qt::MouseButton button)
{
    st_.log.printf(" in FormMouseDown at %ld \n", pf_.now());
    // Only the left button: the right one opens the special-key menu while
    // a key text is edited, and must not end the editing.
    if (button != Qt::LeftButton) return;
    Edit1->setFocus();
    // A click on the background also puts away a progress box left standing.
    st_.log.printf(" In FormClick at %ld \n", pf_.now());
    pf_.progressHide();
}

void TForm1::FormResize()
{
    st_.log.printf(" in FormResize at %ld \n", pf_.now());
    setStatus(0, std::to_string(width()));
    setStatus(1, std::to_string(height()));
    setStatus(2, std::to_string(y()));
    setStatus(3, std::to_string(x()));
}

void TForm1::FormDestroy() { st_.log.printf("In FormDestroy \n"); }

void TForm1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (created_) FormShow();
}

void TForm1::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TForm1::mousePressEvent(QMouseEvent* event)
{
    QMainWindow::mousePressEvent(event);
    FormMouseDown(event->button());
}

void TForm1::closeEvent(QCloseEvent* event)
{
    // Closed by the window manager: the same question as Exit.
    if (!quitting_ && created_ && !askQuit()) {
        event->ignore();
        return;
    }
    quitting_ = true;
    event->accept();
}

}  // namespace ptu
