#include "WindowFrame.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <algorithm>

#ifdef MORVASK_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#endif

namespace {

#ifdef MORVASK_HAVE_XCB
// Qt caches the frame of an X11 window and misses later changes (another
// theme, a window shown again), so the window manager's own note is read.
xcb_connection_t* X11Connection()
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

xcb_atom_t FrameExtentsAtom(xcb_connection_t* connection)
{
    static xcb_atom_t atom = XCB_ATOM_NONE;
    if (atom == XCB_ATOM_NONE) {
        static const char name[] = "_NET_FRAME_EXTENTS";
        xcb_intern_atom_reply_t* reply =
            xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr);
        if (reply != nullptr)
            atom = reply->atom;
        std::free(reply);
    }
    return atom;
}
#endif

class TFrameWatch : public QObject, public QAbstractNativeEventFilter {
public:
    TFrameWatch(QWidget& window, std::function<void()> changed)
        : QObject(&window),
          FWindow(window),
          FChanged(std::move(changed))
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~TFrameWatch() override { QCoreApplication::instance()->removeNativeEventFilter(this); }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
    {
#ifdef MORVASK_HAVE_XCB
        if (type != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
            return false;
        const auto* property = static_cast<const xcb_property_notify_event_t*>(message);
        xcb_connection_t* connection = X11Connection();
        if (connection != nullptr && property->window == FWindow.internalWinId() && property->atom == FrameExtentsAtom(connection))
            QMetaObject::invokeMethod(this, FChanged, Qt::QueuedConnection);
#else
        Q_UNUSED(type);
        Q_UNUSED(message);
#endif
        return false;
    }

private:
    QWidget& FWindow;
    std::function<void()> FChanged;
};

} // namespace

QMargins WindowFrameMargins(const QWidget& window)
{
    QWindow* handle = window.windowHandle();
    if (handle == nullptr)
        return {};
#ifdef MORVASK_HAVE_XCB
    if (xcb_connection_t* connection = X11Connection()) {
        QMargins margins;
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            connection,
            xcb_get_property(connection, 0, static_cast<xcb_window_t>(window.internalWinId()),
                             FrameExtentsAtom(connection), XCB_ATOM_CARDINAL, 0, 4),
            nullptr);
        if (reply != nullptr && reply->format == 32 && xcb_get_property_value_length(reply) == 16) {
            // Left, right, top, bottom; a frame wider than a screen is no frame.
            const auto* extents = static_cast<const uint32_t*>(xcb_get_property_value(reply));
            if (std::max({extents[0], extents[1], extents[2], extents[3]}) < 4096u)
                margins = QMargins(int(extents[0]), int(extents[2]), int(extents[1]), int(extents[3]));
        }
        std::free(reply);
        return margins;
    }
#endif
    return handle->frameMargins();
}

void WatchFrameChanges(QWidget& window, std::function<void()> changed)
{
    new TFrameWatch(window, std::move(changed));
}
