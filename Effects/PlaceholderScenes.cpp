#include "PlaceholderScenes.h"

#include <GLES2/gl2.h>

void ClearEffect::renderForFxTime(float, float, float, float) {
    glClearColor(mRed, mGreen, mBlue, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}
