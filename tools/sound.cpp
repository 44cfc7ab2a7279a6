// sound -- the game's samples synthesised in code and written as 16-bit mono WAV files
#include "sound.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

static const float PI = 3.14159265358979f;

// ---- building blocks ----

enum wave_shape { SINE, TRIANGLE, SQUARE, SAW, PULSE };

struct tone_params {
    wave_shape shape = SINE;
    float hz = 440, hz_end = 0; // hz_end > 0 slides exponentially to it over the note
    float dur = 0.2f;           // held time; the release follows
    float attack = 0.005f, decay = 0.1f, sustain = 0.7f, release = 0.05f;
    float vibrato_hz = 0, vibrato_depth = 0, vibrato_delay = 0; // depth in semitones
    float cutoff = 0, cutoff_boost = 0, cutoff_decay = 0.1f;    // low-pass; 0 = open
    float pulse_width = 0.25f;
    float gain = 1;
};

struct noise_params {
    float dur = 0.1f, attack = 0.001f, decay = 0.05f; // exponential fall after the attack
    float lowpass = 0, highpass = 0;                  // one-pole filters; 0 = off
    float gain = 1;
    unsigned seed = 1;
};

static float midi_hz(float note)
{
    return 440.0f * std::pow(2.0f, (note - 69.0f) / 12.0f);
}

// Band-limiting correction at a waveform's jump, so square and saw waves do not alias.
static float poly_blep(float t, float dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0f;
    }
    if (t > 1.0f - dt) {
        t = (t - 1.0f) / dt;
        return t * t + t + t + 1.0f;
    }
    return 0.0f;
}

static float oscillator(wave_shape shape, float phase, float dt, float width)
{
    switch (shape) {
    case SINE:
        return std::sin(2 * PI * phase);
    case TRIANGLE:
        return 1.0f - 4.0f * std::fabs(phase - 0.5f);
    case SAW:
        return 2.0f * phase - 1.0f - poly_blep(phase, dt);
    case SQUARE:
        width = 0.5f;
        [[fallthrough]];
    case PULSE: {
        float v = phase < width ? 1.0f : -1.0f;
        v += poly_blep(phase, dt);
        float p2 = phase - width;
        if (p2 < 0) p2 += 1.0f;
        v -= poly_blep(p2, dt);
        return v;
    }
    }
    return 0.0f;
}

// Attack, exponential decay to the sustain level while held, exponential release after.
static float envelope(const tone_params &t, float time)
{
    auto held = [&](float tt) {
        if (tt < t.attack) return tt / t.attack;
        return t.sustain +
               (1.0f - t.sustain) * std::exp(-(tt - t.attack) / std::max(t.decay, 1e-4f));
    };
    if (time <= t.dur) return held(time);
    return held(t.dur) * std::exp(-(time - t.dur) / std::max(t.release, 1e-4f));
}

static sound tone(const tone_params &t)
{
    sound out;
    int n = (int)((t.dur + t.release * 5) * SAMPLE_RATE);
    out.s.resize(n);
    float phase = 0, lp1 = 0, lp2 = 0;
    for (int i = 0; i < n; i++) {
        float time = (float)i / SAMPLE_RATE;
        float hz = t.hz;
        if (t.hz_end > 0) hz = t.hz * std::pow(t.hz_end / t.hz, std::min(1.0f, time / t.dur));
        if (t.vibrato_depth > 0 && time > t.vibrato_delay) {
            float depth = t.vibrato_depth * std::min(1.0f, (time - t.vibrato_delay) * 4);
            hz *= std::pow(2.0f, depth * std::sin(2 * PI * t.vibrato_hz * time) / 12.0f);
        }
        float dt = hz / SAMPLE_RATE;
        float v = oscillator(t.shape, phase, dt, t.pulse_width);
        phase += dt;
        phase -= std::floor(phase);
        if (t.cutoff > 0) {
            float fc = t.cutoff * (1 + t.cutoff_boost * std::exp(-time / t.cutoff_decay));
            float a = 1.0f - std::exp(-2 * PI * std::min(fc, 10000.0f) / SAMPLE_RATE);
            lp1 += a * (v - lp1);
            lp2 += a * (lp1 - lp2);
            v = lp2;
        }
        out.s[i] = v * envelope(t, time) * t.gain;
    }
    return out;
}

