// The window's own key handling: it sees every key before the control with
// the focus (the current key moves with the arrows, pages change with Page Up
// and Page Down, Ctrl+R and Ctrl+W run once Ctrl is released), the key
// clipboard, and the services the key text editor and the special-key menu use.
#include "keydata/keypos.h"
#include "ui/main_window.h"
#include "ui/row_box.h"
#include "ui/screen_text.h"

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

namespace ptu {

int virtualKey(int k)
{
    switch (k) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Backspace: return 0x08;
    case Qt::Key_Tab: return 0x09;
    case Qt::Key_Shift: return 0x10;
    case Qt::Key_Alt: return 0x12;
    case Qt::Key_Space: return 0x20;
    case Qt::Key_Insert: return 0x2D;
    default: break;
    }
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return k;
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return k;
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return 0x70 + (k - Qt::Key_F1);
    return 0;
}

int pressedChar(const QKeyEvent* e)
{
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const int k = e->key();
    if (k == Qt::Key_Return || k == Qt::Key_Enter) return ctrl ? 10 : 13;
    if (k == Qt::Key_Escape) return 27;
    if (ctrl && k >= Qt::Key_A && k <= Qt::Key_Z) return k - Qt::Key_A + 1;
    const QString t = e->text();
    if (t.isEmpty()) return 0;
    return int(t.toUcs4().value(0));
}

// The input a running Read or Write keeps from the window: its mouse and
// keys, and every shortcut (a menu command must not start in its pump passes).
static bool swallowedWhileBusy(const QWidget* form, QObject* watched, QEvent::Type t)
{
    switch (t) {
    case QEvent::Shortcut: return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::DragEnter:
    case QEvent::Drop: {
        auto* w = qobject_cast<QWidget*>(watched);
        return w && w->window() == form;
    }
    default: return false;
    }
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (!created_) return QMainWindow::eventFilter(watched, event);
    // The window's input rules in the order they apply: the first that
    // takes the event ends it.
    using Rule = bool (TForm1::*)(QObject*, QEvent*);
    static constexpr Rule kRules[] = {
        &TForm1::busyRule,        // while the keyboard is read or written nothing reaches the window
        &TForm1::ctrlCommandRule, // Ctrl+R and Ctrl+W run once Ctrl is released
        &TForm1::menuBarRule,     // the menu bar's menus give the keys back to the box being edited
        &TForm1::edit1Rule,       // Edit1 only holds the focus: its editing keys must not hide shortcuts
        &TForm1::dragRule,        // key panels dropped on the background, texts dropped into row boxes
        &TForm1::focusRule,       // the focus of the row boxes and Edit1 starts and ends the editing
        &TForm1::keyRule,         // every key once to the window's key handling, then to the row box's
    };
    for (Rule rule : kRules)
        if ((this->*rule)(watched, event)) return true;
    return false;
}

bool TForm1::busyRule(QObject* watched, QEvent* event)
{
    return busy_ && swallowedWhileBusy(this, watched, event->type());
}

bool TForm1::ctrlCommandRule(QObject* watched, QEvent* event)
{
    const QEvent::Type t = event->type();
    // Their shortcuts only leave the command pending (a menu choice runs it
    // at once). While a row box is edited the command itself says to finish
    // the editing.
    if (t == QEvent::Shortcut && (watched == Read1 || watched == Write1) && st_.kd.edit_f == 0) {
        ctrl_f = watched == Read1 ? 2 : 3;
        return true;
    }
    // A pending Ctrl command or a held Ctrl ends when the window loses the
    // activation, or Ctrl goes up where this window does not see it.
    if (watched == this && (t == QEvent::WindowDeactivate || t == QEvent::WindowActivate)) ctrl_f = 0;
    if (t == QEvent::KeyRelease && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Control) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w != keyTarget()) ctrl_f = 0;
    }
    return false;
}

bool TForm1::menuBarRule(QObject* watched, QEvent* event)
{
    return event->type() == QEvent::KeyPress && menuEscape(watched, static_cast<QKeyEvent*>(event));
}

bool TForm1::edit1Rule(QObject* watched, QEvent* event)
{
    return event->type() == QEvent::ShortcutOverride && watched == Edit1;
}

bool TForm1::dragRule(QObject* watched, QEvent* event)
{
    const QEvent::Type t = event->type();
    if (watched == Client && (t == QEvent::DragEnter || t == QEvent::DragMove || t == QEvent::Drop))
        return clientDragEvent(event);
    auto* box = dynamic_cast<RowBox*>(watched);
    return t == QEvent::Drop && box && box->window() == this && rowBoxDrop(box, static_cast<QDropEvent*>(event));
}

