// SPDX-License-Identifier: MIT
#include "PlainFlock.h"

void plainFlockStep(std::vector<PointObject>& birds, const Vector3f& min, const Vector3f& max)
{
    for (PointObject& b : birds) {
        b.pos = b.pos + b.v;
        if (b.pos.x > max.x) b.pos.x = min.x;
        if (b.pos.x < min.x) b.pos.x = max.x;
        if (b.pos.y > max.y) b.pos.y = min.y;
        if (b.pos.y < min.y) b.pos.y = max.y;
        if (b.pos.z > max.z) b.pos.z = min.z;
        if (b.pos.z < min.z) b.pos.z = max.z;
    }
    std::vector<int> neighbors;
    std::vector<float> neighborsd2;
    int n = (int)birds.size();
    for (int i = 0; i < n; i++) {
        for (int j = 0; j < n; j++) {
            if (j == i)
                continue;
            float d2 = (birds[i].pos - birds[j].pos).norm2();
            if (d2 < 1.0f) {
                neighbors.push_back(j);
                neighborsd2.push_back(d2);
            }
        }
        Vector3f steer, align, cohes;
        int close = 0, far = 0;
        for (size_t k = 0; k < neighbors.size(); k++) {
            const PointObject& other = birds[neighbors[k]];
            if (neighborsd2[k] < 0.09f) {
                steer = steer + (birds[i].pos - other.pos);
                close++;
            } else {
                cohes = cohes + other.pos;
                cohes = cohes - birds[i].pos;
                far++;
            }
            align = align + other.v;
        }
        if (close > 0)
            steer.normalize();
        if (!neighbors.empty()) {
            align = align / (float)neighbors.size();
            align = align - birds[i].v;
            align.normalize();
        }
        if (far > 0)
            cohes.normalize();
        Vector3f total = (cohes * 0.1f + steer * 1.0f + align * 0.3f) / 10.0f;
        birds[i].v = birds[i].v + total;
        birds[i].v.normalize();
        birds[i].v = birds[i].v / 10.0f;
        neighbors.clear();
        neighborsd2.clear();
    }
}
