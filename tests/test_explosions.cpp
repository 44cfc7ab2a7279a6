// Tests of explosions: the ring of 41 particles per step, their lives, and the full table.
#include <cmath>

#include <gtest/gtest.h>

#include "explosions.h"
#include "headless.h"
#include "init.h"
#include "particles.h"
#include "sim_helpers.h"

class Explosions : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        start_headless();
    }
    void SetUp() override
    {
        initialise_explosions();
        initialise_particles();
    }
};

// ---- spraying ----

TEST_F(Explosions, EachStepSpraysFortyOneParticlesFromTheCentreWithTheCurrentLife)
{
    create_explosion(300, 200, 3, 2, PARTICLE_STREAK);
    int created = 0;
    for (int life = 3; life >= 1; life--) {
        do_explosions();
        for (int n = created; n < created + 41; n++) {
            const particle_record &p = particles[n];
            ASSERT_EQ(p.life, life) << n;
            ASSERT_EQ(p.x, 300);
            ASSERT_EQ(p.y, 200);
            ASSERT_NEAR(hypot(p.dx, p.dy), 2.0, 1e-12);
            ASSERT_EQ(p.type, PARTICLE_STREAK);
            ASSERT_EQ(p.col, makecol(255, 200, 200));
        }
        created += 41;
        EXPECT_EQ(live_particles(), created);
        EXPECT_EQ(explosion[0].life, life - 1);
    }
    do_explosions(); // spent: nothing more
    EXPECT_EQ(live_particles(), 3 * 41);
}

TEST_F(Explosions, ParticlesOfOneStepFanOutInDifferentDirections)
{
    create_explosion(400, 300, 1, 3, PARTICLE_DOT);
    do_explosions();
    int distinct = 0;
    for (int n = 0; n < 41; n++) {
        bool seen = false;
        for (int m = 0; m < n; m++)
            if (particles[m].dx == particles[n].dx && particles[m].dy == particles[n].dy)
                seen = true;
        if (!seen) distinct++;
    }
    EXPECT_GT(distinct, 30);
}

TEST_F(Explosions, ExplosionOfLifeOneIsNeverSeen)
{
    create_explosion(400, 300, 1, 3, PARTICLE_DOT);
    do_explosions();
    EXPECT_EQ(live_particles(), 41);
    update_particle();
    EXPECT_EQ(live_particles(), 0);
    EXPECT_EQ(explosion[0].life, 0);
}

TEST_F(Explosions, ExplosionBornDeadIsWrittenButEmitsNothing)
{
    create_explosion(123, 45, 0, 7, PARTICLE_BLOB);
    EXPECT_EQ(explosion[0].x, 123);
    EXPECT_EQ(explosion[0].y, 45);
    EXPECT_EQ(explosion[0].speed, 7);
    EXPECT_EQ(explosion[0].type, PARTICLE_BLOB);
    create_explosion(9, 9, -2, 1, PARTICLE_DOT);
    EXPECT_EQ(explosion[0].x, 9); // still free, so taken again
    do_explosions();
    EXPECT_EQ(live_particles(), 0);
}

// ---- the table ----

TEST_F(Explosions, FullTableReplacesSlot1000AndAFreedSlotIsTakenFirst)
{
    for (int n = 0; n < 1000; n++)
        create_explosion(n, 0, 5, 1, PARTICLE_DOT);
    EXPECT_EQ(explosion[999].x, 999);
    EXPECT_EQ(explosion[REPLACED_SLOT].life, 0);
    create_explosion(1000, 1, 5, 1, PARTICLE_DOT);
    EXPECT_EQ(explosion[REPLACED_SLOT].x, 1000);
    create_explosion(2000, 2, 7, 1, PARTICLE_DOT); // slot 1000 is live and replaced anyway
    EXPECT_EQ(explosion[REPLACED_SLOT].x, 2000);
    EXPECT_EQ(explosion[REPLACED_SLOT].life, 7);
    explosion[500].life = 0;
    create_explosion(3000, 3, 5, 1, PARTICLE_DOT);
    EXPECT_EQ(explosion[500].x, 3000);
    EXPECT_EQ(explosion[REPLACED_SLOT].x, 2000);
}

TEST_F(Explosions, InitialiseFreesEveryExplosion)
{
    for (int n = 0; n < 1001; n++)
        create_explosion(n, 0, 5, 1, PARTICLE_DOT);
    initialise_explosions();
    do_explosions();
    EXPECT_EQ(live_particles(), 0);
    create_explosion(77, 0, 5, 1, PARTICLE_DOT);
    EXPECT_EQ(explosion[0].x, 77);
}
