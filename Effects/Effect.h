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

    // A call that starts by clearing the whole target and then draws over
    // nothing but its own work hides whatever the frame drew before it.
    virtual bool CoversFrame() const { return false; }
    // A call that leaves nothing behind for later calls or frames may be
    // left out where a later call covers its picture.
    virtual bool Stateless() const { return false; }

protected:
    GLView* mView = nullptr;
};
