// test_controls -- the pause and gamepads (a stand-in driver's)
#include <cstring>
#include <functional>
#include <tuple>

#include "explosions.h"
#include "fixture.h"
#include "game_input.h"
#include "game_round.h"
#include "gamepad.h"
#include "null_drivers.h"
#include "options.h"
#include "particles.h"
#include "pause.h"
#include "rebound_effect.h"
#include "title_screen.h"

// Pads of a main stick, a throttle between and a d-pad last, with the tilts and buttons set here.
constexpr int STICKS = 3, BUTTONS = 10;
static int pads_in, tilt[MAX_GAMEPADS][STICKS][2], button[MAX_GAMEPADS][BUTTONS];
static int stand_in_init()
{
    num_joysticks = pads_in;
    for (int p = 0; p < pads_in; p++) {
        joy[p].num_sticks = STICKS, joy[p].num_buttons = BUTTONS;
        for (int s = 0; s < STICKS; s++)
            joy[p].stick[s].num_axis = 2;
    }
    return 0;
}
static int stand_in_poll()
{
    for (int p = 0; p < pads_in; p++)
        for (int n = 0; n < BUTTONS; n++) {
            joy[p].button[n].b = button[p][n];
            if (n < STICKS * 2) joy[p].stick[n / 2].axis[n % 2].pos = tilt[p][n / 2][n % 2];
        }
    return 0;
}
static JOYSTICK_DRIVER stand_in;
// The headless system driver lists its own joystick drivers, which win over a program's
// _joystick_driver_list, so the stand-in's list goes in through the system driver's hook.
static _DRIVER_INFO stand_in_list[] = {{AL_ID('T', 'E', 'S', 'T'), &stand_in, TRUE}, {0, 0, 0}};

class Controls : public Headless {
  protected:
    void plug_pads(int n) // n pads at rest, found by the game's own start-up call
    {
        remove_joystick();
        memset(tilt, 0, sizeof tilt), memset(button, 0, sizeof button), pads_in = n;
        stand_in.ascii_name = "stand-in pads";
        stand_in.init = stand_in_init, stand_in.exit = [] {}, stand_in.poll = stand_in_poll;
        system_driver->joystick_drivers = [] { return stand_in_list; };
        install_gamepads();
    }
    void TearDown() override
    {
        plug_pads(0), pause_waiting = nullptr, Headless::TearDown();
    }
};

// Everything the course of a game depends on: the tables, the counters and the samples played.
static size_t game_state()
{
    std::string s;
    auto add = [&s](const void *p, size_t n) { s.append(static_cast<const char *>(p), n); };
    add(sprite, sizeof sprite), add(particles, sizeof particles);
    add(explosion, sizeof explosion), add(rebound, sizeof rebound);
    add(sample_plays, sizeof sample_plays);
    const int counters[] = {p1_score,  p2_score,      p1_balls,       p2_balls, p1_frames,
                            p2_frames, actual_frames, countdown_flag, hi};
    add(&p1_dy, sizeof p1_dy), add(&p2_dy, sizeof p2_dy), add(counters, sizeof counters);
    return std::hash<std::string>()(s);
}

// The last 1900 passes of a two-player game, through every stage of the end-of-game count:
// player 1 sweeps and fires in bursts, player 2 fires and steers. At pass `pause_at` the player
// presses `ask`; paused, lets go, then presses and lets go `go_on`, while 5000 ticks go by. The
// clock is kept if it is set back and the pause rested between its looks at the controls (a
// second pause would count twice).
static std::function<void(bool)> ask, go_on;
static int waits, changes;
static unsigned rested;
static size_t state_at_pause;
static nums play_with_pause(int pause_at, int *clock_kept)
{
    memset(sample_plays, 0, sizeof sample_plays);
    null_rested = [](unsigned ms) { rested += ms; };
    pause_waiting = [] {
        target_frames = target_frames + 50;
        changes += game_state() != state_at_pause;
        if (++waits == 2) ask(false); // held through the first look
        if (waits % 100 == 25 || waits % 100 == 50 || waits % 100 == 0) go_on(waits % 100 == 50);
    };
    forget_pause_requests();
    for (int n = 0; game_continues(); n++) {
        target_frames = actual_frames + 18300; // the tick for this pass has come
        if (n == pause_at) ask(true), state_at_pause = game_state(), waits = rested = 0;
        int clock = target_frames;
        if (pause_if_asked())
            *clock_kept += target_frames == clock && waits >= 100 &&
                           rested == (1 + PAUSE_POLL_MS) * unsigned(waits);
        mouse_y = n * 7 % 161, mouse_b = n % 40 < 30;
        key[KEY_LCONTROL] = 1, key[KEY_UP] = n % 50 < 25;
        play_pass([] {});
    }
    return N(game_state(), rand());
}

