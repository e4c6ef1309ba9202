// The main window TForm1: the attached keyboard as a grid of 16 x 22 key
// panels for the current page, and below it one key-name box (kpe) and one
// key-text box (ked) per grid row for the keys of the current column.
#pragma once

#include "device/model_decision.h"
#include "keydata/state.h"
#include "keydata/compare.h"
#include "keydata/encode.h"
#include "keydata/round_trip.h"
#include "keydata/undo.h"
#include "platform/locale.h"
#include "platform/platform.h"
#include "ui/key_panel.h"

#include <QMainWindow>
#include <QRect>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QDropEvent;
class QKeyEvent;
class QLineEdit;
class QLabel;
class QMenu;

namespace ptu {

// The file dialogs' filters: each entry's description as the user reads it
// (the dialog hides the pattern in brackets behind it).
inline constexpr char kSaveFilter[] = "Tessaral Keyboard Data *.tpl (*.tpl);;All files *.* (*)";
inline constexpr char kOpenFilter[] = "Tessaral Keyboard Data *.tpl (*.tpl);;All Files *.* (*)";

class FocusReturn;
class KeyRecording;
class KeyTestMode;
class RowBox;
class TAboutBox2;
class TAboutBox4;

class TForm1 : public QMainWindow, public KeyPanelHandlers {
    Q_OBJECT

public:
    // What the window needs from the program around it.
    struct Setup {
        LanguageIds lang{0x409, 0x409, 0x409};  // chooses the key-name tables
        std::vector<std::string> dataFolders;   // caption files and the help page, in lookup order
        std::string exePath;                    // the program file (its date goes to the log)
        ModelChoosers choosers;                 // the two choosers of the port-driver road
        QRect screen;                           // the screen the window fills; empty: the primary screen
    };

    TForm1(State& st, Platform& pf, Setup setup, QWidget* parent = nullptr);
    ~TForm1() override;

    // Detects the keyboard, settles the model and builds the grid. Returns
    // false when a chooser was cancelled: the program then ends without the
    // window.
    bool FormCreate();

    // The key panels, indexed row x 22 + column.
    std::array<KeyPanel*, kRows * kCols> aKey{};
    KeyPanel* panelAt(int col, int row) const { return aKey[size_t(row * kCols + col)]; }
    KeyPanel* currentPanel() const;
    std::array<RowBox*, kRows> kpe{};
    std::array<RowBox*, kRows> ked{};
    QLineEdit* Edit1 = nullptr;
    std::array<QLabel*, 4> StatusPanel{};
    QWidget* Client = nullptr;  // the client area the grid is placed on

    // Main menu items, named after their handlers.
    QAction *Open1 = nullptr, *Save1 = nullptr, *Exit1 = nullptr, *Exit2 = nullptr;
    QAction *OpenRecent1 = nullptr, *Compare1 = nullptr;
    QAction* PrintLegends1 = nullptr;
    QAction *Read1 = nullptr, *Write1 = nullptr, *Verify1 = nullptr, *TestKeys1 = nullptr;
    QLabel* MemoryMeter = nullptr;  // how much of the keyboard's memory the key texts take
    QLabel* DataSource = nullptr;   // where the key data came from, and whether it changed since
    QMenu* PageEdit1 = nullptr;  // "&Edit"
    QAction* Undo1 = nullptr;
    QAction *CopyKey1 = nullptr, *PasteKey1 = nullptr, *Cut1 = nullptr;
    QMenu* ClearPage1 = nullptr;
    QAction* Current1 = nullptr;
    std::array<QAction*, 5> ClearPageItem{};  // Page13 .. Page43, PageP3
    QAction* All1 = nullptr;
    QMenu* CopyPageTo1 = nullptr;
    std::array<QAction*, 5> CopyPageItem{};  // Page11 .. Page41, PageP1
    QMenu* View1 = nullptr;
    std::array<QAction*, 5> ViewPageItem{};  // Page14 .. Page44, PageP4
    QAction *Config1 = nullptr, *MSR1 = nullptr, *Help1 = nullptr;

    // The special-key menu, and the entries whose state depends on the run.
    QMenu* PopupMenu1 = nullptr;
    QAction *RecordKeys1 = nullptr, *RecordPauses1 = nullptr;
    QAction *CutText1 = nullptr, *CopyText1 = nullptr, *PasteText1 = nullptr;
    QAction *ClearKey2 = nullptr, *CopyKey2 = nullptr, *PasteKey2 = nullptr;
    QAction *WinceF7 = nullptr, *Ro1 = nullptr, *Muhenkan1 = nullptr, *Henkan1 = nullptr, *Hiragana1 = nullptr;
    std::array<QAction*, 4> Delay{};  // "Delay 1", "Delay 3", "Delay 5", "Delay 10"
    QMenu* VirtualKeys1 = nullptr;
    // Every special-key entry with the token it inserts.
    std::vector<std::pair<QAction*, std::string>> tokenItems;