static sound noise(const noise_params &ns)
{
    sound out;
    int n = (int)((ns.dur + ns.decay * 6) * SAMPLE_RATE);
    out.s.resize(n);
    unsigned state = ns.seed * 2654435761u + 12345u;
    float lp = 0, hp_prev_in = 0, hp = 0;
    float alp = ns.lowpass > 0 ? 1.0f - std::exp(-2 * PI * ns.lowpass / SAMPLE_RATE) : 1.0f;
    float ahp = ns.highpass > 0 ? std::exp(-2 * PI * ns.highpass / SAMPLE_RATE) : 0.0f;
    for (int i = 0; i < n; i++) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        float v = (state & 0xFFFF) / 32768.0f - 1.0f;
        lp += alp * (v - lp);
        v = lp;
        if (ns.highpass > 0) {
            hp = ahp * (hp + v - hp_prev_in);
            hp_prev_in = v;
            v = hp;
        }
        float time = (float)i / SAMPLE_RATE;
        float env = time < ns.attack ? time / ns.attack
                    : time < ns.dur  ? 1.0f
                                     : std::exp(-(time - std::max(ns.dur, ns.attack)) / ns.decay);
        out.s[i] = v * env * ns.gain;
    }
    return out;
}

// Mixes src into dst starting at `at` seconds.
static void mix_in(sound &dst, const sound &src, float at, float gain = 1.0f)
{
    int off = (int)std::lround(at * SAMPLE_RATE);
    if ((int)dst.s.size() < off + (int)src.s.size()) dst.s.resize(off + src.s.size(), 0.0f);
    for (size_t i = 0; i < src.s.size(); i++)
        dst.s[off + i] += src.s[i] * gain;
}

// Cuts trailing near-silence and fades the last few milliseconds so nothing clicks.
static void trim(sound &snd)
{
    int end = (int)snd.s.size();
    while (end > 1 && std::fabs(snd.s[end - 1]) < 3e-4f)
        end--;
    snd.s.resize(end);
    int fade = std::min(end, SAMPLE_RATE / 200);
    for (int i = 0; i < fade; i++)
        snd.s[end - 1 - i] *= (float)i / fade;
}

void normalise(sound &snd, float peak)
{
    float m = 0;
    for (float v : snd.s)
        m = std::max(m, std::fabs(v));
    if (m <= 0) return;
    for (float &v : snd.s)
        v *= peak / m;
    trim(snd);
}

bool save_wav(const sound &snd, const std::string &path)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f) return false;
    auto le = [&](uint32_t v, int n) {
        for (int i = 0; i < n; i++)
            fputc((v >> (8 * i)) & 0xFF, f);
    };
    uint32_t data_bytes = snd.s.size() * 2;
    fwrite("RIFF", 1, 4, f);
    le(36 + data_bytes, 4);
    fwrite("WAVEfmt ", 1, 8, f);
    le(16, 4);
    le(1, 2);
    le(1, 2);
    le(SAMPLE_RATE, 4);
    le(SAMPLE_RATE * 2, 4);
    le(2, 2);
    le(16, 2);
    fwrite("data", 1, 4, f);
    le(data_bytes, 4);
    for (float v : snd.s) {
        int q = (int)std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f);
        le((uint16_t)(int16_t)q, 2);
    }
    return fclose(f) == 0;
}

// ---- drums ----

static sound kick()
{
    tone_params t;
    t.hz = 150;
    t.hz_end = 42;
    t.dur = 0.09f;
    t.attack = 0.001f;
    t.decay = 0.12f;
    t.sustain = 0.0f;
    t.release = 0.05f;
    sound s = tone(t);
    noise_params click;
    click.dur = 0.002f;
    click.decay = 0.004f;
    click.lowpass = 3000;
    click.gain = 0.5f;
    mix_in(s, noise(click), 0);
    return s;
}

