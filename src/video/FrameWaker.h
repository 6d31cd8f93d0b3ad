#pragma once

// How a frame consumer that held a reader back tells it to look again. Any thread.
class FrameWaker
{
public:
    virtual ~FrameWaker() = default;
    virtual void wake() = 0;
};
