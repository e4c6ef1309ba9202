// The help window: the program's help page in a browser window, opened at
// its contents. One window serves the whole run.
#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class QTextBrowser;

namespace ptu {

class HelpWindow : public QWidget {
    Q_OBJECT

public:
    // `about` runs the About command in front of the window it is given.
    using AboutCommand = std::function<void(QWidget* over)>;
    HelpWindow(const QString& path, AboutCommand about, QWidget* parent = nullptr);

    // Shows the page at `path` at its contents, reusing the window of an
    // earlier call. The window's About button runs `about` over the help
    // window, which stays in front of the main window afterwards.
    static HelpWindow* showContents(QWidget* owner, const QString& path, AboutCommand about);

    QTextBrowser* Browser = nullptr;

    void home();

private:
    AboutCommand about_;
};

}  // namespace ptu
