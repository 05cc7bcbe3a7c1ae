#pragma once
// Undo recording on top of QUndoStack in the manner the card document needs:
// code registers the action that takes a change back (registerUndo), changes
// are grouped explicitly (beginGroup/endGroup; nestable), and one group is one
// entry of the stack. Undoing an entry runs its actions in reverse order; what
// those actions register meanwhile becomes the entry's redo, and the other way
// round. A registration outside any group is an entry of its own.
//
// A checkpoint callback runs whenever a group opens or closes and before and
// after undo and redo, so that a client can reset per-group state. A quiet
// callback runs once the recorder is quiet again: the outermost group closed
// (its entry pushed), or an undo or redo ended.

#include <QUndoStack>
#include <functional>
#include <vector>

class SKTUndoRecorder {
 public:
  using Action = std::function<void()>;

  SKTUndoRecorder();
  ~SKTUndoRecorder();
  SKTUndoRecorder(const SKTUndoRecorder&) = delete;
  SKTUndoRecorder& operator=(const SKTUndoRecorder&) = delete;

  QUndoStack& stack() { return stack_; }

  void registerUndo(Action action);

  void beginGroup();
  void endGroup();
  int groupingLevel() const { return groupDepth_; }

  void undo();
  void redo();
  bool canUndo() const { return stack_.canUndo(); }
  bool canRedo() const { return stack_.canRedo(); }
  bool isUndoing() const { return mode_ == Mode::Undoing; }
  bool isRedoing() const { return mode_ == Mode::Redoing; }

  // Registration is on while the disable count is 0 (disables nest).
  void enableUndoRegistration();
  void disableUndoRegistration();
  bool isUndoRegistrationEnabled() const { return disableCount_ == 0; }

  // Removes every undo and redo entry (an open group is dropped too).
  void removeAllActions();

  void setCheckpointHandler(std::function<void()> handler) { checkpoint_ = std::move(handler); }
  void setQuietHandler(std::function<void()> handler) { quiet_ = std::move(handler); }
  // No group is open and no undo or redo runs.
  bool isQuiet() const { return groupDepth_ == 0 && mode_ == Mode::Normal; }

 private:
  enum class Mode { Normal, Undoing, Redoing };
  class GroupCommand;
  friend class GroupCommand;

  void checkpoint();
  void quiet();
  void pushGroup(std::vector<Action> actions);
  std::vector<Action> runActions(const std::vector<Action>& actions, Mode mode);

  QUndoStack stack_;
  Mode mode_ = Mode::Normal;
  int groupDepth_ = 0;
  int disableCount_ = 0;
  std::vector<Action> openGroup_;
  std::vector<Action>* collecting_ = nullptr;
  std::function<void()> checkpoint_;
  std::function<void()> quiet_;
};

// Opens an undo group for the lifetime of the guard.
class SKTUndoGroup {
 public:
  explicit SKTUndoGroup(SKTUndoRecorder& recorder) : recorder_(recorder) { recorder_.beginGroup(); }
  ~SKTUndoGroup() { recorder_.endGroup(); }
  SKTUndoGroup(const SKTUndoGroup&) = delete;
  SKTUndoGroup& operator=(const SKTUndoGroup&) = delete;

 private:
  SKTUndoRecorder& recorder_;
};

// Switches undo registration off for the lifetime of the guard.
class SKTUndoRegistrationOff {
 public:
  explicit SKTUndoRegistrationOff(SKTUndoRecorder& recorder) : recorder_(recorder) {
    recorder_.disableUndoRegistration();
  }
  ~SKTUndoRegistrationOff() { recorder_.enableUndoRegistration(); }
  SKTUndoRegistrationOff(const SKTUndoRegistrationOff&) = delete;
  SKTUndoRegistrationOff& operator=(const SKTUndoRegistrationOff&) = delete;

 private:
  SKTUndoRecorder& recorder_;
};
