#include "app/window_road.h"

#include "app/display.h"

#include "platform/locale.h"
#include "platform/qt/qt_platform.h"
#include "ui/about_box.h"
#include "ui/config_dialog.h"
#include "ui/main_window.h"
#include "ui/model_choosers.h"
#include "ui/msr_dialog.h"
#include "ui/progress_box.h"
#include "ui/usb_chooser.h"

#include <QApplication>
#include <QProxyStyle>

#include <filesystem>
#include <system_error>

namespace ptu {

namespace {

// Hints come up after 300 ms (and stay 9 s, see the key panels).
class HintTiming : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* ret) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay) return 300;
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
};

}  // namespace

std::vector<std::string> dataFolders(const std::string& exeDir)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    std::vector<std::string> folders{fs::current_path(ec).string()};
    folders.push_back((fs::path(exeDir) / ".." / "share" / "ptu").lexically_normal().string());
    return folders;
}

WindowForms::WindowForms() = default;
WindowForms::~WindowForms() = default;

bool openWindow(State& st, QtPlatform& pf, WindowForms& forms, std::unique_ptr<TDialog2>& usbChooser,
                const std::string& exeDir)
{
    QApplication::setStyle(new HintTiming);

    forms.progress = std::make_unique<TAboutBox1>();
    bindProgressBox(pf, forms.progress.get());
    forms.progress->showBox();
    pf.pump();

    forms.memoryChooser = std::make_unique<TAboutBox3>(st, pf);
    forms.modelChooser = std::make_unique<TDialog1>(st);

    TForm1::Setup setup;
    setup.lang = systemLanguageIds();
    setup.dataFolders = dataFolders(exeDir);
    setup.exePath = QCoreApplication::applicationFilePath().toStdString();
    setup.choosers = modalChoosers(*forms.memoryChooser, *forms.modelChooser);
    forms.form = std::make_unique<TForm1>(st, pf, setup);
    if (!forms.form->FormCreate()) return false;

    forms.about = std::make_unique<TAboutBox>(st.fl, forms.form.get());
    forms.form->aboutCommand = [about = forms.about.get()](QWidget* over) { about->execOver(over); };
    forms.config = std::make_unique<TAboutBox2>(st, pf, forms.form.get());
    forms.form->AboutBox2 = forms.config.get();
    forms.msr = std::make_unique<TAboutBox4>(st, forms.form.get());
    forms.form->AboutBox4 = forms.msr.get();
    if (!usbChooser) usbChooser = std::make_unique<TDialog2>(st);
    forms.form->show();
    return true;
}

int windowRoad(State& st, QtPlatform& pf, std::unique_ptr<TDialog2>& usbChooser, const std::string& exeDir)
{
    if (pf.headless()) return windowWithoutDisplay();
    {
        WindowForms forms;
        if (openWindow(st, pf, forms, usbChooser, exeDir)) QApplication::exec();
        bindProgressBox(pf, nullptr);
    }
    // The window closed, or a chooser was cancelled: either way a normal end.
    return 0;
}

}  // namespace ptu
