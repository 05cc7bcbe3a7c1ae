#pragma once
// The one instance of a dialog class: made on first use (on the GUI thread)
// by the class's own factory, and deleted when the application goes.

#include <QCoreApplication>

namespace platform {

template <typename Dialog>
Dialog*& dialogSingletonSlot() {
  static Dialog* instance = nullptr;
  return instance;
}

// The dialog's one instance; `make` gives a new one (it may call a private
// constructor when called from the class's defaultInstance()).
template <typename Dialog, typename Make>
Dialog& dialogSingleton(Make make) {
  Dialog*& instance = dialogSingletonSlot<Dialog>();
  if (instance == nullptr) {
    instance = make();
    qAddPostRoutine([] {
      delete dialogSingletonSlot<Dialog>();
      dialogSingletonSlot<Dialog>() = nullptr;
    });
  }
  return *instance;
}

}  // namespace platform