bool TForm1::focusRule(QObject* watched, QEvent* event)
{
    const QEvent::Type t = event->type();
    if (t != QEvent::FocusIn && t != QEvent::FocusOut && t != QEvent::MouseButtonPress &&
        t != QEvent::FocusAboutToChange)
        return false;
    auto* box = dynamic_cast<RowBox*>(watched);
    if (box && box->window() == this) return rowBoxEvent(box, event);
    if (watched != Edit1) return false;
    if (t == QEvent::FocusAboutToChange) focusFromEdit_ = 0;
    if (t != QEvent::FocusIn && t != QEvent::FocusOut) return false;
    const Qt::FocusReason why = static_cast<QFocusEvent*>(event)->reason();
    if (why == Qt::PopupFocusReason || why == Qt::ActiveWindowFocusReason) return false;
    if (t == QEvent::FocusOut) {
        Edit1Exit();
    } else {
        leaveEditing();  // a box left aside for the menu bar, then for the grid
        Edit1Enter();
    }
    return false;
}

bool TForm1::keyRule(QObject* watched, QEvent* event)
{
    const QEvent::Type t = event->type();
    if (t != QEvent::KeyPress && t != QEvent::KeyRelease) return false;
    // Every key once, when it reaches the control with the focus in this window:
    // the window first, then the row box. The menu bar's keys are its own.
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w != keyTarget() || w == menuBar()) return false;
    auto* box = dynamic_cast<RowBox*>(watched);
    auto* ke = static_cast<QKeyEvent*>(event);
    const int vk = virtualKey(ke->key());
    if (t == QEvent::KeyRelease) {
        if (!ke->isAutoRepeat()) FormKeyUp(vk);
        if (box && box->isText) EditKeyUp(box);
        return false;
    }
    FormKeyDown(vk, ke->modifiers() & Qt::ControlModifier);
    if (box && (box->isText ? EditKeyDown(box, vk) : PanelKeyDown(box, vk))) return true;
    const int ch = pressedChar(ke);
    if (ch == 0) return false;
    if (FormKeyPress(ch)) return true;
    return box && (box->isText ? EditKeyPress(box, ch) : PanelKeyPress(box, ch));
}

QWidget* TForm1::keyTarget() const
{
    if (QWidget* focus = QApplication::focusWidget()) return focus->window() == this ? focus : nullptr;
    // No window of the program is active, yet the window system hands this
    // one keys (to the window under the pointer): its own focus widget's.
    QWidget* own = focusWidget();
    return own ? own : const_cast<TForm1*>(this);
}

bool TForm1::menuEscape(QObject* watched, QKeyEvent* e)
{
    // Escape in a menu of the menu bar opened while a box is edited closes
    // the menu and hands the keys back to the box at once (the menu bar
    // would otherwise keep them, and the next Escape would not reach the box).
    auto* menu = qobject_cast<QMenu*>(watched);
    RowBox* box = editedBox();
    if (e->key() != Qt::Key_Escape || !menu || !box || !menuBar()->actions().contains(menu->menuAction())) return false;
    menu->hide();
    box->setFocus(Qt::MenuBarFocusReason);
    return true;
}

int TForm1::nextRow(int c, int r, int step) const
{
    const ModelValues& mv = st_.mv;
    const int pi = st_.kd.pi;
    int y = r;
    // One full turn at most: a column without a usable key leaves the row as it was.
    for (int n = 0; n < mv.kyn - mv.kys; ++n) {
        y += step;
        if (y >= mv.kyn) y = mv.kys;
        if (y < mv.kys) y = mv.kyn - 1;
        if (keyUse(st_, pi, c, y) == KEY_USABLE) return y;
    }
    return r;
}

int TForm1::nextCol(int c, int r, int step) const
{
    const ModelValues& mv = st_.mv;
    const int pi = st_.kd.pi;
    int x = c;
    for (int n = 0; n < mv.kxn - mv.kxs; ++n) {
        x += step;
        if (x >= mv.kxn) x = mv.kxs;
        if (x < mv.kxs) x = mv.kxn - 1;
        if (keyUse(st_, pi, x, r) == KEY_USABLE) return x;
    }
    return c;
}

void TForm1::pageStep(int step)
{
    const int pages = pn[st_.mv.kbt_f];
    int p = st_.kd.pi + step;
    if (p == 4) p += step;  // page "5" is never shown
    if (p >= pages) p = 0;
    if (p < 0) p = pages - 1;
    clearMarks();
    st_.kd.pi = p;
    synckeys();
}

