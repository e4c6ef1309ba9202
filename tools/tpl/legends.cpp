#include "tools/tpl/legends.h"

#include "keydata/keypos.h"
#include "legend/legend.h"
#include "tools/tpl/commands.h"
#include "tools/tpl/inputs.h"
#include "tools/tpl/tpl.h"

#include <QGuiApplication>

#include <cstdio>
#include <memory>
#include <optional>
#include <ostream>

namespace ptu::tpl {

namespace {

QtMessageHandler qtDefault = nullptr;

// Qt's notice that no runtime folder is set is no concern of a PDF written
// from a shell; every other message goes on as Qt would write it.
void qtMessage(QtMsgType type, const QMessageLogContext& where, const QString& text)
{
    if (type == QtWarningMsg && text.startsWith("QStandardPaths:")) return;
    if (qtDefault) qtDefault(type, where, text);
    else std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

// Qt's messages go through qtMessage while it lives.
struct QuietQt {
    QuietQt() { qtDefault = qInstallMessageHandler(qtMessage); }
    ~QuietQt() { qInstallMessageHandler(qtDefault); }
};

}  // namespace

int writeLegends(State& s, const std::string& dataFile, const legend::LegendOptions& o, const std::string& output,
                 std::ostream& err)
{
    // Fonts and the PDF writer need a Gui application; the offscreen
    // platform needs no display (and a stale one does not matter).
    std::optional<QuietQt> quiet;
    std::unique_ptr<QGuiApplication> app;
    if (!QGuiApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "ptu-tpl";
        static char* argv[] = {name, nullptr};
        quiet.emplace();
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    update_globals(s);
    std::string why;
    if (!legend::writeLegendPdf(output, {s, dataFile, false}, o, why)) {
        err << "ptu-tpl: " << why << "\n";
        return EXIT_IO;
    }
    return EXIT_OK;
}

int legends(const Options& o, std::istream& in, std::ostream& err)
{
    auto s = std::make_unique<State>();
    if (int code = loadInput(o, o.input, in, *s, err)) return code;
    legend::LegendOptions lo;
    lo.pitch = o.pitch.value_or(legend::kDefaultPitch);
    lo.programming = o.texts;
    return writeLegends(*s, o.input == "-" ? std::string() : o.input, lo, o.output, err);
}

}  // namespace ptu::tpl
