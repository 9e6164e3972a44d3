// What the timeline asks of every scene object: bind to the view, load once,
// then play frame after frame into whatever framebuffer is bound. A frame is
// two steps, so that a seek can play frames without drawing them: advance
// moves what the scene carries from frame to frame (particles, animation
// clocks, random draws), draw renders what advance left and changes nothing
// a later frame reads.
#pragma once

class GLView;
class ShowMemory;

class Effect {
public:
    virtual ~Effect() = default;

    virtual Effect* initWithView(GLView* view) {
        mView = view;
        return this;
    }
    virtual void load() = 0;
    // One frame of the scene: advance, then draw.
    void renderForFxTime(float fxTime, float demoTime, float fxProgress, float demoProgress) {
        advanceForFxTime(fxTime, demoTime, fxProgress, demoProgress);
        drawForFxTime(fxTime, demoTime, fxProgress, demoProgress);
    }
    virtual void advanceForFxTime(float, float, float, float) {}
    virtual void drawForFxTime(float fxTime, float demoTime, float fxProgress, float demoProgress) = 0;

    // Registers every byte that advance changes, once loaded, so that a
    // moment of the show can be kept and gone back to.
    virtual void RegisterState(ShowMemory&) {}
    // Whether a later frame may still show pixels that this frame draws (a
    // target that is not wholly drawn over): a seek then draws this frame
    // too, so that the frames after it are those of a whole run.
    virtual bool KeepsPixels(float) const { return false; }

    // A call that starts by clearing the whole target and then draws over
    // nothing but its own work hides whatever the frame drew before it.
    virtual bool CoversFrame() const { return false; }
    // A call that leaves nothing behind for later calls or frames may be
    // left out where a later call covers its picture.
    virtual bool Stateless() const { return false; }

protected:
    GLView* mView = nullptr;
};