static sound snare(unsigned seed)
{
    noise_params n;
    n.dur = 0.005f;
    n.decay = 0.07f;
    n.lowpass = 7000;
    n.highpass = 900;
    n.gain = 0.9f;
    n.seed = seed;
    sound s = noise(n);
    tone_params body;
    body.hz = 190;
    body.hz_end = 150;
    body.dur = 0.05f;
    body.attack = 0.001f;
    body.decay = 0.04f;
    body.sustain = 0;
    body.release = 0.02f;
    body.gain = 0.5f;
    mix_in(s, tone(body), 0);
    return s;
}

static sound hat(unsigned seed, float decay)
{
    noise_params n;
    n.dur = 0.002f;
    n.decay = decay;
    n.highpass = 6000;
    n.gain = 0.5f;
    n.seed = seed;
    return noise(n);
}

static sound crash(unsigned seed)
{
    noise_params n;
    n.dur = 0.01f;
    n.decay = 0.6f;
    n.highpass = 3500;
    n.lowpass = 9000;
    n.gain = 0.6f;
    n.seed = seed;
    return noise(n);
}

// ---- note sequences ----

// A note: start and length in beats, MIDI pitch (0 = rest).
struct note_event {
    float beat, beats;
    int pitch;
};

// Parses "A4:2 C5:1 r:1 ..." into events, lengths in eighths.
static std::vector<note_event> parse_line(const char *text, float start_beat)
{
    std::vector<note_event> out;
    float beat = start_beat;
    const char *p = text;
    static const int offsets[7] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    while (*p) {
        while (*p == ' ' || *p == '|')
            p++;
        if (!*p) break;
        int pitch = 0;
        if (*p == 'r') {
            p++;
        } else {
            int base = offsets[*p - 'A'];
            p++;
            if (*p == '#') {
                base++;
                p++;
            } else if (*p == 'b') {
                base--;
                p++;
            }
            int octave = *p - '0';
            p++;
            pitch = 12 * (octave + 1) + base;
        }
        float eighths = 1;
        if (*p == ':') {
            p++;
            eighths = (float)std::strtod(p, const_cast<char **>(&p));
        }
        out.push_back({beat, eighths / 2, pitch});
        beat += eighths / 2;
    }
    return out;
}

static void play_line(sound &dst, const std::vector<note_event> &line, float bpm, tone_params voice,
                      float gate = 0.85f)
{
    float spb = 60.0f / bpm;
    for (const note_event &e : line) {
        if (!e.pitch) continue;
        voice.hz = midi_hz((float)e.pitch);
        voice.dur = e.beats * spb * gate;
        mix_in(dst, tone(voice), e.beat * spb);
    }
}

// ---- the game's sounds ----

sound launch_p1_sound()
{
    // A soft pneumatic "thwup": a falling square blip over a puff of air.
    sound s;
    tone_params t;
    t.shape = SQUARE;
    t.hz = 880;
    t.hz_end = 220;
    t.dur = 0.09f;
    t.attack = 0.002f;
    t.decay = 0.05f;
    t.sustain = 0.3f;
    t.release = 0.02f;
    t.cutoff = 1800;
    t.cutoff_boost = 2;
    t.cutoff_decay = 0.03f;
    mix_in(s, tone(t), 0, 0.6f);
    noise_params n;
    n.dur = 0.01f;
    n.decay = 0.04f;
    n.lowpass = 2500;
    n.highpass = 300;
    n.seed = 16;
    mix_in(s, noise(n), 0, 0.5f);
    normalise(s, 0.7f);
    return s;
}

