#pragma once

// Told when a touch went down and up without moving.
class TapDelegate
{
public:
    virtual void handleTap() = 0;

protected:
    ~TapDelegate() = default;
};