    // The folder the program started in (the stripe tool is started from it).
    std::string curdir;

    // Ctrl-key sequence: 0 idle, 1 Ctrl held, 2 R released, 3 W released.
    int ctrl_f = 0;
    // Tag of the current key.
    int ktag = 0;

    // Face refresh and marking of the current key.
    void synckeys();
    void SetPanelFace(RowBox* box = nullptr);
    void markKey(KeyPanel* panel = nullptr);
    void unmarkKey(KeyPanel* panel = nullptr);
    void unmarkRow(RowBox* box = nullptr);

    // Window-level keys (the window sees keys before its controls).
    void FormKeyDown(int vk, bool ctrl);
    void FormKeyUp(int vk);
    bool FormKeyPress(int ch);  // true when the character was consumed

    // The key clipboard on the current key.
    void copyKey();
    void pasteKey();
    void clearKey();

    // The special-key menu follows the focus of the key-text boxes.
    void popupOn();
    void popupOff();
    bool popupAttached() const { return popupOn_; }
    void insertToken(const std::string& text);
    // Whether `size` more characters fit into a key-text box in place of its
    // selection; if not, the status bar says that `what` was not inserted.
    bool fits(RowBox* box, std::size_t size, const std::string& what);

    // The key text editor: the handlers of the row boxes and of Edit1.
    void EditEnter(RowBox* box);
    void EditExit(RowBox* box);
    bool EditKeyDown(RowBox* box, int vk);  // true when the key was swallowed
    void EditKeyUp(RowBox* box);
    bool EditKeyPress(RowBox* box, int ch);
    void kedChange(RowBox* box);
    void EditMouseDown(RowBox* box, Qt::MouseButton button);
    void PanelEnter(RowBox* box);
    void PanelExit(RowBox* box);
    bool PanelKeyDown(RowBox* box, int vk);
    bool PanelKeyPress(RowBox* box, int ch);
    void Edit1Enter();
    void Edit1Exit();
    // Commits of the current column's key in `row`: its macro text from the
    // key-text box (through syntex) or its name from the key-name box.
    void commitText(int row);
    void commitCaption(int row);
    // Stores the current key's text box into the key before a key command,
    // and the name being typed, if one is.
    void commitRowEditor();
    // Commits the row box being edited, as leaving it would, before a
    // command changes the page shown or its keys.
    void commitEditing();
    // The row box being edited (nullptr when none is); ending its editing as
    // leaving it does; starting the editing of a box, as focusing it does.
    RowBox* editedBox() const;
    void leaveEditing();
    void startEditing(RowBox* box);
    // Takes out of a row box the characters the locale set has no byte for.
    void refuseForeign(RowBox* box);
    // Whether the keyboard gives back the key text `text` of (col, row) on the current page.
    KeyCheck checkCell(int col, int row, const std::string& text) const;
    // The panel of (col, row) on the current page shows its hbuf text as its
    // hint, and the check's verdict as its mark and tool tip.
    void showKeyText(KeyPanel* p, int col, int row);
    // Before Save and Write: one box lists the keys the keyboard would not
    // give back and those that cannot be stored (with their count), and asks
    // `question`. True to go on (also when there is nothing to list).
    bool confirmKeys(const std::string& question);
    // What the status bar adds after a Read or a Load: how many key texts
    // the keyboard would not give back, and on which pages ("" for none).
    std::string problemSummary() const;
    // Whether a key command must not put `text` on (col, row) of the current
    // page, because that key cannot store it; the status bar then says why.
    bool refusedHere(int col, int row, const std::string& text, const char* command);
    // "1C1 Coffee" for messages.
    std::string keyName(int page, int col, int row) const;
    int LastKey = 0;

    // Drags of key panels; FormDragDrop is a drop on the window's background.
    void aKeyEndDrag(KeyPanel* source);
    void FormDragDrop(KeyPanel* source);

    // Page and key commands.
    void viewPage(int page);
    void clearPage(int page);  // kAllPages: every page shown, index 4 included
    void copyPageTo(int target);
    void CopyKey1Click();
    void PasteKey1Click();
    void Cut1Click();
    void CutText1Click();
    void CopyText1Click();
    void PasteText1Click();
    static constexpr int kAllPages = -1;

