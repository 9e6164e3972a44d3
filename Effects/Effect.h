// What the timeline asks of every scene object: bind to the view, load once,
// then render into whatever framebuffer is bound.
#pragma once

class GLView;

class Effect {
public:
    virtual ~Effect() = default;

    virtual Effect* initWithView(GLView* view) {
        mView = view;
        return this;
    }
    virtual void load() = 0;
    virtual void renderForFxTime(float fxTime, float demoTime, float fxProgress, float demoProgress) = 0;

protected:
    GLView* mView = nullptr;
};
