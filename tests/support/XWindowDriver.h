#pragma once
// Drives a real program's window through the X server as a user does: finds
// its window, moves the pointer over it, types keys through the XTEST
// extension (as `xdotool key` does, so they arrive as real key events), and
// reads back what the window shows.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Xlib's own types, declared the way Xlib declares them, so this header does
// not bring Xlib's macros (None, Status, ...) into the tests.
typedef struct _XDisplay Display;
typedef unsigned long Window;

class XWindowDriver
{
public:
    /// What a window showed: RGB pixels, rows top-down.
    struct Picture
    {
        int width = 0, height = 0;
        std::vector<uint8_t> rgb;
        const uint8_t* At(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
        /// Writes the picture as a PPM file (to look at after a failure).
        bool Save(const std::string& path) const;
        int Grey(int x, int y) const
        {
            const uint8_t* p = At(x, y);
            return (p[0] + p[1] + p[2]) / 3;
        }
    };

    /// Connects to the display of that name ($DISPLAY when empty); IsOpen()
    /// says whether that worked.
    explicit XWindowDriver(const std::string& displayName = std::string());
    ~XWindowDriver();
    XWindowDriver(const XWindowDriver&) = delete;
    XWindowDriver& operator=(const XWindowDriver&) = delete;

    bool IsOpen() const { return m_display != nullptr; }
    /// True when the server has the XTEST extension.
    bool HasXTest() const { return m_xtest; }
    Display* GetDisplay() const { return m_display; }

    /// The window with this title owned by process `pid` (other tests may
    /// show windows of the same title), or 0 when none appears in time.
    Window WaitForWindow(const std::string& title, long pid, double seconds);
    /// Moves the pointer over the window's middle, gives it the keyboard and
    /// waits `settle` seconds: the window's toolkit drops key events that
    /// arrive in the same batch as the focus change, as a user never types
    /// that fast after moving the mouse.
    void PointInto(Window window, double settle = 1.0);
    /// Presses and releases the key with this key-symbol name ("F6", "Up", "s").
    void Key(const std::string& keysym);
    /// Presses keys together, as "Alt+x" or "ctrl+shift+s" (key-symbol
    /// names joined by '+', modifiers first), and releases them in reverse.
    void Chord(const std::string& keys);
    /// The window's position on the screen and its size, in pixels; false
    /// when the window is gone.
    bool Geometry(Window window, int& x, int& y, int& width, int& height);
    /// Moves the pointer to (x, y) of the window (pixels, y down).
    void MoveTo(Window window, int x, int y);
    /// Presses or releases a mouse button (1 left) where the pointer is.
    void Button(int button, bool down);
    /// Moves there, then presses and releases the button, as a click does.
    void Click(Window window, int x, int y, int button = 1);
    /// Presses at (x0, y0), moves to (x1, y1) in `steps` steps `pause`
    /// seconds apart (so the program sees them as separate motions), and
    /// releases there.
    void Drag(Window window, int x0, int y0, int x1, int y1, int steps = 8, double pause = 0.05);
    /// What the window shows now (empty when it cannot be read).
    Picture Grab(Window window);
    /// Grabs until `accept` is true or the time is up; the last picture is
    /// left in `picture`.
    bool WaitForPicture(Window window, double seconds, const std::function<bool(const Picture&)>& accept,
                        Picture& picture);
    /// What a window manager's close button sends.
    void RequestClose(Window window);

private:
    Window FindWindow(Window root, const std::string& title, long pid);
    long WindowPid(Window window);

    Display* m_display = nullptr;
    bool m_xtest = false;
};

/// Polls `done` until it is true or `seconds` have passed.
bool WaitUntil(double seconds, const std::function<bool()>& done);
