#include "RunLoop.h"

#include <algorithm>

void DisplayLink::addToRunLoop() {
    if (mScheduled) return;
    RunLoop::Main().AddLink(this);
    mScheduled = true;
}

void DisplayLink::invalidate() {
    if (!mScheduled) return;
    RunLoop::Main().RemoveLink(this);
    mScheduled = false;
}

void DisplayLink::refresh() {
    if (++mRefreshes < mFrameInterval) return;
    mRefreshes = 0;
    mTarget();
}

RunLoop& RunLoop::Main() {
    // Never destroyed: the show ends by exit() from inside a refresh, while
    // links and observers still refer to the loop.
    static RunLoop* lLoop = new RunLoop();
    return *lLoop;
}

void RunLoop::AddLink(DisplayLink* link) { mLinks.push_back(link); }

void RunLoop::RemoveLink(DisplayLink* link) {
    // While refreshing, entries are only blanked so the loop's indices stay valid.
    for (DisplayLink*& entry : mLinks)
        if (entry == link) entry = nullptr;
    if (!mRefreshing) mLinks.erase(std::remove(mLinks.begin(), mLinks.end(), nullptr), mLinks.end());
}

void RunLoop::AddObserver(ActiveStateObserver* observer) { mObservers.push_back(observer); }

void RunLoop::RemoveObserver(ActiveStateObserver* observer) {
    mObservers.erase(std::remove(mObservers.begin(), mObservers.end(), observer), mObservers.end());
}

void RunLoop::Refresh() {
    // Links added by a target wait for the next refresh.
    mRefreshing = true;
    const size_t count = mLinks.size();
    for (size_t i = 0; i < count; ++i)
        if (mLinks[i]) mLinks[i]->refresh();
    mRefreshing = false;
    mLinks.erase(std::remove(mLinks.begin(), mLinks.end(), nullptr), mLinks.end());
}

void RunLoop::ResignActive() {
    for (ActiveStateObserver* o : mObservers) o->applicationWillResignActive();
}

void RunLoop::BecomeActive() {
    for (ActiveStateObserver* o : mObservers) o->applicationDidBecomeActive();
}