    // Undo of the last key-level change (Ctrl+Z outside the row boxes).
    void Undo1Click();
    UndoHistory& undoHistory() { return undo_; }
    // Runs a change of the key data as one undo step named `what`.
    void recordChange(const std::string& what, const std::function<void()>& change);

    // Keyboard > Test Keys: the window takes every key and matches each burst
    // of strokes against the programmed keys of the page shown (null: off).
    void TestKeys1Click();
    KeyTestMode* keyTest() const { return keyTest_.get(); }
    // F11 or "Record Keys..." in a key-text box: every key pressed goes into
    // the box as the text the keyboard needs to send it (null: off).
    void startRecording(RowBox* box);
    KeyRecording* recording() const { return recording_.get(); }

    // Menu handlers.
    void Exit1Click();
    void Read1Click();
    void Write1Click();
    void Save1Click();
    void Load1Click();
    // Loads a data file as Open does (without the dialog); false when it was not loaded.
    bool loadFile(const std::string& path);
    void OpenRecent1Click();
    // The key captions beside a data file: written after a Save, read after
    // a Load (inside the Load's undo step); both remember the file's name.
    void keepCaptions(const std::string& dataFile);
    void takeCaptions(const std::string& dataFile);
    // The print preview of the key legends.
    void PrintLegends1Click();
    // The data file last saved or opened ("" before one).
    const std::string& dataFile() const { return dataFile_; }
    // Its folder, where the file dialogs open ("" before one: the current folder).
    std::string dataFolder() const;
    // Whether the key data differs from what that file holds (changed since,
    // or read from or written to the keyboard after changes since).
    bool differsFromDataFile() const;
    // Shows in the status bar where the key data came from and whether it
    // changed since the last Save, Open, Read or Write.
    void showDataSource();
    void Compare1Click();
    void Verify1Click();
    // Marks the keys of a comparison on the grid (until the page changes)
    // and lists them; `what` names the two sides.
    void showDifferences(const std::vector<KeyDifference>& keys, const std::vector<std::string>& settings,
                         const char* heading, const char* sideA, const char* sideB);
    void clearMarks();
    void updateMeter();
    // The image the last Write of this run sent (empty before one).
    const std::vector<uint8_t>& lastWritten() const { return lastWritten_; }
    void Config1Click();
    void MSR1Click();
    void Help1Click();
    // The About box, in front of `over` (the help window it was opened
    // from), else of the main window.
    void About1Click(QWidget* over = nullptr);

    // The configuration and stripe-reader dialogs (made after the window).
    TAboutBox2* AboutBox2 = nullptr;
    TAboutBox4* AboutBox4 = nullptr;
    // Whether a Read or Write is running (its message-pump passes must not
    // start another command or reach the grid).
    bool busy() const { return busy_; }

    // Window events.
    void FormActivate();
    void FormShow();
    void FormMouseDown(Qt::MouseButton button);
    void FormResize();
    void FormDestroy();

    // The status bar panels.
    void setStatus(int panel, const std::string& text);

    // Shows a message box after an error the program did not foresee; the
    // window goes on.
    void reportFault(const std::string& what);

    // KeyPanelHandlers
    void aKeyMouseDown(KeyPanel* panel, Qt::MouseButton button, bool doubleClick, QPoint pos) override;
    void aKeyMouseMove(KeyPanel* panel, QPoint pos) override;
    void aKeyMouseUp(KeyPanel* panel, Qt::MouseButton button) override;
    bool aKeyDragOver(KeyPanel* panel, KeyPanel* source) override;
    void aKeyDragDrop(KeyPanel* panel, KeyPanel* source) override;
    void panelContextMenu(KeyPanel* panel, QPoint globalPos) override;