void TForm1::FormKeyDown(int vk, bool ctrl)
{
    KeyData& kd = st_.kd;
    st_.log.printf(" In FormKeyDown( %xh, %d ) edit_f=%d, pi=%d, kxi=%d, kyi=%d, tm=%ld \n", vk, ctrl ? 1 : 0,
                   kd.edit_f, kd.pi, kd.kxi[size_t(kd.pi)], kd.kyi[size_t(kd.pi)], pf_.now());
    if (kd.edit_f != 0) return;
    if (vk == VK_CONTROL) {
        ctrl_f = 1;
        return;
    }
    if (vk == VK_DELETE) {
        clearKey();
        return;
    }
    const ModelValues& mv = st_.mv;
    int c = kd.kxi[size_t(kd.pi)], r = kd.kyi[size_t(kd.pi)];
    unmarkKey();
    unmarkRow();
    switch (vk) {
    case VK_HOME: c = mv.kxs; break;
    case VK_END: c = mv.kxs + (mv.kxn - mv.kxs) / 2 + 1; break;
    case VK_NEXT:
    case VK_PRIOR:
        pageStep(vk == VK_NEXT ? 1 : -1);
        c = kd.kxi[size_t(kd.pi)];
        r = kd.kyi[size_t(kd.pi)];
        break;
    case VK_DOWN: r = nextRow(c, r, 1); break;
    case VK_UP: r = nextRow(c, r, -1); break;
    case VK_LEFT: c = nextCol(c, r, -1); break;
    case VK_RIGHT: c = nextCol(c, r, 1); break;
    default: break;
    }
    st_.log.printf(" x=%d, y=%d \n", c, r);
    kd.kxi[size_t(kd.pi)] = std::clamp(c, 0, kCols - 1);
    kd.kyi[size_t(kd.pi)] = std::clamp(r, 0, kRows - 1);
    markKey();
    SetPanelFace();
}

void TForm1::FormKeyUp(int vk)
{
    st_.log.printf("In FormKeyUp( %xh, %ld) \n", vk, long(ctrl_f));
    if (vk == 'R' && ctrl_f == 1) ctrl_f = 2;
    if (vk == 'W' && ctrl_f == 1) ctrl_f = 3;
    if (vk != VK_CONTROL) return;
    const int was = ctrl_f;
    ctrl_f = 0;
    if (was == 2) Read1Click();
    else if (was == 3) Write1Click();
}

bool TForm1::FormKeyPress(int ch)
{
    KeyData& kd = st_.kd;
    st_.log.printf("In FormKeyPress %xh \n", ch);
    if (kd.edit_f != 0) return false;
    const size_t row = size_t(std::clamp(kd.kyi[size_t(kd.pi)], 0, kRows - 1));
    switch (ch) {
    case 13: startEditing(ked[row]); return true;
    case 10:
        // A new name replaces the old one: the box opens with its text selected.
        startEditing(kpe[row]);
        kpe[row]->selectAll();
        return true;
    case 27:
        pf_.messageBeep();
        if (askQuit()) {
            quitting_ = true;
            close();
        }
        return true;
    case 3: copyKey(); return true;
    case 22: pasteKey(); return true;
    case 24: clearKey(); return true;
    default: return false;
    }
}

void TForm1::copyKey()
{
    KeyData& kd = st_.kd;
    const int c = kd.kxi[size_t(kd.pi)], r = kd.kyi[size_t(kd.pi)];
    const std::string& text = keyCell(kd.hbuf, kd.pi, c, r);
    st_.log.printf(" pi=%d, kyi=%d, kxi=%d, hbuf[]=.%s. \n", kd.pi, r, c, text.c_str());
    if (!text.empty()) kd.tbuf = text;
}

void TForm1::pasteKey()
{
    KeyData& kd = st_.kd;
    const int c = kd.kxi[size_t(kd.pi)], r = kd.kyi[size_t(kd.pi)];
    st_.log.printf(" pi=%d, kyi=%d, kxi=%d, tbuf[]=.%s. \n", kd.pi, r, c, kd.tbuf.c_str());
    if (kd.tbuf.empty()) return;
    if (refusedHere(c, r, kd.tbuf, "Paste Key")) return;
    recordChange("Paste Key", [&] { keyCell(kd.hbuf, kd.pi, c, r) = kd.tbuf; });
    showKeyText(currentPanel(), c, r);
    unmarkKey();
    markKey();
    SetPanelFace();
}

void TForm1::clearKey()
{
    KeyData& kd = st_.kd;
    const int c = kd.kxi[size_t(kd.pi)], r = kd.kyi[size_t(kd.pi)];
    std::string& text = keyCell(kd.hbuf, kd.pi, c, r);
    st_.log.printf(" pi=%d, kyi=%d, kxi=%d, hbuf[]=.%s. \n", kd.pi, r, c, text.c_str());
    if (!text.empty()) kd.tbuf = text;
    recordChange("Clear Key", [&] { text.clear(); });
    showKeyText(currentPanel(), c, r);
    ked[size_t(r)]->clear();
    unmarkKey();
    markKey();
}

}  // namespace ptu
