// SPDX-License-Identifier: GPL-3.0-or-later
// Window placement: the window opens in the middle of its screen, frame
// included.
#include <QEvent>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>

#include "form1.h"

void Form1::centreOnScreen() {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
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
        default:
            break;
    }
    return handled;
}