sound launch_p2_sound()
{
    // A laser-like "pew" that rises then drops, brighter than player 1's.
    sound s;
    tone_params t;
    t.shape = SAW;
    t.hz = 1400;
    t.hz_end = 350;
    t.dur = 0.11f;
    t.attack = 0.002f;
    t.decay = 0.07f;
    t.sustain = 0.2f;
    t.release = 0.02f;
    t.cutoff = 2600;
    t.cutoff_boost = 1.5f;
    t.cutoff_decay = 0.05f;
    mix_in(s, tone(t), 0, 0.6f);
    tone_params sub = t;
    sub.shape = SINE;
    sub.hz = 700;
    sub.hz_end = 175;
    sub.cutoff = 0;
    mix_in(s, tone(sub), 0, 0.4f);
    normalise(s, 0.7f);
    return s;
}

sound key_click_sound()
{
    // A short typewriter tick.
    sound s;
    noise_params n;
    n.dur = 0.001f;
    n.decay = 0.008f;
    n.highpass = 1500;
    n.lowpass = 8000;
    n.seed = 7;
    mix_in(s, noise(n), 0);
    tone_params t;
    t.hz = 2200;
    t.dur = 0.01f;
    t.attack = 0.0005f;
    t.decay = 0.006f;
    t.sustain = 0;
    t.release = 0.005f;
    mix_in(s, tone(t), 0, 0.4f);
    normalise(s, 0.6f);
    return s;
}

sound clash_sound()
{
    // Two metal bumpers ringing against each other: inharmonic partials over a crack.
    sound s;
    static const float partials[][3] = {
        {310, 1.0f, 0.35f},  {492, 0.7f, 0.28f}, {771, 0.55f, 0.22f},
        {1043, 0.4f, 0.16f}, {1580, 0.3f, 0.1f}, {2310, 0.2f, 0.07f},
    };
    for (auto &p : partials) {
        tone_params t;
        t.hz = p[0];
        t.dur = 0.01f;
        t.attack = 0.001f;
        t.decay = p[2];
        t.sustain = 0;
        t.release = p[2];
        t.gain = p[1];
        mix_in(s, tone(t), 0);
    }
    noise_params n;
    n.dur = 0.003f;
    n.decay = 0.03f;
    n.highpass = 800;
    n.seed = 43;
    mix_in(s, noise(n), 0, 1.2f);
    normalise(s, 0.8f);
    return s;
}

sound goal_sound()
{
    // A bright rising arpeggio with a ringing top note: a bumper is over the line.
    sound s;
    static const int notes[] = {72, 76, 79, 84, 88};
    for (int i = 0; i < 5; i++) {
        tone_params t;
        t.shape = SQUARE;
        t.hz = midi_hz((float)notes[i]);
        t.dur = i == 4 ? 0.25f : 0.05f;
        t.decay = 0.15f;
        t.sustain = 0.5f;
        t.release = i == 4 ? 0.2f : 0.04f;
        t.cutoff = 3000;
        t.vibrato_hz = 7;
        t.vibrato_depth = i == 4 ? 0.2f : 0;
        t.vibrato_delay = 0.05f;
        mix_in(s, tone(t), i * 0.055f, 0.5f);
        tone_params bell = t;
        bell.shape = SINE;
        bell.hz *= 2;
        bell.cutoff = 0;
        bell.sustain = 0;
        bell.decay = 0.12f;
        mix_in(s, tone(bell), i * 0.055f, 0.25f);
    }
    normalise(s, 0.8f);
    return s;
}

sound pad_sound()
{
    // A springy "boing" off the corner pad: a bright twang that wobbles and falls.
    sound s;
    tone_params t;
    t.shape = TRIANGLE;
    t.hz = 640;
    t.hz_end = 300;
    t.dur = 0.16f;
    t.attack = 0.002f;
    t.decay = 0.09f;
    t.sustain = 0.35f;
    t.release = 0.06f;
    t.vibrato_hz = 19;
    t.vibrato_depth = 1.0f;
    mix_in(s, tone(t), 0);
    tone_params ring = t;
    ring.shape = SINE;
    ring.hz *= 2.76f;
    ring.hz_end *= 2.76f;
    ring.sustain = 0.1f;
    mix_in(s, tone(ring), 0, 0.3f);
    tone_params thud;
    thud.hz = 160;
    thud.hz_end = 70;
    thud.dur = 0.05f;
    thud.attack = 0.001f;
    thud.decay = 0.04f;
    thud.sustain = 0;
    thud.release = 0.03f;
    mix_in(s, tone(thud), 0, 0.7f);
    normalise(s, 0.75f);
    return s;
}

