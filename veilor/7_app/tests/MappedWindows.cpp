#include "MappedWindows.h"

#include <X11/Xlib.h>

struct MappedWindows::Connection {
  Display* display = nullptr;
  int mapped = 0;
};

MappedWindows::MappedWindows() : connection_(std::make_unique<Connection>()) {
  connection_->display = XOpenDisplay(nullptr);
  if (connection_->display == nullptr) return;
  XSelectInput(connection_->display, DefaultRootWindow(connection_->display),
               SubstructureNotifyMask);
  // The server has taken the request once this returns: nothing shown from
  // now on is missed.
  XSync(connection_->display, False);
}

MappedWindows::~MappedWindows() {
  if (connection_->display != nullptr) XCloseDisplay(connection_->display);
}

bool MappedWindows::Listening() const { return connection_->display != nullptr; }

int MappedWindows::Count() {
  if (connection_->display == nullptr) return -1;
  XSync(connection_->display, False);
  while (XPending(connection_->display) > 0) {
    XEvent event;
    XNextEvent(connection_->display, &event);
    if (event.type == MapNotify) ++connection_->mapped;
  }
  return connection_->mapped;
}
