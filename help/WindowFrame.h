#pragma once

#include <QMargins>

#include <functional>

class QWidget;

// The frame that the window manager has put around the top-level widget
// window, as margins around its client area; zero while it has none.
QMargins WindowFrameMargins(const QWidget& window);

// Calls changed whenever the window system reports a new frame for the
// top-level widget window, for as long as window lives; Qt has no event for it.
void WatchFrameChanges(QWidget& window, std::function<void()> changed);