sound count_sound(int count)
{
    // Bell-like beeps that climb as the count falls: 5 lowest, 1 highest and longest.
    static const int pitch[6] = {0, 84, 79, 76, 74, 72};
    sound s;
    tone_params t;
    t.shape = TRIANGLE;
    t.hz = midi_hz((float)pitch[count]);
    t.dur = count == 1 ? 0.35f : 0.18f;
    t.attack = 0.003f;
    t.decay = 0.12f;
    t.sustain = 0.45f;
    t.release = 0.08f;
    mix_in(s, tone(t), 0);
    tone_params over = t;
    over.shape = SINE;
    over.hz *= 3.0f;
    over.sustain = 0;
    over.decay = 0.05f;
    mix_in(s, tone(over), 0, 0.3f);
    if (count == 1) { // the last one doubles with an octave below
        tone_params low = t;
        low.hz /= 2;
        mix_in(s, tone(low), 0, 0.5f);
    }
    normalise(s, 0.8f);
    return s;
}

sound warning_sound()
{
    // An alarm: three two-tone pulses.
    sound s;
    for (int i = 0; i < 6; i++) {
        tone_params t;
        t.shape = SQUARE;
        t.hz = i % 2 ? 660 : 880;
        t.dur = 0.12f;
        t.attack = 0.004f;
        t.decay = 0.2f;
        t.sustain = 0.8f;
        t.release = 0.01f;
        t.cutoff = 2500;
        mix_in(s, tone(t), i * 0.14f + (i / 2) * 0.06f, 0.5f);
    }
    normalise(s, 0.55f);
    return s;
}

sound end_of_time_sound()
{
    // The end-of-time buzzer: two detuned low saws, slightly filtered.
    sound s;
    for (float hz : {110.0f, 113.5f, 55.0f}) {
        tone_params t;
        t.shape = SAW;
        t.hz = hz;
        t.dur = 1.0f;
        t.attack = 0.01f;
        t.decay = 0.5f;
        t.sustain = 0.8f;
        t.release = 0.08f;
        t.cutoff = 1500;
        mix_in(s, tone(t), 0, 0.4f);
    }
    normalise(s, 0.8f);
    return s;
}

static tone_params brass_voice()
{
    tone_params t;
    t.shape = SAW;
    t.attack = 0.02f;
    t.decay = 0.15f;
    t.sustain = 0.7f;
    t.release = 0.08f;
    t.cutoff = 1200;
    t.cutoff_boost = 1.5f;
    t.cutoff_decay = 0.08f;
    t.vibrato_hz = 5.5f;
    t.vibrato_depth = 0.15f;
    t.vibrato_delay = 0.2f;
    return t;
}

sound new_high_sound()
{
    // A short brass fanfare: da-da-da daaa, over a rising chord.
    sound s;
    const float bpm = 180;
    tone_params lead = brass_voice();
    lead.release = 0.15f;
    play_line(s, parse_line("G4:1 G4:1 G4:1 C5:4 B4:1 C5:1 D5:1 E5:6", 0), bpm, lead, 0.8f);
    tone_params harm = brass_voice();
    harm.gain = 0.6f;
    harm.release = 0.15f;
    play_line(s, parse_line("E4:1 E4:1 E4:1 G4:4 G4:1 A4:1 B4:1 C5:6", 0), bpm, harm, 0.8f);
    tone_params bass = brass_voice();
    bass.cutoff = 600;
    bass.release = 0.15f;
    play_line(s, parse_line("r:3 C3:4 G2:3 C3:6", 0), bpm, bass, 0.9f);
    noise_params cymbal;
    cymbal.dur = 0.01f;
    cymbal.decay = 0.3f;
    cymbal.highpass = 3500;
    cymbal.lowpass = 9000;
    cymbal.seed = 41;
    mix_in(s, noise(cymbal), 60.0f / bpm * 5.0f, 0.4f);
    normalise(s, 0.8f);
    return s;
}

