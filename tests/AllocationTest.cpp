// Heap allocations during play. The global operator new of this binary is
// replaced by one that counts the calls made on the test's own thread while
// counting is switched on, so each check sees exactly what the game's code
// asked for inside the measured calls.
//
// A running game allocates nothing per tick except when the droplet or
// bullet container has to grow past its largest size so far, and nothing at
// all per frame once every screen has been drawn once.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <vector>

#include "MazeGameControl.h"
#include "MazeGameState.h"
#include "MiscObjects.h"

#ifdef DEW_WITH_RENDERER
#include <GL/freeglut.h>

#include <string>
#include <unistd.h>

#include "GLTestWindow.h"
#include "MazeGameRenderer.h"
#endif

namespace {

// Only the test's thread counts: the GL driver's worker threads are not the
// game's code.
thread_local bool counting = false;
thread_local long allocations = 0;

void* allocate(std::size_t size)
{
    if (counting)
        allocations++;
    return std::malloc(size == 0 ? 1 : size);
}

void* allocateAligned(std::size_t size, std::size_t alignment)
{
    if (counting)
        allocations++;
    std::size_t rounded = (size + alignment - 1) / alignment * alignment;
    return std::aligned_alloc(alignment, rounded == 0 ? alignment : rounded);
}

// Counts the allocations made by f.
template <typename F>
long allocationsDuring(F f)
{
    long before = allocations;
    counting = true;
    f();
    counting = false;
    return allocations - before;
}

} // namespace

void* operator new(std::size_t size)
{
    void* p = allocate(size);
    if (!p)
        throw std::bad_alloc();
    return p;
}

void* operator new[](std::size_t size)
{
    void* p = allocate(size);
    if (!p)
        throw std::bad_alloc();
    return p;
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }

void* operator new(std::size_t size, std::align_val_t alignment)
{
    void* p = allocateAligned(size, (std::size_t)alignment);
    if (!p)
        throw std::bad_alloc();
    return p;
}

void* operator new[](std::size_t size, std::align_val_t alignment)
{
    void* p = allocateAligned(size, (std::size_t)alignment);
    if (!p)
        throw std::bad_alloc();
    return p;
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }

