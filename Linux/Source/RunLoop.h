// The main thread's run loop: display links fire on each display refresh and
// observers hear when the application loses or regains the active state.
#pragma once

#include <functional>
#include <vector>

class DisplayLink {
public:
    explicit DisplayLink(std::function<void()> target) : mTarget(std::move(target)) {}
    ~DisplayLink() { invalidate(); }
    DisplayLink(const DisplayLink&) = delete;
    DisplayLink& operator=(const DisplayLink&) = delete;

    void setFrameInterval(int refreshes) { mFrameInterval = refreshes < 1 ? 1 : refreshes; }
    void addToRunLoop();
    void invalidate();
    // Called by the run loop once per display refresh.
    void refresh();

private:
    std::function<void()> mTarget;
    int mFrameInterval = 1;
    int mRefreshes = 0;
    bool mScheduled = false;
};

class ActiveStateObserver {
public:
    virtual ~ActiveStateObserver() = default;
    virtual void applicationWillResignActive() = 0;
    virtual void applicationDidBecomeActive() = 0;
};

class RunLoop {
public:
    static RunLoop& Main();

    void AddLink(DisplayLink* link);
    void RemoveLink(DisplayLink* link);
    void AddObserver(ActiveStateObserver* observer);
    void RemoveObserver(ActiveStateObserver* observer);

    void Refresh();
    void ResignActive();
    void BecomeActive();
    bool HasLinks() const { return !mLinks.empty(); }

private:
    std::vector<DisplayLink*> mLinks;
    std::vector<ActiveStateObserver*> mObservers;
    bool mRefreshing = false;
};
