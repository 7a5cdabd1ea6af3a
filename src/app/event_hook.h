#pragma once
// An event filter that hands one widget's events to a function: the main window uses it
// to follow the client area's size and to take clicks on the layout indicator.
#include <QEvent>
#include <QObject>
#include <functional>

namespace app {

class EventHook : public QObject {
  public:
    // The function returns true when it has taken the event.
    EventHook(QObject* watched, std::function<bool(QEvent*)> onEvent)
        : QObject(watched), onEvent_(std::move(onEvent)) {
        watched->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override { return onEvent_(event); }

  private:
    std::function<bool(QEvent*)> onEvent_;
};

} // namespace app
