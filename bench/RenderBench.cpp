// Frame time of the renderer on Mesa in a private Xvfb window, on a freshly
// built level with its 200 birds: first-person view, map and a message
// screen. Each benchmark also counts the C++ heap allocations made while a
// frame is drawn, which should be none.

#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "GLTestWindow.h"
#include "MazeGameControl.h"
#include "MazeGameRenderer.h"
#include "MazeGameState.h"

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size)
{
    allocations++;
    void* p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    return p;
}

// The replacement new above takes its memory from malloc, so free is the
// matching release here.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

namespace {

MazeGameRenderer* renderer = nullptr;

void drawFrames(benchmark::State& state, MazeGameStatus status)
{
    srand(2024);
    MazeGameControl control;
    control.init();
    control.gameStatus = status;
    long allocated = 0;
    for (auto _ : state) {
        long before = allocations;
        renderer->render(control);
        allocated += allocations - before;
        glFinish();
    }
    state.counters["allocs_per_frame"] = (double)allocated / (double)state.iterations();
    state.counters["birds"] = control.gameState->boids.count();
}

void BM_FirstPersonFrame(benchmark::State& state) { drawFrames(state, EFirstPersonView); }
void BM_MapFrame(benchmark::State& state) { drawFrames(state, EMapView); }
void BM_MessageFrame(benchmark::State& state) { drawFrames(state, ETitle1Msg); }

BENCHMARK(BM_FirstPersonFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MessageFrame)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    std::string error;
    if (!GLTestWindow::open(error)) {
        fprintf(stderr, "render_bench: %s\n", error.c_str());
        return 1;
    }
    renderer = new MazeGameRenderer();
    renderer->init();
    benchmark::RunSpecifiedBenchmarks();
    renderer->quit();
    delete renderer;
    GLTestWindow::close();
    return 0;
}