namespace {

// The counter is live in this binary: a zero further down means something.
TEST(Allocation, TheCounterSeesAllocations)
{
    std::vector<int>* kept = nullptr;
    long seen = allocationsDuring([&] {
        kept = new std::vector<int>(100);
        kept->push_back(1);
    });
    delete kept;
    EXPECT_EQ(3, seen);  // the vector object, its 100 ints, their regrowth
}

TEST(Allocation, FlockTicksAllocateNothingAfterTheFirst)
{
    srand(42);
    Boids flock(200, Vector3f(0, 0, 1), Vector3f(18, 18, 4));
    // The first tick makes the flock's working storage.
    long first = allocationsDuring([&] { flock.behave(); });
    EXPECT_GT(first, 0);
    // Pack the flock tight so that every bird has many neighbours: the
    // neighbour lists are as long as they will ever get.
    for (int i = 0; i < flock.count(); i++)
        flock[i].pos = Vector3f(8.5f, 8.5f, 2) + Vector3f::random() * 1.0f;
    long later = allocationsDuring([&] {
        for (int t = 0; t < 1000; t++)
            flock.behave();
    });
    EXPECT_EQ(0, later);
}

// A player that walks, turns and shoots on its own, so that bullets fly and
// the view changes while the world ticks.
void drive(MazeGameControl& control, int t)
{
    if (t % 4 == 0)
        control.move(1, 0, 0);
    if (t % 29 == 0)
        control.turn(t % 3 == 0 ? -1 : 1);
}

TEST(Allocation, WorldTicksAllocateOnlyWhenDropletsOrBulletsReachANewHigh)
{
    srand(20240607);
    MazeGameControl control;
    control.init();
    control.gameStatus = EFirstPersonView;
    MazeGameState& world = *control.gameState;
    world.player.canShoot = true;

    int dropsHigh = 0;
    int bulletsHigh = 0;
    for (int t = 0; t < 100; t++) {
        drive(control, t);
        control.shoot();
        bulletsHigh = std::max(bulletsHigh, world.bullets.count());
        control.cycle();
        dropsHigh = std::max(dropsHigh, world.drops.count());
        control.gameStatus = EFirstPersonView;
    }

    int growthTicks = 0;
    long total = 0;
    long ticked = 0;
    for (int t = 100; t < 1100; t++) {
        drive(control, t);

        long shot = allocationsDuring([&] { control.shoot(); });
        bool bulletsNewHigh = world.bullets.count() > bulletsHigh;
        bulletsHigh = std::max(bulletsHigh, world.bullets.count());
        EXPECT_LE(shot, bulletsNewHigh ? 1 : 0) << "shot before tick " << t;

        int frameBefore = control.frame;
        long tick = allocationsDuring([&] { control.cycle(); });
        ticked += control.frame - frameBefore;
        bool dropsNewHigh = world.drops.count() > dropsHigh;
        dropsHigh = std::max(dropsHigh, world.drops.count());
        EXPECT_LE(tick, dropsNewHigh ? 1 : 0) << "tick " << t;

        growthTicks += bulletsNewHigh + dropsNewHigh;
        total += shot + tick;
        ASSERT_NE(EFinishMsg, control.gameStatus);
        // Milestone messages are confirmed at once: the world stays in play.
        control.gameStatus = EFirstPersonView;
    }
    EXPECT_EQ(1000, ticked);
    EXPECT_LE(total, growthTicks);
    // The run did shoot and drop: the containers were really in use.
    EXPECT_GT(dropsHigh, 0);
    EXPECT_GT(bulletsHigh, 0);
}

#ifdef DEW_WITH_RENDERER

TEST(Allocation, FramesAllocateNothingAfterEachScreensFirst)
{
    std::string error;
    ASSERT_TRUE(GLTestWindow::open(error)) << error;
    ASSERT_EQ(0, access("floor.ppm", R_OK)) << "floor.ppm is not in the working directory";
    ASSERT_EQ(0, access("bricks.ppm", R_OK)) << "bricks.ppm is not in the working directory";

    srand(99);
    MazeGameRenderer renderer;
    renderer.init();
    MazeGameControl control;
    control.init();
    MazeGameState& world = *control.gameState;
    world.player.canViewMap = true;
    world.player.canShoot = true;

    // Play a little first, so that bullets, droplets and the pick-up are all
    // in the first frames.
    control.gameStatus = EFirstPersonView;
    for (int t = 0; t < 100; t++) {
        drive(control, t);
        control.shoot();
        control.cycle();
        control.gameStatus = EFirstPersonView;
    }
    ASSERT_GT(world.bullets.count() + world.drops.count(), 0);

    // First person, the map and a message screen. The first frame of each
    // is left out: the GL driver compiles its drawing code for every new
    // combination of GL state on first use, thousands of allocations that
    // are not the game's.
    const MazeGameStatus screens[] = {EFirstPersonView, EMapView, ETitle1Msg};
    auto frame = [&] {
        renderer.render(control);
        glutSwapBuffers();
    };
    for (MazeGameStatus s : screens) {
        control.gameStatus = s;
        frame();
    }

    long total = 0;
    long perScreen[3] = {0, 0, 0};
    for (int f = 0; f < 1000; f++) {
        // Between frames the world goes on, with droplets and bullets in it.
        control.gameStatus = EFirstPersonView;
        drive(control, f);
        if (f % 7 == 0)
            control.shoot();
        control.cycle();
        ASSERT_NE(EFinishMsg, control.gameStatus);

        int k = f % 3;
        control.gameStatus = screens[k];
        long n = allocationsDuring(frame);
        perScreen[k] += n;
        total += n;
    }
    EXPECT_EQ(0, perScreen[0]) << "first-person view";
    EXPECT_EQ(0, perScreen[1]) << "map view";
    EXPECT_EQ(0, perScreen[2]) << "message screen";
    EXPECT_EQ(0, total);

    renderer.quit();
    GLTestWindow::close();
}

#endif

} // namespace
