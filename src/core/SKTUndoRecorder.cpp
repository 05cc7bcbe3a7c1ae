#include "core/SKTUndoRecorder.h"

#include <QDebug>
#include <exception>

#include "core/globals.h"

class SKTUndoRecorder::GroupCommand : public QUndoCommand {
 public:
  GroupCommand(SKTUndoRecorder& recorder, std::vector<Action> undoActions)
      : recorder_(recorder), undoActions_(std::move(undoActions)) {}

  void undo() override { redoActions_ = recorder_.runActions(undoActions_, Mode::Undoing); }
  void redo() override {
    // QUndoStack::push() calls redo() at once; the change has already happened.
    if (!pushed_) {
      pushed_ = true;
      return;
    }
    undoActions_ = recorder_.runActions(redoActions_, Mode::Redoing);
  }

 private:
  SKTUndoRecorder& recorder_;
  std::vector<Action> undoActions_;
  std::vector<Action> redoActions_;
  bool pushed_ = false;
};

SKTUndoRecorder::SKTUndoRecorder() = default;

SKTUndoRecorder::~SKTUndoRecorder() {
  checkpoint_ = nullptr;
  quiet_ = nullptr;
  stack_.clear();
}

void SKTUndoRecorder::checkpoint() {
  if (checkpoint_) checkpoint_();
}

void SKTUndoRecorder::quiet() {
  if (quiet_ && isQuiet()) quiet_();
}

void SKTUndoRecorder::registerUndo(Action action) {
  if (!isUndoRegistrationEnabled() || !action) return;
  if (collecting_) {
    collecting_->push_back(std::move(action));
  } else if (groupDepth_ > 0) {
    openGroup_.push_back(std::move(action));
  } else {
    std::vector<Action> single;
    single.push_back(std::move(action));
    pushGroup(std::move(single));
    checkpoint();
  }
}

void SKTUndoRecorder::beginGroup() {
  if (groupDepth_++ == 0) {
    openGroup_.clear();
    checkpoint();
  }
}

void SKTUndoRecorder::endGroup() {
  if (groupDepth_ == 0) return;
  if (--groupDepth_ == 0) {
    checkpoint();
    if (!openGroup_.empty()) pushGroup(std::exchange(openGroup_, {}));
    quiet();
  }
}

void SKTUndoRecorder::pushGroup(std::vector<Action> actions) {
  stack_.push(new GroupCommand(*this, std::move(actions)));  // the stack owns its commands
}

std::vector<SKTUndoRecorder::Action> SKTUndoRecorder::runActions(const std::vector<Action>& actions,
                                                                 Mode mode) {
  std::vector<Action> registered;
  checkpoint();
  const Mode previousMode = mode_;
  std::vector<Action>* previousCollecting = collecting_;
  mode_ = mode;
  collecting_ = &registered;
  for (auto it = actions.rbegin(); it != actions.rend(); ++it) {
    try {
      (*it)();
    } catch (const std::exception& e) {
      qCWarning(lcDrawing) << "Undo action failed:" << e.what();
    }
  }
  mode_ = previousMode;
  collecting_ = previousCollecting;
  checkpoint();
  return registered;
}

void SKTUndoRecorder::undo() {
  if (groupDepth_ > 0 || mode_ != Mode::Normal) return;
  stack_.undo();
  quiet();
}

void SKTUndoRecorder::redo() {
  if (groupDepth_ > 0 || mode_ != Mode::Normal) return;
  stack_.redo();
  quiet();
}

void SKTUndoRecorder::enableUndoRegistration() {
  if (disableCount_ > 0) --disableCount_;
}

void SKTUndoRecorder::disableUndoRegistration() {
  ++disableCount_;
}

void SKTUndoRecorder::removeAllActions() {
  openGroup_.clear();
  stack_.clear();
  checkpoint();
}
