// A blocking sine tone through ALSA. Without a sound device the call waits
// silently for the same length, so the pacing of keyboard work stays the same.
#pragma once

namespace ptu {

void playTone(int freq, int ms);

}  // namespace ptu
