#pragma once

#include <chrono>
#include <optional>
#include <string>

// Plain Xlib, kept apart from Qt's headers, which its macros break.

struct _XDisplay; // Xlib's Display

namespace mr640::bench {

struct MappedSize
{
    int width = 0;
    int height = 0;
};

// A connection to an X server that watches for top-level windows being mapped.
class XDisplay
{
public:
    // Connects to name (":N"); Connected() says whether that worked.
    explicit XDisplay(const std::string& name);
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    bool Connected() const { return display_ != nullptr; }
    // Forgets the events so far.
    void Discard();
    // Waits until some program maps a top-level window: its size, or nothing after timeout.
    std::optional<MappedSize> WaitForMap(std::chrono::milliseconds timeout);

private:
    ::_XDisplay* display_ = nullptr;
};

} // namespace mr640::bench
