// SPDX-License-Identifier: MIT
#ifndef MISCOBJECTS_H
#define MISCOBJECTS_H

#include <vector>

#include "Labyrinth.h"
#include "MathUtils.h"

// A bird, bullet or droplet: position, velocity per tick, age in ticks and
// whether it still takes part in the game.
class PointObject {
public:
    PointObject(const Vector3f& pos, const Vector3f& v)
        : pos(pos)
        , v(v)
        , frame(0)
        , alive(true)
    {
    }

    Vector3f pos;
    Vector3f v;
    int frame;
    bool alive;
};

// The weapon pick-up: it lies still and only ages.
class MovingThingy {
public:
    MovingThingy()
        : pos()
        , frame(0)
        , alive(true)
    {
    }
    explicit MovingThingy(const Vector3f& pos)
        : pos(pos)
        , frame(0)
        , alive(true)
    {
    }

    void behave();

    Vector3f pos;
    int frame;
    bool alive;
};

// The flock: birds that fly at constant speed inside a box that wraps at its
// faces, steered by separation, alignment and cohesion.
class Boids {
public:
    Boids(int num, const Vector3f& min, const Vector3f& max);
    ~Boids();

    PointObject& operator[](int i) { return boids[i]; }
    const PointObject& operator[](int i) const { return boids[i]; }
    int count() const { return (int)boids.size(); }

    void behave();

    Vector3f min;
    Vector3f max;

private:
    // A bird within the radius of another, and their squared distance.
    struct Neighbor {
        int index;
        float d2;
    };

    void moveAndWrap();
    void findNeighbors();
    void steer(int i);

    std::vector<PointObject> boids;

    // Working storage of one tick, kept between ticks so that a tick does
    // not allocate. The positions after the move, one row per axis, so the
    // distance loop runs over plain float arrays; the squared distances from
    // one bird to the birds after it and which of those are in reach; and
    // each bird's neighbours in index order, bird i's in the slots from
    // i * (count() - 1) on.
    std::vector<float> posX, posY, posZ;
    std::vector<float> rowD2;
    std::vector<int> rowHits;
    std::vector<Neighbor> neighbors;
    std::vector<int> neighborCount;
};

// Bullets in flight: they fly straight and wear down the walls they hit.
class Bullets {
public:
    Bullets() { }
    ~Bullets() { }

    void add(const PointObject& b) { bullets.push_back(b); }
    PointObject& operator[](int i) { return bullets[i]; }
    const PointObject& operator[](int i) const { return bullets[i]; }
    int count() const { return (int)bullets.size(); }

    void behave(Labyrinth& maze);

private:
    std::vector<PointObject> bullets;
};

// Droplets falling from the birds until they pass the floor or are caught.
class Drops {
public:
    Drops() { }
    ~Drops() { }

    void add(const PointObject& d) { drops.push_back(d); }
    PointObject& operator[](int i) { return drops[i]; }
    const PointObject& operator[](int i) const { return drops[i]; }
    int count() const { return (int)drops.size(); }

    void behave();

private:
    std::vector<PointObject> drops;
};

#endif