TEST_F(Controls, PauseHoldsTheGameAndItsClockStillAndGoesOnToTheSameGame)
{
    auto key_of = [](int k) { return [k](bool down) { key[k] = down; }; };
    auto pad = [](int p, int b) { return [p, b](bool down) { button[p][b] = down; }; };
    int unused, clock_kept;
    plug_pads(2), chosen_display.mode = DISPLAY_WINDOW, install_display_hooks();
    const nums unpaused = play_with_pause(-1, &unused);
    const struct {
        int pause_at; // before the count's first stage, between two, in the last pass
        std::function<void(bool)> ask, on;
    } rows[] = {{5, key_of(KEY_P), key_of(KEY_P)},
                {1000, key_of(KEY_PAUSE), [](bool down) { mouse_b = down; }},
                {1899, pad(1, PAD_START_BUTTON), pad(0, PAD_FIRE_BUTTON)},
                {7, [](bool) { _switch_out(), _switch_in(); }, key_of(KEY_P)}}; // lost twice
    for (const auto &r : rows) {
        SetUp();
        ask = r.ask, go_on = r.on, changes = clock_kept = 0;
        EXPECT_EQ(play_with_pause(r.pause_at, &clock_kept), unpaused) << r.pause_at;
        EXPECT_EQ(N(clock_kept, changes), N(1, 0)) << r.pause_at;
    }
}

TEST_F(Controls, EscapeWhilePausedEndsTheGameAndTheFieldStaysDarkenedUnderPaused)
{
    initialise_sprites();
    compose_play_frame(); // the last frame: a new game's field
    key[KEY_P] = 1;
    pause_waiting = [] { key[KEY_P] = 0, key[KEY_ESC] = 1; };
    EXPECT_TRUE(pause_if_asked() && !game_continues()); // Escape while paused ends the game
    compare_picture("paused");
}

