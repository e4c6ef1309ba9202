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

// What the window does with a panel's mouse and drag events.
class KeyPanelHandlers {
public:
    virtual ~KeyPanelHandlers() = default;
    virtual void aKeyMouseDown(KeyPanel* panel, QMouseEvent* event) = 0;
    virtual void aKeyMouseMove(KeyPanel* panel, QMouseEvent* event) = 0;
    virtual void aKeyMouseUp(KeyPanel* panel, QMouseEvent* event) = 0;
    virtual void aKeyMouseDoubleClick(KeyPanel* panel, QMouseEvent* event) = 0;
    virtual void aKeyDragOver(KeyPanel* panel, QDragMoveEvent* event) = 0;
    virtual void aKeyDragDrop(KeyPanel* panel, QDropEvent* event) = 0;
};

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

private:
    KeyPanelHandlers* handlers_;
    QString caption_;
    QString hint_;
    Face face_;
};

}  // namespace ptu
