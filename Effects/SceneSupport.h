// Small pieces the scenes share: bundle paths, the full-screen picture, the
// attribute arrays a draw expects, and beat lookups.
#pragma once

#include <GLES2/gl2.h>

#include <string>
#include <vector>

class B3D_Camera;
class ParticleEngine;
struct Particle;
class SimpleCamera;
class SimpleModel;
class Shader;
namespace BS {
class Matrix44;
}

constexpr float kHalfPi = 1.5707964f;
constexpr float kPi = 3.1415927f;
constexpr float kFirstFrameStep = 0.016666668f;

// Bundle path + a path that starts with "/FxData/".
std::string FxPath(const char* relative);

// The texture on unit 0, stretched over the whole portrait screen.
void DrawFullScreen(GLuint texture);

// Enables attribute arrays 0 .. count - 1 and disables the rest of 0 .. 3.
void UseAttributeArrays(int count);

// Loads a model of the reader's triangles (or lines) from a folder under the
// bundle; null, after the reader's message, when the file is missing.
SimpleModel* LoadSceneModel(const char* folder, const char* fileName, unsigned primitive = GL_TRIANGLES);

// Replaces the model's transform with view x local and draws it, when it exists.
void RenderPlaced(SimpleModel* model, const BS::Matrix44& view, const BS::Matrix44& local,
                  const BS::Matrix44& projection, const BS::Matrix44& second);

// The state a scene-file scene starts its frame in: the colour cleared,
// depth written and tested, no culling or blending, attribute arrays 0 to 2.
void BeginSceneFrame(float red, float green, float blue);

// A particle engine over a texture under the bundle, its world size set and
// its force field read from the bundle into cells (kept by the caller).
ParticleEngine* NewParticleEngine(int capacity, const char* texture, float worldSize, const char* field,
                                  std::vector<float>& cells);
// Four seconds of flight at 30 steps a second, with no spring, before the
// first frame: jets of sparks then stream out already when their scene first
// cuts in instead of starting as clumps at their emitters.
void WarmUpSparks(ParticleEngine& sparks);
// Additive sparks, placed by the camera's view turned onto the portrait screen.
void DrawSparks(const ParticleEngine& sparks, const SimpleCamera& lens, const B3D_Camera& camera);

// A particle's home is where it starts, so that a spring would hold it there.
void StartAtHome(Particle& particle);

// rand() / 2^bits, as a float: rand() / 2^31 lies in [0, 1).
float RandomOver(int bits);
// The colour of the golden sparks, (222, 173, 3) / 255.
extern const float kSparkGold[3];

// 0 up to the first snare time, then the index of the first snare entry from
// index 1 on that is not below t (128 past the last): it changes on every snare.
int SnareCount(float t);
