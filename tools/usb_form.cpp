#include "tools/usb_form.h"

namespace ptu::tpl {

// The device layer's HID translation has not been written yet: until it is,
// ptu-tpl refuses USB data files instead of reading usages as scan codes.
bool usbFormAvailable() { return false; }

void toInternalForm(State&, uint8_t*) {}
void toUsbForm(State&, uint8_t*) {}

}  // namespace ptu::tpl
