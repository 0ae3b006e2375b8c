#pragma once
// Progress of a long load (the content set at start-up), as the engine's top
// shows it: the splash window implements it and hands it down to the loaders,
// which only know this interface.

#include <string>

class CLoadProgress
{
public:
    virtual ~CLoadProgress() = default;
    /// A load of `steps` steps begins (steps > 0).
    virtual void init(int steps) = 0;
    /// Step `index` (0-based) of the load, naming what it loads.
    virtual void step(int index, const std::string& text) = 0;
};
