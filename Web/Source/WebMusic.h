// The soundtrack through Web Audio: the file's bytes go to the page, which
// decodes them whole (decodeAudioData) while the show loads and starts them
// on the first played frame. Browsers allow sound only after a gesture;
// UnlockAudio is called from inside one. The show's clock follows the music
// as heard: each start holds it for the latency the audio context reports
// plus the viewer's offset.
#pragma once

#include <memory>
#include <string>

#include "DemoSys/Host.h"

class WebMusic : public Host::MusicPlayer {
public:
    // Null, with the Linux host's line on the console, when the file cannot be read.
    static std::unique_ptr<WebMusic> Open(const std::string& path);
    bool prepareToPlay() override;
    void play() override;
    void pause() override;
    void seek(double seconds) override;
    double position() const override;
};

namespace WebAudio {
void UnlockAudio();
// Decoding has ended, well or not, so that the start prompt can wait for it.
bool Settled();
// Reads the context's latency again on a played frame and follows a change.
void FollowLatency();
}  // namespace WebAudio
