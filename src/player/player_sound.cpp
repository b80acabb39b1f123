// The window's sound: the soundtrack played through the audio device, cued while the frames
// before --start are drawn, and read again when the timeline changes under it.
#include <cstdio>
#include <cstdlib>

#include "player/player.h"
#include "sound/score_loader.h"

void Player::StartSound()
{
    if (!soundtrack_ || settings_.mute) return;
    std::string why;
    sound_ = SoundOutput::Open(*soundtrack_, why);
    if (!sound_) {
        HostWarning(why);
        return;
    }
    // Cued but silent: the synthesizer warms up while the frames before --start are drawn.
    sound_->SetPaused(true);
    sound_->Start(settings_.startMs);
}

void Player::StopSound()
{
    if (!sound_) return;
    // How closely the picture followed the sound, for whoever measures it.
    if (std::getenv("TARNELVOIS_SOUND_REPORT")) {
        const SoundOutput::Figures figures = sound_->Report();
        std::fprintf(stderr,
                     "tarnelvois: sound: %lld frames compared, first offset at most %.1f ms, largest drift %.1f ms, "
                     "%lld corrections totalling %lld ms, %lld late buffers\n",
                     static_cast<long long>(figures.comparisons), figures.largestAlignmentMs, figures.largestDriftMs,
                     static_cast<long long>(figures.corrections), static_cast<long long>(figures.correctedMs),
                     static_cast<long long>(figures.underruns));
    }
    sound_.reset();
}

void Player::FollowTimelineWithSound()
{
    if (!soundtrack_ || !host_.archive) return;
    std::unique_ptr<audio::Soundtrack> fresh;
    std::string error;
    std::vector<std::string> unplaced;
    const bool scoreRead = LoadScore(*host_.archive, show_.CurrentTimeline(), fresh, error, unplaced);
    for (const std::string& cue : unplaced) HostWarning(cue);
    if (!scoreRead || !fresh) {
        HostWarning(error + "; the music keeps the previous timeline's moments");
        return;
    }
    for (const std::string& warning : fresh->score().warnings) HostWarning(warning);
    // The device's worker reads the soundtrack: it goes before the soundtrack does. The seek that
    // follows a new timeline cues the new sound at the moment on screen.
    const bool playing = sound_ != nullptr;
    sound_.reset();
    soundtrack_ = std::move(fresh);
    if (playing) StartSound();
}
