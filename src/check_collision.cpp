// check_collision -- circle collisions with mass, ball and bumper rules, side lines and scoring
#include "check_collision.h"

#include <cmath>

#include "explosions.h"
#include "gamedata.h"
#include "init.h"
#include "moving_points.h"
#include "particles.h"
#include "rebound_effect.h"

constexpr int PLAYER1 = 1, PLAYER2 = 2;

// Explosions of each kind of meeting: life, speed, particle style.
constexpr int BALLS_BURST_LIFE = 5, BALLS_BURST_SPEED = 2;
constexpr int HIT_BURST_LIFE = 4, HIT_BURST_SPEED = 3;
constexpr int CLASH_BURST_LIFE = 6;
constexpr int CLASH_VOLUME = 128;
constexpr int GOAL_PAN_LEFT = 0, GOAL_PAN_RIGHT = 255, GOAL_FREQ_RIGHT = 500;

static const int hit_points[FASTEST_SCORING_CLASS + 1] = {0, 10, 25, 50, 100, 250};

int bumper_hit_points(int speed_class)
{
    if (speed_class < 1 || speed_class > FASTEST_SCORING_CLASS) return 0;
    return hit_points[speed_class];
}

static bool collides(int type)
{
    return type >= KIND_P1_BALL && type <= KIND_LAST_COLLIDING;
}

static bool is_ball(int type)
{
    return type == KIND_P1_BALL || type == KIND_P2_BALL;
}

static bool is_edge(int type)
{
    return type >= KIND_PAD_BOTTOM_LEFT && type <= KIND_BOTTOM_EDGE;
}

// Pushes the pair apart along the line of centres, the lighter one further, then exchanges
// momentum along that line as a perfectly elastic impulse. Slots above 99 never move, but
// their masses still count. Leaves mult at ten times n's speed class.
static void bounce(int n, int n1, double collisionDistance, double actualDistance)
{
    sprite_record &a = sprite[n], &b = sprite[n1];
    double collNormalAngle = atan2(b.y - a.y, b.x - a.x);
    double overlap = sqrt(collisionDistance) - sqrt(actualDistance);
    double c_mass = a.mass, c2_mass = b.mass;
    double moveDist1 = overlap * c2_mass / (c_mass + c2_mass);
    double moveDist2 = overlap * c_mass / (c_mass + c2_mass);
    double nX = cos(collNormalAngle), nY = sin(collNormalAngle);
    if (n <= LAST_MOVABLE_SLOT) {
        a.x -= nX * moveDist1;
        a.y -= nY * moveDist1;
    }
    if (n1 <= LAST_MOVABLE_SLOT) {
        b.x += nX * moveDist2;
        b.y += nY * moveDist2;
    }
    double a1 = a.dx * nX + a.dy * nY;
    double a2 = b.dx * nX + b.dy * nY;
    double optimisedP = 2 * (a1 - a2) / (c_mass + c2_mass);
    if (n <= LAST_MOVABLE_SLOT) {
        a.dx -= optimisedP * c2_mass * nX;
        a.dy -= optimisedP * c2_mass * nY;
    }
    if (n1 <= LAST_MOVABLE_SLOT) {
        b.dx += optimisedP * c_mass * nX;
        b.dy += optimisedP * c_mass * nY;
    }
    mult = 10 * static_cast<int>(fabs(a.dx) + fabs(a.dy) + 1);
}

static int midpoint(double a, double b)
{
    return static_cast<int>((a + b) / 2);
}

// Two balls of any owners destroy each other without score.
static void balls_meet(sprite_record &a, sprite_record &b)
{
    create_explosion(midpoint(a.x, b.x), midpoint(a.y, b.y), BALLS_BURST_LIFE, BALLS_BURST_SPEED,
                     PARTICLE_DOT);
    a.type = KIND_FREE;
    b.type = KIND_FREE;
}

