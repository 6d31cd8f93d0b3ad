#pragma once

// Told on the main thread when the list of detected cameras has changed.
class BonjourDelegate
{
public:
    virtual void bonjourListChanged() = 0;

protected:
    ~BonjourDelegate() = default;
};
