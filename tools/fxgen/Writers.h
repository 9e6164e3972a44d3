// Each writer puts its part of the data tree under the bundle. They throw
// std::runtime_error when a file cannot be written.
#pragma once

#include <string>

#include "Canvas.h"

void WriteLoadingPicture(const std::string& fxData);
void WriteMusic(const std::string& bundle);
void WriteScene1(const std::string& fxData);
void WriteParticleGirl(const std::string& fxData);
void WriteCrystalGrowth(const std::string& fxData);
void WriteManetjakt(const std::string& fxData);
void WriteRobot(const std::string& fxData);
void WriteTunnel(const std::string& fxData);
void WriteSawblade(const std::string& fxData);
// The overlay's drawings as a C++ source file for the program.
void WriteOverlaySource(const std::string& path);

// The opening scene's chrome ball reflects this sphere map; the
// application's icon is that ball.
Canvas OpeningChromeEnvironment(int size);
// The icon as dir/NxN/apps/NAME.png, the layout of an icon theme's folder,
// for N of 16, 24, 32, 48, 64, 128 and 256.
void WriteIcons(const std::string& dir, const std::string& name);