    // The About box, when the program made one.
    std::function<void(QWidget* over)> aboutCommand;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Construction steps of FormCreate.
    // Identifies the keyboard; returns why it named no model ("" when it did,
    // or on the USB road).
    std::string detect();
    QRect screenRect() const;
    // Gives the window the screen, less the task bar, before the grid is
    // laid out on its client area (on Wayland: the room the compositor has).
    void placeWindow();
    void buildGrid();
    void buildRowBoxes();
    void buildMenu();
    void buildPopupMenu();
    void switchOffMenuItems();
    void switchOffPopupItems();
    bool rowBoxEvent(RowBox* box, QEvent* event);
    bool rowBoxDrop(RowBox* box, QDropEvent* event);
    bool clientDragEvent(QEvent* event);
    // The widget of this window that keys typed now reach (nullptr: another window's).
    QWidget* keyTarget() const;
    // The window's input rules (eventFilter applies them in this order);
    // each says whether it took the event.
    bool busyRule(QObject* watched, QEvent* event);
    bool ctrlCommandRule(QObject* watched, QEvent* event);
    bool menuBarRule(QObject* watched, QEvent* event);
    bool edit1Rule(QObject* watched, QEvent* event);
    bool dragRule(QObject* watched, QEvent* event);
    bool focusRule(QObject* watched, QEvent* event);
    bool keyRule(QObject* watched, QEvent* event);
    bool menuEscape(QObject* watched, QKeyEvent* event);
    void showPopup(QPoint globalPos);
    // The cell of the current key on the current page, kept inside the grid.
    int curCol() const;
    int curRow() const;
    // Sets the caption font of the key in `row` of the current column by its macro.
    void captionFace(int row);
    // Moves the current key to (col, row) of the current page and marks it.
    void selectKey(int col, int row, RowBox* box = nullptr);
    // Says on the status bar how much of a key text was dropped, and which
    // characters were refused.
    void reportDropped(std::size_t dropped);
    void reportRefused(const std::u32string& refused);
    // Return in a row box stores it (commit) and Escape drops the typing;
    // either ends the editing. True when the character was one of them.
    bool endTyping(int ch, const std::function<void()>& commit);
    // While a row box is edited Read, Write, Load and Save say so and do nothing.
    bool editing(const char* command);
    // Without a keyboard (a USB model named by hand, the demonstration mode)
    // Read, Write and Verify say so and do nothing.
    bool noKeyboard(const char* command);
    void refreshUndoItem();
    void finishCaption(const std::string& caption);
    std::string findData(const std::string& name) const;

    // Asks "Quit the program?" (saying how many keys changed since the
    // last Read, Write, Load or Save); true on OK.
    bool askQuit();
    // The key data as the last Read, Write, Load or Save left it.
    void markSaved();
    std::string unsavedChanges() const;
    // The cell of a panel's Tag.
    int tagCol(const KeyPanel* p) const;
    int tagRow(const KeyPanel* p) const;
    // The next usable cell from (c, r) in a direction; unchanged after a full turn.
    int nextRow(int c, int r, int step) const;
    int nextCol(int c, int r, int step) const;
    void pageStep(int step);
    void refreshPanel(KeyPanel* p, int col, int row);

    State& st_;
    Platform& pf_;
    Setup setup_;
    UndoHistory undo_;
    FocusReturn* focusReturn_ = nullptr;  // the focus back after a window of the program closes
    bool popupOn_ = false;
    bool busy_ = false;
    std::vector<uint8_t> lastWritten_;
    std::string dataFile_;
    // The key data came from the keyboard (a Read, or a Write of changes)
    // after the data file was last saved or opened.
    bool fromKeyboard_ = false;
    std::vector<KeyDifference> marks_;
    struct Saved;
    std::unique_ptr<Saved> saved_;
    // The row boxes are being refilled from the key data: leaving a box
    // then commits nothing.
    bool refilling_ = false;
    int focusFromEdit_ = 0;            // edit_f when the focus last began to move
    RowBox* pressedInto_ = nullptr;    // the box a mouse press has just focused
    bool escape_f = false;      // Escape ended the editing of a box
    bool pageChange_f = false;  // a key-name box was left through Page Up or Down
    // The drag of a key panel: pressed, not yet moved 10 pixels.
    KeyPanel* dragSource_ = nullptr;
    QPoint pressPos_;
    bool dragRight_ = false;   // copy (right button) rather than move
    bool dragOver_ = false;    // the drag passed over a key panel
    bool quitting_ = false;
    std::unique_ptr<KeyTestMode> keyTest_;
    std::unique_ptr<KeyRecording> recording_;
    bool created_ = false;
};

// Windows virtual key codes of the keys the window handles (the log shows them).
enum VirtualKey : int {
    VK_RETURN = 0x0D,
    VK_CONTROL = 0x11,
    VK_ESCAPE = 0x1B,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_DELETE = 0x2E,
    VK_F11 = 0x7A,
};

// The virtual key code of a Qt key (letters and digits as their characters,
// F1.. as 0x70..), 0 for keys without one.
int virtualKey(int qtKey);

// The character a key press types as the window sees it: Return 13, Ctrl+Return
// 10, Escape 27, Ctrl+letter 1..26, else the event's first character; 0 for none.
int pressedChar(const QKeyEvent* e);

}  // namespace ptu