TEST_F(Controls, EachPadWorksItsPlayersControlsInBothModes)
{
    enum control { STICK_UP, STICK_DOWN, DPAD_UP, DPAD_DOWN, THROTTLE, NUDGE, FIRE, START };
    // A control held for half a second (75 steps) from an aim of 90; then player 1's button,
    // player 2's fire, up and down keys, player 1's pointer (the aim: 0 to 160) and a pause.
    const struct {
        int mode, pad, control;
        nums want;
    } rows[] = {
        {MENU_ONE_PLAYER, 0, STICK_UP, N(0, 0, 0, 0, 10, 0)},   // half the range in half a second
        {MENU_ONE_PLAYER, 0, DPAD_DOWN, N(0, 0, 0, 0, 160, 0)}, // held at the end
        {MENU_ONE_PLAYER, 0, FIRE, N(1, 0, 0, 0, 90, 0)},
        {MENU_ONE_PLAYER, 0, NUDGE, N(0, 0, 0, 0, 90, 0)},    // within the dead zone
        {MENU_ONE_PLAYER, 0, THROTTLE, N(0, 0, 0, 0, 90, 0)}, // a middle stick does not aim
        {MENU_ONE_PLAYER, 1, FIRE, N(0, 0, 0, 0, 90, 0)},     // the second pad sits out
        {MENU_ONE_PLAYER, 1, STICK_DOWN, N(0, 0, 0, 0, 90, 0)},
        {MENU_ONE_PLAYER, 1, START, N(0, 0, 0, 0, 90, 1)}, // but any Start pauses
        {MENU_TWO_PLAYER, 0, FIRE, N(0, 1, 0, 0, 90, 0)},
        {MENU_TWO_PLAYER, 0, STICK_UP, N(0, 0, 1, 0, 90, 0)},
        {MENU_TWO_PLAYER, 0, DPAD_DOWN, N(0, 0, 0, 1, 90, 0)},
        {MENU_TWO_PLAYER, 0, START, N(0, 0, 0, 0, 90, 1)},
        {MENU_TWO_PLAYER, 1, FIRE, N(1, 0, 0, 0, 90, 0)},
        {MENU_TWO_PLAYER, 1, STICK_DOWN, N(0, 0, 0, 0, 160, 0)},
        {MENU_TWO_PLAYER, 1, DPAD_UP, N(0, 0, 0, 0, 10, 0)},
    };
    for (const auto &r : rows) {
        plug_pads(2), Menu_Option = r.mode, mouse_y = 90;
        pointer_to_mouse(), forget_pause_requests(); // as a new game's level aim does
        const int full = PAD_FULL_TILT, c = r.control;
        int(&t)[STICKS][2] = tilt[r.pad];
        t[0][1] = (c == STICK_UP ? -full : c == STICK_DOWN ? full : 0) + (c == NUDGE) * 39;
        t[2][1] = c == DPAD_UP ? -full : c == DPAD_DOWN ? full : 0;
        t[1][0] = c == THROTTLE ? -full : 0;
        button[r.pad][PAD_FIRE_BUTTON] = c == FIRE, button[r.pad][PAD_START_BUTTON] = c == START;
        int pointer = 0;
        for (int step = 0; step < TIMER_RATE / 2; step++)
            pointer = step_pointer_y();
        EXPECT_EQ(N(step_buttons(), step_key(STEP_KEY_FIRE2), step_key(STEP_KEY_UP),
                    step_key(STEP_KEY_DOWN), pointer, pause_asked()),
                  r.want)
            << "row " << &r - rows;
    }
    plug_pads(1); // a two-player game with one pad: player 1 is the mouse's alone
    Menu_Option = MENU_TWO_PLAYER, mouse_y = 30;
    button[0][PAD_FIRE_BUTTON] = 1, tilt[0][0][1] = PAD_FULL_TILT;
    EXPECT_EQ(N(gamepads, step_buttons(), step_pointer_y(), step_pointer_y()), N(1, 0, 30, 30));
}

TEST_F(Controls, PadsMoveTheMenusPointerByTheClockAndTheirFirstButtonClicks)
{
    plug_pads(2), Menu_Option = MENU_NONE, mouse_x = 400, mouse_y = 300;
    auto after = [](int ticks) { // x first, then y twice
        target_frames = target_frames + ticks;
        const int x = pointer_x(), y = pointer_y();
        return N(x, y, pointer_y());
    };
    EXPECT_EQ(after(0), N(400, 300, 300));
    tilt[0][0][0] = PAD_FULL_TILT; // the first pad's stick right
    EXPECT_EQ(after(10), N(440, 300, 300)) << "4 pixels a tick, once however often it is read";
    tilt[0][0][0] = -PAD_FULL_TILT, tilt[1][2][1] = PAD_FULL_TILT; // left; the second's d-pad down
    EXPECT_EQ(after(10), N(400, 340, 340));
    for (int right : {0, 1}) { // held at the edges: left and bottom, then right and top
        tilt[0][0][0] = right ? PAD_FULL_TILT : -PAD_FULL_TILT, tilt[1][2][1] = -tilt[0][0][0];
        for (int n = 0; n < 20; n++)
            after(10);
        EXPECT_EQ(after(10), N(799 * right, 599 - 599 * right, 599 - 599 * right));
    }
    mouse_x = 100, mouse_y = 500; // the mouse moved: it takes the pointer
    EXPECT_EQ(after(0), N(100, 500, 500));
    button[1][PAD_FIRE_BUTTON] = 1; // the stick and the d-pad still held
    EXPECT_EQ(N(after(200)[1], pointer_buttons()), N(500, 1)) << "a long gap moves nothing";
}
