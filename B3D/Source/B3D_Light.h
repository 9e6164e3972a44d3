// A light of a scene file: moved by the animation system, never consulted by
// drawing, which the shaders do.
#pragma once

#include "B3D_Object.h"

class B3D_Light : public B3D_Object {};
