#include <lame/lame.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

#include "MusicSynth.h"
#include "Writers.h"

namespace {

struct LameCloser {
    void operator()(lame_global_flags* l) const { lame_close(l); }
};
struct FileCloser {
    void operator()(FILE* f) const { fclose(f); }
};

// 192 kbit/s joint stereo, with the info tag that lets decoders drop the
// encoder's delay, so the hits land where the beat tables say.
void EncodeMp3(const StereoTrack& track, const std::string& path) {
    std::unique_ptr<lame_global_flags, LameCloser> lame(lame_init());
    if (!lame) throw std::runtime_error("the MP3 encoder cannot start");
    lame_set_in_samplerate(lame.get(), track.sampleRate);
    lame_set_out_samplerate(lame.get(), track.sampleRate);
    lame_set_num_channels(lame.get(), 2);
    lame_set_brate(lame.get(), 192);
    lame_set_mode(lame.get(), JOINT_STEREO);
    lame_set_quality(lame.get(), 5);
    lame_set_bWriteVbrTag(lame.get(), 1);
    if (lame_init_params(lame.get()) < 0) throw std::runtime_error("bad MP3 encoder settings");

    std::unique_ptr<FILE, FileCloser> out(fopen(path.c_str(), "wb+"));
    if (!out) throw std::runtime_error("cannot create " + path);
    const int chunk = 8192;
    std::vector<unsigned char> mp3(static_cast<size_t>(1.25 * chunk + 7200));
    for (size_t at = 0; at < track.left.size(); at += chunk) {
        const int n = static_cast<int>(std::min<size_t>(chunk, track.left.size() - at));
        const int bytes = lame_encode_buffer_ieee_float(lame.get(), &track.left[at], &track.right[at], n, mp3.data(),
                                                        static_cast<int>(mp3.size()));
        if (bytes < 0) throw std::runtime_error("MP3 encoding failed");
        fwrite(mp3.data(), 1, static_cast<size_t>(bytes), out.get());
    }
    const int tail = lame_encode_flush(lame.get(), mp3.data(), static_cast<int>(mp3.size()));
    if (tail > 0) fwrite(mp3.data(), 1, static_cast<size_t>(tail), out.get());
    lame_mp3_tags_fid(lame.get(), out.get());
    if (ferror(out.get())) throw std::runtime_error("cannot write " + path);
}

}  // namespace

void WriteMusic(const std::string& bundle) { EncodeMp3(SynthesiseTrack(), bundle + "/demomusa.mp3"); }
