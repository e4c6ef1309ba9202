#include "device/driver_device.h"

namespace ptu {

void logDeviceAccess(State& st, Platform& pf, const char* lead)
{
    // Access to the device socket is the service's business on this
    // platform (mode 0600); the steps keep their trace lines.
    pf.setLastError(0);
    st.log.printf("%s InitSD()=%ld \n", lead, long(pf.lastError()));
    pf.setLastError(0);
    st.log.printf(" SetSDDacl()=%ld \n", long(pf.lastError()));
    pf.setLastError(0);
}

DevHandle openDriverDevice(State& st, Platform& pf)
{
    pf.setLastError(0);
    DevHandle h = pf.openDevice(Device::portgate);
    st.log.printf(" CreateFile( portgate)= %lx \n", (unsigned long)pf.lastError());
    if (h == kNoDevice) {
        pf.setLastError(0);
        h = pf.openDevice(Device::vptu);
        st.log.printf(" CreateFile( vptu.vxd)= %lx \n", (unsigned long)pf.lastError());
    }
    return h;
}

}  // namespace ptu