sound entername_sound()
{
    // A cheerful little tune that invites the player to type.
    sound s;
    const float bpm = 160;
    tone_params lead;
    lead.shape = PULSE;
    lead.attack = 0.005f;
    lead.decay = 0.1f;
    lead.sustain = 0.5f;
    lead.release = 0.05f;
    lead.cutoff = 3500;
    lead.gain = 0.5f;
    play_line(s, parse_line("C5:1 E5:1 G5:1 C6:1 B5:1 G5:1 A5:2 G5:1 E5:1 F5:1 D5:1 C5:4", 0), bpm,
              lead);
    tone_params bass;
    bass.shape = TRIANGLE;
    bass.sustain = 0.8f;
    bass.release = 0.05f;
    bass.gain = 0.6f;
    play_line(s, parse_line("C3:2 G3:2 F3:2 E3:2 D3:2 G2:2 C3:4", 0), bpm, bass);
    normalise(s, 0.75f);
    return s;
}

sound intro_sound()
{
    // The opening jingle: a sweep up into a bright chord with drums.
    sound s;
    const float bpm = 132;
    float spb = 60.0f / bpm;
    tone_params arp;
    arp.shape = PULSE;
    arp.pulse_width = 0.3f;
    arp.decay = 0.08f;
    arp.sustain = 0.4f;
    arp.release = 0.04f;
    arp.cutoff = 4000;
    arp.gain = 0.35f;
    play_line(s,
              parse_line("A3:1 C4:1 E4:1 A4:1 C5:1 E5:1 A5:1 C6:1 "
                         "G3:1 B3:1 D4:1 G4:1 B4:1 D5:1 G5:1 B5:1",
                         0),
              bpm, arp, 0.7f);
    tone_params lead = brass_voice();
    lead.gain = 0.6f;
    play_line(s, parse_line("A5:3 E5:1 A5:2 C6:2 | B5:2 G5:2 D6:4 | E6:12", 0), bpm, lead);
    tone_params pad = brass_voice();
    pad.gain = 0.35f;
    play_line(s, parse_line("r:16 C5:12", 0), bpm, pad);
    play_line(s, parse_line("r:16 E5:12", 0), bpm, pad);
    play_line(s, parse_line("r:16 A4:12", 0), bpm, pad);
    tone_params bass;
    bass.shape = SAW;
    bass.cutoff = 500;
    bass.sustain = 0.8f;
    bass.gain = 0.6f;
    play_line(s, parse_line("A2:2 A2:2 A2:2 A2:2 G2:2 G2:2 G2:2 G2:2 A2:12", 0), bpm, bass);
    for (int b = 0; b < 8; b++) {
        mix_in(s, kick(), b * spb, 0.8f);
        if (b % 2) mix_in(s, snare(b), b * spb, 0.5f);
        mix_in(s, hat(b, 0.03f), (b + 0.5f) * spb, 0.4f);
    }
    mix_in(s, kick(), 8 * spb, 0.9f);
    mix_in(s, crash(28), 8 * spb, 0.8f);
    normalise(s, 0.8f);
    return s;
}

sound credits_sound()
{
    // A calm closing melody over broken chords, ending on the home chord.
    sound s;
    const float bpm = 100;
    tone_params lead;
    lead.shape = TRIANGLE;
    lead.attack = 0.01f;
    lead.decay = 0.3f;
    lead.sustain = 0.6f;
    lead.release = 0.2f;
    lead.vibrato_hz = 5;
    lead.vibrato_depth = 0.12f;
    lead.vibrato_delay = 0.15f;
    lead.gain = 0.7f;
    play_line(s, parse_line("E5:2 D5:1 C5:1 D5:2 G4:2 | A4:2 C5:1 E5:1 G5:3 F5:1 | E5:8", 0), bpm,
              lead, 0.95f);
    tone_params harp;
    harp.shape = SINE;
    harp.decay = 0.4f;
    harp.sustain = 0.0f;
    harp.release = 0.3f;
    harp.gain = 0.35f;
    play_line(s,
              parse_line("C3:1 G3:1 C4:1 E4:1 G2:1 D3:1 G3:1 B3:1 | A2:1 E3:1 A3:1 C4:1 "
                         "F2:1 C3:1 F3:1 A3:1 | C3:1 G3:1 C4:1 E4:1 G4:1 C5:3",
                         0),
              bpm, harp, 1.5f);
    normalise(s, 0.75f);
    return s;
}

