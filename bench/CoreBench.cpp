// SPDX-License-Identifier: MIT
// Speed of the game's core: one world tick, the flock's tick alone and the
// building of a level. Each benchmark also reports the median and the 99th
// percentile of single calls, since a tick that is usually fast but now and
// then slow is what a player would feel.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

#include "HeapCount.h"
#include "MazeGameControl.h"
#include "MazeGameState.h"
#include "MiscObjects.h"
#include "PlainFlock.h"

namespace {

using Clock = std::chrono::steady_clock;

// Collects the duration of single calls and reports their median and 99th
// percentile in microseconds as counters of the benchmark.
class CallTimes {
public:
    CallTimes() { samples.reserve(1 << 20); }

    void add(Clock::duration d)
    {
        if (samples.size() < samples.capacity())
            samples.push_back(std::chrono::duration<double, std::micro>(d).count());
    }

    void report(benchmark::State& state)
    {
        if (samples.empty())
            return;
        std::sort(samples.begin(), samples.end());
        state.counters["median_us"] = samples[samples.size() / 2];
        state.counters["p99_us"] = samples[samples.size() * 99 / 100];
    }

private:
    std::vector<double> samples;
};

// A game in play that lasts across benchmark repetitions. The player walks
// and turns on its own, every message is confirmed at once, and a finished
// game is replaced by a new one, so the world keeps ticking for the whole run.
class GameInPlay {
public:
    GameInPlay()
    {
        srand(20240607);
        control.init();
        control.gameStatus = EFirstPersonView;
        // Let the flock gather first: a fresh flock is spread thin, the one
        // of a game in progress flies in clusters and has many more
        // neighbours per bird.
        for (int t = 0; t < 600; t++)
            tick();
    }

    void tick()
    {
        ticks++;
        if (ticks % 5 == 0)
            control.move(1, 0, 0);
        if (ticks % 37 == 0)
            control.turn((ticks / 37) % 3 == 0 ? -1 : 1);
        control.gameState->behave();
        if (control.gameStatus == EFinishMsg) {
            control.quit();
            control.init();
            finished++;
        }
        control.gameStatus = EFirstPersonView;
    }

    MazeGameControl control;
    long ticks = 0;
    long finished = 0;
};

void BM_WorldTick(benchmark::State& state)
{
    static GameInPlay game;
    CallTimes times;
    const long allocations = heapAllocations();
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        game.tick();
        times.add(Clock::now() - start);
    }
    times.report(state);
    state.counters["birds"] = game.control.gameState->boids.count();
    // Only a new high of droplets or bullets grows their storage.
    state.counters["allocs_per_tick"] = double(heapAllocations() - allocations) / state.iterations();
}
BENCHMARK(BM_WorldTick)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_FlockTick(benchmark::State& state)
{
    static Boids* flock = [] {
        srand(7);
        Boids* f = new Boids(200, Vector3f(0, 0, 1), Vector3f(18, 18, 4));
        for (int t = 0; t < 600; t++)
            f->behave();
        return f;
    }();
    CallTimes times;
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        flock->behave();
        times.add(Clock::now() - start);
    }
    times.report(state);
}
BENCHMARK(BM_FlockTick)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_PlainFlockTick(benchmark::State& state)
{
    srand(7);
    Boids flock(200, Vector3f(0, 0, 1), Vector3f(18, 18, 4));
    for (int t = 0; t < 600; t++)
        flock.behave();
    std::vector<PointObject> birds;
    for (int i = 0; i < flock.count(); i++)
        birds.push_back(flock[i]);
    CallTimes times;
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        plainFlockStep(birds, flock.min, flock.max);
        times.add(Clock::now() - start);
    }
    times.report(state);
}
BENCHMARK(BM_PlainFlockTick)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_LevelConstruction(benchmark::State& state)
{
    srand(1);
    MazeGameControl control;
    CallTimes times;
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        MazeGameState level(&control);
        benchmark::DoNotOptimize(&level);
        times.add(Clock::now() - start);
    }
    times.report(state);
}
BENCHMARK(BM_LevelConstruction)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
