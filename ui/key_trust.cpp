// The window's side of the round-trip check: every key panel shows whether
// the keyboard gives its key text back as shown, and Save and Write list the
// keys that would not come back, or cannot be stored, before anything is
// stored or sent.
#include "device/hid.h"
#include "device/transfer.h"
#include "keydata/charset.h"
#include "keydata/default_labels.h"
#include "keydata/image_build.h"
#include "ui/main_window.h"
#include "ui/screen_text.h"

#include <QStatusBar>

namespace ptu {

namespace {

// A key text in a list line: its first 40 characters.
std::string excerpt(TableSetId set, const std::string& text)
{
    return text.empty() ? "(empty)" : screenText(set, text.substr(0, 40)) + (text.size() > 40 ? "..." : "");
}

std::string count(std::size_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

KeyCheck TForm1::checkCell(int col, int row, const std::string& text) const
{
    return checkKey(st_, st_.kd.pi, col, row, text, &usbForm());
}

void TForm1::showKeyText(KeyPanel* p, int col, int row)
{
    if (!p || col < 0 || col >= kCols || row < 0 || row >= kRows) return;
    const std::string& text = keyCell(st_.kd.hbuf, st_.kd.pi, col, row);
    p->setHint(shown(st_, text));
    const KeyCheck c = checkCell(col, row, text);
    p->setProblem(c.faithful() ? QString() : QString::fromStdString(describe(st_.loc.tset, c)));
}

std::string TForm1::problemSummary() const
{
    std::size_t n = 0;
    std::string pages;
    int lastPage = -1;
    for (const KeyProblem& k : checkKeys(st_, &usbForm())) {
        ++n;
        if (k.page == lastPage) continue;
        lastPage = k.page;
        pages += std::string(pages.empty() ? "" : ", ") + (k.page == 5 ? "P" : std::to_string(k.page + 1));
    }
    if (n == 0) return {};
    return count(n, "key text", "key texts") + " would not come back from the keyboard as shown (page" +
           (pages.size() > 1 ? "s " : " ") + pages + "): they are marked with an orange corner";
}

bool TForm1::refusedHere(int col, int row, const std::string& text, const char* command)
{
    const KeyCheck c = checkCell(col, row, text);
    if (c.verdict != KeyVerdict::notStored) return false;
    statusBar()->showMessage(QString::fromStdString(std::string(command) + " not done: " +
                                                    keyName(st_.kd.pi, col, row) + ": " + describe(st_.loc.tset, c)),
                             20000);
    return true;
}

std::string TForm1::keyName(int page, int col, int row) const
{
    std::string name = positionName(st_.mv, page, col, row);
    const std::string& cap = keyCell(st_.kd.kcap, page, col, row);
    if (!cap.empty() && cap != name) name += " " + screenText(st_.loc.tset, cap);
    return name;
}

bool TForm1::confirmKeys(const std::string& question)
{
    const TableSetId set = st_.loc.tset;
    const std::vector<KeyRef> leftOut = leftOutKeys(st_);
    std::vector<std::string> lines;
    std::size_t changed = 0;
    // A text that cannot be stored is named once, among the keys left out.
    for (const KeyProblem& k : checkKeys(st_, &usbForm())) {
        if (k.check.verdict == KeyVerdict::notStored) continue;
        ++changed;
        lines.push_back(keyName(k.page, k.col, k.row) + ": " +
                        excerpt(set, keyCell(st_.kd.hbuf, k.page, k.col, k.row)) + " - " +
                        describe(set, k.check));
    }
    for (const KeyRef& k : leftOut)
        lines.push_back(keyName(k.page, k.col, k.row) + ": " +
                        excerpt(set, keyCell(st_.kd.hbuf, k.page, k.col, k.row)) +
                        " - cannot be stored: " + leftOutReason(k.why));
    if (lines.empty()) return true;
    std::string head;
    if (changed > 0)
        head = count(changed, "key text", "key texts") + " would not come back from the keyboard as shown";
    if (!leftOut.empty())
        head += (head.empty() ? "" : ", and ") + count(leftOut.size(), "key", "keys") +
                " cannot be stored in the keyboard's memory and would be stored empty";
    head += ":";
    return pf_.listBox(head, lines, question, kAppTitle, MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK;
}

}  // namespace ptu
