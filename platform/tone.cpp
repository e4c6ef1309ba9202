#include "platform/tone.h"

#include <alsa/asoundlib.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>
#include <vector>

namespace ptu {

namespace {

void silentAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

bool playAlsa(int freq, int ms)
{
    if (std::getenv("PTU_NO_SOUND")) return false;
    static bool quiet = [] { snd_lib_error_set_handler(silentAlsaErrors); return true; }();
    (void)quiet;
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0) return false;
    const unsigned rate = 22050;
    bool ok = snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 1, rate, 1,
                                 100000) >= 0;
    if (ok) {
        size_t frames = size_t(rate) * size_t(ms) / 1000;
        std::vector<int16_t> wave(frames);
        const double step = 2.0 * M_PI * double(freq) / double(rate);
        for (size_t i = 0; i < frames; ++i) wave[i] = int16_t(8000.0 * std::sin(step * double(i)));
        size_t done = 0;
        while (ok && done < frames) {
            snd_pcm_sframes_t k = snd_pcm_writei(pcm, wave.data() + done, frames - done);
            if (k < 0) k = snd_pcm_recover(pcm, int(k), 1);
            if (k < 0) ok = false;
            else done += size_t(k);
        }
        if (ok) snd_pcm_drain(pcm);
    }
    snd_pcm_close(pcm);
    return ok;
}

}  // namespace

void playTone(int freq, int ms)
{
    if (ms <= 0) return;
    auto start = std::chrono::steady_clock::now();
    if (freq > 0 && playAlsa(freq, ms)) return;
    // Keep the length whatever part of it the sound device already took.
    auto end = start + std::chrono::milliseconds(ms);
    std::this_thread::sleep_until(end);
}

}  // namespace ptu
