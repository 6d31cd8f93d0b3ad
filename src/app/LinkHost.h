#pragma once

#include "config/Value.h"

class QWidget;

// What a received link's sheet may do in the application: the screens it leads
// to, and the window its sheets and alerts belong to. The application controller
// implements it; tests give a fake.
class LinkHost
{
public:
    virtual QWidget *linkWindow() = 0;
    // "Add To a Group": the group chooser for a received camera.
    virtual void chooseGroupForCamera(const Value &camera) = 0;
    // "Add To an Existing Group": the group chooser for a received group's cameras.
    virtual void chooseGroupToMerge(const Value &group) = 0;
    // "Add As a New Group": stored as a new group, its editor opened.
    virtual void addGroupAndEdit(const Value &group) = 0;
    // "View Now": an ad-hoc camera full screen; it is never stored.
    virtual void showAdhocCamera(const Value &camera) = 0;

protected:
    ~LinkHost() = default;
};
