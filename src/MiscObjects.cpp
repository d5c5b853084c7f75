// SPDX-License-Identifier: MIT
#include "MiscObjects.h"

#include <algorithm>

namespace {

// Drops the records whose alive flag is clear; the survivors keep their order.
void removeDead(std::vector<PointObject>& objects)
{
    objects.erase(
        std::remove_if(objects.begin(), objects.end(), [](const PointObject& o) { return !o.alive; }),
        objects.end());
}

// Bullets that leave through the portal have no cells to stop them; they die
// when they reach this square around the maze.
bool beyondBulletLimit(const Vector3f& p)
{
    return p.x <= -17.0f || p.x >= 34.0f || p.y <= -17.0f || p.y >= 34.0f;
}

bool onOuterWall(int i, int j)
{
    return i == 0 || i == 16 || j == 0 || j == 16;
}

// A hit takes a wall from 1 straight to 5 and then one step darker per hit.
// The fifth hit breaks an inner wall; the outer wall never breaks.
void wearWall(int& cell, int i, int j)
{
    if (cell <= 4)
        cell = 4;
    cell = cell + 1;
    if (cell == 9)
        cell = onOuterWall(i, j) ? 8 : -7;
}

} // namespace

void MovingThingy::behave()
{
    frame++;
}

Boids::Boids(int num, const Vector3f& min, const Vector3f& max)
    : min(min)
    , max(max)
{
    boids.reserve(num);
    for (int n = 0; n < num; n++) {
        Vector3f r1 = Vector3f::random();
        Vector3f pos = min + r1 * (max - min);
        Vector3f r2 = Vector3f::random();
        Vector3f v = r2 * 0.1f - Vector3f(0.05f, 0.05f, 0.05f);
        boids.push_back(PointObject(pos, v));
    }
}

Boids::~Boids()
{
}

void Boids::behave()
{
    moveAndWrap();
    findNeighbors();
    for (int i = 0; i < count(); i++)
        steer(i);
}

void Boids::moveAndWrap()
{
    for (PointObject& b : boids) {
        b.pos = b.pos + b.v;
        float* c[3] = {&b.pos.x, &b.pos.y, &b.pos.z};
        const float lo[3] = {min.x, min.y, min.z};
        const float hi[3] = {max.x, max.y, max.z};
        for (int axis = 0; axis < 3; axis++) {
            if (*c[axis] > hi[axis])
                *c[axis] = lo[axis];
            if (*c[axis] < lo[axis])
                *c[axis] = hi[axis];
        }
    }
}

// Every bird within the radius of every other, in index order. Positions do
// not change while the flock steers, so all lists can be made up front.
// A squared distance is the same to the bit from either end (a - b is
// exactly -(b - a)), so each pair is measured once and entered in both
// lists; bird b thus gets the lower-numbered birds from the earlier rows,
// then the higher-numbered ones from its own row, in index order.
void Boids::findNeighbors()
{
    const int n = count();
    const size_t slots = n > 1 ? (size_t)n * (n - 1) : 0;
    if (posX.size() != (size_t)n) {
        posX.assign(n, 0.0f);
        posY.assign(n, 0.0f);
        posZ.assign(n, 0.0f);
        rowD2.assign(n, 0.0f);
        rowHits.assign(n, 0);
        neighborCount.assign(n, 0);
    }
    if (neighbors.size() != slots)
        neighbors.resize(slots);

    float* __restrict x = posX.data();
    float* __restrict y = posY.data();
    float* __restrict z = posZ.data();
    float* __restrict d2 = rowD2.data();
    int* hits = rowHits.data();
    int* found = neighborCount.data();
    Neighbor* lists = neighbors.data();
    for (int i = 0; i < n; i++) {
        x[i] = boids[i].pos.x;
        y[i] = boids[i].pos.y;
        z[i] = boids[i].pos.z;
        found[i] = 0;
    }

    for (int i = 0; i < n - 1; i++) {
        const float xi = x[i];
        const float yi = y[i];
        const float zi = z[i];
        for (int j = i + 1; j < n; j++) {
            float dx = xi - x[j];
            float dy = yi - y[j];
            float dz = zi - z[j];
            d2[j] = dx * dx + dy * dy + dz * dz;
        }
        // Most birds are out of reach: gather the few hits without a
        // branch per bird, then enter them.
        int hitCount = 0;
        for (int j = i + 1; j < n; j++) {
            hits[hitCount] = j;
            hitCount += d2[j] < 1.0f;
        }
        Neighbor* own = lists + (size_t)i * (n - 1) + found[i];
        for (int k = 0; k < hitCount; k++) {
            int j = hits[k];
            own[k] = Neighbor{j, d2[j]};
            lists[(size_t)j * (n - 1) + found[j]++] = Neighbor{i, d2[j]};
        }
        found[i] += hitCount;
    }
}

// Updates bird i's velocity in place, so later birds see it already turned.
void Boids::steer(int i)
{
    PointObject& bird = boids[i];
    const Neighbor* list = neighbors.data() + (size_t)i * (count() - 1);
    const int found = neighborCount[i];
    Vector3f separation, alignment, cohesion;
    int closeCount = 0;
    int farCount = 0;
    for (int k = 0; k < found; k++) {
        const PointObject& other = boids[list[k].index];
        if (list[k].d2 < 0.09f) {
            separation = separation + (bird.pos - other.pos);
            closeCount++;
        } else {
            cohesion = cohesion + other.pos;
            cohesion = cohesion - bird.pos;
            farCount++;
        }
        alignment = alignment + other.v;
    }
    if (closeCount > 0)
        separation.normalize();
    if (found > 0) {
        alignment = alignment / (float)found;
        alignment = alignment - bird.v;
        alignment.normalize();
    }
    if (farCount > 0)
        cohesion.normalize();

    Vector3f total = (cohesion * 0.1f + separation * 1.0f + alignment * 0.3f) / 10.0f;
    bird.v = bird.v + total;
    bird.v.normalize();
    bird.v = bird.v / 10.0f;
}

void Bullets::behave(Labyrinth& maze)
{
    for (PointObject& b : bullets) {
        b.frame++;
        if (!b.alive)
            continue;
        if (beyondBulletLimit(b.pos)) {
            b.alive = false;
        } else if (onGrid(b.pos.x, b.pos.y)) {
            int i = (int)b.pos.x;
            int j = (int)b.pos.y;
            int& cell = maze(i, j);
            if (cell >= 1) {
                b.alive = false;
                wearWall(cell, i, j);
            }
        }
        b.pos = b.pos + b.v;
    }
    removeDead(bullets);
}

void Drops::behave()
{
    for (PointObject& d : drops) {
        d.frame++;
        d.pos = d.pos + d.v;
        d.v.z = d.v.z - 0.01;
        if (d.pos.z < 0.0f)
            d.alive = false;
    }
    removeDead(drops);
}
