// TnxAnimEffects: the skin manager's animation options. The button events are
// process-wide: every manager reads the same set, and only the default manager
// may change it.
#pragma once

namespace vm {

class TsSkinManager;

// Mouse events that animate glyph buttons.
enum TnxBtnEvent : unsigned {
  beMouseEnter = 1u << 0,
  beMouseLeave = 1u << 1,
  beMouseDown = 1u << 2,
  beMouseUp = 1u << 3,
};
using TnxBtnEvents = unsigned;  // a set of TnxBtnEvent bits
constexpr TnxBtnEvents AllBtnEvents = beMouseEnter | beMouseLeave | beMouseDown | beMouseUp;

// The process-wide set the glyph buttons consult (initially all four).
TnxBtnEvents GlobalBtnEvents();

class TnxBtnEffects {
 public:
  explicit TnxBtnEffects(TsSkinManager* manager) : manager_(manager) {}
  // Always the process-wide set.
  TnxBtnEvents Events() const;
  // Stores the set; it becomes the process-wide set only when the owning
  // manager is the default manager.
  void SetEvents(TnxBtnEvents events);

 private:
  TsSkinManager* manager_;
  TnxBtnEvents events_ = AllBtnEvents;
};

// An animation that can be switched off and lasts Time milliseconds.
class TnxFormAnimation {
 public:
  TnxFormAnimation(bool active, int time) : Active(active), Time(time) {}
  bool Active;
  int Time;
};

class TnxDialogShow : public TnxFormAnimation {
 public:
  TnxDialogShow() : TnxFormAnimation(true, 100) {}
};
class TnxFormShow : public TnxFormAnimation {
 public:
  TnxFormShow() : TnxFormAnimation(true, 0) {}
};
class TnxPageChange : public TnxFormAnimation {
 public:
  TnxPageChange() : TnxFormAnimation(true, 0) {}
};
class TnxSkinChanging : public TnxFormAnimation {
 public:
  TnxSkinChanging() : TnxFormAnimation(true, 100) {}
};

class TnxAnimEffects {
 public:
  explicit TnxAnimEffects(TsSkinManager* manager) : Buttons(manager) {}
  TnxBtnEffects Buttons;
  TnxDialogShow DialogShow;
  TnxFormShow FormShow;
  TnxPageChange PageChange;
  TnxSkinChanging SkinChanging;
};

namespace detail {
// Replaces the process-wide button events (used by TnxBtnEffects).
void SetGlobalBtnEvents(TnxBtnEvents events);
}  // namespace detail

}  // namespace vm
