// SPDX-License-Identifier: GPL-3.0-or-later
// Window placement: the window opens in the middle of its screen, frame
// included; a second window of the program opens a little below and right of
// the first; a window too large for the screen keeps its title bar on it.
#include <QDir>
#include <QEvent>
#include <QGuiApplication>
#include <QLockFile>
#include <QRect>
#include <QScreen>
#include <QStandardPaths>
#include <algorithm>
#include <memory>

#include "ui/form1.h"

namespace {

// How many windows of the program stand on this display before this one:
// each running program holds a lock of its own number for the display, and a
// new one takes the lowest free number. A program that ended without letting
// go of its lock frees it all the same (QLockFile knows a dead holder). On a
// platform with no display to share (offscreen) every window is the first.
int windowNumber() {
    static const int number = [] {
        const QString platform = QGuiApplication::platformName();
        QString display;
        if (platform == QLatin1String("xcb"))
            display = qEnvironmentVariable("DISPLAY");
        else if (platform.startsWith(QLatin1String("wayland")))
            display = qEnvironmentVariable("WAYLAND_DISPLAY");
        if (display.isEmpty()) return 0;
        display.replace(u'/', u'_');
        QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (folder.isEmpty()) folder = QDir::tempPath();
        static std::unique_ptr<QLockFile> held;
        for (int n = 0; n < 16; ++n) {
            auto lock = std::make_unique<QLockFile>(
                QStringLiteral("%1/ductcalc-window-%2-%3.lock").arg(folder, display).arg(n));
            lock->setStaleLockTime(0);
            if (lock->tryLock(0)) {
                held = std::move(lock);
                return n;
            }
        }
        return 0;
    }();
    return number;
}

// Far enough apart that the earlier window's title stays readable.
constexpr int kCascadeStep = 32;

}  // namespace

void Form1::centreOnScreen() {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    QRect frame = frameGeometry();
    if (frame.width() > area.width() || frame.height() > area.height()) {
        // A window that does not fit shows its title bar, which moves it,
        // and as much below it as the screen has room for.
        move(area.topLeft());
        return;
    }
    frame.moveCenter(area.center());
    const int step = windowNumber() * kCascadeStep;
    frame.translate(step, step);
    // Never past the screen's edge: a late window starts again near the top.
    if (frame.right() > area.right() || frame.bottom() > area.bottom())
        frame.moveTopLeft(area.topLeft() +
                          QPoint(step % std::max(1, area.width() - frame.width()),
                                 step % std::max(1, area.height() - frame.height())));
    move(frame.topLeft());
}

void Form1::showCentred() {
    // Before the window is shown its frame is unknown: centre the client
    // area first, so that it opens about right, and the whole window once
    // the window manager has added the frame. That happens some time after
    // show() returns, so the second centring waits for it; without a window
    // manager there is no frame and the first centring stands.
    centreOnScreen();
    centrePending_ = true;
    show();
    centreOnceFramed();
}

void Form1::centreOnceFramed() {
    if (!centrePending_ || frameGeometry().size() == size()) return;
    centrePending_ = false;  // once: the user may move the window afterwards
    centreOnScreen();
}

bool Form1::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    switch (event->type()) {
        // The frame shows up as a move of the client area (reparenting) or
        // a change of state; whichever comes first is early enough.
        case QEvent::Move:
        case QEvent::Show:
        case QEvent::WindowActivate:
        case QEvent::WindowStateChange:
        case QEvent::UpdateRequest:
            centreOnceFramed();
            break;
        case QEvent::Paint:
            giveIconAfterFirstFrame();
            break;
        default:
            break;
    }
    return handled;
}
