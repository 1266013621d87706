// SPDX-License-Identifier: GPL-3.0-or-later
// Ends a start-up run at the first frame: once the watched window has handled
// its first paint event, the process ends. Only when the environment asks for
// it, so that the same executable can also be looked at by hand:
//   DUCTCALC_EXIT_AFTER_FIRST_PAINT=1     end at once after the first frame
//   DUCTCALC_EXIT_AFTER_FIRST_PAINT=quit  quit the event loop instead, so the
//                                         run includes the normal teardown
// Ending at once is what the start-up measurement uses: the teardown is no
// part of start-up, and it differs between programs for reasons of its own
// (a bare window's QApplication destructor waits for Qt's D-Bus thread, which
// a window that takes longer to build has already let finish).
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QObject>
#include <QTimer>
#include <cstdlib>

class QuitAfterFirstPaint : public QObject {
public:
    explicit QuitAfterFirstPaint(QObject* window) {
        const QByteArray mode = qgetenv("DUCTCALC_EXIT_AFTER_FIRST_PAINT");
        if (mode.isEmpty()) return;
        quitLoop_ = mode == "quit";
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !painted_) {
            painted_ = true;
            // Queued, so it runs after this paint, the children's paints and
            // the flush of the frame to the window system.
            if (quitLoop_) {
                QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
            } else {
                QTimer::singleShot(0, QCoreApplication::instance(), [] {
                    QGuiApplication::sync();  // the server has drawn the frame
                    std::_Exit(0);
                });
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool quitLoop_ = false;
    bool painted_ = false;
};