sound gameover_sound()
{
    // The bumpers burst (a boom), then a falling "wah wah wah waaah".
    sound s;
    noise_params boom;
    boom.dur = 0.02f;
    boom.decay = 0.35f;
    boom.lowpass = 600;
    boom.seed = 9;
    mix_in(s, noise(boom), 0, 1.6f);
    tone_params sub;
    sub.hz = 90;
    sub.hz_end = 30;
    sub.dur = 0.3f;
    sub.decay = 0.2f;
    sub.sustain = 0;
    sub.release = 0.1f;
    mix_in(s, tone(sub), 0, 0.9f);
    static const int notes[] = {67, 66, 65, 64};
    for (int i = 0; i < 4; i++) {
        tone_params t = brass_voice();
        t.hz = midi_hz((float)notes[i] - 12);
        t.dur = i == 3 ? 1.1f : 0.32f;
        t.cutoff = 900;
        t.cutoff_boost = 1.2f;
        t.cutoff_decay = 0.15f;
        t.vibrato_depth = i == 3 ? 0.35f : 0;
        t.vibrato_hz = 6;
        t.vibrato_delay = 0.25f;
        mix_in(s, tone(t), 0.45f + i * 0.4f, 0.7f);
    }
    normalise(s, 0.8f);
    return s;
}

