// One key panel of the main window's grid: a raised panel with a left-aligned
// caption, a hint (the key's macro text, shown as a tool tip) and a Tag that
// names its cell. Faces are set by the window; mouse and drag events go to
// the window's handlers.
#pragma once

#include "platform/platform.h"

#include <QString>
#include <QWidget>

namespace ptu {

class KeyPanel;

// What the window does with a panel's mouse and drag events. A drag carries
// the panel it started on; a drop names it as the source.
class KeyPanelHandlers {
public:
    virtual ~KeyPanelHandlers() = default;
    // A press, or the second press of a double click.
    virtual void aKeyMouseDown(KeyPanel* panel, Qt::MouseButton button, bool doubleClick, QPoint pos) = 0;
    virtual void aKeyMouseMove(KeyPanel* panel, QPoint pos) = 0;
    virtual void aKeyMouseUp(KeyPanel* panel, Qt::MouseButton button) = 0;
    // Whether the panel takes a drop of `source` (null: not a key panel).
    virtual bool aKeyDragOver(KeyPanel* panel, KeyPanel* source) = 0;
    virtual void aKeyDragDrop(KeyPanel* panel, KeyPanel* source) = 0;
    // The menu key asks for the special-key menu (the right button goes
    // through the mouse handlers).
    virtual void panelContextMenu(KeyPanel* panel, QPoint globalPos) = 0;
};

// The key panel a drag event carries, if any.
KeyPanel* draggedPanel(const QDropEvent* event);

class KeyPanel : public QWidget {
    Q_OBJECT

public:
    KeyPanel(QWidget* parent, KeyPanelHandlers* handlers, int col, int row);

    const int col;
    const int row;
    int Tag = 0;

    const QString& caption() const { return caption_; }
    void setCaption(const QString& text);
    const QString& hint() const { return hint_; }
    void setHint(const QString& text);

    // The face: panel colour and the caption's font and colour.
    struct Face {
        Colour colour;
        bool bold;
        bool italic;
        Colour text;
        bool operator==(const Face&) const = default;
    };
    const Face& face() const { return face_; }
    void setFace(const Face& f);
    void setColour(Colour c);
    void setCaptionFont(bool bold, bool italic, Colour text);

    // A red frame: the key differs from what it was compared with.
    bool marked() const { return marked_; }
    void setMarked(bool on);

    // Why the keyboard would not give the key's text back as shown ("" when
    // it would): drawn as an orange corner with "!", and said in the tool tip.
    const QString& problem() const { return problem_; }
    void setProblem(const QString& why);

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    KeyPanelHandlers* handlers_;
    QString caption_;
    QString hint_;
    Face face_;
    bool marked_ = false;
    QString problem_;
};

}  // namespace ptu
