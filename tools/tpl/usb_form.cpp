#include "tools/tpl/usb_form.h"

#include "device/hid.h"

namespace ptu::tpl {

void toInternalForm(State& s, uint8_t* buf) { hid2sc(s, {buf, std::size_t(s.mv.kbb_f)}); }

}  // namespace ptu::tpl