// Title music: a 17-bar tune in A minor at 140 beats a minute over i-VI-III-VII, with lead,
// bass, chords and drums; about 29 seconds.
sound title_music()
{
    sound s;
    const float bpm = 140;
    const float spb = 60.0f / bpm;
    const char *melody =
        "A4:2 C5:1 E5:1 A5:2 G5:1 E5:1 | F5:2 E5:1 C5:1 A4:3 r:1 | G4:1 C5:1 E5:1 G5:1 E5:2 "
        "C5:1 E5:1 | D5:3 B4:1 G4:2 B4:1 D5:1 | "
        "A4:2 C5:1 E5:1 A5:2 B5:1 C6:1 | A5:2 G5:1 F5:1 C5:3 F5:1 | E5:1 G5:1 C6:1 G5:1 E5:1 "
        "G5:1 E5:1 C5:1 | D5:2 G5:2 B4:2 D5:2 | "
        "E5:1 E5:1 A5:2 E5:1 A5:1 C6:2 | C6:1 A5:1 F5:2 A5:1 C6:1 F6:2 | E6:2 D6:1 C6:1 G5:2 "
        "C6:2 | B5:2 A5:1 G5:1 D5:2 B4:2 | "
        "A4:2 C5:1 E5:1 A5:2 G5:1 E5:1 | F5:2 E5:1 C5:1 A4:3 r:1 | G4:1 C5:1 E5:1 G5:1 E5:2 "
        "C5:1 E5:1 | B4:2 D5:2 G5:4 | A5:8";
    tone_params lead;
    lead.shape = PULSE;
    lead.pulse_width = 0.25f;
    lead.attack = 0.006f;
    lead.decay = 0.12f;
    lead.sustain = 0.6f;
    lead.release = 0.06f;
    lead.cutoff = 3200;
    lead.cutoff_boost = 0.8f;
    lead.cutoff_decay = 0.06f;
    lead.vibrato_hz = 5.5f;
    lead.vibrato_depth = 0.12f;
    lead.vibrato_delay = 0.18f;
    lead.gain = 0.42f;
    std::vector<note_event> line = parse_line(melody, 0);
    play_line(s, line, bpm, lead, 0.85f);
    // An echo of the lead, a dotted eighth later and quieter.
    tone_params echo = lead;
    echo.gain = 0.13f;
    echo.cutoff = 1800;
    for (note_event &e : line)
        e.beat += 0.75f;
    play_line(s, line, bpm, echo, 0.85f);

    // Chords: root of each bar (A, F, C, G) repeated, then the final A.
    static const int roots[4] = {45, 41, 48, 43}; // A2, F2, C3, G2
    static const int thirds[4] = {3, 4, 4, 4};    // minor, major, major, major
    tone_params bass;
    bass.shape = SAW;
    bass.attack = 0.003f;
    bass.decay = 0.09f;
    bass.sustain = 0.5f;
    bass.release = 0.04f;
    bass.cutoff = 420;
    bass.cutoff_boost = 2.0f;
    bass.cutoff_decay = 0.05f;
    bass.gain = 0.5f;
    tone_params pad;
    pad.shape = TRIANGLE;
    pad.attack = 0.08f;
    pad.decay = 0.5f;
    pad.sustain = 0.6f;
    pad.release = 0.2f;
    pad.gain = 0.09f;
    tone_params arp;
    arp.shape = SQUARE;
    arp.attack = 0.002f;
    arp.decay = 0.06f;
    arp.sustain = 0.15f;
    arp.release = 0.03f;
    arp.cutoff = 2200;
    arp.gain = 0.08f;
    const int bars = 16;
    for (int bar = 0; bar < bars; bar++) {
        int root = roots[bar % 4];
        float bar_beat = bar * 4.0f;
        for (int e = 0; e < 8; e++) { // pumping eighths: root, octave
            bass.hz = midi_hz((float)(root + (e % 2 ? 12 : 0)));
            bass.dur = spb * 0.4f;
            mix_in(s, tone(bass), (bar_beat + e * 0.5f) * spb);
        }
        int chord[3] = {root + 12, root + 12 + thirds[bar % 4], root + 19};
        for (int n : chord) {
            pad.hz = midi_hz((float)n + 12);
            pad.dur = spb * 3.8f;
            mix_in(s, tone(pad), bar_beat * spb);
        }
        if (bar >= 4) { // sixteenth arpeggio from the second verse on
            for (int k = 0; k < 16; k++) {
                static const int order[4] = {0, 1, 2, 1};
                arp.hz = midi_hz((float)chord[order[k % 4]] + 24);
                arp.dur = spb * 0.2f;
                mix_in(s, tone(arp), (bar_beat + k * 0.25f) * spb);
            }
        }
        // Drums: four on the floor kick, back-beat snare, eighth hats; a fill every 4 bars.
        for (int b = 0; b < 4; b++) {
            float at = (bar_beat + b) * spb;
            mix_in(s, kick(), at, 0.9f);
            if (b % 2) mix_in(s, snare(bar * 4 + b), at, 0.55f);
            mix_in(s, hat(bar * 8 + b * 2, 0.025f), at, 0.35f);
            mix_in(s, hat(bar * 8 + b * 2 + 1, 0.05f), at + spb / 2, 0.3f);
        }
        if (bar % 4 == 3)
            for (int k = 0; k < 4; k++)
                mix_in(s, snare(1000 + bar * 4 + k), (bar_beat + 3 + k * 0.25f) * spb, 0.35f);
        if (bar % 4 == 0) mix_in(s, crash(bar + 1), bar_beat * spb, 0.5f);
    }
    // The last bar: the home chord rings out over a crash.
    float end = bars * 4.0f * spb;
    tone_params last = pad;
    last.gain = 0.18f;
    last.dur = spb * 4;
    last.release = 0.6f;
    for (int n : {57, 60, 64, 69}) {
        last.hz = midi_hz((float)n);
        mix_in(s, tone(last), end);
    }
    bass.hz = midi_hz(33);
    bass.dur = spb * 3;
    bass.release = 0.4f;
    mix_in(s, tone(bass), end, 1.2f);
    mix_in(s, kick(), end, 1.0f);
    mix_in(s, crash(99), end, 0.8f);
    normalise(s, 0.85f);
    return s;
}
