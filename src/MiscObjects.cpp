#include "MiscObjects.h"

#include <algorithm>

namespace {

// Drops the records whose alive flag is clear; the survivors keep their order.
void removeDead(std::vector<PointObject>& objects)
{
    objects.erase(std::remove_if(objects.begin(), objects.end(),
                                 [](const PointObject& o) { return !o.alive; }),
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

Boids::Boids(int num, const Vector3f& min, const Vector3f& max) : min(min), max(max)
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

Boids::~Boids() {}

void Boids::behave()
{
    moveAndWrap();

    std::vector<int> neighbors;
    std::vector<float> neighborsd2;
    int n = count();
    for (int i = 0; i < n; i++) {
        for (int j = 0; j < n; j++) {
            if (j == i)
                continue;
            float d2 = (boids[i].pos - boids[j].pos).norm2();
            if (d2 < 1.0f) {
                neighbors.push_back(j);
                neighborsd2.push_back(d2);
            }
        }
        steer(i, neighbors, neighborsd2);
        neighbors.clear();
        neighborsd2.clear();
    }
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

// Updates bird i's velocity in place, so later birds see it already turned.
void Boids::steer(int i, const std::vector<int>& neighbors, const std::vector<float>& neighborsd2)
{
    PointObject& bird = boids[i];
    Vector3f separation, alignment, cohesion;
    int closeCount = 0;
    int farCount = 0;
    for (size_t k = 0; k < neighbors.size(); k++) {
        const PointObject& other = boids[neighbors[k]];
        if (neighborsd2[k] < 0.09f) {
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
    if (!neighbors.empty()) {
        alignment = alignment / (float)neighbors.size();
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
