// SPDX-License-Identifier: MIT
#include "MazeGameControl.h"

#include <cmath>

#include "MazeGameState.h"

MazeGameControl::MazeGameControl()
    : frame(0)
    , gameStatus(ETitle1Msg)
    , gameState(nullptr)
{
}

MazeGameControl::~MazeGameControl()
{
    delete gameState;
}

void MazeGameControl::init()
{
    gameState = new MazeGameState(this);
    gameStatus = ETitle1Msg;
}

bool MazeGameControl::playing() const
{
    return gameStatus == EFirstPersonView || gameStatus == EMapView;
}

void MazeGameControl::cycle()
{
    if (!playing())
        return;
    frame++;
    gameState->behave();
}

void MazeGameControl::quit()
{
    delete gameState;
    gameState = nullptr;
}

void MazeGameControl::turn(int positive)
{
    if (playing())
        gameState->player.turningYaw += positive * 4;
}

void MazeGameControl::move(int forward, int /*left*/, int /*up*/)
{
    if (playing())
        gameState->player.movingForward += forward * 0.1;
}

void MazeGameControl::toggleMap()
{
    if (gameStatus == EFirstPersonView)
        gameStatus = EMapView;
    else if (gameStatus == EMapView)
        gameStatus = EFirstPersonView;
}

// Fires whatever the screen: a bullet shot on a message screen waits, frozen
// with the world, until play resumes.
void MazeGameControl::shoot()
{
    Player& player = gameState->player;
    if (player.doingShot || !player.canShoot)
        return;
    double angle = player.yaw * 3.1415 / 180;
    float cosYaw = std::cos(angle);
    float sinYaw = std::sin(angle);
    Vector3f bulletPos = player.pos;
    bulletPos.z = bulletPos.z + 0.3;
    Vector3f velocity(sinYaw * 0.4, cosYaw * 0.4, 0);
    gameState->bullets.add(PointObject(bulletPos, velocity));
    player.shotFrame = 0;
    player.doingShot = true;
}

void MazeGameControl::pushOK()
{
    switch (gameStatus) {
    case ETitle1Msg:
        gameStatus = ETitle2Msg;
        break;
    case ETitle2Msg:
        gameStatus = ETitle3Msg;
        break;
    case ETitle3Msg:
    case EBonusMapMsg:
    case EBonusPortalMsg:
    case EBonusWeaponMsg:
        gameStatus = EFirstPersonView;
        break;
    case EFinishMsg:
        // The new world continues the running random sequence.
        quit();
        init();
        break;
    case EFirstPersonView:
    case EMapView:
        if (gameState->player.canViewMap)
            toggleMap();
        break;
    }
}

void MazeGameControl::reachedLevel1()
{
    gameStatus = EBonusMapMsg;
}

void MazeGameControl::reachedLevel2()
{
    gameStatus = EBonusPortalMsg;
}

void MazeGameControl::foundWeapon()
{
    gameStatus = EBonusWeaponMsg;
}

void MazeGameControl::reachedFinish()
{
    gameStatus = EFinishMsg;
}
