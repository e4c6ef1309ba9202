#include "ui/key_test_mode.h"

#include "device/transfer.h"
#include "keydata/key_events.h"
#include "ui/main_window.h"

#include <QDateTime>
#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

namespace ptu {

KeyTestMode::KeyTestMode(TForm1& form, State& st, Platform& pf, std::function<void()> end)
    : form_(form), st_(st), pf_(pf)
{
    burstEnd_.setSingleShot(true);
    connect(&burstEnd_, &QTimer::timeout, this, [this] { endBurst(); });

    // The bar at the foot of the client area: what to do, and how to end it.
    bar_ = new QFrame(form.Client);
    bar_->setObjectName("KeyTestBar");
    bar_->setFrameShape(QFrame::StyledPanel);
    bar_->setAutoFillBackground(true);
    auto* row = new QHBoxLayout(bar_);
    barText_ = new QLabel(bar_);
    save_ = new QPushButton("&Save Report...", bar_);
    done_ = new QPushButton("&Done", bar_);
    for (QPushButton* b : {save_, done_}) b->setFocusPolicy(Qt::NoFocus);  // keys belong to the test
    row->addWidget(barText_, 1);
    row->addWidget(save_);
    row->addWidget(done_);
    const int h = bar_->sizeHint().height();
    bar_->setGeometry(0, form.Client->height() - h, form.Client->width(), h);
    bar_->show();
    connect(save_, &QPushButton::clicked, this, [this] { chooseReportFile(); });
    connect(done_, &QPushButton::clicked, this, [this] { QTimer::singleShot(0, end_); });
    end_ = std::move(end);

    restart();
    startCapture();
}

void KeyTestMode::startCapture()
{
    capture_ = std::make_unique<KeyCapture>(
        [this](uint32_t code, bool press, const QKeyEvent& e) { stroke(code, press, e); },
        [this] { QTimer::singleShot(0, end_); });
}

KeyTestMode::~KeyTestMode()
{
    capture_.reset();
    for (KeyPanel* p : form_.aKey) p->setTested(false);
    delete bar_;
    form_.statusBar()->showMessage("The key test has ended: " + QString::fromStdString(tester_->count()), 15000);
}

void KeyTestMode::restart()
{
    page_ = st_.kd.pi;
    tester_ = std::make_unique<KeyTester>(st_, page_);
    codes_.clear();
    noCode_.clear();
    reported_ = true;
    for (KeyPanel* p : form_.aKey) p->setTested(false);
    say("");
}

void KeyTestMode::pageShown()
{
    if (st_.kd.pi != page_) restart();
}

void KeyTestMode::say(const std::string& what)
{
    // The bar keeps the count and how to end the test; the status bar says
    // what the last burst was.
    const std::string page = page_ == 5 ? "P" : std::to_string(page_ + 1);
    barText_->setText(QString::fromStdString("Testing the keys of page " + page + ": " + tester_->count() +
                                             ". Press each programmed key; Escape held one second or Done ends "
                                             "the test."));
    if (what.empty()) {
        st_.log.printf(" key test: %s \n", tester_->count().c_str());
        return;
    }
    form_.statusBar()->showMessage(QString::fromStdString(what));
    st_.log.printf(" key test: %s. %s \n", what.c_str(), tester_->count().c_str());
}

void KeyTestMode::stroke(uint32_t keycode, bool press, const QKeyEvent& e)
{
    const KeyStroke s = keyStroke(st_.loc.tset, keycode, press);
    if (!s.known && press) {
        // Named, not dropped: the burst then matches no key.
        const QString name = QKeySequence(e.key()).toString();
        noCode_ += (noCode_.empty() ? "" : ", ") + (name.isEmpty() ? "key code " + std::to_string(keycode)
                                                                   : name.toStdString());
    }
    codes_ += s.codes;
    burstEnd_.start(tester_->burstGapMs());
}

void KeyTestMode::endBurst()
{
    if (codes_.empty() && noCode_.empty()) return;
    std::string what;
    if (!noCode_.empty() && codes_.empty()) {
        what = "The key " + noCode_ + " has no code on the keyboard: it matches no key";
    } else {
        const KeyTester::Burst b = tester_->burst(codes_, !noCode_.empty());
        if (b.matched) form_.panelAt(b.col, b.row)->setTested(true);
        what = tester_->describe(b);
        if (!noCode_.empty()) what += " (keys without a code: " + noCode_ + ")";
    }
    codes_.clear();
    noCode_.clear();
    reported_ = false;
    say(what);
}

void KeyTestMode::offerReport()
{
    endBurst();
    if (reported_) return;
    capture_.reset();  // the question and the file dialog take keys
    if (pf_.messageBox("Save a report of the key test?\n\n" + tester_->count() + ".", kAppTitle,
                       MB_YESNO | MB_ICONQUESTION) == IDYES)
        chooseReportFile();
}

bool KeyTestMode::saveReport(const std::string& path, std::string& why) const
{
    QFile f(QString::fromLocal8Bit(path.c_str()));
    const std::string text =
        tester_->report(QDateTime::currentDateTime().toString("yyyy-MM-dd hh:mm").toStdString());
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(text.data(), qint64(text.size())) != qint64(text.size()) ||
        !f.flush()) {
        why = f.errorString().toStdString();
        return false;
    }
    return true;
}

void KeyTestMode::chooseReportFile()
{
    capture_.reset();  // the file dialog takes keys
    const std::string path = pf_.chooseFile({true, "Save Key Test Report", "Text files (*.txt);;All files (*)", "txt"});
    std::string why;
    if (!path.empty() && !saveReport(path, why))
        pf_.messageBox("The report was not saved: " + path + ": " + why, kAppTitle, MB_OK | MB_ICONSTOP);
    else if (!path.empty()) {
        reported_ = true;
        say("The report was saved in " + path);
    }
    startCapture();
}

}  // namespace ptu
