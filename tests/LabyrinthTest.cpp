// The maze grid and its generator.
#include <gtest/gtest.h>

#include <vector>

#include "CoreTestHelpers.h"
#include "Labyrinth.h"

namespace {

bool inBlock(int i, int j) { return i >= 0 && i <= 16 && j >= 0 && j <= 16; }

} // namespace

TEST(Labyrinth, CellAddressingFollowsTheRowLayout)
{
    Labyrinth m;
    int* first = &m(-1, -1);
    EXPECT_EQ(static_cast<void*>(first), static_cast<void*>(&m));
    EXPECT_EQ(&m(17, 17), first + 360);
    for (int i = -1; i <= 17; i++)
        for (int j = -1; j <= 17; j++)
            ASSERT_EQ(&m(i, j), first + (i + 1) * 19 + (j + 1));
    EXPECT_NE(&m(2, 5), &m(5, 2));
}

TEST(Labyrinth, MakeRandomCarvesAPerfectMazeInsideTheOuterWall)
{
    for (unsigned seed = 1; seed <= 30; seed++) {
        srand(seed);
        Labyrinth m;
        m.MakeRandom();
        int open = 0, walls = 0, openedWalls = 0;
        for (int i = -1; i <= 17; i++)
            for (int j = -1; j <= 17; j++) {
                int c = m(i, j);
                if (!inBlock(i, j)) {
                    ASSERT_EQ(c, 0) << "ring " << i << "," << j;
                    continue;
                }
                ASSERT_TRUE(c == 0 || c == 1);
                bool fixedWall = i == 0 || i == 16 || j == 0 || j == 16 || (i % 2 == 0 && j % 2 == 0);
                ASSERT_TRUE(!fixedWall || c == 1) << "outer wall or post " << i << "," << j;
                ASSERT_TRUE(!(i % 2 == 1 && j % 2 == 1) || c == 0) << "room " << i << "," << j;
                (c == 0 ? open : walls)++;
                openedWalls += c == 0 && (i % 2) != (j % 2);
            }
        EXPECT_EQ(open, 127);
        EXPECT_EQ(walls, 162);
        EXPECT_EQ(openedWalls, 63);

        // Flood fill from (1, 1) over side-sharing open cells of the block;
        // connected with edges == cells - 1 means a tree: no cycle.
        bool seen[17][17] = {};
        std::vector<std::pair<int, int>> todo{{1, 1}};
        seen[1][1] = true;
        int reached = 0, edges = 0;
        const int di[4] = {1, -1, 0, 0}, dj[4] = {0, 0, 1, -1};
        while (!todo.empty()) {
            auto [i, j] = todo.back();
            todo.pop_back();
            reached++;
            for (int d = 0; d < 4; d++) {
                int a = i + di[d], b = j + dj[d];
                if (!inBlock(a, b) || m(a, b) != 0)
                    continue;
                edges++;
                if (!seen[a][b]) {
                    seen[a][b] = true;
                    todo.push_back({a, b});
                }
            }
        }
        EXPECT_EQ(reached, 127);
        EXPECT_EQ(edges / 2, 126);
    }
}

TEST(Labyrinth, MakeRandomMatchesAReferenceCarverDrawForDraw)
{
    for (unsigned seed : {3u, 77u, 2024u}) {
        srand(seed);
        RefMaze ref;
        ref.makeRandom();
        int next = rand();
        srand(seed);
        Labyrinth m;
        m.MakeRandom();
        EXPECT_EQ(cellsDiffering(m, ref), 0) << "seed " << seed;
        EXPECT_EQ(rand(), next) << "same number of draws";
    }
}

TEST(Labyrinth, AddRandomSquareOpensOneAreaPlacedByTwoDraws)
{
    const int sizes[5][2] = {{4, 5}, {3, 3}, {2, 4}, {3, 1}, {14, 14}};
    for (auto& s : sizes) {
        int w = s[0], h = s[1];
        for (unsigned seed = 1; seed <= 60; seed++) {
            srand(seed);
            int r0 = rand(), r1 = rand();
            int x = r0 % (15 - w) + 1, y = r1 % (15 - h) + 1;
            ASSERT_TRUE(x >= 1 && x <= 15 - w && y >= 1 && y <= 15 - h);
            srand(seed);
            Labyrinth m;
            fillMaze(m, 1);
            m.AddRandomSquare(w, h);
            for (int i = -1; i <= 17; i++)
                for (int j = -1; j <= 17; j++) {
                    // (3, 1): three values of the first index, one of the second.
                    bool inside = i >= x && i < x + w && j >= y && j < y + h;
                    ASSERT_EQ(m(i, j), inside ? 0 : 1) << w << "x" << h << " seed " << seed;
                    ASSERT_TRUE(!inside || (i >= 1 && i <= 14 && j >= 1 && j <= 14));
                }
        }
    }
}
