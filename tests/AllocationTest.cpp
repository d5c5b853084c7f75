// SPDX-License-Identifier: MIT
// Heap allocations during play, counted on the test's own thread only: the GL
// driver's worker threads are not the game.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <new>

#include "MazeGameControl.h"
#include "MazeGameState.h"

#ifdef DEW_WITH_RENDERER
#include <GL/freeglut.h>

#include "GLTestWindow.h"
#include "MazeGameRenderer.h"
#endif

// Counts every allocation on the test's own thread. Every form of new and
// delete is replaced, so that none is left to the sanitizer's own allocator.
thread_local long allocations = 0;
void* counted(std::size_t size, std::size_t align = alignof(std::max_align_t))
{
    allocations++;
    return std::aligned_alloc(align, (size + align) / align * align); // never zero bytes
}
// clang-format off
void* operator new(std::size_t n) { if (void* p = counted(n)) return p; throw std::bad_alloc(); }
void* operator new(std::size_t n, std::align_val_t a) { if (void* p = counted(n, (std::size_t)a)) return p; throw std::bad_alloc(); }
void* operator new[](std::size_t n) { return operator new(n); }
void* operator new[](std::size_t n, std::align_val_t a) { return operator new(n, a); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return counted(n); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return counted(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
// clang-format on
const auto allocationsDuring = [](auto f) {
    long before = allocations;
    f();
    return allocations - before;
};

// 320 ticks of a player that walks, turns and shoots, milestone messages
// confirmed at once, the flock packed tight after the first; with the renderer,
// a frame of one of three screens after each tick.
TEST(Allocation, TicksAllocateOnlyForNewHighsOfDropletsOrBulletsAndFramesNever)
{
    MazeGameControl control;
    ASSERT_GT(allocationsDuring([&] { control.init(); }), 0); // the counter is live
    MazeGameState& world = *control.gameState;
    world.player.canShoot = world.player.canViewMap = true;
#ifdef DEW_WITH_RENDERER
    std::string error;
    ASSERT_TRUE(GLTestWindow::open(error)) << error;
    MazeGameRenderer renderer;
    renderer.init();
    const MazeGameStatus screens[] = {EFirstPersonView, EMapView, ETitle1Msg};
#endif
    int bulletsHigh = 0, dropsHigh = 0;
    auto rose = [](int& high, int size) { return size > high ? (high = size, 1) : 0; };
    for (int t = -20; t < 300; t++) {
        for (int i = 0; t == -19 && i < world.boids.count(); i++) // far more neighbours than before
            world.boids[i].pos = Vector3f(8.5f, 8.5f, 2) + Vector3f::random();
        int grew = 0;
        long n = allocationsDuring([&] {
            control.gameStatus = EFirstPersonView;
            control.move(t % 4 == 0, 0, 0);
            control.turn(t % 29 == 0);
            control.shoot();
            grew = rose(bulletsHigh, world.bullets.count());
            control.cycle();
            grew += rose(dropsHigh, world.drops.count());
        });
        EXPECT_TRUE(t == -20 || n <= grew)
            << n << " allocations in tick " << t; // the first makes the flock's storage
#ifdef DEW_WITH_RENDERER
        // Bullets and droplets fly before each screen's first frame, which is not counted.
        control.gameStatus = screens[(t + 21) % 3];
        n = t < -3 ? 0 : allocationsDuring([&] {
            renderer.render(control);
            glutSwapBuffers();
        });
        EXPECT_TRUE(t < 0 || n == 0) << n << " allocations in frame " << t << " of screen "
                                     << control.gameStatus;
#endif
    }
    EXPECT_TRUE(bulletsHigh > 0 && dropsHigh > 0);
#ifdef DEW_WITH_RENDERER
    renderer.quit();
    GLTestWindow::close();
#endif
}
