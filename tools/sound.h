#ifndef SOUND_H
#define SOUND_H
// sound -- the game's samples synthesised in code and written as 16-bit mono WAV files
#include <string>
#include <vector>

constexpr int SAMPLE_RATE = 22050;

// A mono sound, samples in -1..1.
struct sound {
    std::vector<float> s;
};

// Each of the game's sounds, from a fixed seed so the file is the same on every build.
sound launch_p1_sound();
sound launch_p2_sound();
sound key_click_sound();
sound clash_sound();
sound goal_sound();
sound pad_sound();
// Count tones for 5 down to 1; `count` is 1-5.
sound count_sound(int count);
sound warning_sound();
sound end_of_time_sound();
sound new_high_sound();
sound entername_sound();
sound intro_sound();
sound credits_sound();
sound gameover_sound();
sound title_music();

// Scales the sound so its loudest sample reaches `peak` (keeps every sample in range).
void normalise(sound &snd, float peak);
// Writes 16-bit mono PCM at SAMPLE_RATE.
bool save_wav(const sound &snd, const std::string &path);

#endif
