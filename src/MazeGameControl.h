// SPDX-License-Identifier: MIT
#ifndef MAZEGAMECONTROL_H
#define MAZEGAMECONTROL_H

class MazeGameState;

// The screens. 0..6 are message screens, on which the world is frozen;
// 7 and 8 are play.
enum MazeGameStatus {
    ETitle1Msg = 0,
    ETitle2Msg = 1,
    ETitle3Msg = 2,
    EBonusMapMsg = 3,
    EBonusPortalMsg = 4,
    EBonusWeaponMsg = 5,
    EFinishMsg = 6,
    EFirstPersonView = 7,
    EMapView = 8
};

// Owns the world, holds the screen shown and turns the player's commands
// into changes of the world.
class MazeGameControl {
public:
    MazeGameControl();
    ~MazeGameControl();

    void init(); // builds a new world and shows the first title page
    void cycle(); // one tick; the world only advances during play
    void quit(); // deletes the world

    void turn(int positive);
    void move(int forward, int left, int up);
    void toggleMap();
    void shoot();
    void pushOK();

    // Milestones, reported by the world during a tick.
    void reachedLevel1();
    void reachedLevel2();
    void foundWeapon();
    void reachedFinish();

    int frame;
    MazeGameStatus gameStatus;
    MazeGameState* gameState;

private:
    bool playing() const;

    MazeGameControl(const MazeGameControl&) = delete;
    MazeGameControl& operator=(const MazeGameControl&) = delete;
};

#endif
