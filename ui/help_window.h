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
    HelpWindow(const QString& path, std::function<void()> about, QWidget* parent = nullptr);

    // Shows the page at `path` at its contents, reusing the window of an
    // earlier call. `about` runs the About command from the window's button.
    static HelpWindow* showContents(QWidget* owner, const QString& path, std::function<void()> about);

    QTextBrowser* Browser = nullptr;

    void home();

private:
    std::function<void()> about_;
};

}  // namespace ptu
