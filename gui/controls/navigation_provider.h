#ifndef GUI_CONTROLS_NAVIGATION_PROVIDER_H
#define GUI_CONTROLS_NAVIGATION_PROVIDER_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/critical_section.h"
#include "base/job.h"

class cChildElement;

// The worker that carries out a navigation bar's navigations, one at a
// time: Navigate runs on the job's thread, and when it ends the bar that
// started it gets a cNavigationChild::cNaviDoneAction with its result on
// its sent queue. A subclass that keeps what Navigate produced reads it on
// the UI thread only after the bar reported the end.
class cNavigationProvider : public cJob {
public:
    cNavigationProvider();
    ~cNavigationProvider() override;

    // Navigate with the stored path.
    uint32_t Run() override;
    // On the job's thread: tells the target, then OnNavigated.
    void OnFinish(uint32_t result) override;

    // UI thread. False while a navigation runs or for a null path; else the
    // target and a copy of the path are kept and the job starts.
    virtual bool Start(cChildElement* target, const wchar_t* path);
    // UI thread: whether the path can be navigated to.
    virtual bool CanNavigate(const wchar_t* path) = 0;
    // The job's thread: the work; the result code reaches the target.
    virtual uint32_t Navigate(const wchar_t* path) = 0;
    // The job's thread, after the target was told. Base: nothing.
    virtual void OnNavigated(uint32_t result);

protected:
    cChildElement* target;  // the bar that started the navigation; not owned
    _guardchar<wchar_t> path;
};

// The busy animation of a navigation bar: while its position is not
// negative it advances by 0.05 every 200 ms and, from 0.25 on, sends the
// bar cNaviFakeProgressRecvAction values (2/pi)*atan(position - 0.25),
// rising ever slower below 1. A position of -1 keeps it idle. It runs from
// the bar's first navigation until the bar stops it.
class cFakeNavigationProgressJob : public cJob {
public:
    cFakeNavigationProgressJob();
    ~cFakeNavigationProgressJob() override;

    uint32_t Run() override;

    // UI thread, before the first start.
    void SetTarget(cChildElement* bar) { target = bar; }
    // Any thread.
    void SetPosition(double value);
    double GetPosition();

private:
    cChildElement* target;
    cCriticalSection lock;  // guards position, which two threads share
    double position;
};

#endif