// The ball is used up and scores for its owner by how fast the bumper now moves: a speed sum
// of 0-1 is class 1, 1-2 class 2 and so on. A fast hit shows its points, a 0 included.
static void ball_hits_bumper(sprite_record &ball, const sprite_record &bumper)
{
    create_explosion(static_cast<int>(ball.x), static_cast<int>(ball.y), HIT_BURST_LIFE,
                     HIT_BURST_SPEED, PARTICLE_STREAK);
    mult = static_cast<int>(fabs(bumper.dx) + fabs(bumper.dy) + 1);
    int points = bumper_hit_points(mult);
    int direction;
    if (ball.type == KIND_P1_BALL) {
        p1_score += points;
        direction = PLAYER1;
    } else {
        p2_score += points;
        direction = PLAYER2;
    }
    if (mult > SHOWN_HIT_CLASS) create_new_moving_points(ball.x, ball.y, points, direction);
    ball.type = KIND_FREE;
    ball.life = 0;
}

// Two bumpers knock together: a burst as fast as half of mult, and a clash.
static void bumpers_clash(const sprite_record &a, const sprite_record &b)
{
    create_explosion(midpoint(a.x, b.x), midpoint(a.y, b.y), CLASH_BURST_LIFE, mult / 2,
                     PARTICLE_STREAK);
    play_data_sample(DAT_CLASH_SOUND, CLASH_VOLUME, 128, 1000);
}

// The game's rules for a touching pair. True when object n was removed.
static bool apply_rules(int n, int n1)
{
    sprite_record &a = sprite[n], &b = sprite[n1];
    if (is_ball(a.type) && is_ball(b.type)) {
        balls_meet(a, b);
        return true;
    }
    // Balls lie below the bumpers in the table, so a ball is always the first of such a pair.
    if (is_ball(a.type) && b.type == KIND_BUMPER) {
        ball_hits_bumper(a, b);
        return true;
    }
    if (a.type == KIND_BUMPER && b.type == KIND_BUMPER) bumpers_clash(a, b);
    if (a.type == KIND_BUMPER && is_edge(b.type)) create_pad_rebound(b.type);
    return false;
}

// Meets n with every later object. Overlap is tested on squared distances from n's centre as
// it stood when its turn began; roots and angles are spent only on touching pairs.
static void collide_with_later_slots(int n)
{
    double C1x = sprite[n].x, C1y = sprite[n].y, C1radius = sprite[n].w / 2;
    for (int n1 = n + 1; n1 <= LAST_COLLIDING_SLOT; n1++) {
        if (!collides(sprite[n1].type)) continue;
        double C2x = sprite[n1].x, C2y = sprite[n1].y, C2radius = sprite[n1].w / 2;
        double collisionDistance = (C1radius + C2radius) * (C1radius + C2radius);
        double actualDistance = (C2x - C1x) * (C2x - C1x) + (C2y - C1y) * (C2y - C1y);
        if (collisionDistance < actualDistance) continue;
        bounce(n, n1, collisionDistance, actualDistance);
        if (apply_rules(n, n1)) return; // a removed object meets nothing more this step
    }
}

// The side lines turn a ball or bumper back by flipping dx, with no push back inside, so an
// object still beyond a line next step flips again. A bumper beyond a line scores for the
// other side every step it is there.
static void check_side_lines(sprite_record &s)
{
    bool over_left = s.x - s.w / 2 < LEFT_SIDE_LINE;
    bool over_right = s.x + s.w / 2 > RIGHT_SIDE_LINE;
    if (over_left || over_right) s.dx = -s.dx;
    if (s.type != KIND_BUMPER) return;
    if (over_left) {
        play_data_sample(DAT_GOAL_SOUND, 255, GOAL_PAN_LEFT, 1000);
        p2_score += SIDE_LINE_POINTS;
        create_new_moving_points(s.x, s.y, SIDE_LINE_POINTS, PLAYER2);
    }
    if (over_right) {
        play_data_sample(DAT_GOAL_SOUND, 255, GOAL_PAN_RIGHT, GOAL_FREQ_RIGHT);
        p1_score += SIDE_LINE_POINTS;
        create_new_moving_points(s.x, s.y, SIDE_LINE_POINTS, PLAYER1);
    }
}

void check_collision()
{
    for (int n = 0; n <= LAST_COLLIDING_SLOT; n++) {
        if (collides(sprite[n].type)) collide_with_later_slots(n);
        int type = sprite[n].type;
        if (is_ball(type) || type == KIND_BUMPER) check_side_lines(sprite[n]);
    }
}
